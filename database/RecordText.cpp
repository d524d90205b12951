#include "database/RecordText.h"

#include <climits>
#include <cstdio>

namespace record_text {

std::string_view CutField(std::string_view& rest) {
    const std::size_t tab = rest.find('\t');
    std::string_view field;
    if (tab == std::string_view::npos) {
        field = rest;
        rest = {};
    } else {
        field = rest.substr(0, tab);
        rest.remove_prefix(tab + 1);
    }
    return field;
}

int Atoi(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

bool ParseDateFields(std::string_view text, int& year, int& month, int& day) {
    const std::size_t slash1 = text.find('/');
    if (slash1 == std::string_view::npos) return false;
    const std::string_view yearText = text.substr(0, slash1);
    const std::string_view rest = text.substr(slash1 + 1);
    const std::size_t slash2 = rest.find('/');
    if (slash2 == std::string_view::npos) return false;
    const std::string_view monthText = rest.substr(0, slash2);
    const std::string_view dayText = rest.substr(slash2 + 1);

    year = Atoi(yearText);
    if (yearText.size() == 2)
        year += year < 70 ? 2000 : 1900;
    else if (yearText.size() != 4)
        return false;
    month = Atoi(monthText);
    if (month < 1 || month > 12) return false;
    day = Atoi(dayText);
    return day >= 1 && day <= 31;
}

std::string FormatDate(CTime time) {
    std::tm tm{};
    if (!time.GetLocalTm(tm)) return {};
    char buf[40];
    const int n = std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                                tm.tm_mday);
    return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

CTime DateReader::Parse(std::string_view text) {
    int year = 0, month = 0, day = 0;
    if (!ParseDateFields(text, year, month, day)) return CTime::GetCurrentTime();
    // Years from a 4-character text lie within -999..9999.
    const std::int64_t key = (static_cast<std::int64_t>(year) * 16 + month) * 32 + day;
    auto it = m_days.find(key);
    if (it != m_days.end()) return CTime(it->second);
    const CTime t(year, month, day, 0, 0, 0, -1);
    m_days.emplace(key, t.GetTime());
    return t;
}

const std::string& DateWriter::Format(CTime time) {
    auto it = m_texts.find(time.GetTime());
    if (it != m_texts.end()) return it->second;
    return m_texts.emplace(time.GetTime(), FormatDate(time)).first->second;
}

void AppendField(std::string& line, std::string_view field) {
    const std::size_t start = line.size();
    line.append(field);
    for (std::size_t i = start; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t' || c == '\r' || c == '\n') line[i] = ' ';
    }
}

bool FileKeepsID(std::string_view id) {
    if (!id.empty() && id[0] == '*') return false;
    return id.find_first_of(std::string_view("\t\r\n\0", 4)) == std::string_view::npos;
}

}  // namespace record_text
