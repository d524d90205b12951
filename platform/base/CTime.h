// A point in time: seconds since 1970 (64-bit), shown in local time.
#pragma once

#include <cstdint>
#include <ctime>

#include "platform/base/CString.h"

class CTime {
public:
    using Clock = std::int64_t (*)();

    CTime() = default;
    explicit CTime(std::int64_t t) : m_time(t) {}
    // Local date and time; nDST -1 leaves daylight saving to the runtime. Out-of-range days roll
    // over as mktime does (February 30 becomes a day in March).
    CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);

    static CTime GetCurrentTime();
    // Replaces the system clock (tests); nullptr restores it.
    static void SetClock(Clock clock);

    std::int64_t GetTime() const { return m_time; }
    // Fills the local calendar fields; false when the value cannot be shown as a date.
    bool GetLocalTm(std::tm& out) const;
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    // strftime on the local time; an empty text when the value cannot be converted.
    CString Format(const char* fmt) const;

    friend bool operator==(CTime a, CTime b) { return a.m_time == b.m_time; }
    friend bool operator!=(CTime a, CTime b) { return a.m_time != b.m_time; }
    friend bool operator<(CTime a, CTime b) { return a.m_time < b.m_time; }

private:
    std::int64_t m_time = 0;
};
