#include "listview/RecordOrder.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "database/RecordText.h"
#include "document/VelkonDoc.h"
#include "listview/DataColumns.h"
#include "platform/base/Mbcs.h"

namespace {

// The first 16 bytes of a key, big-endian, when byte order is character order for it (no lead
// or zero bytes, at most 16 bytes); such keys compare as two numbers.
struct KeyPrefix {
    std::uint64_t hi = 0, lo = 0;
    std::uint32_t index = 0;  // into the key texts
    bool simple = false;
};

KeyPrefix MakePrefix(const std::string& key, std::uint32_t index) {
    KeyPrefix p;
    p.index = index;
    if (key.size() > 16) return p;
    for (char c : key) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0 || b >= 0x80) return p;
    }
    for (std::size_t i = 0; i < 16; ++i) {
        const std::uint64_t b = i < key.size() ? static_cast<unsigned char>(key[i]) : 0u;
        if (i < 8)
            p.hi = (p.hi << 8) | b;
        else
            p.lo = (p.lo << 8) | b;
    }
    p.simple = true;
    return p;
}

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
    // Dates repeat: each day is formatted once.
    record_text::DateWriter dates;
    const std::size_t n = records.size();
    std::vector<std::string> keys(n);
    std::vector<KeyPrefix> order(n);
    for (std::size_t i = 0; i < n; ++i) {
        const int r = records[i];
        std::string& key = keys[i];
        if (r < 0 || r >= count) {
            // Not a record: no text.
        } else if (nDataColumn == data_column::RegistDate) {
            key = dates.Format(doc.m_atimeRegist[r]);
        } else if (nDataColumn == data_column::PrevUpdateDate) {
            key = dates.Format(doc.m_atimePrevUpdate[r]);
        } else {
            key = data_column::Text(doc, r, nDataColumn).Str();
        }
        // The list shows at most 255 bytes of a text, and sorts by what it shows.
        if (key.size() > 255) key.resize(mbcs::CharBoundaryAtOrBefore(key, 255));
        order[i] = MakePrefix(key, static_cast<std::uint32_t>(i));
    }
    auto compare = [&keys](const KeyPrefix& a, const KeyPrefix& b) {
        if (a.simple && b.simple) {
            if (a.hi != b.hi) return a.hi < b.hi ? -1 : 1;
            return a.lo == b.lo ? 0 : (a.lo < b.lo ? -1 : 1);
        }
        return mbcs::Compare(keys[a.index], keys[b.index]);
    };
    std::sort(order.begin(), order.end(), [&compare](const KeyPrefix& a, const KeyPrefix& b) {
        const int c = compare(a, b);
        return c != 0 ? c < 0 : a.index < b.index;
    });
    RecordOrder result;
    result.forward = bForward;
    result.rank.assign(static_cast<std::size_t>(count), -1);
    int rank = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && compare(order[i - 1], order[i]) != 0) ++rank;
        const int r = records[order[i].index];
        if (r >= 0 && r < count) result.rank[static_cast<std::size_t>(r)] = rank;
    }
    return result;
}
