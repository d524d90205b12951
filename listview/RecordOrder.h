// The order of the list's rows when sorted by a data column: records compare by the text they
// show in that column (at most the 255 bytes the list shows), character by character as
// multibyte strings; records that show the same text are equal, and a stable sort keeps their
// order.
#pragma once

#include <span>
#include <vector>

class CVelkonDoc;

// The ranks of one sort, made once: every record's text is built and ranked up front, so that
// the sort itself compares small integers instead of texts scattered over memory.
struct RecordOrder {
    std::vector<int> rank;  // by record number; equal texts have equal ranks, -1 not ranked
    bool forward = true;

    // Negative when record r1 goes before r2, positive when after, 0 when they show the same
    // text. Records that were not ranked compare equal to one another and as lower than every
    // ranked one.
    int Compare(int r1, int r2) const;
};

// Ranks the records (numbers of live or deleted records of the document) by data column
// nDataColumn, ascending when bForward. A data column that does not exist, such as -1 for a
// column position the list does not have, makes every record equal.
RecordOrder OrderRecords(const CVelkonDoc& doc, std::span<const int> records, int nDataColumn,
                         bool bForward);

// The same order as the places in `records` a stable sort by RecordOrder::Compare leaves them
// in: element k is the index into `records` of the k-th row. Anything in `records` that is not
// a record number sorts as an empty text.
std::vector<int> SortedPlaces(const CVelkonDoc& doc, std::span<const int> records, int nDataColumn,
                              bool bForward);
