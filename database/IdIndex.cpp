#include "database/IdIndex.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/base/Mbcs.h"

void CIdIndex::RemoveAll() {
    m_blocks.clear();
    m_size = 0;
}

namespace {

struct SortItem {
    std::uint64_t key;  // the first 8 bytes, big-endian, when `simple`
    std::uint32_t entry;
    std::uint32_t simple;  // the ID is at most 8 bytes of 0x01..0x7F: byte order is code order
};

SortItem MakeItem(std::string_view id, int entry) {
    SortItem item{0, static_cast<std::uint32_t>(entry), 0};
    if (id.size() > 8) return item;
    for (char c : id) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0 || b >= 0x80) return item;
    }
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < 8; ++i)
        key = (key << 8) | (i < id.size() ? static_cast<unsigned char>(id[i]) : 0u);
    item.key = key;
    item.simple = 1;
    return item;
}

}  // namespace

void CIdIndex::Build(int n) {
    RemoveAll();
    if (n <= 0) return;
    std::vector<SortItem> items;
    items.reserve(static_cast<std::size_t>(n));
    for (int entry = 0; entry < n; ++entry) items.push_back(MakeItem(Key(entry), entry));
    // Ties go by entry number, which is the order a one-by-one insertion would give them.
    std::sort(items.begin(), items.end(), [this](const SortItem& a, const SortItem& b) {
        if (a.simple & b.simple) {
            if (a.key != b.key) return a.key < b.key;
        } else {
            const int c =
                mbcs::Compare(Key(static_cast<int>(a.entry)), Key(static_cast<int>(b.entry)));
            if (c != 0) return c < 0;
        }
        return a.entry < b.entry;
    });
    constexpr std::size_t kFill = kMaxBlock / 2;
    for (std::size_t i = 0; i < items.size(); i += kFill) {
        std::vector<int> block;
        const std::size_t end = std::min(items.size(), i + kFill);
        block.reserve(kMaxBlock);
        for (std::size_t j = i; j < end; ++j) block.push_back(static_cast<int>(items[j].entry));
        m_blocks.push_back(std::move(block));
    }
    m_size = n;
}

std::size_t CIdIndex::BlockFor(std::string_view id, bool upper) const {
    std::size_t lo = 0, hi = m_blocks.size();
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        const int c = mbcs::Compare(Key(m_blocks[mid].back()), id);
        if (upper ? c > 0 : c >= 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

void CIdIndex::Insert(int entry) {
    const std::string_view id = Key(entry);
    if (m_blocks.empty()) {
        m_blocks.emplace_back().reserve(kMaxBlock);
        m_blocks.back().push_back(entry);
        m_size = 1;
        return;
    }
    std::size_t b = BlockFor(id, true);
    if (b == m_blocks.size()) b = m_blocks.size() - 1;  // greater than or equal to all: append
    auto& block = m_blocks[b];
    auto pos = std::upper_bound(
        block.begin(), block.end(), id,
        [this](std::string_view key, int e) { return mbcs::Compare(key, Key(e)) < 0; });
    block.insert(pos, entry);
    ++m_size;
    if (block.size() > kMaxBlock) {
        std::vector<int> tail(block.begin() + kMaxBlock / 2, block.end());
        block.resize(kMaxBlock / 2);
        tail.reserve(kMaxBlock);
        m_blocks.insert(m_blocks.begin() + static_cast<std::ptrdiff_t>(b) + 1, std::move(tail));
    }
}

BOOL CIdIndex::Remove(int entry) {
    const std::string_view id = Key(entry);
    for (std::size_t b = BlockFor(id, false); b < m_blocks.size(); ++b) {
        auto& block = m_blocks[b];
        auto it = std::lower_bound(
            block.begin(), block.end(), id,
            [this](int e, std::string_view key) { return mbcs::Compare(Key(e), key) < 0; });
        for (; it != block.end(); ++it) {
            if (*it == entry) {
                block.erase(it);
                if (block.empty())
                    m_blocks.erase(m_blocks.begin() + static_cast<std::ptrdiff_t>(b));
                --m_size;
                return TRUE;
            }
            if (Key(*it) != id) return FALSE;
        }
    }
    return FALSE;
}

int CIdIndex::Find(std::string_view id) const {
    const std::size_t b = BlockFor(id, false);
    if (b == m_blocks.size()) return -1;
    const auto& block = m_blocks[b];
    auto it = std::lower_bound(block.begin(), block.end(), id, [this](int e, std::string_view key) {
        return mbcs::Compare(Key(e), key) < 0;
    });
    return (it != block.end() && Key(*it) == id) ? *it : -1;
}

std::vector<int> CIdIndex::ToVector() const {
    std::vector<int> out;
    out.reserve(static_cast<std::size_t>(m_size));
    ForEach([&out](int e) { out.push_back(e); });
    return out;
}
