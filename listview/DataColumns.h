// The kinds of content a list column can show, the tag that places one in the list, and the text
// a record shows in each. The numbers are part of the saved column settings and of the API's
// caption requests, so they never change.
#pragma once

#include "platform/base/CString.h"

class CVelkonDoc;

namespace data_column {

enum : int {
    ID = 0,
    Handle = 1,
    Memo1 = 2,
    Memo2 = 3,
    Memo3 = 4,
    Memo4 = 5,
    Memo5 = 6,
    Memo6 = 7,
    RegistDate = 8,
    PrevUpdateDate = 9,
    UpdateCount = 10,
};
constexpr int kCount = 11;

// The handle and the memos carry the user's own captions.
constexpr bool IsNamed(int n) {
    return n >= Handle && n <= Memo6;
}
// The ID, the handle and the memos: the fields a keyword is searched in, numbered from 0.
constexpr int kFieldCount = Memo6 + 1;

// A column's tag: the data column in the low eight bits, and kShown when the column is shown.
constexpr int kShown = 256;
constexpr int kDataMask = 0xFF;
constexpr int DataOf(int tag) {
    return tag & kDataMask;
}

constexpr bool ShownByDefault(int n) {
    return n == ID || n == Handle || n == RegistDate || n == PrevUpdateDate;
}

// The text record r shows in a data column: dates as "YYYY/MM/DD" and the count right-aligned in
// eight places, so that text order is value order. Empty for a data column that does not exist.
CString Text(const CVelkonDoc& doc, int r, int nDataColumn);

}  // namespace data_column
