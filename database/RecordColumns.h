// The store's records seen as the framework's parallel arrays: m_astrHandle[r] and the like.
// A field is read out by value (a CString, CTime, int or BOOL), since the store keeps it packed,
// not as an object of its own; an element of a writable column is a copy of the field whose
// assignment writes the field back. A caller that keeps a field keeps a copy: it never changes
// under the caller, and a reference to it cannot outlive the store's bytes.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/CTime.h"

class CRecordStore;

namespace record_field {
// The text fields a user or the API may rewrite: the handle and memos 1..6.
constexpr int kHandle = 0;
constexpr int kTextFields = 7;
// The dates of a record.
enum Date : int { Regist, Update, PrevUpdate };
}  // namespace record_field

class CTextFieldRef : public CString {
public:
    CTextFieldRef(CRecordStore* store, int r, int field, CString value)
        : CString(std::move(value)), m_store(store), m_r(r), m_field(field) {}
    CTextFieldRef(const CTextFieldRef&) = default;
    CTextFieldRef& operator=(const CString& value);
    CTextFieldRef& operator=(const char* value) { return *this = CString(value); }
    CTextFieldRef& operator=(const CTextFieldRef& other) {
        return *this = static_cast<const CString&>(other);
    }
    // Changing the copy in place would leave the field as it was: assign the new text instead.
    CTextFieldRef& operator+=(const CString&) = delete;
    CTextFieldRef& operator+=(const char*) = delete;
    CTextFieldRef& operator+=(char) = delete;
    void Empty() = delete;
    void SetAt(int, char) = delete;
    void MakeUpper() = delete;
    void MakeLower() = delete;
    void TrimLeft() = delete;
    void TrimRight() = delete;
    void Format(const char*, ...) = delete;

private:
    CRecordStore* m_store;
    int m_r;
    int m_field;
};

class CTimeFieldRef : public CTime {
public:
    CTimeFieldRef(CRecordStore* store, int r, record_field::Date date, CTime value)
        : CTime(value), m_store(store), m_r(r), m_date(date) {}
    CTimeFieldRef(const CTimeFieldRef&) = default;
    CTimeFieldRef& operator=(CTime value);
    CTimeFieldRef& operator=(const CTimeFieldRef& other) {
        return *this = static_cast<const CTime&>(other);
    }

private:
    CRecordStore* m_store;
    int m_r;
    record_field::Date m_date;
};

class CCountFieldRef {
public:
    CCountFieldRef(CRecordStore* store, int r) : m_store(store), m_r(r) {}
    CCountFieldRef(const CCountFieldRef&) = default;
    operator int() const;  // NOLINT: reads as the int it stands for
    CCountFieldRef& operator=(int value);
    CCountFieldRef& operator=(const CCountFieldRef& other) { return *this = int(other); }

private:
    CRecordStore* m_store;
    int m_r;
};

// Columns: each names its store and its field; elements by record number.
class CColumnBase {
public:
    explicit CColumnBase(CRecordStore* store) : m_store(store) {}
    CColumnBase(const CColumnBase&) = delete;
    CColumnBase& operator=(const CColumnBase&) = delete;
    int GetSize() const;
    int GetCount() const { return GetSize(); }
    BOOL IsEmpty() const { return GetSize() == 0; }

protected:
    CRecordStore* m_store;
};

class CIdColumn : public CColumnBase {
public:
    using CColumnBase::CColumnBase;
    CString operator[](int r) const;
    CString GetAt(int r) const { return (*this)[r]; }
};

class CTextColumn : public CColumnBase {
public:
    CTextColumn(CRecordStore* store, int field) : CColumnBase(store), m_field(field) {}
    CString operator[](int r) const;
    CTextFieldRef operator[](int r);
    CString GetAt(int r) const { return (*this)[r]; }
    void SetAt(int r, const CString& value) { (*this)[r] = value; }

private:
    int m_field;
};

class CTimeColumn : public CColumnBase {
public:
    CTimeColumn(CRecordStore* store, record_field::Date date) : CColumnBase(store), m_date(date) {}
    CTime operator[](int r) const;
    CTimeFieldRef operator[](int r);
    CTime GetAt(int r) const { return (*this)[r]; }

private:
    record_field::Date m_date;
};

class CCountColumn : public CColumnBase {
public:
    using CColumnBase::CColumnBase;
    int operator[](int r) const;
    CCountFieldRef operator[](int r) { return CCountFieldRef(m_store, r); }
    int GetAt(int r) const { return (*this)[r]; }
};

class CDeletedColumn : public CColumnBase {
public:
    using CColumnBase::CColumnBase;
    BOOL operator[](int r) const;
    BOOL GetAt(int r) const { return (*this)[r]; }
};
