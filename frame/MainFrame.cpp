#include "frame/MainFrame.h"

#include "dialogs/RegistIDDlg.h"
#include "document/VelkonDoc.h"
#include "platform/base/StringResource.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/drawing/CDC.h"
#include "res/resource.h"

namespace {
constexpr const char* kHelperSection = "Helper";
constexpr const char* kFrameClass = "VelkonFrameClass";

}  // namespace

IMPLEMENT_DYNCREATE(CMainFrame)

BEGIN_MESSAGE_MAP(CMainFrame, CVelkonApi32CtrlFrame)
ON_WM_CREATE()
ON_COMMAND(ID_REGIST_ID, OnRegistID)
ON_COMMAND(ID_HELP_FINDER, OnHelpFinder)
ON_COMMAND(ID_DEFAULT_HELP, OnHelpFinder)
ON_COMMAND(ID_HELP, OnHelp)
ON_COMMAND(ID_CONTEXT_HELP, OnContextHelp)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() {
    m_strRegistCount.Empty();
    m_strPickupCount.Empty();
    CWinApp* app = AfxGetApp();
    for (int i = 0; i < kHelperFormats; ++i) {
        const CString fallback = AfxLoadString(IDS_HELPER_FORMAT0 + static_cast<UINT>(i));
        m_astrHelperFormat.Add(
            app ? app->GetProfileString(kHelperSection, AfxProfileKey("Format%d", i), fallback)
                : fallback);
    }
}

CMainFrame::~CMainFrame() {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    for (int i = 0; i < m_astrHelperFormat.GetSize(); ++i)
        app->WriteProfileString(kHelperSection, AfxProfileKey("Format%d", i),
                                m_astrHelperFormat[i]);
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
    cs.lpszClass = kFrameClass;
    return CVelkonApi32CtrlFrame::PreCreateWindow(cs);
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CClipboardViewerFrame::OnCreate(lpCreateStruct) == -1) return -1;
    if (!m_wndToolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR) ||
        !m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
        return -1;
    static const UINT indicators[] = {ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR};
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(indicators, 4))
        return -1;
    m_wndStatusBar.SetPaneInfo(0, ID_SEPARATOR, SBPS_NOBORDERS | SBPS_STRETCH, 0);
    m_wndStatusBar.SetPaneInfo(kShownPane, ID_SEPARATOR, SBPS_NOBORDERS, 0);
    m_wndToolBar.SetBarStyle(m_wndToolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY |
                             CBRS_SIZE_DYNAMIC);
    m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndToolBar);
    SetRegistCount(0);
    SetPickupCount(0);
    return 0;
}

void CMainFrame::SetRegistCount(int nCount) {
    SetCountPane(1, m_strRegistCount, IDS_COUNT_REGISTERED, nCount);
}

void CMainFrame::SetPickupCount(int nCount) {
    SetCountPane(2, m_strPickupCount, IDS_COUNT_PICKED, nCount);
}

void CMainFrame::SetShownCount(int nShown, int nTotal) {
    CString text;
    if (nShown != nTotal) text.Format(AfxLoadString(IDS_COUNT_SHOWN), nShown, nTotal);
    if (text == m_strShownCount) return;
    m_strShownCount = text;
    if (text.IsEmpty()) {
        m_wndStatusBar.SetPaneInfo(kShownPane, ID_SEPARATOR, SBPS_NOBORDERS, 0);
        m_wndStatusBar.SetPaneText(kShownPane, text, TRUE);
    } else {
        FitPane(kShownPane, text);
    }
}

void CMainFrame::SetCountPane(int nPane, CString& rText, UINT nIDFormat, int nCount) {
    rText.Format(AfxLoadString(nIDFormat), nCount);
    FitPane(nPane, rText);
    SetTrayTip(m_strRegistCount + "  " + m_strPickupCount);
}

void CMainFrame::FitPane(int nPane, const CString& rText) {
    CClientDC dc(nullptr);
    CFont* previous = dc.SelectObject(m_wndStatusBar.GetFont());
    SIZE size;
    dc.GetTextExtentPoint(rText, rText.GetLength(), &size);
    dc.SelectObject(previous);
    m_wndStatusBar.SetPaneInfo(nPane, ID_SEPARATOR, SBPS_NORMAL, size.cx);
    m_wndStatusBar.SetPaneText(nPane, rText, TRUE);
}

void CMainFrame::OnRegistID() {
    auto* doc = dynamic_cast<CVelkonDoc*>(GetActiveDocument());
    if (!doc) return;
    CRegistIDDlg dlg(doc);
    dlg.DoModal();
}
