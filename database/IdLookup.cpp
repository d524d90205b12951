#include "database/IdLookup.h"

void CIdLookup::RemoveAll() {
    std::vector<Slot>().swap(m_slots);
    m_size = 0;
}

// Packed keys of member IDs differ mostly in their last bytes; a multiply spreads them over the
// table's top bits.
std::size_t CIdLookup::SlotOf(CIdKeys::Key key) const {
    const std::uint64_t mixed = (key ^ (key >> 29)) * 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(mixed >> 32) & (m_slots.size() - 1);
}

void CIdLookup::Grow() {
    std::vector<Slot> old;
    old.swap(m_slots);
    m_slots.resize(old.empty() ? 64 : old.size() * 2);
    for (const Slot& slot : old) {
        if (slot.entry < 0) continue;
        std::size_t i = SlotOf(slot.key);
        while (m_slots[i].entry >= 0) i = (i + 1) & (m_slots.size() - 1);
        m_slots[i] = slot;
    }
}

BOOL CIdLookup::Insert(int entry) {
    if (static_cast<std::size_t>(m_size + 1) * 2 > m_slots.size()) Grow();
    const CIdKeys::Key key = m_keys->KeyOf(entry);
    std::size_t i = SlotOf(key);
    for (; m_slots[i].entry >= 0; i = (i + 1) & (m_slots.size() - 1))
        if (m_slots[i].key == key) return FALSE;
    m_slots[i] = Slot{key, entry};
    ++m_size;
    return TRUE;
}

int CIdLookup::Find(std::string_view id) const {
    CIdKeys::Key key = 0;
    return m_keys->FindKey(id, key) ? FindKey(key) : -1;
}

int CIdLookup::FindKey(CIdKeys::Key key) const {
    if (m_slots.empty()) return -1;
    for (std::size_t i = SlotOf(key); m_slots[i].entry >= 0; i = (i + 1) & (m_slots.size() - 1))
        if (m_slots[i].key == key) return m_slots[i].entry;
    return -1;
}
