#include "platform/gui/dialog/CDialog.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <vector>

#include "platform/base/AfxRes.h"
#include "platform/base/CodePage.h"
#include "platform/base/WinStyles.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/dialog/DataExchange.h"
#include "platform/gui/dialog/DialogControls.h"
#include "platform/gui/dialog/DialogWidget.h"
#include "platform/gui/help/AfxHelp.h"
#include "platform/gui/window/UiHooks.h"

struct CDialog::Impl {
    std::vector<std::unique_ptr<CControlWnd>> controls;
    QEventLoop* loop = nullptr;
    bool modal = false;
    bool ended = false;
    int result = IDCANCEL;
};

namespace {
AfxDialogHook g_dialogHook;
}

AfxDialogHook AfxSetDialogHook(AfxDialogHook hook) {
    AfxDialogHook previous = std::move(g_dialogHook);
    g_dialogHook = std::move(hook);
    return previous;
}

DialogQt::DialogQt(CDialog* pDialog, QWidget* parent) : QDialog(parent), m_pDialog(pDialog) {}

void DialogQt::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (!m_pDialog || !plain || m_bEmbedded) return QWidget::keyPressEvent(event);
    const HWND hWnd = m_pDialog->GetSafeHwnd();
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            event->accept();
            for (QPushButton* button : findChildren<QPushButton*>()) {
                if (!button->isDefault() || !button->isVisible()) continue;
                // A disabled default button leaves Enter without effect.
                if (button->isEnabled()) button->click();
                return;
            }
            ::SendMessage(hWnd, WM_COMMAND, IDOK, 0);
            return;
        }
        case Qt::Key_Escape:
            event->accept();
            ::SendMessage(hWnd, WM_COMMAND, IDCANCEL, 0);
            return;
        case Qt::Key_F1:
            // The dialog's topic; a property sheet gives its page's.
            event->accept();
            ::SendMessage(hWnd, WM_COMMANDHELP, 0, 0);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
ON_COMMAND(ID_HELP, OnHelp)
ON_MESSAGE(WM_COMMANDHELP, OnCommandHelp)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_pParentWndForDialog(pParentWnd), m_dlg(std::make_unique<Impl>()) {}

CDialog::~CDialog() {
    if (auto* widget = dynamic_cast<DialogQt*>(m_pWidget)) widget->Detach();
    m_dlg->controls.clear();
}

const afx_res::DialogResource* CDialog::FindTemplate(UINT nIDTemplate) const {
    return afx_res::FindDialog(nIDTemplate);
}

BOOL CDialog::CreateEmbedded(CWnd* pParentWnd, QWidget* pContainer) {
    return CreateFromTemplate(m_nIDHelp, pParentWnd, Kind::Embedded, pContainer);
}

BOOL CDialog::CreateFromTemplate(UINT nIDTemplate, CWnd* pParentWnd, Kind kind,
                                 QWidget* pContainer) {
    const afx_res::DialogResource* resource = FindTemplate(nIDTemplate);
    if (!resource || m_hWnd || !afx_ui::HaveGui()) return FALSE;
    const bool bModal = kind == Kind::Modal;
    const bool bEmbedded = kind == Kind::Embedded && pContainer;
    m_dlg->modal = bModal;
    m_dlg->ended = false;
    m_dlg->result = IDCANCEL;
    QWidget* parentWidget = pParentWnd ? pParentWnd->GetWidget() : nullptr;
    if (parentWidget) parentWidget = parentWidget->window();
    auto* widget = new DialogQt(this, bEmbedded ? pContainer : parentWidget);
    if (bEmbedded) {
        widget->setWindowFlags(Qt::Widget);
        widget->SetEmbedded();
    }
    widget->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    CREATESTRUCT cs;
    cs.lpszClass = "";
    cs.style = static_cast<LONG>(resource->style);
    const CString caption(Utf8ToCp932(resource->caption ? resource->caption : ""));
    cs.lpszName = caption;
    if (!AttachWidget(widget, cs, pParentWnd)) return FALSE;
    m_dlg->controls = BuildControls(*resource, this, widget);
    // Centred over the owner (or the screen); OnInitDialog may place the window elsewhere.
    if (bEmbedded) {
        widget->move(0, 0);
    } else {
        const QRect area =
            parentWidget && parentWidget->isVisible()
                ? parentWidget->frameGeometry()
                : (widget->screen() ? widget->screen()->availableGeometry() : QRect());
        widget->move(area.center() - QPoint(widget->width() / 2, widget->height() / 2));
    }
    if (bModal) widget->setWindowModality(Qt::ApplicationModal);

    const HWND hWnd = m_hWnd;
    const BOOL bFocusFirst = OnInitDialog();
    if (!CWnd::FromHandle(hWnd)) return FALSE;  // the dialog went in its own initialisation
    if (bFocusFirst) {
        // A control built of several widgets (a simple combo box) takes the tab on its part
        // that has the focus, not on the frame around it.
        for (const auto& control : m_dlg->controls) {
            const QWidget* w = control->GetWidget();
            const QWidget* focus = control->FocusWidget();
            if ((control->GetStyle() & afx_res::WS_TABSTOP) &&
                focus->focusPolicy() != Qt::NoFocus && !w->isHidden() && w->isEnabled()) {
                GotoDlgCtrl(CWnd::FromHandle(control->GetSafeHwnd()));
                break;
            }
        }
    }
    if (bEmbedded)
        widget->show();
    else if (!bModal && (resource->style & afx_res::WS_VISIBLE) && !m_dlg->ended)
        widget->show();
    return TRUE;
}

