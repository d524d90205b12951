#include "platform/CWinApp.h"

#include "platform/StringResource.h"
#include "res/resource.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp* AfxGetApp() {
    return g_app;
}

CWinApp::CWinApp(LPCTSTR lpszAppName) {
    m_strAppName = lpszAppName ? CString(lpszAppName) : AfxLoadString(IDS_APP_TITLE);
    m_strProfileName = m_strAppName;
    g_app = this;
}

CWinApp::~CWinApp() {
    m_profile.reset();
    if (g_app == this) g_app = nullptr;
}

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey) {
    m_strRegistryKey = lpszRegistryKey;
    m_profile.reset();
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey) {
    SetRegistryKey(AfxLoadString(nIDRegistryKey));
}

CProfile& CWinApp::GetProfile() {
    if (!m_profile)
        m_profile =
            std::make_unique<CProfile>(CProfile::DefaultPath(m_strRegistryKey, m_strProfileName));
    return *m_profile;
}

BOOL CWinApp::FlushProfile() {
    return m_profile ? m_profile->Flush() : TRUE;
}

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault) {
    return GetProfile().GetInt(lpszSection, lpszEntry, nDefault);
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault) {
    return GetProfile().GetString(lpszSection, lpszEntry, lpszDefault);
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue) {
    return GetProfile().WriteInt(lpszSection, lpszEntry, nValue);
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue) {
    if (!lpszEntry || !lpszValue) return GetProfile().Remove(lpszSection, lpszEntry);
    return GetProfile().WriteString(lpszSection, lpszEntry, CString(lpszValue));
}
