#include "database/DeletedStack.h"

#include <algorithm>
#include <utility>

void CDeletedStack::RemoveAll() {
    m_slots.clear();
    m_slots.shrink_to_fit();
    m_previous.clear();
    m_previous.shrink_to_fit();
    m_table.clear();
    m_table.shrink_to_fit();
    m_nKeys = 0;
    m_bByKey = false;
    m_nLive = 0;
}

void CDeletedStack::Swap(CDeletedStack& other) noexcept {
    m_slots.swap(other.m_slots);
    m_previous.swap(other.m_previous);
    m_table.swap(other.m_table);
    std::swap(m_nKeys, other.m_nKeys);
    std::swap(m_bByKey, other.m_bByKey);
    std::swap(m_nLive, other.m_nLive);
}

std::size_t CDeletedStack::Home(CIdKeys::Key key) const {
    // Fibonacci hashing: member IDs differ mostly in their low bytes.
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & (m_table.size() - 1);
}

std::size_t CDeletedStack::Place(CIdKeys::Key key) const {
    std::size_t i = Home(key);
    while (m_table[i] != kNone && KeyAt(m_table[i]) != key) i = (i + 1) & (m_table.size() - 1);
    return i;
}

void CDeletedStack::Grow() {
    std::vector<std::uint32_t> old(std::max<std::size_t>(64, m_table.size() * 2), kNone);
    old.swap(m_table);
    for (std::uint32_t slot : old)
        if (slot != kNone) m_table[Place(KeyAt(slot))] = slot;
}

void CDeletedStack::Link(std::size_t slot) {
    if ((m_nKeys + 1) * 4 > m_table.size() * 3) Grow();
    std::uint32_t& latest = m_table[Place(KeyAt(slot))];
    if (latest == kNone) ++m_nKeys;
    m_previous[slot] = latest;
    latest = static_cast<std::uint32_t>(slot);
}

void CDeletedStack::Unlink(std::size_t slot) {
    std::size_t i = Place(KeyAt(slot));
    if (m_previous[slot] != kNone) {
        m_table[i] = m_previous[slot];
        return;
    }
    // The last record of its ID: the entries after it that belong nearer their home move up,
    // so that every search still meets its entry before an empty place.
    m_table[i] = kNone;
    --m_nKeys;
    const std::size_t mask = m_table.size() - 1;
    for (std::size_t j = (i + 1) & mask; m_table[j] != kNone; j = (j + 1) & mask) {
        const std::size_t home = Home(KeyAt(m_table[j]));
        // Can the entry at j sit at i? Only when its home is not cyclically within (i, j].
        if (((j - home) & mask) >= ((j - i) & mask)) {
            m_table[i] = m_table[j];
            m_table[j] = kNone;
            i = j;
        }
    }
}

void CDeletedStack::Push(int record) {
    m_slots.push_back(record);
    ++m_nLive;
    if (m_bByKey) {
        m_previous.push_back(kNone);
        Link(m_slots.size() - 1);
    }
}

void CDeletedStack::DropTakenTop() {
    while (!m_slots.empty() && m_slots.back() < 0) {
        m_slots.pop_back();
        if (m_bByKey) m_previous.pop_back();
    }
}

int CDeletedStack::Pop() {
    DropTakenTop();
    if (m_slots.empty()) return -1;
    const int top = m_slots.back();
    // The top is the latest slot of its ID.
    if (m_bByKey) {
        Unlink(m_slots.size() - 1);
        m_previous.pop_back();
    }
    m_slots.pop_back();
    --m_nLive;
    return top;
}

int CDeletedStack::TakeLatestWithKey(CIdKeys::Key key) {
    if (m_nLive == 0) return -1;
    if (!m_bByKey) {
        m_bByKey = true;
        m_previous.assign(m_slots.size(), kNone);
        std::size_t size = 64;
        while (size * 3 < static_cast<std::size_t>(m_nLive) * 4) size *= 2;
        m_table.assign(size, kNone);
        m_nKeys = 0;
        for (std::size_t s = 0; s < m_slots.size(); ++s)
            if (m_slots[s] >= 0) Link(s);
    }
    const std::uint32_t slot = m_table[Place(key)];
    if (slot == kNone) return -1;
    Unlink(slot);
    const int record = m_slots[slot];
    m_slots[slot] = -1;
    --m_nLive;
    DropTakenTop();
    return record;
}

std::vector<int> CDeletedStack::ToVector() const {
    std::vector<int> out;
    out.reserve(static_cast<std::size_t>(m_nLive));
    for (auto it = m_slots.rbegin(); it != m_slots.rend(); ++it)
        if (*it >= 0) out.push_back(*it);
    return out;
}
