#include "app/AboutDlg.h"

#include "platform/base/VersionInfoSeam.h"
#include "platform/gui/CWinApp.h"

namespace {
constexpr int kProductName = 2010;
constexpr int kVersion = 2011;
constexpr int kCopyright = 2012;
}  // namespace

CAboutDlg::CAboutDlg() : CDialog(IDD) {}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AFX_VERSION_INFO info;
    if (!AfxReadVersionInfo(AfxGetModuleFileName(), &info)) return TRUE;
    if (info.bProductName) SetDlgItemText(kProductName, info.strProductName);
    if (info.bFixedInfo) {
        // The fourth part of the version is never shown.
        CString version;
        version.Format("Version %d.%d.%d", HIWORD(info.dwProductVersionMS),
                       LOWORD(info.dwProductVersionMS), HIWORD(info.dwProductVersionLS));
        SetDlgItemText(kVersion, version);
    }
    if (info.bLegalCopyright) SetDlgItemText(kCopyright, info.strLegalCopyright);
    return TRUE;
}