INT_PTR CDialog::DoModal() {
    CWnd* parent = m_pParentWndForDialog ? m_pParentWndForDialog : AfxGetMainWnd();
    if (!CreateFromTemplate(m_nIDHelp, parent, Kind::Modal)) return -1;
    if (!m_dlg->ended) {
        QEventLoop loop;
        m_dlg->loop = &loop;
        m_pWidget->show();
        if (g_dialogHook) {
            const HWND hWnd = m_hWnd;
            QTimer::singleShot(0, m_pWidget, [hWnd] {
                auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandle(hWnd));
                if (dialog && g_dialogHook) g_dialogHook(dialog);
            });
        }
        if (!m_dlg->ended) loop.exec(QEventLoop::DialogExec);
        m_dlg->loop = nullptr;
    }
    const int result = m_dlg->result;
    DestroyWindow();
    return result;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDHelp = nIDTemplate;
    return CreateFromTemplate(nIDTemplate, pParentWnd, Kind::Modeless);
}

void CDialog::EndDialog(int nResult) {
    m_dlg->result = nResult;
    m_dlg->ended = true;
    if (m_dlg->loop)
        m_dlg->loop->exit(0);
    else if (!m_dlg->modal && m_pWidget)
        m_pWidget->hide();
}

BOOL CDialog::ContinueModal() const {
    return m_dlg->loop != nullptr && !m_dlg->ended;
}

void CDialog::DestroyChildWindows() {
    m_dlg->controls.clear();
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::OnHelp() {
    if (SendMessage(WM_COMMANDHELP, 0, 0)) return;
    if (CWinApp* app = AfxGetApp()) app->WinHelp(0, HELP_FINDER);
}

LRESULT CDialog::OnCommandHelp(WPARAM, LPARAM lParam) {
    // A dialog's topic is that of its template.
    if (lParam == 0 && m_nIDHelp != 0) lParam = HID_BASE_RESOURCE + m_nIDHelp;
    if (lParam == 0) return FALSE;
    if (CWinApp* app = AfxGetApp()) app->WinHelp(static_cast<DWORD_PTR>(lParam));
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return !dx.HasFailed();
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    // A control's notification is not a command: it is neither enabled nor disabled.
    if (lParam != 0)
        return OnCmdMsg(LOWORD(static_cast<DWORD>(wParam)),
                        static_cast<int>(HIWORD(static_cast<DWORD>(wParam))), nullptr, nullptr);
    return CWnd::OnCommand(wParam, lParam);
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DRAWITEM: {
            // The control's own object draws it.
            const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (dis && dis->hwndItem)
                ::SendMessage(dis->hwndItem, WM_REFLECT_BASE + WM_DRAWITEM, wParam, lParam);
            return TRUE;
        }
        case WM_CLOSE:
            // The close box is the cancel button.
            SendMessage(WM_COMMAND, IDCANCEL, 0);
            return 0;
        case WM_NEXTDLGCTL: {
            if (!lParam) return 0;  // only "to this control" is used
            const auto hCtrl = reinterpret_cast<HWND>(wParam);
            for (const auto& c : m_dlg->controls) {
                if (c->GetSafeHwnd() != hCtrl) continue;
                c->FocusWidget()->setFocus(Qt::OtherFocusReason);
                ::SendMessage(hCtrl, EM_SETSEL, 0, -1);
            }
            return 0;
        }
        case DM_GETDEFID:
            for (const auto& c : m_dlg->controls)
                if (auto* b = qobject_cast<QPushButton*>(c->GetWidget()); b && b->isDefault())
                    return MAKELPARAM(static_cast<WORD>(c->GetDlgCtrlID()), DC_HASDEFID);
            return 0;
        default:
            return CWnd::DefWindowProc(message, wParam, lParam);
    }
}

CWnd* CDialog::GetDlgItem(int nID) const {
    for (const auto& c : m_dlg->controls)
        if (static_cast<int>(c->Item().id) == nID) return CWnd::FromHandle(c->GetSafeHwnd());
    return nullptr;
}

void CDialog::SetDlgItemText(int nID, LPCTSTR lpszString) {
    if (CWnd* control = GetDlgItem(nID)) control->SetWindowText(lpszString);
}

int CDialog::GetDlgItemText(int nID, CString& rString) const {
    CWnd* control = GetDlgItem(nID);
    rString = control ? control->GetWindowText() : CString();
    return rString.GetLength();
}

void CDialog::SetDlgItemInt(int nID, UINT nValue, BOOL bSigned) {
    CString text;
    if (bSigned)
        text.Format("%d", static_cast<int>(nValue));
    else
        text.Format("%u", nValue);
    SetDlgItemText(nID, text);
}

LRESULT CDialog::SendDlgItemMessage(int nID, UINT message, WPARAM wParam, LPARAM lParam) const {
    CWnd* control = GetDlgItem(nID);
    return control ? control->SendMessage(message, wParam, lParam) : 0;
}

void CDialog::CheckDlgButton(int nIDButton, UINT nCheck) {
    SendDlgItemMessage(nIDButton, BM_SETCHECK, nCheck);
}

UINT CDialog::IsDlgButtonChecked(int nIDButton) const {
    return static_cast<UINT>(SendDlgItemMessage(nIDButton, BM_GETCHECK));
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) {
    if (pWndCtrl)
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->GetSafeHwnd()), TRUE);
}
