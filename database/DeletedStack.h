// Record numbers of deleted records that can still be restored, the most recently deleted on top.
// A record whose ID is registered anew is taken out of the middle; both that and the ordinary
// push and pop cost O(1) (amortized), however many records were deleted. The records' IDs come
// from the store's keys; the lookup by ID is made only once an ID is registered anew, so that
// deleting a million records costs a million pushes and nothing more.
#pragma once

#include <cstdint>
#include <vector>

#include "database/IdKeys.h"
#include "platform/base/Afx.h"

class CDeletedStack {
public:
    // keys holds the ID of every record; it must outlive the stack.
    explicit CDeletedStack(const CIdKeys* keys) : m_keys(keys) {}

    int GetSize() const { return m_nLive; }
    BOOL IsEmpty() const { return m_nLive == 0; }
    void RemoveAll();
    void Reserve(std::size_t n) { m_slots.reserve(m_slots.size() + n); }
    // Takes over another stack's records (over keys swapped the same way).
    void Swap(CDeletedStack& other) noexcept;

    void Push(int record);
    // The most recently deleted record, taken off; -1 when empty.
    int Pop();
    // Takes off the most recently deleted record with exactly this ID; -1 when there is none.
    int TakeLatestWithKey(CIdKeys::Key key);
    // Front (most recent) first.
    std::vector<int> ToVector() const;

private:
    void DropTakenTop();
    CIdKeys::Key KeyAt(std::size_t slot) const { return m_keys->KeyOf(m_slots[slot]); }

    // The lookup by ID: for each ID on the stack the slot of its latest record, in a table
    // open-addressed on the key (4 bytes an entry: the key is read through the slot), and for
    // every slot the one before it with the same ID.
    static constexpr std::uint32_t kNone = UINT32_MAX;
    std::size_t Home(CIdKeys::Key key) const;
    // Where the key's entry is, or the empty place where it would go.
    std::size_t Place(CIdKeys::Key key) const;
    void Link(std::size_t slot);
    // The latest slot of a key moves back to the slot before it (none: the entry goes).
    void Unlink(std::size_t slot);
    void Grow();

    const CIdKeys* m_keys;
    std::vector<int> m_slots;  // in push order, -1 where taken out; the top is the back
    bool m_bByKey = false;     // the lookup is made on the first TakeLatestWithKey
    std::vector<std::uint32_t> m_previous;  // by slot
    std::vector<std::uint32_t> m_table;     // latest slots; a power of two in size
    std::size_t m_nKeys = 0;
    int m_nLive = 0;
};
