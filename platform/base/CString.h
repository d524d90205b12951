// A string of bytes of the system code page (CP932), with the framework's operations. Byte
// counts are lengths; searching, comparing and case changes treat a double-byte character as
// one unit. Embedded zero bytes are kept, so text read from outside is never cut short.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Afx.h"

class CString {
public:
    CString() = default;
    CString(const char* psz) : m_s(psz ? psz : "") {}  // NOLINT: implicit like the framework's
    CString(const char* p, int nLength) : m_s(p, nLength > 0 ? nLength : 0) {}
    explicit CString(std::string_view sv) : m_s(sv) {}
    explicit CString(std::string s) : m_s(std::move(s)) {}
    CString(char ch, int nRepeat) : m_s(nRepeat > 0 ? nRepeat : 0, ch) {}

    int GetLength() const { return static_cast<int>(m_s.size()); }
    BOOL IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    char GetAt(int i) const { return m_s[Index(i)]; }
    char operator[](int i) const { return m_s[Index(i)]; }
    void SetAt(int i, char ch) { m_s[Index(i)] = ch; }

    operator LPCTSTR() const { return m_s.c_str(); }  // NOLINT
    LPCTSTR GetString() const { return m_s.c_str(); }
    const std::string& Str() const { return m_s; }
    std::string& Str() { return m_s; }
    std::string_view View() const { return m_s; }

    CString& operator=(const char* psz) {
        m_s = psz ? psz : "";
        return *this;
    }
    CString& operator+=(const CString& s) {
        m_s += s.m_s;
        return *this;
    }
    CString& operator+=(const char* psz) {
        if (psz) m_s += psz;
        return *this;
    }
    CString& operator+=(char ch) {
        m_s += ch;
        return *this;
    }

    // Character-by-character code order (the runtime's _mbscmp).
    int Compare(std::string_view other) const;

    // Byte counts, as in the framework: counts out of range are clamped.
    CString Left(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Right(int nCount) const;

    // Byte position of the first match at a character boundary, or -1.
    int Find(char ch, int nStart = 0) const;
    int Find(std::string_view sub, int nStart = 0) const;
    int Find(const char* sub, int nStart = 0) const {
        return Find(std::string_view(sub ? sub : ""), nStart);
    }
    int ReverseFind(char ch) const;

    void MakeUpper();
    void MakeLower();
    // Single-byte white space only: space, tab, CR, LF, vertical tab, form feed.
    void TrimLeft();
    void TrimRight();

    void Format(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    BOOL LoadString(UINT nID);

    // The framework's buffer protocol: write into GetBuffer, then ReleaseBuffer to fix the length
    // (-1: up to the first zero byte).
    char* GetBuffer(int nMinLength);
    void ReleaseBuffer(int nNewLength = -1);

private:
    std::size_t Index(int i) const {
        ASSERT(i >= 0 && static_cast<std::size_t>(i) < m_s.size());
        return static_cast<std::size_t>(i);
    }
    std::string m_s;
};

inline CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
inline CString operator+(const CString& a, const char* b) {
    CString r(a);
    r += b;
    return r;
}
inline CString operator+(const char* a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
inline CString operator+(const CString& a, char ch) {
    CString r(a);
    r += ch;
    return r;
}

inline bool operator==(const CString& a, const CString& b) {
    return a.Str() == b.Str();
}
inline bool operator==(const CString& a, const char* b) {
    return a.Str() == (b ? b : "");
}
inline bool operator==(const char* a, const CString& b) {
    return b == a;
}
inline bool operator!=(const CString& a, const CString& b) {
    return !(a == b);
}
inline bool operator!=(const CString& a, const char* b) {
    return !(a == b);
}
inline bool operator!=(const char* a, const CString& b) {
    return !(b == a);
}
inline bool operator<(const CString& a, const CString& b) {
    return a.Compare(b.View()) < 0;
}
inline bool operator>(const CString& a, const CString& b) {
    return a.Compare(b.View()) > 0;
}
inline bool operator<=(const CString& a, const CString& b) {
    return a.Compare(b.View()) <= 0;
}
inline bool operator>=(const CString& a, const CString& b) {
    return a.Compare(b.View()) >= 0;
}
