// The application object: its name, its settings profile, the document template, the main
// window, the recent-file list and the file commands. One exists while the program runs;
// AfxGetApp returns it.
#pragma once

#include <memory>

#include "platform/base/CString.h"
#include "platform/base/CStringArray.h"
#include "platform/base/WinTypes.h"
#include "platform/gui/application/Profile.h"
#include "platform/gui/help/AfxHelp.h"
#include "platform/gui/window/CCmdTarget.h"

class CWnd;
class CDocument;
class CSingleDocTemplate;

class CCommandLineInfo {
public:
    enum { FileNew, FileOpen, FileNothing };
    int m_nShellCommand = FileNew;
    CString m_strFileName;
};

class CWinApp : public CCmdTarget {
public:
    // The name defaults to the application title of the string table; an object made before
    // the program handed over its resources gets it from AfxWinMain.
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance();
    // Runs the event loop until the main window is gone.
    virtual int Run();
    // Idle work: command states of the main frame's bars. FALSE: no more idle work wanted.
    virtual BOOL OnIdle(LONG lCount);

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
    // The handle of the icon resource nIDResource; nullptr when there is none.
    HICON LoadIcon(UINT nIDResource) const;

    // The recent-file list of nMaxMRU entries, kept in "Recent File List" / "File1".. . Its
    // entries are full paths (AfxFullPath), so a file has one entry however it was named.
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void AddToRecentFileList(const CString& pathName);
    int GetRecentFileCount() const { return m_recentFiles.GetSize(); }
    CString GetRecentFile(int i) const { return m_recentFiles[i]; }

    void AddDocTemplate(CSingleDocTemplate* pTemplate);
    CSingleDocTemplate* GetDocTemplate() const { return m_pDocTemplate.get(); }
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);
    // The first argument that is not an option names a file to open.
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);
    void OnMainWindowDestroyed();
    // The manual: the topic of help context dwData (HELP_CONTEXT), its search (HELP_FINDER),
    // or away with the help window (HELP_QUIT). A topic the manual lacks is reported.
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);

    // An end signal (logout, kill, Ctrl+C in a terminal): the program ends in every mode, and
    // nobody may be there to answer a question. From BeginEnding on, message boxes take their
    // safe answer without showing; EndUnasked then lets the document keep its unsaved changes
    // unasked (CDocument::SaveUnasked) and destroys the main window, whose objects write their
    // settings as they go; ExitInstance writes the rest.
    void BeginEnding() { m_bEnding = TRUE; }
    BOOL IsEnding() const { return m_bEnding; }
    virtual void EndUnasked();

    CString m_strAppName;
    CString m_strRegistryKey;
    CString m_strProfileName;
    CWnd* m_pMainWnd = nullptr;
    int m_nCmdShow = 1;  // SW_SHOWNORMAL
    int m_argc = 0;
    char** m_argv = nullptr;

protected:
    DECLARE_MESSAGE_MAP()
protected:
    void OnFileNew();
    void OnFileOpen();
    void OnOpenRecentFile(UINT nID);
    void OnAppExit();
    void SaveStdProfileSettings();

private:
    std::unique_ptr<CProfile> m_profile;
    std::unique_ptr<CSingleDocTemplate> m_pDocTemplate;
    CStringArray m_recentFiles;
    UINT m_nMaxMRU = 0;
    BOOL m_bEnding = FALSE;
};

CWinApp* AfxGetApp();
// A numbered profile key such as "ID3" or "Format0", from a format with one %d.
CString AfxProfileKey(const char* lpszFormat, int n);
CWnd* AfxGetMainWnd();
// The program's own file (a path: the file system's bytes).
CString AfxGetModuleFileName();
// Creates the user interface, then InitInstance, Run and ExitInstance of the application object.
int AfxWinMain(int argc, char** argv);
