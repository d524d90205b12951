// The handles seen after each picked-up ID, a list per pickup number. The lists live in blocks
// (a deque) rather than one allocation each, and never move once made: an element is the
// list's address, which stays good until RemoveAll.
#pragma once

#include <deque>

#include "platform/base/CStringArray.h"

class CPickupHandleLists {
public:
    int GetSize() const { return static_cast<int>(m_lists.size()); }
    int GetCount() const { return GetSize(); }
    CStringArray* operator[](int p) { return &m_lists[static_cast<std::size_t>(p)]; }
    const CStringArray* operator[](int p) const { return &m_lists[static_cast<std::size_t>(p)]; }
    const CStringArray* GetAt(int p) const { return (*this)[p]; }
    // A new, empty list at the end.
    CStringArray& Add() { return m_lists.emplace_back(); }
    void RemoveAll() { std::deque<CStringArray>().swap(m_lists); }

private:
    std::deque<CStringArray> m_lists;
};
