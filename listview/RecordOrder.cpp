#include "listview/RecordOrder.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "database/RecordText.h"
#include "document/VelkonDoc.h"
#include "listview/DataColumns.h"
#include "platform/base/Mbcs.h"

namespace {

// The start of a text as a number whose order is the character order: each character is one
// byte below 0x80, or two bytes (0x80 and the byte for the other single-byte characters, lead
// and trail for a double-byte one), so that every single-byte character comes before every
// double-byte one as its code does. The first 16 of those bytes, big-endian, zero-padded: two
// keys that differ there are ordered by it; equal ones are equal texts only when both are
// whole, and otherwise compare their texts.
struct Key {
    static constexpr std::uint32_t kWhole = UINT32_MAX;
    std::uint64_t hi = 0, lo = 0;
    std::uint32_t place = 0;      // into the records sorted
    std::uint32_t text = kWhole;  // the number of its kept text; kWhole: all in hi and lo
    bool Whole() const { return text == kWhole; }
};

Key MakeKey(std::string_view text, std::uint32_t place) {
    unsigned char bytes[16] = {};
    std::size_t n = 0;
    bool zero = false;
    for (std::size_t i = 0; i < text.size() && n <= 16;) {
        const unsigned code = mbcs::CharCode(text, i);
        i += mbcs::CharLength(text, i);
        if (code < 0x80) {
            if (n < 16) bytes[n] = static_cast<unsigned char>(code);
            ++n;
            zero = zero || code == 0;
            continue;
        }
        const unsigned first = code <= 0xFF ? 0x80u : code >> 8;
        const unsigned second = code & 0xFFu;
        if (n < 16) bytes[n] = static_cast<unsigned char>(first);
        if (n + 1 < 16) bytes[n + 1] = static_cast<unsigned char>(second);
        n += 2;
        zero = zero || second == 0;
    }
    Key key;
    key.place = place;
    if (!(n <= 16 && !zero)) key.text = 0;  // a text of its own, numbered by the caller
    for (std::size_t i = 0; i < 8; ++i) {
        key.hi = (key.hi << 8) | bytes[i];
        key.lo = (key.lo << 8) | bytes[i + 8];
    }
    return key;
}

// Every record's shown text, ranked once. Texts are kept, one after another in one buffer, only
// for keys that do not hold them whole.
class RankedTexts {
public:
    RankedTexts(const CVelkonDoc& doc, std::span<const int> records, int nDataColumn) {
        const int count = doc.GetRecordCount();
        const std::size_t n = records.size();
        m_keys.reserve(n);
        m_textStarts.push_back(0);
        // Dates repeat: each day is formatted once.
        record_text::DateWriter dates;
        CString text;
        const auto add = [&](int r, std::uint32_t place) {
            std::string_view shown;
            if (r < 0 || r >= count) {
                // Not a record: no text.
            } else if (nDataColumn == data_column::RegistDate) {
                shown = dates.Format(doc.m_atimeRegist[r]);
            } else if (nDataColumn == data_column::PrevUpdateDate) {
                shown = dates.Format(doc.m_atimePrevUpdate[r]);
            } else if (data_column::IsNamed(nDataColumn)) {
                // Read where the record keeps it: no copy for each of a million rows.
                shown = doc.TextView(r, nDataColumn - data_column::Handle);
            } else {
                text = data_column::Text(doc, r, nDataColumn);
                shown = text.View();
            }
            // The list shows at most 255 bytes of a text, and sorts by what it shows.
            if (shown.size() > 255)
                shown = shown.substr(0, mbcs::CharBoundaryAtOrBefore(shown, 255));
            Key key = MakeKey(shown, place);
            if (!key.Whole()) {
                key.text = static_cast<std::uint32_t>(m_textStarts.size() - 1);
                m_texts.append(shown);
                m_textStarts.push_back(m_texts.size());
            }
            m_keys.push_back(key);
        };
        // The records are read in the order the store keeps them, not the rows': rows in ID
        // order would send every read to another part of a loaded file of a million lines.
        // The keys' order does not matter to the sort that follows. A counting sort of the
        // places by record number; the places of anything that is not a record come first.
        std::vector<std::uint32_t> start(static_cast<std::size_t>(count) + 2, 0);
        const auto bucket = [count](int r) {
            return r >= 0 && r < count ? static_cast<std::size_t>(r) + 1 : 0;
        };
        for (int r : records) ++start[bucket(r) + 1];
        for (std::size_t b = 1; b < start.size(); ++b) start[b] += start[b - 1];
        std::vector<std::uint32_t> byRecord(n);
        for (std::size_t i = 0; i < n; ++i)
            byRecord[start[bucket(records[i])]++] = static_cast<std::uint32_t>(i);
        for (std::uint32_t place : byRecord) add(records[place], place);
    }

