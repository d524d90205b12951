// Entry numbers ordered by the ID each one names (character code order, as the runtime's
// _mbscmp), entries with equal IDs in the order they were inserted. Insertion, removal and
// lookup cost O(log N + B) for blocks of at most B entries, so that building a list of a
// hundred thousand picked-up IDs one by one stays near-linear. IDs are compared as the packed
// keys of CIdKeys: a member ID is one number, not a string to follow.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "database/IdKeys.h"

class CIdIndex {
public:
    // keys holds the ID of every entry; it must outlive the index.
    explicit CIdIndex(const CIdKeys* keys) : m_keys(keys) {}

    int GetSize() const { return m_size; }
    BOOL IsEmpty() const { return m_size == 0; }
    void RemoveAll();
    // Takes over another index's entries (over keys swapped the same way).
    void Swap(CIdIndex& other) noexcept;

    // Puts every entry 0..n-1 in order at once (a file just loaded).
    void Build(int n);
    // Places the entry after every entry whose ID is less than or equal to its own.
    void Insert(int entry);
    // Takes the entry out; FALSE when it is not in the index.
    BOOL Remove(int entry);
    // Takes out every entry for which gone(entry) is true, in one pass over the index.
    template <class F>
    void RemoveIf(F&& gone);
    // An entry whose ID equals id exactly (the first of equal ones), or -1.
    int Find(std::string_view id) const;
    int FindKey(CIdKeys::Key key) const;
    // Changes with every change of the entries, to a number no index has had: an answer of
    // FindKey kept with it holds while it has not changed.
    std::uint64_t Version() const { return m_version; }

    template <class F>
    void ForEach(F&& f) const {
        for (const auto& block : m_blocks)
            for (int entry : block) f(entry);
    }
    std::vector<int> ToVector() const;

private:
    static constexpr std::size_t kMaxBlock = 256;
    // One key in this many entries of a block is kept beside it: a lookup reads the block's
    // fences, then follows no more than this many entries to their keys.
    static constexpr std::size_t kFenceStep = 8;

    CIdKeys::Key Key(int entry) const { return m_keys->KeyOf(entry); }
    int Compare(CIdKeys::Key a, CIdKeys::Key b) const { return m_keys->Compare(a, b); }
    // First block whose last ID is greater than key (upper) or not less than key (lower).
    std::size_t BlockFor(CIdKeys::Key key, bool upper) const;
    // The keys of the last entry of each kFenceStep entries of block b, made again after the
    // block changed.
    const std::vector<CIdKeys::Key>& FencesOf(std::size_t b) const;
    static void FencesFor(const std::vector<CIdKeys::Key>& keys, std::vector<CIdKeys::Key>& out);
    // The filter: three bits of one word for each key. A key whose bits are not all set is no
    // entry's, which answers most of a pickup's lookups (IDs nobody registered) with one read.
    // Sized for about eight bits an entry and made again when the entries pass that; a removal
    // leaves its bits (a lookup then just goes on to the blocks).
    // Empty, sized for `entries`; with fill, holding the keys of the entries there are.
    void MakeFilter(std::size_t entries, bool fill);
    void FilterAdd(CIdKeys::Key key);
    bool FilterMayHold(CIdKeys::Key key) const;

    const CIdKeys* m_keys;
    std::vector<std::vector<int>> m_blocks;
    // The key of each block's last entry, side by side: the search for a block reads one array
    // instead of following every block to its entries and each entry to its key.
    std::vector<CIdKeys::Key> m_lastKeys;
    // Each block's fences; empty until a lookup needs them after the block changed. A lookup
    // among a million entries follows three entries to their keys instead of eight.
    mutable std::vector<std::vector<CIdKeys::Key>> m_fences;
    std::vector<std::uint64_t> m_filter;  // a power of two in size, or empty with no entries
    int m_filterShift = 64;               // a mixed key's top bits number its word
    std::size_t m_filterFor = 0;          // the entries it was sized for
    int m_size = 0;
    std::uint64_t m_version = NewVersion();
    static std::uint64_t NewVersion();
};

template <class F>
void CIdIndex::RemoveIf(F&& gone) {
    m_version = NewVersion();
    std::size_t kept = 0;
    for (auto& block : m_blocks) {
        std::size_t out = 0;
        for (int entry : block)
            if (!gone(entry)) block[out++] = entry;
        m_size -= static_cast<int>(block.size() - out);
        block.resize(out);
        if (out > 0) {
            m_lastKeys[kept] = Key(block.back());
            if (&m_blocks[kept] != &block) m_blocks[kept] = std::move(block);
            ++kept;
        }
    }
    m_blocks.resize(kept);
    m_lastKeys.resize(kept);
    m_fences.assign(kept, {});
    MakeFilter(static_cast<std::size_t>(m_size), true);
}
