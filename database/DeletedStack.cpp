#include "database/DeletedStack.h"

#include <utility>

void CDeletedStack::RemoveAll() {
    m_slots.clear();
    m_slots.shrink_to_fit();
    m_slotsByKey.clear();
    m_bByKey = false;
    m_nLive = 0;
}

void CDeletedStack::Swap(CDeletedStack& other) noexcept {
    m_slots.swap(other.m_slots);
    m_slotsByKey.swap(other.m_slotsByKey);
    std::swap(m_bByKey, other.m_bByKey);
    std::swap(m_nLive, other.m_nLive);
}

void CDeletedStack::Push(int record) {
    if (m_bByKey) m_slotsByKey[m_keys->KeyOf(record)].push_back(m_slots.size());
    m_slots.push_back(record);
    ++m_nLive;
}

void CDeletedStack::DropTakenTop() {
    while (!m_slots.empty() && m_slots.back() < 0) m_slots.pop_back();
}

int CDeletedStack::Pop() {
    DropTakenTop();
    if (m_slots.empty()) return -1;
    const int top = m_slots.back();
    if (m_bByKey) {
        // The top is the latest slot of its ID.
        auto it = m_slotsByKey.find(KeyAt(m_slots.size() - 1));
        it->second.pop_back();
        if (it->second.empty()) m_slotsByKey.erase(it);
    }
    m_slots.pop_back();
    --m_nLive;
    return top;
}

int CDeletedStack::TakeLatestWithKey(CIdKeys::Key key) {
    if (m_nLive == 0) return -1;
    if (!m_bByKey) {
        m_slotsByKey.reserve(static_cast<std::size_t>(m_nLive));
        for (std::size_t s = 0; s < m_slots.size(); ++s)
            if (m_slots[s] >= 0) m_slotsByKey[KeyAt(s)].push_back(s);
        m_bByKey = true;
    }
    auto it = m_slotsByKey.find(key);
    if (it == m_slotsByKey.end()) return -1;
    const std::size_t slot = it->second.back();
    it->second.pop_back();
    if (it->second.empty()) m_slotsByKey.erase(it);
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
