// The user's settings: one INI file, one group per section. Section, key and text values are in
// the program's code page here and UTF-8 in the file.
#pragma once

#include <memory>
#include <string>

#include "platform/base/CString.h"

class CProfile {
public:
    explicit CProfile(std::string pathUtf8);
    ~CProfile();
    CProfile(const CProfile&) = delete;
    CProfile& operator=(const CProfile&) = delete;

    // $XDG_CONFIG_HOME (or ~/.config), then the company folder, then "<profile>.ini".
    static std::string DefaultPath(const CString& company, const CString& profileName);
    const std::string& Path() const { return m_path; }

    // nDefault when the key is missing or does not hold a number.
    UINT GetInt(LPCTSTR section, LPCTSTR entry, int nDefault) const;
    // lpszDefault (or empty) when the key is missing.
    CString GetString(LPCTSTR section, LPCTSTR entry, LPCTSTR lpszDefault) const;
    BOOL WriteInt(LPCTSTR section, LPCTSTR entry, int nValue);
    BOOL WriteString(LPCTSTR section, LPCTSTR entry, const CString& value);
    // A value kept as the file holds it (UTF-8), not in the program's code page: file names.
    // Empty when the key is missing; FALSE, nothing written, for bytes that are no UTF-8.
    std::string GetUtf8(LPCTSTR section, LPCTSTR entry) const;
    BOOL WriteUtf8(LPCTSTR section, LPCTSTR entry, const std::string& value);
    // Removes one key, or the whole section when entry is nullptr.
    BOOL Remove(LPCTSTR section, LPCTSTR entry);
    // Writes pending changes to the file. FALSE if the file could not be written.
    BOOL Flush();

private:
    struct Impl;
    std::string m_path;
    std::unique_ptr<Impl> m_impl;
};
