// Record numbers of deleted records that can still be restored, the most recently deleted on top.
// A record whose ID is registered anew is taken out of the middle; both that and the ordinary
// push and pop cost O(1) (amortized), however many records were deleted. The records' IDs come
// from the store's keys; the lookup by ID is made only once an ID is registered anew, so that
// deleting a million records costs a million pushes and nothing more.
#pragma once

#include <unordered_map>
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

    const CIdKeys* m_keys;
    std::vector<int> m_slots;  // in push order, -1 where taken out; the top is the back
    // Slots by ID, in push order; made on the first TakeLatestWithKey and kept from then on.
    std::unordered_map<CIdKeys::Key, std::vector<std::size_t>> m_slotsByKey;
    bool m_bByKey = false;
    int m_nLive = 0;
};