    int Compare(const Key& a, const Key& b) const {
        if (a.hi != b.hi) return a.hi < b.hi ? -1 : 1;
        if (a.lo != b.lo) return a.lo < b.lo ? -1 : 1;
        if (a.Whole() && b.Whole()) return 0;
        return mbcs::Compare(Text(a), Text(b));
    }

    // Ascending or descending by text; equal texts in their places' order.
    void Sort(bool bForward) {
        std::sort(m_keys.begin(), m_keys.end(), [this, bForward](const Key& a, const Key& b) {
            const int c = Compare(a, b);
            if (c != 0) return bForward ? c < 0 : c > 0;
            return a.place < b.place;
        });
    }

    const std::vector<Key>& Keys() const { return m_keys; }

private:
    std::string_view Text(const Key& key) const {
        if (key.Whole()) {
            // Rebuilt from the key (Compare gets here for at most one of its two keys, so one
            // scratch buffer does).
            m_scratch.clear();
            const std::uint64_t halves[2] = {key.hi, key.lo};
            for (std::uint64_t half : halves)
                for (int shift = 56; shift >= 0; shift -= 8) {
                    const auto b = static_cast<unsigned char>(half >> shift);
                    if (b == 0) return Decode(m_scratch);
                    m_scratch.push_back(static_cast<char>(b));
                }
            return Decode(m_scratch);
        }
        const std::size_t from = m_textStarts[key.text];
        return std::string_view(m_texts).substr(from, m_textStarts[key.text + 1] - from);
    }
    // The key's bytes back to the text: 0x80 comes before a single-byte character of 0x80 or
    // more, any other byte from 0x80 up is a lead byte with its trail.
    static std::string_view Decode(std::string& bytes) {
        std::size_t out = 0;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            if (b == 0x80 && i + 1 < bytes.size()) {
                bytes[out++] = bytes[++i];
            } else {
                bytes[out++] = bytes[i];
                if (b > 0x80 && i + 1 < bytes.size()) bytes[out++] = bytes[++i];
            }
        }
        bytes.resize(out);
        return bytes;
    }

    std::vector<Key> m_keys;
    std::vector<std::size_t> m_textStarts;  // where each kept text begins, and the end
    std::string m_texts;
    mutable std::string m_scratch;
};

}  // namespace

int RecordOrder::Compare(int r1, int r2) const {
    auto rankOf = [this](int r) {
        return r >= 0 && static_cast<std::size_t>(r) < rank.size()
                   ? rank[static_cast<std::size_t>(r)]
                   : -1;
    };
    const int a = rankOf(r1);
    const int b = rankOf(r2);
    if (a == b) return 0;
    return (a < b) == forward ? -1 : 1;
}

RecordOrder OrderRecords(const CVelkonDoc& doc, std::span<const int> records, int nDataColumn,
                         bool bForward) {
    const int count = doc.GetRecordCount();
    RankedTexts texts(doc, records, nDataColumn);
    texts.Sort(true);
    RecordOrder result;
    result.forward = bForward;
    result.rank.assign(static_cast<std::size_t>(count), -1);
    const std::vector<Key>& keys = texts.Keys();
    int rank = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (i > 0 && texts.Compare(keys[i - 1], keys[i]) != 0) ++rank;
        const int r = records[keys[i].place];
        if (r >= 0 && r < count) result.rank[static_cast<std::size_t>(r)] = rank;
    }
    return result;
}

std::vector<int> SortedPlaces(const CVelkonDoc& doc, std::span<const int> records, int nDataColumn,
                              bool bForward) {
    RankedTexts texts(doc, records, nDataColumn);
    texts.Sort(bForward);
    std::vector<int> places;
    places.reserve(records.size());
    for (const Key& key : texts.Keys()) places.push_back(static_cast<int>(key.place));
    return places;
}
