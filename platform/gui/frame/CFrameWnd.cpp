#include "platform/gui/frame/CFrameWnd.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>

#include "platform/base/CodePage.h"
#include "platform/base/StringResource.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/document/CDocTemplate.h"
#include "platform/gui/document/CDocument.h"
#include "platform/gui/document/CView.h"
#include "platform/gui/frame/FrameMenus.h"
#include "platform/gui/help/AfxHelp.h"
#include "platform/gui/window/CCmdUI.h"
#include "platform/gui/window/QtText.h"

struct CFrameWnd::Impl {
    std::unique_ptr<CFrameMenus> menus;
    CString messageText;
    bool menuOpen = false;
};

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_CLOSE()
ON_UPDATE_COMMAND_UI_RANGE(AFX_IDW_TOOLBAR, AFX_IDW_STATUS_BAR, OnUpdateControlBarMenu)
ON_COMMAND_RANGE(AFX_IDW_TOOLBAR, AFX_IDW_STATUS_BAR, OnBarCheck)
ON_UPDATE_COMMAND_UI(ID_CONTEXT_HELP, OnUpdateContextHelp)
ON_MESSAGE(WM_COMMANDHELP, OnCommandHelp)
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd() : m_impl(std::make_unique<Impl>()) {}
CFrameWnd::~CFrameWnd() = default;

QMainWindow* CFrameWnd::GetMainWindow() const {
    return static_cast<QMainWindow*>(m_pWidget);
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                          CCreateContext* pContext) {
    m_nIDHelp = nIDResource;
    CString docString = AfxLoadString(nIDResource);
    const int nl = docString.Find('\n');
    m_strTitle = nl < 0 ? docString : docString.Left(nl);

    CREATESTRUCT cs;
    cs.style = static_cast<LONG>(dwDefaultStyle);
    cs.lpszName = m_strTitle;
    cs.lpCreateParams = pContext;
    cs.cx = 640;
    cs.cy = 400;
    if (!PreCreateWindow(cs)) return FALSE;
    auto* window = new QMainWindow();
    window->resize(cs.cx, cs.cy);
    window->setWindowTitle(ToQt(m_strTitle));
    if (!AttachWidget(window, cs, pParentWnd)) return FALSE;
    BuildMenus(nIDResource);
    afx_help::WatchMenus();
    return TRUE;
}

void CFrameWnd::BuildMenus(UINT nIDResource) {
    m_impl->menus = std::make_unique<CFrameMenus>(this, nIDResource);
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs) {
    if (CWnd::OnCreate(lpcs) == -1) return -1;
    auto* context = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (!OnCreateClient(lpcs, context)) return -1;
    SetMessageText(AFX_IDS_IDLEMESSAGE);
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) {
    if (pContext && pContext->m_pNewViewClass) return CreateView(pContext) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID) {
    auto* view = dynamic_cast<CView*>(pContext->m_pNewViewClass->CreateObject());
    if (!view) return nullptr;
    if (!view->CreateViewWindow(this, nID, pContext)) return nullptr;  // freed by PostNcDestroy
    GetMainWindow()->setCentralWidget(view->GetWidget());
    if (!m_pViewActive) m_pViewActive = view;
    return view;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible) {
    // The bars exist now; the message pane starts with the idle prompt.
    SetMessageText(AFX_IDS_IDLEMESSAGE);
    if (m_pViewActive) {
        m_pViewActive->OnInitialUpdate();
        if (pDoc && m_pViewActive->GetDocument() != pDoc) pDoc->AddView(m_pViewActive);
    }
    if (bMakeVisible) {
        int nCmdShow = -1;
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd == this) {
            nCmdShow = app->m_nCmdShow;
            app->m_nCmdShow = -1;
        }
        ActivateFrame(nCmdShow);
    }
    OnUpdateFrameTitle(TRUE);
}

BOOL CFrameWnd::IsPeerMessage(UINT message) const {
    return message == WM_AFX_ACTIVATE_LAST_POPUP || CWnd::IsPeerMessage(message);
}

void CFrameWnd::ActivateFrame(int nCmdShow) {
    if (nCmdShow == -1) {
        if (!IsWindowVisible())
            nCmdShow = SW_SHOWNORMAL;
        else if (IsIconic())
            nCmdShow = SW_RESTORE;
    }
    if (nCmdShow != -1) ShowWindow(nCmdShow);
    if (m_pWidget && m_pWidget->isVisible()) {
        m_pWidget->raise();
        m_pWidget->activateWindow();
    }
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
    CDocument* doc = GetActiveDocument();
    if (bAddToTitle && doc)
        SetWindowText(doc->GetTitle() + " - " + m_strTitle);
    else
        SetWindowText(m_strTitle);
}

