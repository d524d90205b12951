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
ON_MESSAGE(WM_SHOW_COUNTS, OnShowCounts)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() {
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
    ShowCounts();  // the panes say 0 from the first paint on
    return 0;
}

void CMainFrame::SetRegistCount(int nCount) {
    if (nCount == m_nRegistCount) return;
    m_nRegistCount = nCount;
    CountsChanged();
}

void CMainFrame::SetPickupCount(int nCount) {
    if (nCount == m_nPickupCount) return;
    m_nPickupCount = nCount;
    CountsChanged();
}

void CMainFrame::SetShownCount(int nShown, int nTotal) {
    if (nShown == m_nShown && nTotal == m_nShownTotal) return;
    m_nShown = nShown;
    m_nShownTotal = nTotal;
    CountsChanged();
}

// Measuring a pane and setting the tray tip cost far more than picking up an ID, and nobody
// sees the counts in between: one posted message shows where the counts have got to.
void CMainFrame::CountsChanged() {
    if (m_bCountsDue) return;
    m_bCountsDue = m_hWnd && PostMessage(WM_SHOW_COUNTS);
    if (!m_bCountsDue) ShowCounts();  // no window to post to: nothing to wait for either
}

LRESULT CMainFrame::OnShowCounts(WPARAM, LPARAM) {
    m_bCountsDue = false;
    ShowCounts();
    return 0;
}

void CMainFrame::ShowCounts() {
    const bool regist = SetCountPane(1, m_strRegistCount, IDS_COUNT_REGISTERED, m_nRegistCount);
    const bool pickup = SetCountPane(2, m_strPickupCount, IDS_COUNT_PICKED, m_nPickupCount);
    if (regist || pickup) SetTrayTip(m_strRegistCount + "  " + m_strPickupCount);
    ShowShownCount();
}

void CMainFrame::ShowShownCount() {
    CString text;
    if (m_nShown != m_nShownTotal)
        text.Format(AfxLoadString(IDS_COUNT_SHOWN), m_nShown, m_nShownTotal);
    if (text == m_strShownCount) return;
    m_strShownCount = text;
    if (text.IsEmpty()) {
        m_anMeasuredLength[kShownPane] = -1;
        m_wndStatusBar.SetPaneInfo(kShownPane, ID_SEPARATOR, SBPS_NOBORDERS, 0);
        m_wndStatusBar.SetPaneText(kShownPane, text, TRUE);
    } else {
        FitPane(kShownPane, text);
    }
}

// False when the pane says that already.
bool CMainFrame::SetCountPane(int nPane, CString& rText, UINT nIDFormat, int nCount) {
    CString text;
    text.Format(AfxLoadString(nIDFormat), nCount);
    if (text == rText && m_anMeasuredLength[nPane] >= 0) return false;
    rText = text;
    FitPane(nPane, rText);
    return true;
}

// The status bar's digits are all as wide as each other, so a count's pane keeps its width
// until the count gains or loses a digit.
void CMainFrame::FitPane(int nPane, const CString& rText) {
    if (rText.GetLength() != m_anMeasuredLength[nPane]) {
        CClientDC dc(nullptr);
        CFont* previous = dc.SelectObject(m_wndStatusBar.GetFont());
        SIZE size;
        dc.GetTextExtentPoint(rText, rText.GetLength(), &size);
        dc.SelectObject(previous);
        m_wndStatusBar.SetPaneInfo(nPane, ID_SEPARATOR, SBPS_NORMAL, size.cx);
        m_anMeasuredLength[nPane] = rText.GetLength();
    }
    m_wndStatusBar.SetPaneText(nPane, rText, TRUE);
}

void CMainFrame::OnRegistID() {
    auto* doc = dynamic_cast<CVelkonDoc*>(GetActiveDocument());
    if (!doc) return;
    CRegistIDDlg dlg(doc);
    dlg.DoModal();
}
