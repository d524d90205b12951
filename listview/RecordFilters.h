// The display filters' tests of one record. Whether a filter is on is the caller's concern; these
// only say whether a record passes the filter's settings.
#pragma once

#include <array>

#include "listview/DataColumns.h"
#include "platform/base/CString.h"

class CVelkonDoc;

// Which dates a record must have to pass. Dates compare as their "YYYY/MM/DD" texts, so every
// test includes the day itself.
struct DateFilter {
    enum Method { OnOrBefore = 0, OnTheDay = 1, OnOrAfter = 2 };

    CString date;             // "YYYY/MM/DD"
    int method = OnOrBefore;  // any other value lets every record through
    bool registDate = false;
    bool prevUpdateDate = false;  // the date the list shows as the previous update
};

// Each checked date must pass; with none checked every record passes.
bool IsDateMatch(const CVelkonDoc& doc, int r, const DateFilter& filter);

// A text to find in some of a record's fields.
struct KeywordFilter {
    CString keyword;
    bool matchCase = false;  // otherwise both sides are upper-cased, double-byte letters too
    std::array<bool, data_column::kFieldCount> fields{};  // by data column: ID, handle, memos
};

// The keyword must occur in at least one checked field; with none checked no record passes.
bool IsKeywordMatch(const CVelkonDoc& doc, int r, const KeywordFilter& filter);
