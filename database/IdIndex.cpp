#include "database/IdIndex.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

#include "platform/base/HugePages.h"

std::uint64_t CIdIndex::NewVersion() {
    // Indexes are built on more than one thread (a file loaded beside the window).
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

void CIdIndex::RemoveAll() {
    m_version = NewVersion();
    m_blocks.clear();
    m_lastKeys.clear();
    m_fences.clear();
    m_filter.clear();
    m_filterShift = 64;
    m_filterFor = 0;
    m_size = 0;
}

void CIdIndex::Swap(CIdIndex& other) noexcept {
    m_blocks.swap(other.m_blocks);
    m_lastKeys.swap(other.m_lastKeys);
    m_fences.swap(other.m_fences);
    m_filter.swap(other.m_filter);
    std::swap(m_filterShift, other.m_filterShift);
    std::swap(m_filterFor, other.m_filterFor);
    std::swap(m_size, other.m_size);
    m_version = NewVersion();
    other.m_version = NewVersion();
}

namespace {

struct SortItem {
    CIdKeys::Key key;
    std::uint32_t entry;
};

// A stable LSD radix sort on the packed keys, a byte at a time, the counts of every byte taken
// in one pass first; a byte that every key shares is skipped. Stable, so entries with equal keys
// keep the order they came in.
void RadixSort(std::vector<SortItem>& items) {
    std::vector<std::size_t> counts(8 * 257, 0);
    for (const SortItem& item : items) {
        CIdKeys::Key key = item.key;
        for (int b = 0; b < 8; ++b, key >>= 8)
            ++counts[static_cast<std::size_t>(b * 257 + (key & 0xFF) + 1)];
    }
    std::vector<SortItem> scratch;
    scratch.reserve(items.size());
    huge_pages::AdviseCapacity(scratch);
    scratch.resize(items.size());
    for (int b = 0; b < 8; ++b) {
        std::size_t* count = counts.data() + b * 257;
        if (std::find(count + 1, count + 257, items.size()) != count + 257) continue;
        for (int d = 0; d < 256; ++d) count[d + 1] += count[d];
        const int shift = 8 * b;
        for (const SortItem& item : items) scratch[count[(item.key >> shift) & 0xFF]++] = item;
        items.swap(scratch);
    }
}

}  // namespace

void CIdIndex::Build(int n) {
    m_version = NewVersion();
    RemoveAll();
    if (n <= 0) return;
    std::vector<SortItem> items;
    items.reserve(static_cast<std::size_t>(n));
    huge_pages::AdviseCapacity(items);
    bool allPacked = true;
    for (int entry = 0; entry < n; ++entry) {
        const CIdKeys::Key key = Key(entry);
        allPacked = allPacked && !(key & CIdKeys::kText);
        items.push_back(SortItem{key, static_cast<std::uint32_t>(entry)});
    }
    if (allPacked && items.size() >= 4096) {
        RadixSort(items);
    } else {
        // Ties go by entry number, which is the order a one-by-one insertion would give them.
        std::sort(items.begin(), items.end(), [this](const SortItem& a, const SortItem& b) {
            const int c = Compare(a.key, b.key);
            return c != 0 ? c < 0 : a.entry < b.entry;
        });
    }
    // Blocks start full: a file loaded is mostly read, and the first insertion into a block
    // splits only that one.
    m_blocks.reserve((items.size() + kMaxBlock - 1) / kMaxBlock);
    m_lastKeys.reserve(m_blocks.capacity());
    m_fences.reserve(m_blocks.capacity());
    std::vector<CIdKeys::Key> keys;
    for (std::size_t i = 0; i < items.size(); i += kMaxBlock) {
        std::vector<int> block;
        const std::size_t end = std::min(items.size(), i + kMaxBlock);
        block.reserve(end - i);
        keys.clear();
        for (std::size_t j = i; j < end; ++j) {
            block.push_back(static_cast<int>(items[j].entry));
            keys.push_back(items[j].key);
        }
        m_blocks.push_back(std::move(block));
        m_lastKeys.push_back(items[end - 1].key);
        FencesFor(keys, m_fences.emplace_back());
    }
    m_size = n;
    MakeFilter(items.size(), false);
    for (const SortItem& item : items) FilterAdd(item.key);
}

std::size_t CIdIndex::BlockFor(CIdKeys::Key key, bool upper) const {
    std::size_t lo = 0, hi = m_lastKeys.size();
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        const int c = Compare(m_lastKeys[mid], key);
        if (upper ? c > 0 : c >= 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

void CIdIndex::Insert(int entry) {
    m_version = NewVersion();
    const CIdKeys::Key key = Key(entry);
    if (static_cast<std::size_t>(m_size) + 1 > m_filterFor)
        MakeFilter((static_cast<std::size_t>(m_size) + 1) * 2, true);
    FilterAdd(key);
    if (m_blocks.empty()) {
        m_blocks.emplace_back().reserve(kMaxBlock);
        m_blocks.back().push_back(entry);
        m_lastKeys.push_back(key);
        m_fences.emplace_back();
        m_size = 1;
        return;
    }
    std::size_t b = BlockFor(key, true);
    if (b == m_blocks.size()) b = m_blocks.size() - 1;  // greater than or equal to all: append
    auto& block = m_blocks[b];
    auto pos = std::upper_bound(block.begin(), block.end(), key,
                                [this](CIdKeys::Key k, int e) { return Compare(k, Key(e)) < 0; });
    if (pos == block.end()) m_lastKeys[b] = key;
    block.insert(pos, entry);
    m_fences[b].clear();
    ++m_size;
    if (block.size() > kMaxBlock) {
        std::vector<int> tail(block.begin() + kMaxBlock / 2, block.end());
        block.resize(kMaxBlock / 2);
        tail.reserve(kMaxBlock);
        const auto at = static_cast<std::ptrdiff_t>(b) + 1;
        m_lastKeys.insert(m_lastKeys.begin() + at, m_lastKeys[b]);
        m_lastKeys[b] = Key(block.back());
        m_blocks.insert(m_blocks.begin() + at, std::move(tail));
        m_fences.insert(m_fences.begin() + at, std::vector<CIdKeys::Key>());
    }
}

BOOL CIdIndex::Remove(int entry) {
    m_version = NewVersion();
    const CIdKeys::Key key = Key(entry);
    for (std::size_t b = BlockFor(key, false); b < m_blocks.size(); ++b) {
        auto& block = m_blocks[b];
        auto it = std::lower_bound(block.begin(), block.end(), key, [this](int e, CIdKeys::Key k) {
            return Compare(Key(e), k) < 0;
        });
        for (; it != block.end(); ++it) {
            if (*it == entry) {
                block.erase(it);
                if (block.empty()) {
                    m_blocks.erase(m_blocks.begin() + static_cast<std::ptrdiff_t>(b));
                    m_lastKeys.erase(m_lastKeys.begin() + static_cast<std::ptrdiff_t>(b));
                    m_fences.erase(m_fences.begin() + static_cast<std::ptrdiff_t>(b));
                } else {
                    m_lastKeys[b] = Key(block.back());
                    m_fences[b].clear();
                }
                --m_size;
                return TRUE;
            }
            if (Key(*it) != key) return FALSE;
        }
    }
    return FALSE;
}

int CIdIndex::Find(std::string_view id) const {
    CIdKeys::Key key = 0;
    return m_keys->FindKey(id, key) ? FindKey(key) : -1;
}

void CIdIndex::FencesFor(const std::vector<CIdKeys::Key>& keys, std::vector<CIdKeys::Key>& out) {
    out.clear();
    out.reserve((keys.size() + kFenceStep - 1) / kFenceStep);
    for (std::size_t i = kFenceStep; i < keys.size() + kFenceStep; i += kFenceStep)
        out.push_back(keys[std::min(i, keys.size()) - 1]);
}

const std::vector<CIdKeys::Key>& CIdIndex::FencesOf(std::size_t b) const {
    std::vector<CIdKeys::Key>& fences = m_fences[b];
    if (fences.empty()) {
        std::vector<CIdKeys::Key> keys;
        keys.reserve(m_blocks[b].size());
        for (const int entry : m_blocks[b]) keys.push_back(Key(entry));
        FencesFor(keys, fences);
    }
    return fences;
}

namespace {
// Bits from the middle of the product: its low bits follow the key's low bits alone, and its
// top bits number the word.
std::uint64_t FilterBits(std::uint64_t mixed) {
    return (std::uint64_t{1} << ((mixed >> 20) & 63)) | (std::uint64_t{1} << ((mixed >> 26) & 63)) |
           (std::uint64_t{1} << ((mixed >> 32) & 63));
}
}  // namespace

void CIdIndex::MakeFilter(std::size_t entries, bool fill) {
    m_filter.clear();
    m_filterFor = 0;
    m_filterShift = 64;
    if (entries == 0) return;
    std::size_t words = 8;
    while (words * 8 < entries) words *= 2;  // a word of 64 bits for each 8 entries
    m_filter.assign(words, 0);
    for (std::size_t w = words; w > 1; w /= 2) --m_filterShift;
    m_filterFor = words * 8;
    if (fill) ForEach([this](int entry) { FilterAdd(Key(entry)); });
}

void CIdIndex::FilterAdd(CIdKeys::Key key) {
    if (m_filter.empty()) return;
    const std::uint64_t mixed = CIdKeys::Mix(key);
    m_filter[static_cast<std::size_t>(mixed >> m_filterShift)] |= FilterBits(mixed);
}

bool CIdIndex::FilterMayHold(CIdKeys::Key key) const {
    if (m_filter.empty()) return m_size > 0;
    const std::uint64_t mixed = CIdKeys::Mix(key);
    const std::uint64_t bits = FilterBits(mixed);
    return (m_filter[static_cast<std::size_t>(mixed >> m_filterShift)] & bits) == bits;
}

int CIdIndex::FindKey(CIdKeys::Key key) const {
    if (!FilterMayHold(key)) return -1;
    const std::size_t b = BlockFor(key, false);
    if (b == m_blocks.size()) return -1;
    const auto& block = m_blocks[b];
    // The first group of entries whose last key is not less than key holds the first entry
    // that is not.
    const auto& fences = FencesOf(b);
    const auto fence =
        std::lower_bound(fences.begin(), fences.end(), key,
                         [this](CIdKeys::Key f, CIdKeys::Key k) { return Compare(f, k) < 0; });
    const std::size_t from = static_cast<std::size_t>(fence - fences.begin()) * kFenceStep;
    const auto first = block.begin() + static_cast<std::ptrdiff_t>(std::min(from, block.size()));
    const auto last =
        block.begin() + static_cast<std::ptrdiff_t>(std::min(from + kFenceStep, block.size()));
    // A packed key is the one key of its ID: the first entry that holds it is the one sought,
    // and the group's keys are read side by side rather than one after another as a binary
    // search must, each likely a miss of the cache.
    if (!(key & CIdKeys::kText)) {
        for (auto it = first; it != last; ++it)
            if (Key(*it) == key) return *it;
        return -1;
    }
    auto it = std::lower_bound(first, last, key,
                               [this](int e, CIdKeys::Key k) { return Compare(Key(e), k) < 0; });
    return (it != last && Key(*it) == key) ? *it : -1;
}

std::vector<int> CIdIndex::ToVector() const {
    std::vector<int> out;
    out.reserve(static_cast<std::size_t>(m_size));
    ForEach([&out](int e) { out.push_back(e); });
    return out;
}
