#include "database/IdKeys.h"

#include "platform/base/Mbcs.h"

bool CIdKeys::Pack(std::string_view id, Key& key) {
    if (id.size() != 8) return false;
    Key k = 0;
    unsigned high = 0;
    for (char c : id) {
        const auto b = static_cast<unsigned char>(c);
        high |= b;
        k = (k << 8) | b;
    }
    // Below 0x80 a byte is a character of its own: byte order is character order.
    if (high & 0x80) return false;
    key = k;
    return true;
}

void CIdKeys::RemoveAll() {
    m_keys.clear();
    m_keys.shrink_to_fit();
    m_textNumbers.clear();
    m_texts.clear();
}

void CIdKeys::Swap(CIdKeys& other) noexcept {
    m_keys.swap(other.m_keys);
    m_texts.swap(other.m_texts);
    m_textNumbers.swap(other.m_textNumbers);
}

CIdKeys::Key CIdKeys::KeyFor(std::string_view id) {
    Key key = 0;
    if (Pack(id, key)) return key;
    const auto it = m_textNumbers.find(id);
    if (it != m_textNumbers.end()) return kText | it->second;
    // Views into the strings stay valid while the vector grows only if the strings do not
    // move their bytes: a short string lives inside its object, so each text is kept on the heap.
    const auto number = static_cast<std::uint32_t>(m_texts.size());
    m_textNumbers.emplace(m_texts.emplace_back(id), number);
    return kText | number;
}

bool CIdKeys::FindKey(std::string_view id, Key& key) const {
    if (Pack(id, key)) return true;
    const auto it = m_textNumbers.find(id);
    if (it == m_textNumbers.end()) return false;
    key = kText | it->second;
    return true;
}

std::string_view CIdKeys::Text(Key key, char (&buf)[8]) const {
    if (key & kText) return m_texts[static_cast<std::size_t>(key & ~kText)];
    for (int i = 7; i >= 0; --i, key >>= 8) buf[i] = static_cast<char>(key & 0xFF);
    return std::string_view(buf, 8);
}

CString CIdKeys::IdOf(int entry) const {
    char buf[8];
    return CString(Text(KeyOf(entry), buf));
}

int CIdKeys::CompareText(Key a, Key b) const {
    if (a == b) return 0;
    char ba[8], bb[8];
    return mbcs::Compare(Text(a, ba), Text(b, bb));
}
