#include "platform/base/CTime.h"

#include <atomic>

namespace {
std::atomic<CTime::Clock> g_clock{nullptr};
}

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST) {
    std::tm tm{};
    tm.tm_year = nYear - 1900;
    tm.tm_mon = nMonth - 1;
    tm.tm_mday = nDay;
    tm.tm_hour = nHour;
    tm.tm_min = nMin;
    tm.tm_sec = nSec;
    tm.tm_isdst = nDST;
    m_time = static_cast<std::int64_t>(std::mktime(&tm));
}

CTime CTime::GetCurrentTime() {
    const Clock clock = g_clock.load();
    return CTime(clock ? clock() : static_cast<std::int64_t>(std::time(nullptr)));
}

void CTime::SetClock(Clock clock) {
    g_clock.store(clock);
}

bool CTime::GetLocalTm(std::tm& out) const {
    const std::time_t t = static_cast<std::time_t>(m_time);
    return localtime_r(&t, &out) != nullptr;
}

int CTime::GetYear() const {
    std::tm tm{};
    return GetLocalTm(tm) ? tm.tm_year + 1900 : 0;
}

int CTime::GetMonth() const {
    std::tm tm{};
    return GetLocalTm(tm) ? tm.tm_mon + 1 : 0;
}

int CTime::GetDay() const {
    std::tm tm{};
    return GetLocalTm(tm) ? tm.tm_mday : 0;
}

CString CTime::Format(const char* fmt) const {
    std::tm tm{};
    if (!GetLocalTm(tm)) return {};
    char buf[256];
    const std::size_t n = std::strftime(buf, sizeof buf, fmt, &tm);
    return CString(buf, static_cast<int>(n));
}
