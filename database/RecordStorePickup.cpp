// Finding member IDs, and the handle written after each, in running text.
#include <algorithm>
#include <cstring>

#include "database/RecordStore.h"
#include "database/RecordText.h"
#include "platform/base/Mbcs.h"

namespace {

bool IsValidIDBytes(std::string_view s) {
    if (s.size() != 8) return false;
    for (int i = 0; i < 3; ++i) {
        const char c = s[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    }
    for (int i = 3; i < 8; ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
    }
    return true;
}

bool IsSpaceChar(std::string_view c) {
    return c == " " || c == "\x81\x40";
}

bool IsStopChar(std::string_view c) {
    if (c.size() == 1) return c[0] == '\t' || c[0] == '/' || c[0] == ':' || c[0] == ',';
    // ／ ： ， 、 。
    if (c.size() == 2 && c[0] == '\x81') {
        const char t = c[1];
        return t == '\x5E' || t == '\x46' || t == '\x43' || t == '\x41' || t == '\x42';
    }
    return false;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Position of the CR of the first CR LF at or after pos. CR and LF are never part of a
// double-byte character, so the search need not step by characters.
std::size_t FindCrLf(std::string_view s, std::size_t pos) {
    while (pos + 1 < s.size()) {
        const void* cr = std::memchr(s.data() + pos, '\r', s.size() - pos - 1);
        if (!cr) return std::string_view::npos;
        pos = static_cast<std::size_t>(static_cast<const char*>(cr) - s.data());
        if (s[pos + 1] == '\n') return pos;
        ++pos;
    }
    return std::string_view::npos;
}

// The rest of a line, taken from the front one character at a time.
class LineReader {
public:
    explicit LineReader(std::string_view line, std::size_t pos) : m_line(line), m_pos(pos) {}
    bool Empty() const { return m_pos >= m_line.size(); }
    std::size_t Pos() const { return m_pos; }
    std::string_view Take() {
        if (Empty()) return {};
        const std::size_t len = mbcs::CharLength(m_line, m_pos);
        const std::string_view c = m_line.substr(m_pos, len);
        m_pos += len;
        return c;
    }

private:
    std::string_view m_line;
    std::size_t m_pos;
};

// The handle after an ID: at most two words joined by one space character, after at least one
// space character, ended by a stop character or the second space. It is a stretch of the line as
// it stands, read without copying a character at a time.
std::string_view ExtractHandle(std::string_view line, LineReader& in) {
    std::string_view c = in.Take();
    if (!IsSpaceChar(c)) return {};
    std::size_t start = in.Pos();
    while (!in.Empty()) {
        start = in.Pos();
        c = in.Take();
        if (!IsSpaceChar(c)) break;
    }
    if (IsSpaceChar(c) || IsStopChar(c)) return {};

    std::size_t end = in.Pos();
    bool spaced = false;
    while (!in.Empty()) {
        const std::size_t before = in.Pos();
        c = in.Take();
        if (IsSpaceChar(c)) {
            spaced = true;
            break;
        }
        if (IsStopChar(c)) return line.substr(start, before - start);
        end = in.Pos();
    }
    if (!spaced || in.Empty()) return line.substr(start, end - start);

    const std::string_view q = in.Take();
    if (IsSpaceChar(q) || IsStopChar(q)) return line.substr(start, end - start);
    end = in.Pos();
    while (!in.Empty()) {
        c = in.Take();
        if (IsSpaceChar(c) || IsStopChar(c)) break;
        end = in.Pos();
    }
    return line.substr(start, end - start);
}

// A handle list longer than this gets a set beside it.
constexpr int kShortHandleList = 16;

}  // namespace

BOOL CRecordStore::IsValidID(const CString& text) {
    return IsValidIDBytes(text.View());
}

int CRecordStore::FindPickup(const CString& id) const {
    return m_anPickupIndex.Find(id.View());
}

void CRecordStore::PickupText(CString& rBuffer) {
    PickupText(rBuffer, rBuffer.View().size(), std::string_view::npos);
}

void CRecordStore::PickupText(CString& rBuffer, std::size_t nAdded, std::size_t nMaxWaiting) {
    const std::string_view buf = rBuffer.View();
    // The first line end can only lie in the added text, or be the CR before it with its LF.
    std::size_t searchFrom = nAdded < buf.size() ? buf.size() - nAdded - 1 : 0;
    std::size_t pos = 0;
    for (;;) {
        while (pos < buf.size() && IsBlank(buf[pos])) ++pos;
        const std::size_t cr = FindCrLf(buf, std::max(pos, searchFrom));
        if (cr == std::string_view::npos) break;
        PickupLineBytes(buf.substr(pos, cr - pos));
        pos = cr + 1;  // the LF goes with the white space of the next round
        searchFrom = 0;
    }
    if (buf.size() - pos > nMaxWaiting && buf.size() - pos > kHeldBack) {
        const std::string_view rest = buf.substr(pos);
        pos += PickupLineUpTo(rest, rest.size() - kHeldBack);
    }
    // One cut for all the lines taken, however many there were.
    rBuffer.Str().erase(0, pos);
}

void CRecordStore::PickupLine(const CString& line) {
    PickupLineBytes(line.View());
}

void CRecordStore::PickupLineBytes(std::string_view line) {
    PickupLineUpTo(line, line.size());
}

std::size_t CRecordStore::PickupLineUpTo(std::string_view line, std::size_t nEnd) {
    const std::size_t size = line.size();
    const std::size_t stop = std::min(nEnd, size);
    std::size_t i = 0;
    while (i < stop) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c >= 0x80) {
            i += mbcs::CharLength(line, i);
            continue;
        }
        // Most text fails at once: an ID starts with a letter and has a digit three bytes on.
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (letter && size - i >= 8 && line[i + 3] >= '0' && line[i + 3] <= '9' &&
            IsValidIDBytes(line.substr(i, 8))) {
            // Its letters are ASCII: upper case is a bit away.
            char upper[8];
            for (int k = 0; k < 8; ++k) {
                const char b = line[i + static_cast<std::size_t>(k)];
                upper[k] = k < 3 && b >= 'a' ? static_cast<char>(b - ('a' - 'A')) : b;
            }
            const CString id(std::string_view(upper, 8));
            LineReader rest(line, i + 8);
            const CString handle(ExtractHandle(line, rest));
            i = rest.Pos();
            PickupID(id, handle);
        } else {
            ++i;
        }
    }
    return i;
}

