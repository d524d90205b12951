#include "app/VelkonApp.h"

#include <cstdio>
#include <string>

#include "app/AboutDlg.h"
#include "app/CommandLine.h"
#include "app/MainWindowOptions.h"
#include "document/VelkonDoc.h"
#include "frame/MainFrame.h"
#include "listview/VelkonView.h"
#include "options/OptionsSheet.h"
#include "platform/base/CFile.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/document/CDocTemplate.h"
#include "platform/ipc/SocketPaths.h"
#include "platform/ipc/WinClass.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CVelkonApp, CWinApp)
ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
ON_COMMAND(ID_OPTIONS, OnOptions)
END_MESSAGE_MAP()

CString CVelkonApp::DefaultDataPath() {
    const CString self = AfxGetModuleFileName();
    const std::string_view folder = self.View().substr(0, self.View().rfind('/') + 1);
    return CString(folder) + "id.lst";
}

BOOL CVelkonApp::InitInstance() {
    // Without a directory of its own the API would be off, and a second start would not find
    // this one: the user learns where the sockets went instead.
    const std::string notice = winlink::RuntimeDirNotice();
    if (!notice.empty()) {
        std::fprintf(stderr, "velkon95: %s\n", notice.c_str());
        AfxLogMessage(CString(notice));
    }
    // One instance: a second start brings the first one forward and ends.
    if (HWND running = FindWindow(kFrameClassName, nullptr)) {
        SetForegroundWindow(GetLastActivePopup(running));
        return FALSE;
    }

    WNDCLASSEX wc;
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.hInstance = AfxGetInstanceHandle();
    wc.lpszClassName = kFrameClassName;
    RegisterClassEx(&wc);

    SetRegistryKey(IDS_COMPANY_NAME);
    LoadStdProfileSettings(4);

    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CVelkonDoc),
                                          RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CVelkonView)));

    CCommandLineInfo cmdInfo;
    if (const char* file = FileOnCommandLine(m_argc, m_argv)) {
        cmdInfo.m_nShellCommand = CCommandLineInfo::FileOpen;
        cmdInfo.m_strFileName = CString(file);  // the file system's bytes, as they are
    }
    if (cmdInfo.m_nShellCommand == CCommandLineInfo::FileNew) {
        const CString path = DefaultDataPath();
        CFileStatus status;
        if (CFile::GetStatus(path, status)) {
            cmdInfo.m_nShellCommand = CCommandLineInfo::FileOpen;
            cmdInfo.m_strFileName = path;
        }
    }
    if (!ProcessShellCommand(cmdInfo)) return FALSE;
    if (m_pMainWnd) m_pMainWnd->DragAcceptFiles(TRUE);
    return TRUE;
}

int CVelkonApp::ExitInstance() {
    UnregisterClass(kFrameClassName, AfxGetInstanceHandle());
    return CWinApp::ExitInstance();
}

void CVelkonApp::OnAppAbout() {
    CAboutDlg about;
    about.DoModal();
}

void CVelkonApp::OnOptions() {
    // The pages store their values into the frame, the view and the document themselves.
    CMainWindowOptions owners;
    RunOptionsSheet(owners);
}
