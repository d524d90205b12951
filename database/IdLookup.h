// Entry numbers found by the ID each one names, where each ID names one entry (the pickup list:
// an ID is picked up once). A hash table of the packed keys beside their entries, so that a
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

private:
    struct Slot {
        CIdKeys::Key key = 0;
        int entry = -1;  // -1: empty
    };
    std::size_t SlotOf(CIdKeys::Key key) const;
    void Grow();

    const CIdKeys* m_keys;
    std::vector<Slot> m_slots;  // a power of two in size, at most half full
    int m_size = 0;
};
