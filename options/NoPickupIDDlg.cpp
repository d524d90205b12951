#include "options/NoPickupIDDlg.h"

#include "document/VelkonDoc.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/dialog/DataExchange.h"
#include "res/resource.h"

CNoPickupIDDlg::CNoPickupIDDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

void CNoPickupIDDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_NO_PICKUP_ID, m_strID);
}

void CNoPickupIDDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (CVelkonDoc::IsValidID(m_strID)) {
        m_strID.MakeUpper();
        EndDialog(IDOK);
        return;
    }
    AfxMessageBox(IDS_INVALID_ID, MB_OK);
    GotoDlgCtrl(GetDlgItem(IDC_NO_PICKUP_ID));
}
