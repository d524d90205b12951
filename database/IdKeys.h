// The ID of every entry of a list (records, pickups), numbered from 0 in the order added. An ID
// of eight bytes below 0x80 (every member ID: three letters, five digits) is kept as those bytes
// read as a big-endian number, so that two of them compare as numbers exactly as their bytes
// compare as text; any other ID is kept once in a side table and compares as text
// (_mbscmp's character order).
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/base/CString.h"
#include "platform/base/HugePages.h"

class CIdKeys {
public:
    using Key = std::uint64_t;
    // Packed keys never have the top bit; a key with it holds the number of a text ID.
    static constexpr Key kText = Key(1) << 63;

    // The packed key of an ID that has the usual shape; false for any other.
    static bool Pack(std::string_view id, Key& key);
    // A key's bits spread over all 64 for hashing: packed member IDs differ mostly in their last
    // bytes, and a multiply carries those into the top bits.
    static std::uint64_t Mix(Key key) { return (key ^ (key >> 29)) * 0x9E3779B97F4A7C15ull; }

    int GetSize() const { return static_cast<int>(m_keys.size()); }
    void Reserve(std::size_t n) {
        m_keys.reserve(n);
        huge_pages::AdviseCapacity(m_keys);
    }
    void RemoveAll();
    void Swap(CIdKeys& other) noexcept;

    int Add(std::string_view id) {
        const Key key = KeyFor(id);
        AddKey(key);
        return GetSize() - 1;
    }
    // A packed key as it is (from Pack).
    void AddKey(Key key) {
        if (m_keys.size() == m_keys.capacity())
            Reserve(std::max<std::size_t>(64, 2 * m_keys.size()));
        m_keys.push_back(key);
    }
    // Equal IDs have equal keys: a text ID is kept once however often it is added.
    Key KeyFor(std::string_view id);
    // The key of an ID not added (yet); false when it is a text ID never added, which no entry
    // can then hold.
    bool FindKey(std::string_view id, Key& key) const;

    Key KeyOf(int entry) const { return m_keys[static_cast<std::size_t>(entry)]; }
    // The ID's bytes; a packed one is spelled out into buf.
    std::string_view Text(Key key, char (&buf)[8]) const;
    CString IdOf(int entry) const;
    // <0, 0, >0 as _mbscmp of the two IDs; two packed keys compare as numbers, here, since
    // every lookup compares a score of them.
    int Compare(Key a, Key b) const {
        if (!((a | b) & kText)) return a < b ? -1 : (a > b ? 1 : 0);
        return CompareText(a, b);
    }

private:
    int CompareText(Key a, Key b) const;

    std::vector<Key> m_keys;
    std::deque<std::string> m_texts;  // a deque: its strings never move, the views stay good
    std::unordered_map<std::string_view, std::uint32_t> m_textNumbers;
};
