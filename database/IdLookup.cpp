#include "database/IdLookup.h"

#include "platform/base/HugePages.h"

void CIdLookup::RemoveAll() {
    std::vector<Slot>().swap(m_slots);
    m_size = 0;
}

std::uint32_t CIdLookup::TagOf(CIdKeys::Key key) {
    return static_cast<std::uint32_t>(CIdKeys::Mix(key) >> 32);
}

void CIdLookup::Grow() {
    std::vector<Slot> old;
    old.swap(m_slots);
    const std::size_t slots = old.empty() ? 64 : old.size() * 2;
    m_slots.reserve(slots);
    huge_pages::AdviseCapacity(m_slots);
    m_slots.resize(slots);
    const std::size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.entry < 0) continue;
        std::size_t i = slot.tag & mask;
        while (m_slots[i].entry >= 0) i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}

BOOL CIdLookup::Insert(int entry) {
    if (static_cast<std::size_t>(m_size + 1) * 2 > m_slots.size()) Grow();
    const CIdKeys::Key key = m_keys->KeyOf(entry);
    const std::uint32_t tag = TagOf(key);
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = tag & mask;
    for (; m_slots[i].entry >= 0; i = (i + 1) & mask)
        if (m_slots[i].tag == tag && m_keys->KeyOf(m_slots[i].entry) == key) return FALSE;
    m_slots[i] = Slot{tag, entry};
    ++m_size;
    return TRUE;
}

int CIdLookup::Find(std::string_view id) const {
    CIdKeys::Key key = 0;
    return m_keys->FindKey(id, key) ? FindKey(key) : -1;
}

int CIdLookup::FindKey(CIdKeys::Key key) const {
    if (m_slots.empty()) return -1;
    const std::uint32_t tag = TagOf(key);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = tag & mask; m_slots[i].entry >= 0; i = (i + 1) & mask)
        if (m_slots[i].tag == tag && m_keys->KeyOf(m_slots[i].entry) == key)
            return m_slots[i].entry;
    return -1;
}
