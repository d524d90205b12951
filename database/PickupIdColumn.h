// The picked-up IDs seen as an array of CString, by pickup number. They are kept once, as keys
// (CIdKeys): a long text picks up a million IDs, and a CString each beside the keys cost a
// fifth of the pickup's time in copies and moves as the array grew. An element is read out by
// value; a caller that keeps one keeps a copy.
#pragma once

#include "database/IdKeys.h"
#include "platform/base/CString.h"

class CPickupIdColumn {
public:
    explicit CPickupIdColumn(const CIdKeys* keys) : m_keys(keys) {}
    CPickupIdColumn(const CPickupIdColumn&) = delete;
    CPickupIdColumn& operator=(const CPickupIdColumn&) = delete;

    int GetSize() const { return m_keys->GetSize(); }
    int GetCount() const { return GetSize(); }
    BOOL IsEmpty() const { return GetSize() == 0; }
    CString operator[](int p) const { return m_keys->IdOf(p); }
    CString GetAt(int p) const { return (*this)[p]; }

private:
    const CIdKeys* m_keys;
};
