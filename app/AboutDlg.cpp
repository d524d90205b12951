#include "app/AboutDlg.h"

#include "platform/base/VersionInfoSeam.h"
#include "platform/gui/application/CWinApp.h"
#include "res/resource.h"

CAboutDlg::CAboutDlg() : CDialog(IDD) {}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AFX_VERSION_INFO info;
    if (!AfxReadVersionInfo(AfxGetModuleFileName(), &info)) return TRUE;
    if (info.bProductName) SetDlgItemText(IDC_PRODUCT_NAME, info.strProductName);
    if (info.bFixedInfo) {
        // The fourth part of the version is never shown.
        CString version;
        version.Format("Version %d.%d.%d", HIWORD(info.dwProductVersionMS),
                       LOWORD(info.dwProductVersionMS), HIWORD(info.dwProductVersionLS));
        SetDlgItemText(IDC_VERSION, version);
    }
    if (info.bLegalCopyright) SetDlgItemText(IDC_COPYRIGHT, info.strLegalCopyright);
    return TRUE;
}
