// Finding member IDs, and the handle written after each, in running text.
#include <algorithm>

#include "database/PickupScanner.h"
#include "database/RecordStore.h"
#include "database/RecordText.h"

namespace {

// A handle list longer than this gets a set beside it.
constexpr int kShortHandleList = 16;

}  // namespace

BOOL CRecordStore::IsValidID(const CString& text) {
    return pickup_scan::IsValidId(text.View());
}

int CRecordStore::FindPickup(const CString& id) const {
    return m_anPickupIndex.Find(id.View());
}

void CRecordStore::PickupText(CString& rBuffer) {
    PickupText(rBuffer, rBuffer.View().size(), std::string_view::npos);
}

void CRecordStore::PickupText(CString& rBuffer, std::size_t nAdded, std::size_t nMaxWaiting) {
    const std::string_view buf = rBuffer.View();
    // The IDs are taken a batch at a time, so a whole text's finds never wait in memory.
    std::size_t pos = 0;
    for (;;) {
        m_found.Clear();
        const std::size_t rest = buf.size() - pos;
        const std::size_t done = pickup_scan::ScanText(buf.substr(pos), std::min(nAdded, rest),
                                                       nMaxWaiting, m_found, kFoundBatch);
        PickupFound(m_found);
        pos += done;
        if (m_found.Size() < kFoundBatch) break;
        nAdded = buf.size() - pos;  // the rest is all unsearched now
    }
    // One cut for all the lines taken, however many there were.
    rBuffer.Str().erase(0, pos);
}

void CRecordStore::PickupLine(const CString& line) {
    m_found.Clear();
    pickup_scan::ScanLineUpTo(line.View(), std::string_view::npos, m_found);
    PickupFound(m_found);
}

void CRecordStore::PickupFound(const CFoundIds& found) {
    const bool known = found.LookedUpAt(m_anSortIndex.Version());
    for (std::size_t i = 0; i < found.Size(); ++i)
        PickupFoundId(found.Id(i), found.Handle(i), known ? found.Record(i) : kNotLookedUp);
}

void CRecordStore::PrefetchFound(CFoundIds& found) const {
    for (std::size_t i = 0; i < found.Size(); ++i) {
        CIdKeys::Key key = 0;
        const int r = CIdKeys::Pack(found.Id(i), key) ? m_anSortIndex.FindKey(key)
                                                      : FindID(CString(found.Id(i)));
        found.NoteRecord(i, r);
        m_anPickupIndex.Prefetch(key);
        if (r >= 0) __builtin_prefetch(&Rec(r));
    }
    found.NoteLookedUp(m_anSortIndex.Version());
}

void CRecordStore::PickupID(const CString& id, const CString& handle) {
    PickupFoundId(id.View(), handle.View());
}

void CRecordStore::PickupFoundId(std::string_view id, std::string_view handle, int knownRecord) {
    for (const CString& ignored : m_astrNoPickupID) {
        if (ignored.View() == id) return;
    }
    // A member ID is packed once and looked up as a number in both indexes.
    CIdKeys::Key key = 0;
    const bool packed = CIdKeys::Pack(id, key);
    const int p = packed ? m_anPickupIndex.FindKey(key) : m_anPickupIndex.Find(id);
    const int r = knownRecord != kNotLookedUp ? knownRecord
                  : packed                    ? m_anSortIndex.FindKey(key)
                                              : FindID(CString(id));
    if (p == -1) {
        const int newPickup = m_pickupKeys.GetSize();
        if (packed)
            m_pickupKeys.AddKey(key);
        else
            m_pickupKeys.Add(id);
        m_anPickupIndex.Insert(newPickup);
        CStringArray& handles = m_aPickupHandles.Add();
        if (!handle.empty()) handles.Add(CString(handle));

        if (r != -1) {
            const CTime now = CTime::GetCurrentTime();
            if (UpdatedBeforeToday(r, now)) {
                if (CountOf(r) < kMaxUpdateCount) SetCount(r, CountOf(r) + 1);
                SetDate(r, record_field::Update, now);
                OnRecordsModified();
            }
        }
    } else if (!handle.empty() && !AddPickupHandle(p, CString(handle))) {
        return;
    }
    Changed(HINT_PICKED, r);
}

bool CRecordStore::UpdatedBeforeToday(int r, CTime now) {
    if (now.GetTime() != m_nowSecond || m_nowText.empty()) {
        std::string today = record_text::FormatDate(now);
        if (today != m_nowText) m_pastDays.clear();
        m_nowSecond = now.GetTime();
        m_nowText = std::move(today);
    }
    const std::uint32_t number = Rec(r).date[record_field::PrevUpdate];
    if (number >= m_pastDays.size()) m_pastDays.resize(m_times.size(), 0);
    std::uint8_t& day = m_pastDays[number];
    if (day == 0)
        day = m_nowText > record_text::FormatDate(CTime(m_times[number])) ? kPastDay : kNotPastDay;
    return day == kPastDay;
}

void CRecordStore::ClearPickup() {
    m_anPickupIndex.RemoveAll();
    m_pickupKeys.RemoveAll();
    m_aPickupHandles.RemoveAll();
    m_longHandleLists.clear();
    OnRecordsChanged(HINT_PICKUP_CLEARED);
}

bool CRecordStore::AddPickupHandle(int nPickup, const CString& handle) {
    CStringArray& handles = *m_aPickupHandles[nPickup];
    const auto set = m_longHandleLists.find(nPickup);
    if (set != m_longHandleLists.end()) {
        if (!set->second.insert(handle.Str()).second) return false;
    } else {
        for (const CString& known : handles)
            if (known == handle) return false;
        if (handles.GetSize() >= kShortHandleList) {
            auto& made = m_longHandleLists[nPickup];
            for (const CString& known : handles) made.insert(known.Str());
            made.insert(handle.Str());
        }
    }
    handles.Add(handle);
    return true;
}
