#include "app/VelkonApp.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/AboutDlg.h"
#include "app/CommandLine.h"
#include "app/DataFolder.h"
#include "app/MainWindowOptions.h"
#include "document/VelkonDoc.h"
#include "frame/MainFrame.h"
#include "frame/SecondStart.h"
#include "listview/VelkonView.h"
#include "options/OptionsSheet.h"
#include "platform/base/CFile.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/document/CDocTemplate.h"
#include "platform/ipc/MappingTransfer.h"
#include "platform/ipc/SendToWindow.h"
#include "platform/ipc/SocketPaths.h"
#include "platform/ipc/WinClass.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CVelkonApp, CWinApp)
ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
ON_COMMAND(ID_OPTIONS, OnOptions)
END_MESSAGE_MAP()

namespace {

std::string WorkingFolder() {
    std::string cwd(4096, '\0');
    while (!::getcwd(cwd.data(), cwd.size())) {
        if (errno != ERANGE) return "/";
        cwd.resize(cwd.size() * 2);
    }
    cwd.resize(cwd.find('\0'));
    return cwd;
}

// The running program comes up and opens the file named here (nullptr: none), as its open
// command would.
void HandOverTo(HWND running, const char* file) {
    HANDLE hMapping = nullptr;
    if (file) {
        const std::string path = AbsoluteFileName(file, WorkingFolder());
        if (path.size() + 1 > kMaxHandedOverPath)
            std::fprintf(stderr,
                         "velkon95: %s: the name is too long to hand to the running program\n",
                         file);
        else
            hMapping = AfxShareMappingWith(running, path.c_str(), path.size() + 1, path.size() + 1);
    }
    if (::SendMessage(running, WM_SECOND_START, reinterpret_cast<WPARAM>(hMapping), 0)) return;
    // A running program that knows no such request still comes forward.
    SetForegroundWindow(GetLastActivePopup(running));
}

bool Exists(const CString& path) {
    CFileStatus status;
    return !path.IsEmpty() && CFile::GetStatus(path, status);
}

}  // namespace

CString CVelkonApp::DefaultDataPath() {
    const CString self = AfxGetModuleFileName();
    const std::string_view folder = self.View().substr(0, self.View().rfind('/') + 1);
    return CString(folder) + "id.lst";
}

CString CVelkonApp::UserDataPath() {
    const std::string folder = UserDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    return folder.empty() ? CString() : CString(folder + "/id.lst");
}

BOOL CVelkonApp::InitInstance() {
    // Without a directory of its own the API would be off, and a second start would not find
    // this one: the user learns where the sockets went instead.
    const std::string notice = winlink::RuntimeDirNotice();
    if (!notice.empty()) {
        std::fprintf(stderr, "velkon95: %s\n", notice.c_str());
        AfxLogMessage(CString(notice));
    }
    // One instance: a second start brings the first one up, hands it its file and ends.
    if (HWND running = FindWindow(kFrameClassName, nullptr)) {
        HandOverTo(running, FileOnCommandLine(m_argc, m_argv));
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
    // Installed, the program's folder is the system's: the user's own data folder comes next.
    CString firstSavePath;
    if (cmdInfo.m_nShellCommand == CCommandLineInfo::FileNew) {
        for (const CString& path : {DefaultDataPath(), UserDataPath()}) {
            if (!Exists(path)) continue;
            cmdInfo.m_nShellCommand = CCommandLineInfo::FileOpen;
            cmdInfo.m_strFileName = path;
            break;
        }
        if (cmdInfo.m_nShellCommand == CCommandLineInfo::FileNew) firstSavePath = UserDataPath();
    }
    if (!ProcessShellCommand(cmdInfo)) return FALSE;
    if (CVelkonDoc* doc = CVelkonDoc::GetActive(); doc && !firstSavePath.IsEmpty())
        doc->SetFirstSavePath(firstSavePath);
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
