#include "platform/base/CString.h"

#include <cstdarg>
#include <cstdio>

#include "platform/base/Mbcs.h"
#include "platform/base/StringResource.h"

namespace {
constexpr int kNotFound = -1;

int ToIndex(std::size_t pos) {
    return pos == std::string_view::npos ? kNotFound : static_cast<int>(pos);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
}  // namespace

int CString::Compare(std::string_view other) const {
    return mbcs::Compare(m_s, other);
}

CString CString::Left(int nCount) const {
    if (nCount <= 0) return {};
    return CString(m_s.substr(0, static_cast<std::size_t>(nCount)));
}

CString CString::Mid(int nFirst) const {
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const {
    if (nFirst < 0) nFirst = 0;
    if (nCount <= 0 || nFirst >= GetLength()) return {};
    return CString(m_s.substr(static_cast<std::size_t>(nFirst), static_cast<std::size_t>(nCount)));
}

CString CString::Right(int nCount) const {
    if (nCount <= 0) return {};
    if (nCount >= GetLength()) return *this;
    return CString(m_s.substr(m_s.size() - static_cast<std::size_t>(nCount)));
}

int CString::Find(char ch, int nStart) const {
    if (nStart < 0) nStart = 0;
    return ToIndex(mbcs::FindChar(m_s, ch, static_cast<std::size_t>(nStart)));
}

int CString::Find(std::string_view sub, int nStart) const {
    if (nStart < 0) nStart = 0;
    return ToIndex(mbcs::Find(m_s, sub, static_cast<std::size_t>(nStart)));
}

int CString::ReverseFind(char ch) const {
    return ToIndex(mbcs::ReverseFindChar(m_s, ch));
}

void CString::MakeUpper() {
    mbcs::ToUpper(m_s);
}
void CString::MakeLower() {
    mbcs::ToLower(m_s);
}

void CString::TrimLeft() {
    std::size_t i = 0;
    while (i < m_s.size() && IsBlank(m_s[i])) ++i;
    m_s.erase(0, i);
}

void CString::TrimRight() {
    std::size_t n = m_s.size();
    while (n > 0 && IsBlank(m_s[n - 1])) --n;
    m_s.resize(n);
}

void CString::Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (n < 0) {
        m_s.clear();
    } else {
        m_s.assign(static_cast<std::size_t>(n) + 1, '\0');
        std::vsnprintf(m_s.data(), m_s.size(), fmt, args);
        m_s.resize(static_cast<std::size_t>(n));
    }
    va_end(args);
}

BOOL CString::LoadString(UINT nID) {
    const CString* found = AfxFindString(nID);
    // An unknown id leaves the text empty, not holding what it held before.
    if (!found) {
        Empty();
        return FALSE;
    }
    *this = *found;
    return TRUE;
}

char* CString::GetBuffer(int nMinLength) {
    if (nMinLength > GetLength()) m_s.resize(static_cast<std::size_t>(nMinLength));
    return m_s.data();
}

void CString::ReleaseBuffer(int nNewLength) {
    if (nNewLength < 0) {
        const std::size_t zero = m_s.find('\0');
        if (zero != std::string::npos) m_s.resize(zero);
    } else if (static_cast<std::size_t>(nNewLength) <= m_s.size()) {
        m_s.resize(static_cast<std::size_t>(nNewLength));
    }
}
