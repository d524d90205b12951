// The pieces of a record line of the .lst file: tab-separated fields, decimal counts and
// "YYYY/MM/DD" dates. Shared by the file itself and by the API that exchanges record lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/base/CTime.h"

namespace record_text {

// The text before the first tab, cut off `rest` together with the tab; all of `rest` when it
// has no tab. A tab byte is never part of a double-byte character, so the cut is byte-wise.
std::string_view CutField(std::string_view& rest);

// The runtime's atoi: leading white space, a sign, digits; no digits give 0. Values beyond the
// int range stop at its ends.
int Atoi(std::string_view text);

// Year, month and day of a date text; false when the text is not a date the file accepts.
bool ParseDateFields(std::string_view text, int& year, int& month, int& day);

// A date in local time as written in the file; empty when the value cannot be shown as a date.
// The year always has at least four digits, so that any date the file held reads back the same.
std::string FormatDate(CTime time);

// Many records share a day: these remember what they converted, for one load or one save.
class DateReader {
public:
    CTime Parse(std::string_view text);

private:
    std::unordered_map<std::int64_t, std::int64_t> m_days;
};

class DateWriter {
public:
    const std::string& Format(CTime time);

private:
    std::unordered_map<std::int64_t, std::string> m_texts;
};

// Appends a field, with tab, CR and LF turned into spaces so that the line keeps its shape.
void AppendField(std::string& line, std::string_view field);

// Whether an ID comes back from the file as it was written: a line that begins with "*" is a
// comment, and a tab, a line end or a zero byte would change it (a field can hide them as
// spaces; an ID that changed would be another record).
bool FileKeepsID(std::string_view id);

}  // namespace record_text
