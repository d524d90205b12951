// The application object: its name and its settings profile. One exists while the program runs;
// AfxGetApp returns it.
#pragma once

#include <memory>

#include "platform/Afx.h"
#include "platform/CString.h"
#include "platform/Profile.h"

class CWinApp : public CObject {
public:
    // The name defaults to the application title of the string table.
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Puts the settings under the company's folder; the profile is named after the application.
    void SetRegistryKey(LPCTSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);

    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    // A null value deletes the entry; a null entry deletes the whole section.
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);

    CProfile& GetProfile();
    BOOL FlushProfile();

    CString m_strAppName;
    CString m_strRegistryKey;
    CString m_strProfileName;

private:
    std::unique_ptr<CProfile> m_profile;
};

CWinApp* AfxGetApp();
