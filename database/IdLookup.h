// Entry numbers found by the ID each one names, where each ID names one entry (the pickup list:
// an ID is picked up once). A hash table of the packed keys' hashes beside their entries, so that a
// lookup costs a probe or two whatever the number of entries, where an ordered index would
// follow a score of entries to their keys: a clipboard of a million IDs looks up every one of
// them as it goes.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "database/IdKeys.h"
#include "platform/base/Afx.h"

class CIdLookup {
public:
    // keys holds the ID of every entry; it must outlive the lookup.
    explicit CIdLookup(const CIdKeys* keys) : m_keys(keys) {}

    int GetSize() const { return m_size; }
    BOOL IsEmpty() const { return m_size == 0; }
    void RemoveAll();

    // Adds the entry; FALSE (and nothing added) when an entry with its ID is there already.
    BOOL Insert(int entry);
    // The entry whose ID equals id exactly, or -1.
    int Find(std::string_view id) const;
    int FindKey(CIdKeys::Key key) const;
    // Asks for the slot a FindKey of the key starts at, without waiting for it.
    void Prefetch(CIdKeys::Key key) const {
        if (!m_slots.empty()) __builtin_prefetch(&m_slots[TagOf(key) & (m_slots.size() - 1)]);
    }

private:
    // Eight bytes a slot, so that the table of a hundred thousand pickups stays in the
    // processor's cache: the key's hash rather than the key. Equal tags are told apart by the
    // entries' keys, which only an ID picked again (or one in four billion others) comes to.
    struct Slot {
        std::uint32_t tag = 0;  // the key's hash; its low bits are the slot's number
        int entry = -1;         // -1: empty
    };
    static std::uint32_t TagOf(CIdKeys::Key key);
    void Grow();

    const CIdKeys* m_keys;
    std::vector<Slot> m_slots;  // a power of two in size, at most half full
    int m_size = 0;
};
