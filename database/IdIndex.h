// Entry numbers ordered by the ID each one names (character code order, as the runtime's
// _mbscmp), entries with equal IDs in the order they were inserted. Insertion, removal and
// lookup cost O(log N + B) for blocks of at most B entries, so that building a list of a
// hundred thousand picked-up IDs one by one stays near-linear.
#pragma once

#include <string_view>
#include <vector>

#include "platform/base/CStringArray.h"

class CIdIndex {
public:
    // keys[entry] is the ID of an entry; the array must outlive the index.
    explicit CIdIndex(const CStringArray* keys) : m_keys(keys) {}

    int GetSize() const { return m_size; }
    BOOL IsEmpty() const { return m_size == 0; }
    void RemoveAll();

    // Puts every entry 0..n-1 in order at once (a file just loaded).
    void Build(int n);
    // Places the entry after every entry whose ID is less than or equal to its own.
    void Insert(int entry);
    // Takes the entry out; FALSE when it is not in the index.
    BOOL Remove(int entry);
    // An entry whose ID equals id exactly (the first of equal ones), or -1.
    int Find(std::string_view id) const;

    template <class F>
    void ForEach(F&& f) const {
        for (const auto& block : m_blocks)
            for (int entry : block) f(entry);
    }
    std::vector<int> ToVector() const;

private:
    static constexpr std::size_t kMaxBlock = 1024;

    std::string_view Key(int entry) const { return (*m_keys)[entry].View(); }
    // First block whose last ID is greater than id (upper) or not less than id (lower).
    std::size_t BlockFor(std::string_view id, bool upper) const;

    const CStringArray* m_keys;
    std::vector<std::vector<int>> m_blocks;
    int m_size = 0;
};
