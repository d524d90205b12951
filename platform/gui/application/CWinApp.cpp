#include "platform/gui/application/CWinApp.h"

#include <unistd.h>

#include <climits>

#include "platform/base/AfxRes.h"
#include "platform/base/CFile.h"
#include "platform/base/ResourceTables.h"
#include "platform/base/StringResource.h"
#include "platform/gui/document/CDocTemplate.h"
#include "platform/gui/document/CDocument.h"
#include "platform/gui/document/FileDialog.h"
#include "platform/gui/window/CWnd.h"
#include "platform/gui/window/UiHooks.h"

namespace {
CWinApp* g_app = nullptr;
constexpr const char* kRecentSection = "Recent File List";
}  // namespace

CWinApp* AfxGetApp() {
    return g_app;
}
CString AfxProfileKey(const char* lpszFormat, int n) {
    CString key;
    key.Format(lpszFormat, n);
    return key;
}

CWnd* AfxGetMainWnd() {
    return g_app ? g_app->m_pMainWnd : nullptr;
}

CString AfxGetModuleFileName() {
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return {};
    return CString(std::string_view(self, static_cast<std::size_t>(n)));
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
ON_COMMAND(ID_FILE_NEW, OnFileNew)
ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
ON_COMMAND_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE1 + 15, OnOpenRecentFile)
ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCTSTR lpszAppName) {
    m_strAppName = lpszAppName ? CString(lpszAppName) : AfxLoadString(AFX_IDS_APP_TITLE);
    m_strProfileName = m_strAppName;
    g_app = this;
}

CWinApp::~CWinApp() {
    m_pDocTemplate.reset();
    m_profile.reset();
    if (g_app == this) g_app = nullptr;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    if (!afx_res::FindIcon(nIDResource)) return nullptr;
    return reinterpret_cast<HICON>(static_cast<UINT_PTR>(nIDResource));
}

int CWinApp::ExitInstance() {
    SaveStdProfileSettings();
    FlushProfile();
    return 0;
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

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU) {
    m_nMaxMRU = nMaxMRU;
    m_recentFiles.RemoveAll();
    for (UINT i = 1; i <= nMaxMRU; ++i) {
        CString key;
        key.Format("File%u", i);
        std::string path = GetProfile().GetUtf8(kRecentSection, key);
        if (path.empty()) break;
        m_recentFiles.Add(CString(std::move(path)));
    }
}

void CWinApp::SaveStdProfileSettings() {
    if (m_nMaxMRU == 0) return;
    // A name that is no UTF-8 cannot be kept in the settings; the names after it move up.
    UINT key = 1;
    for (int i = 0; i < m_recentFiles.GetSize() && key <= m_nMaxMRU; ++i) {
        if (GetProfile().WriteUtf8(kRecentSection, AfxProfileKey("File%d", static_cast<int>(key)),
                                   m_recentFiles[i].Str()))
            ++key;
    }
    for (; key <= m_nMaxMRU; ++key)
        WriteProfileString(kRecentSection, AfxProfileKey("File%d", static_cast<int>(key)), nullptr);
}

void CWinApp::AddToRecentFileList(const CString& pathName) {
    if (m_nMaxMRU == 0 || pathName.IsEmpty()) return;
    // One entry per file, whichever way it was named, and one that works from any folder.
    const CString path = AfxFullPath(pathName);
    for (int i = 0; i < m_recentFiles.GetSize(); ++i) {
        if (m_recentFiles[i] == path) {
            m_recentFiles.RemoveAt(i);
            break;
        }
    }
    m_recentFiles.InsertAt(0, path);
    if (m_recentFiles.GetSize() > static_cast<int>(m_nMaxMRU))
        m_recentFiles.RemoveAt(static_cast<int>(m_nMaxMRU),
                               m_recentFiles.GetSize() - static_cast<int>(m_nMaxMRU));
}

void CWinApp::AddDocTemplate(CSingleDocTemplate* pTemplate) {
    m_pDocTemplate.reset(pTemplate);
}

CDocument* CWinApp::OpenDocumentFile(LPCTSTR lpszFileName) {
    return m_pDocTemplate ? m_pDocTemplate->OpenDocumentFile(lpszFileName) : nullptr;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) {
    for (int i = 1; i < m_argc; ++i) {
        const std::string_view arg = m_argv[i];
        if (arg.empty() || arg[0] == '-') continue;
        rCmdInfo.m_nShellCommand = CCommandLineInfo::FileOpen;
        rCmdInfo.m_strFileName = CString(arg);  // the file system's bytes, as they are
        return;
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo) {
    switch (rCmdInfo.m_nShellCommand) {
        case CCommandLineInfo::FileNew:
            OnFileNew();
            return m_pMainWnd != nullptr;
        case CCommandLineInfo::FileOpen:
            // A file that cannot be opened was reported; the program ends.
            return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
        default:
            return TRUE;
    }
}

void CWinApp::OnFileNew() {
    if (m_pDocTemplate) m_pDocTemplate->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen() {
    CString filter, ext;
    if (m_pDocTemplate) {
        m_pDocTemplate->GetDocString(filter, 3);
        m_pDocTemplate->GetDocString(ext, 4);
    }
    CString path;
    if (AfxPromptFileName(path, TRUE, CString(), filter, ext)) OpenDocumentFile(path);
}

void CWinApp::OnOpenRecentFile(UINT nID) {
    const int index = static_cast<int>(nID - ID_FILE_MRU_FILE1);
    if (index < 0 || index >= m_recentFiles.GetSize()) return;
    const CString path = m_recentFiles[index];
    // A file that is gone leaves the list.
    if (!OpenDocumentFile(path)) {
        for (int i = 0; i < m_recentFiles.GetSize(); ++i)
            if (m_recentFiles[i] == path) m_recentFiles.RemoveAt(i--);
    }
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd) m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::EndUnasked() {
    if (m_pDocTemplate) {
        if (CDocument* doc = m_pDocTemplate->GetDocument()) doc->SaveUnasked();
    }
    if (m_pMainWnd)
        m_pMainWnd->DestroyWindow();  // not a close: a resident window would only hide
    else
        afx_ui::Quit();
}

void CWinApp::OnMainWindowDestroyed() {
    m_pMainWnd = nullptr;
    afx_ui::Quit();
}

BOOL CWinApp::OnIdle(LONG) {
    afx_ui::IdleUpdate(m_pMainWnd);
    return FALSE;
}

int CWinApp::Run() {
    return afx_ui::RunEventLoop();
}
