// Dialog data exchange: DoDataExchange moves members into controls (UpdateData(FALSE)) and
// controls into members (UpdateData(TRUE)) with the DDX_ functions. An exchange that fails (a
// number that is none) tells the user, puts the focus on the control and skips the rest.
#pragma once

#include "platform/base/CString.h"
#include "platform/gui/window/CWnd.h"

class CDialog;

class CDataExchange {
public:
    CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    // The control's window; nullptr (and the exchange failed) when the dialog has none.
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Gives up the exchange: the focus goes to the last prepared control (an edit's text is
    // selected). Nothing after it is exchanged.
    void Fail();
    bool HasFailed() const { return m_bFailed; }

    BOOL m_bSaveAndValidate;
    CDialog* m_pDlgWnd;

private:
    HWND m_hWndLastControl = nullptr;
    bool m_bFailed = false;
};

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// Text of an integer; anything else fails with the framework's message.
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// nIDC is the first radio button of a group; value the index of the checked one, -1 for none.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// The edit field of a combo box; loading selects the first entry the text begins, if any.
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
// Lets rControl take over the control's window, once.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