void CRecordStore::PickupID(const CString& id, const CString& handle) {
    for (const CString& ignored : m_astrNoPickupID) {
        if (ignored == id) return;
    }
    // A member ID is packed once and looked up as a number in both indexes.
    CIdKeys::Key key = 0;
    const bool packed = CIdKeys::Pack(id.View(), key);
    const int p = packed ? m_anPickupIndex.FindKey(key) : FindPickup(id);
    const int r = packed ? m_anSortIndex.FindKey(key) : FindID(id);
    if (p == -1) {
        auto handles = std::make_unique<CStringArray>();
        const int newPickup = m_astrPickupID.GetSize();
        if (!handle.IsEmpty()) handles->Add(handle);
        m_astrPickupID.Add(id);
        if (packed)
            m_pickupKeys.AddKey(key);
        else
            m_pickupKeys.Add(id.View());
        m_anPickupIndex.Insert(newPickup);
        m_aPickupHandles.Add(std::move(handles));

        if (r != -1) {
            const CTime now = CTime::GetCurrentTime();
            if (UpdatedBeforeToday(r, now)) {
                if (CountOf(r) < kMaxUpdateCount) SetCount(r, CountOf(r) + 1);
                SetDate(r, record_field::Update, now);
                OnRecordsModified();
            }
        }
    } else if (!handle.IsEmpty() && !AddPickupHandle(p, handle)) {
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
    m_astrPickupID.RemoveAll();
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
