#include "database/DeletedStack.h"

void CDeletedStack::RemoveAll() {
    m_slots.clear();
    m_slotsById.clear();
    m_nLive = 0;
}

void CDeletedStack::Push(int record, std::string_view id) {
    m_slotsById[std::string(id)].push_back(m_slots.size());
    m_slots.push_back(Slot{record, std::string(id)});
    ++m_nLive;
}

void CDeletedStack::DropTakenTop() {
    while (!m_slots.empty() && m_slots.back().record < 0) m_slots.pop_back();
}

int CDeletedStack::Pop() {
    DropTakenTop();
    if (m_slots.empty()) return -1;
    Slot top = std::move(m_slots.back());
    m_slots.pop_back();
    // The top is the latest slot of its ID.
    auto it = m_slotsById.find(top.id);
    it->second.pop_back();
    if (it->second.empty()) m_slotsById.erase(it);
    --m_nLive;
    return top.record;
}

int CDeletedStack::TakeLatestWithID(std::string_view id) {
    auto it = m_slotsById.find(std::string(id));
    if (it == m_slotsById.end()) return -1;
    const std::size_t slot = it->second.back();
    it->second.pop_back();
    if (it->second.empty()) m_slotsById.erase(it);
    const int record = m_slots[slot].record;
    m_slots[slot].record = -1;
    m_slots[slot].id.clear();
    --m_nLive;
    DropTakenTop();
    return record;
}

std::vector<int> CDeletedStack::ToVector() const {
    std::vector<int> out;
    for (auto it = m_slots.rbegin(); it != m_slots.rend(); ++it)
        if (it->record >= 0) out.push_back(it->record);
    return out;
}
