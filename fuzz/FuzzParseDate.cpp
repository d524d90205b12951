// Guards the dates of the file: any text reads as some date without a crash, what FormatDate
// writes always reads back as the same day, and a day past the end of its month moves into the
// next month rather than anywhere else.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "database/RecordStore.h"
#include "database/RecordText.h"
#include "fuzz/FuzzSupport.h"

namespace {

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysIn(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const CTime time = CRecordStore::ParseDate(CString(text));
    const CString written = CRecordStore::FormatDate(time);

    int Y = 0, M = 0, D = 0;
    FUZZ_CHECK(record_text::ParseDateFields(written.View(), Y, M, D));

    int y = 0, m = 0, d = 0;
    if (!record_text::ParseDateFields(text, y, m, d)) {
        FUZZ_CHECK(written == CRecordStore::FormatDate(CTime::GetCurrentTime()));
        return 0;
    }
    // A parsed date is midnight of its day, so reading the written text must give the same
    // instant, not merely the same day.
    FUZZ_CHECK(CRecordStore::ParseDate(written) == time);
    if (d > DaysIn(y, m)) {
        d -= DaysIn(y, m);
        if (++m > 12) {
            m = 1;
            ++y;
        }
    }
    FUZZ_CHECK(Y == y && M == m && D == d);
    return 0;
}
