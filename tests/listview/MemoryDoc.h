// A document that lives only in memory, for the list's ordering and filter rules: no application
// object (the document then neither reads nor writes settings), no window, no file.
#pragma once

#include "document/VelkonDoc.h"
#include "tests/support/TestSupport.h"

namespace listview_test {

// Noon of a day in local time, the zone the list shows dates in.
inline CTime Day(int year, int month, int day, int hour = 12) {
    return CTime(year, month, day, hour, 0, 0);
}

// Registers an ID as the user would and returns its record number; the test then sets the
// fields it needs directly.
inline int AddRecord(CVelkonDoc& doc, const char* id, const char* handleUtf8 = "") {
    const int r = doc.GetRecordCount();
    EXPECT_TRUE(doc.AddNewID(id, testing_support::Sjis(handleUtf8)));
    return r;
}

}  // namespace listview_test
