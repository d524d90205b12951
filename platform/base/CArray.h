// The framework's growable arrays, over std::vector. Indexes are int as callers expect.
#pragma once

#include <utility>
#include <vector>

#include "platform/base/Afx.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray {
public:
    int GetSize() const { return static_cast<int>(m_v.size()); }
    int GetCount() const { return GetSize(); }
    int GetUpperBound() const { return GetSize() - 1; }
    BOOL IsEmpty() const { return m_v.empty(); }
    void SetSize(int n) { m_v.resize(n > 0 ? static_cast<std::size_t>(n) : 0); }
    void RemoveAll() {
        m_v.clear();
        m_v.shrink_to_fit();
    }
    void Reserve(int n) {
        if (n > 0) m_v.reserve(static_cast<std::size_t>(n));
    }

    const TYPE& GetAt(int i) const { return m_v[Index(i)]; }
    void SetAt(int i, ARG_TYPE v) { m_v[Index(i)] = std::move(v); }
    TYPE& ElementAt(int i) { return m_v[Index(i)]; }
    TYPE& operator[](int i) { return m_v[Index(i)]; }
    const TYPE& operator[](int i) const { return m_v[Index(i)]; }

    // ARG_TYPE may be a move-only owner (an array of unique_ptr); a const reference copies.
    int Add(ARG_TYPE v) {
        m_v.push_back(std::move(v));
        return GetUpperBound();
    }
    void InsertAt(int i, ARG_TYPE v, int nCount = 1) {
        ASSERT(i >= 0 && i <= GetSize());
        m_v.insert(m_v.begin() + i, static_cast<std::size_t>(nCount), v);
    }
    void RemoveAt(int i, int nCount = 1) {
        ASSERT(i >= 0 && nCount >= 0 && i + nCount <= GetSize());
        m_v.erase(m_v.begin() + i, m_v.begin() + i + nCount);
    }
    void Copy(const CArray& other) { m_v = other.m_v; }
    int Append(const CArray& other) {
        const int first = GetSize();
        m_v.insert(m_v.end(), other.m_v.begin(), other.m_v.end());
        return first;
    }

    TYPE* GetData() { return m_v.data(); }
    const TYPE* GetData() const { return m_v.data(); }
    auto begin() { return m_v.begin(); }
    auto end() { return m_v.end(); }
    auto begin() const { return m_v.begin(); }
    auto end() const { return m_v.end(); }

private:
    std::size_t Index(int i) const {
        ASSERT(i >= 0 && i < GetSize());
        return static_cast<std::size_t>(i);
    }
    std::vector<TYPE> m_v;
};
