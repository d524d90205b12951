// Guards pickup from text that arrives in pieces: however the text is cut, the same IDs and
// handles are picked up as from the whole, only well-formed upper-case IDs get in, and no
// complete line is ever left behind in the buffer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "database/RecordStore.h"
#include "fuzz/FuzzSupport.h"

namespace {

constexpr std::int64_t kDay = 24 * 60 * 60;

// Registered the day before, so that picking them up counts as an update.
void AddRecords(CRecordStore& doc) {
    for (const char* id : {"ABC12345", "XYZ00001", "ABC12340"}) FUZZ_CHECK(doc.AddNewID(id, ""));
}

bool HasCrLf(const CString& s) {
    return s.View().find("\r\n") != std::string_view::npos;
}

void CheckPickups(const CRecordStore& doc) {
    const int n = doc.m_astrPickupID.GetSize();
    FUZZ_CHECK(doc.m_anPickupIndex.GetSize() == n);
    FUZZ_CHECK(doc.m_aPickupHandles.GetSize() == n);
    for (int p = 0; p < n; ++p) {
        const CString& id = doc.m_astrPickupID[p];
        FUZZ_CHECK(CRecordStore::IsValidID(id));
        CString upper = id;
        upper.MakeUpper();
        FUZZ_CHECK(upper == id);
        FUZZ_CHECK(doc.FindPickup(id) == p);  // each ID once
        const CStringArray& handles = *doc.m_aPickupHandles[p];
        for (int h = 0; h < handles.GetSize(); ++h) {
            FUZZ_CHECK(!handles[h].IsEmpty());
            for (int k = 0; k < h; ++k) FUZZ_CHECK(handles[k] != handles[h]);
        }
    }
}

// Cuts the text as the first byte says: 0 gives one piece; otherwise pieces of 1..64 bytes,
// all alike or, with bit 6, varying.
class Chunker {
public:
    Chunker(std::uint8_t control, std::size_t total)
        : m_max((control & 0x3F) + 1u),
          m_vary((control & 0x40) != 0),
          m_state(control | 1u),
          m_whole(control == 0 ? total : 0) {}
    std::size_t Next() {
        if (m_whole) return m_whole;
        if (!m_vary) return m_max;
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return 1 + m_state % m_max;
    }

private:
    std::size_t m_max;
    bool m_vary;
    std::uint32_t m_state;
    std::size_t m_whole;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

    const std::int64_t start = fuzz_support::g_now;
    CRecordStore pieces, whole;
    AddRecords(pieces);
    AddRecords(whole);
    fuzz_support::g_now += kDay;

    CString buffer;
    Chunker chunker(data[0], text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t n = std::min(chunker.Next(), text.size() - pos);
        buffer.Str().append(text.substr(pos, n));
        pos += n;
        pieces.PickupText(buffer);
        FUZZ_CHECK(!HasCrLf(buffer));
    }

    CString all{text};
    whole.PickupText(all);
    fuzz_support::g_now = start;

    FUZZ_CHECK(buffer == all);
    CheckPickups(pieces);
    const int n = pieces.m_astrPickupID.GetSize();
    FUZZ_CHECK(whole.m_astrPickupID.GetSize() == n);
    for (int p = 0; p < n; ++p) {
        FUZZ_CHECK(pieces.m_astrPickupID[p] == whole.m_astrPickupID[p]);
        const CStringArray& a = *pieces.m_aPickupHandles[p];
        const CStringArray& b = *whole.m_aPickupHandles[p];
        FUZZ_CHECK(a.GetSize() == b.GetSize());
        for (int h = 0; h < a.GetSize(); ++h) FUZZ_CHECK(a[h] == b[h]);
    }
    for (int r = 0; r < pieces.GetRecordCount(); ++r) {
        FUZZ_CHECK(pieces.m_anUpdateCount[r] == whole.m_anUpdateCount[r]);
        // Picked up on a later day than it was registered: counted once, however often seen.
        const bool picked = pieces.FindPickup(pieces.m_astrID[r]) != -1;
        FUZZ_CHECK(pieces.m_anUpdateCount[r] == (picked ? 2 : 1));
    }
    return 0;
}
