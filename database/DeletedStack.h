// Record numbers of deleted records that can still be restored, the most recently deleted on top.
// A record whose ID is registered anew is taken out of the middle; both that and the ordinary
// push and pop cost O(1), however many records were deleted.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/base/Afx.h"

class CDeletedStack {
public:
    int GetSize() const { return m_nLive; }
    BOOL IsEmpty() const { return m_nLive == 0; }
    void RemoveAll();

    void Push(int record, std::string_view id);
    // The most recently deleted record, taken off; -1 when empty.
    int Pop();
    // Takes off the most recently deleted record with exactly this ID; -1 when there is none.
    int TakeLatestWithID(std::string_view id);
    // Front (most recent) first.
    std::vector<int> ToVector() const;

private:
    struct Slot {
        int record;  // -1: taken out
        std::string id;
    };
    void DropTakenTop();

    std::vector<Slot> m_slots;  // in push order; the top is the back
    std::unordered_map<std::string, std::vector<std::size_t>> m_slotsById;
    int m_nLive = 0;
};