void CFrameWnd::SetActiveView(CView* pView) {
    m_pViewActive = pView;
}

CDocument* AfxGetActiveDocument() {
    auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    return frame ? frame->GetActiveDocument() : nullptr;
}

CDocument* CFrameWnd::GetActiveDocument() const {
    return m_pViewActive ? m_pViewActive->GetDocument() : nullptr;
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (m_pViewActive && m_pViewActive->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::IsCommandEnabled(UINT nID) {
    CCmdUI state;
    state.m_nID = nID;
    state.DoUpdate(this, TRUE);
    return state.m_bEnabled;
}

void CFrameWnd::RunCommand(UINT nID) {
    SendMessage(WM_COMMAND, nID, 0);
}

void CFrameWnd::SetMessageText(LPCTSTR lpszText) {
    m_impl->messageText = lpszText;
    for (CControlBar* bar : m_listControlBars) {
        if (auto* status = dynamic_cast<CStatusBar*>(bar); status && status->GetCount() > 0)
            status->SetPaneText(0, lpszText);
    }
}

void CFrameWnd::SetMessageText(UINT nID) {
    // In help mode the idle prompt asks for the click.
    if (nID == AFX_IDS_IDLEMESSAGE && afx_help::InHelpMode()) nID = AFX_IDS_HELPMODEMESSAGE;
    CString text;
    GetMessageString(nID, text);
    SetMessageText(text);
}

CString CFrameWnd::GetMessageText() const {
    return m_impl->messageText;
}

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const {
    const CString prompt = AfxLoadString(nID);
    const int nl = prompt.Find('\n');
    rMessage = nl < 0 ? prompt : prompt.Left(nl);
}

void CFrameWnd::AddControlBar(CControlBar* pBar) {
    m_listControlBars.push_back(pBar);
}

CControlBar* CFrameWnd::GetControlBar(UINT nID) const {
    for (CControlBar* bar : m_listControlBars)
        if (bar->GetDlgCtrlID() == nID) return bar;
    return nullptr;
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL) {
    if (pBar && pBar->GetWidget()) pBar->GetWidget()->setVisible(bShow);
}

void CFrameWnd::EnableDocking(DWORD) {
    GetMainWindow()->setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks);
}

void CFrameWnd::DockControlBar(CControlBar* pBar) {
    auto* tb = dynamic_cast<CToolBar*>(pBar);
    if (!tb) return;
    Qt::ToolBarAreas areas;
    const DWORD dock = pBar->GetDockStyle();
    if (dock & CBRS_ALIGN_TOP) areas |= Qt::TopToolBarArea;
    if (dock & CBRS_ALIGN_BOTTOM) areas |= Qt::BottomToolBarArea;
    if (dock & CBRS_ALIGN_LEFT) areas |= Qt::LeftToolBarArea;
    if (dock & CBRS_ALIGN_RIGHT) areas |= Qt::RightToolBarArea;
    tb->GetToolBar()->setAllowedAreas(areas ? areas : Qt::TopToolBarArea);
    tb->GetToolBar()->setMovable(areas != Qt::TopToolBarArea);
    GetMainWindow()->addToolBar(Qt::TopToolBarArea, tb->GetToolBar());
}

namespace {
CString BarSection(LPCTSTR profile, int index) {
    CString section;
    section.Format("%s-Bar%d", profile, index);
    return section;
}
}  // namespace

void CFrameWnd::SaveBarState(LPCTSTR lpszProfileName) const {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    int index = 0;
    for (CControlBar* bar : m_listControlBars) {
        const CString section = BarSection(lpszProfileName, index++);
        app->WriteProfileInt(section, "BarID", static_cast<int>(bar->GetDlgCtrlID()));
        app->WriteProfileInt(section, "Visible", bar->GetWidget() && !bar->GetWidget()->isHidden());
        if (auto* tb = dynamic_cast<CToolBar*>(bar)) {
            const Qt::ToolBarArea area = GetMainWindow()->toolBarArea(tb->GetToolBar());
            app->WriteProfileInt(section, "DockArea", static_cast<int>(area));
        }
    }
    app->WriteProfileInt(CString(lpszProfileName) + "-Summary", "Bars", index);
}

void CFrameWnd::LoadBarState(LPCTSTR lpszProfileName) {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    const int bars =
        static_cast<int>(app->GetProfileInt(CString(lpszProfileName) + "-Summary", "Bars", 0));
    for (int i = 0; i < bars; ++i) {
        const CString section = BarSection(lpszProfileName, i);
        CControlBar* bar = GetControlBar(app->GetProfileInt(section, "BarID", 0));
        if (!bar || !bar->GetWidget()) continue;
        if (auto* tb = dynamic_cast<CToolBar*>(bar)) {
            const int area =
                static_cast<int>(app->GetProfileInt(section, "DockArea", Qt::TopToolBarArea));
            const auto qarea = static_cast<Qt::ToolBarArea>(area);
            if (tb->GetToolBar()->isAreaAllowed(qarea))
                GetMainWindow()->addToolBar(qarea, tb->GetToolBar());
        }
        bar->GetWidget()->setVisible(app->GetProfileInt(section, "Visible", 1) != 0);
    }
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI) {
    CControlBar* bar = GetControlBar(pCmdUI->m_nID);
    if (!bar) {
        pCmdUI->Enable(FALSE);
        return;
    }
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(bar->GetWidget() && !bar->GetWidget()->isHidden());
}

void CFrameWnd::OnBarCheck(UINT nID) {
    if (CControlBar* bar = GetControlBar(nID))
        ShowControlBar(bar, bar->GetWidget() && bar->GetWidget()->isHidden(), FALSE);
}

void CFrameWnd::OnIdleUpdateCmdUI() {
    for (CControlBar* bar : m_listControlBars) bar->OnUpdateCmdUI(this, TRUE);
}

void CFrameWnd::OnHelpFinder() {
    if (CWinApp* app = AfxGetApp()) app->WinHelp(0, HELP_FINDER);
}

void CFrameWnd::OnHelp() {
    afx_help::EndHelpMode();
    if (!SendMessage(WM_COMMANDHELP, 0, 0)) SendMessage(WM_COMMAND, ID_DEFAULT_HELP);
}

void CFrameWnd::OnContextHelp() {
    if (afx_help::InHelpMode())
        afx_help::EndHelpMode();
    else
        afx_help::BeginHelpMode(this);
}

void CFrameWnd::OnUpdateContextHelp(CCmdUI* pCmdUI) {
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(afx_help::InHelpMode());
}

LRESULT CFrameWnd::OnCommandHelp(WPARAM, LPARAM lParam) {
    if (lParam == 0) {
        if (m_nIDHelp == 0) return FALSE;
        lParam = HID_BASE_RESOURCE + m_nIDHelp;
    }
    if (CWinApp* app = AfxGetApp()) app->WinHelp(static_cast<DWORD_PTR>(lParam));
    return TRUE;
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT nID = LOWORD(static_cast<DWORD>(wParam));
    if (afx_help::InHelpMode() && lParam == 0 && nID != ID_HELP && nID != ID_DEFAULT_HELP &&
        nID != ID_CONTEXT_HELP) {
        afx_help::EndHelpMode();
        if (!SendMessage(WM_COMMANDHELP, 0, static_cast<LPARAM>(HID_BASE_COMMAND + nID)))
            SendMessage(WM_COMMAND, ID_DEFAULT_HELP);
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

void CFrameWnd::OnClose() {
    CWinApp* app = AfxGetApp();
    // The main window takes the document with it: ask before anything is lost.
    if (app && app->m_pMainWnd == this) {
        CDocument* doc = GetActiveDocument();
        if (doc && !doc->SaveModified()) return;
    }
    DestroyWindow();
}

void CFrameWnd::OnDestroy() {
    CWnd::OnDestroy();
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        // The help goes with the main window, as it would with the program.
        afx_help::EndHelpMode();
        app->WinHelp(0, HELP_QUIT);
    }
    if (m_pViewActive) {
        CView* view = m_pViewActive;
        view->DestroyWindow();
        m_pViewActive = nullptr;
    }
    if (app && app->m_pMainWnd == this) app->OnMainWindowDestroyed();
}

void CFrameWnd::OnDropFiles(const CString& path) {
    if (m_pWidget) m_pWidget->activateWindow();
    if (CWinApp* app = AfxGetApp()) app->OpenDocumentFile(path);
}
