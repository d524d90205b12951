// A dialog: a window made from a dialog template (res/), modal (DoModal, EndDialog) or
// modeless (Create, DestroyWindow). The settings objects of some dialogs live longer than their
// windows, so an object exists before and after its window, and may show it more than once.
// Enter presses the default button (IDOK when there is none), Esc and the close box send
// IDCANCEL; OnOK and OnCancel end a modal dialog. Controls are reached by id.
#pragma once

#include <functional>
#include <memory>

#include "platform/gui/window/CWnd.h"

class CDataExchange;
namespace afx_res {
struct DialogResource;
}

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;
    UINT GetTemplateID() const { return m_nIDHelp; }

    // Shows the dialog and returns the value given to EndDialog (-1 when the template is
    // missing). The window is gone again when it returns.
    virtual INT_PTR DoModal();
    // Makes the window of a modeless dialog; shown at once when the template says visible.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // Ends a modal dialog with nResult; a modeless one is only hidden.
    void EndDialog(int nResult);
    // TRUE while a modal dialog runs and nobody has ended it yet.
    BOOL ContinueModal() const;

    // Moves the members into the controls (FALSE) or the controls into the members (TRUE).
    // FALSE when a control holds what its member cannot take; the user has been told then and
    // the focus is on that control.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    CWnd* GetDlgItem(int nID) const;
    void SetDlgItemText(int nID, LPCTSTR lpszString);
    int GetDlgItemText(int nID, CString& rString) const;
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE);
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void CheckDlgButton(int nIDButton, UINT nCheck);
    UINT IsDlgButtonChecked(int nIDButton) const;
    // Moves the focus to the control (WM_NEXTDLGCTL); an edit's text is selected.
    void GotoDlgCtrl(CWnd* pWndCtrl);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // The template the window is made from; a dialog that makes its own template answers here.
    virtual const afx_res::DialogResource* FindTemplate(UINT nIDTemplate) const;
    // Makes the window from the template inside another window's widget, as a plain part of
    // it (a property sheet's page): no frame, no modal loop, keys it does not use go up.
    BOOL CreateEmbedded(CWnd* pParentWnd, QWidget* pContainer);
    // ﾍﾙﾌﾟ (ID_HELP) and F1: the topic of the dialog's template (WM_COMMANDHELP).
    void OnHelp();
    LRESULT OnCommandHelp(WPARAM wParam, LPARAM lParam);
    // WM_NOTIFY from a control goes to the ON_NOTIFY entry for its code and control id.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void DestroyChildWindows() override;
    DECLARE_MESSAGE_MAP()

protected:
    UINT m_nIDHelp;
    CWnd* m_pParentWndForDialog;

private:
    enum class Kind { Modal, Modeless, Embedded };
    BOOL CreateFromTemplate(UINT nIDTemplate, CWnd* pParentWnd, Kind kind,
                            QWidget* pContainer = nullptr);
    struct Impl;
    std::unique_ptr<Impl> m_dlg;
};

// For tests: runs once each modal dialog is on the screen with its event loop running, so that
// a test can work its controls as a user would. Returns the previous hook.
using AfxDialogHook = std::function<void(CDialog* pDialog)>;
AfxDialogHook AfxSetDialogHook(AfxDialogHook hook);
