#include "platform/gui/dialog/CPropertySheet.h"

#include <QTabWidget>
#include <algorithm>
#include <array>
#include <string>

#include "platform/base/AfxRes.h"
#include "platform/base/CodePage.h"
#include "platform/base/StringResource.h"
#include "platform/base/WinStyles.h"
#include "platform/gui/dialog/DialogWidget.h"
#include "platform/gui/help/AfxHelp.h"
#include "platform/gui/window/QtText.h"

struct CPropertySheet::Impl {
    std::string caption;
    std::array<std::string, 4> texts;
    std::array<afx_res::DialogItem, 4> items{};
    afx_res::DialogResource resource{};
    QTabWidget* tabs = nullptr;
    std::vector<QWidget*> holders;
    bool switching = false;
};

namespace {
constexpr int kMargin = 7;  // dialog units around the tabs and the buttons
constexpr int kButtonCx = 50;
constexpr int kButtonCy = 14;
constexpr int kButtonGap = 4;
constexpr std::uint32_t kButton = afx_res::WS_CHILD | afx_res::WS_VISIBLE | afx_res::WS_TABSTOP;

// The place of a page under the tabs, as large as the page.
class PageHolder : public QWidget {
public:
    explicit PageHolder(QSize size) : m_size(size) { setMinimumSize(size); }
    QSize sizeHint() const override { return m_size; }
    QSize minimumSizeHint() const override { return m_size; }

private:
    QSize m_size;
};

std::string Utf8Of(UINT nID) {
    return Cp932ToUtf8(AfxLoadString(nID).View());
}
}  // namespace

BEGIN_MESSAGE_MAP(CPropertySheet, CDialog)
ON_COMMAND(ID_APPLY_NOW, OnApplyNow)
ON_MESSAGE(WM_COMMANDHELP, OnCommandHelp)
END_MESSAGE_MAP()

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CDialog(0, pParentWnd),
      m_strCaption(pszCaption ? pszCaption : ""),
      m_nStartPage(iSelectPage),
      m_sheet(std::make_unique<Impl>()) {}

CPropertySheet::~CPropertySheet() {
    for (CPropertyPage* page : m_pages) page->m_pSheet = nullptr;
}

void CPropertySheet::AddPage(CPropertyPage* pPage) {
    if (!pPage) return;
    pPage->m_pSheet = this;
    m_pages.push_back(pPage);
}

void CPropertySheet::ForgetPage(CPropertyPage* pPage) {
    m_pages.erase(std::remove(m_pages.begin(), m_pages.end(), pPage), m_pages.end());
    m_modified.erase(std::remove(m_modified.begin(), m_modified.end(), pPage), m_modified.end());
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const {
    return nPage >= 0 && nPage < GetPageCount() ? m_pages[static_cast<std::size_t>(nPage)]
                                                : nullptr;
}

CPropertyPage* CPropertySheet::GetActivePage() const {
    return GetPage(m_nActive);
}

const afx_res::DialogResource* CPropertySheet::FindTemplate(UINT) const {
    // Room for the largest page under the tabs, and the buttons in a row below, right-aligned.
    int pageCx = 0, pageCy = 0;
    for (const CPropertyPage* page : m_pages) {
        if (const afx_res::DialogResource* r = afx_res::FindDialog(page->GetTemplateID())) {
            pageCx = std::max<int>(pageCx, r->cx);
            pageCy = std::max<int>(pageCy, r->cy);
        }
    }
    Impl& s = *m_sheet;
    const int cx = pageCx + 4 + 2 * kMargin;
    const int buttonY = kMargin + pageCy + 18 + 6;
    const int cy = buttonY + kButtonCy + kMargin;
    s.caption = Cp932ToUtf8(m_strCaption.View());
    s.texts = {Utf8Of(AFX_IDS_BUTTON_OK), Utf8Of(AFX_IDS_BUTTON_CANCEL),
               Utf8Of(AFX_IDS_BUTTON_APPLY), Utf8Of(AFX_IDS_BUTTON_HELP)};
    const unsigned ids[4] = {IDOK, IDCANCEL, ID_APPLY_NOW, ID_HELP};
    for (int i = 0; i < 4; ++i) {
        const auto n = static_cast<std::size_t>(i);
        std::uint32_t style =
            kButton | (i == 0 ? afx_res::BS_DEFPUSHBUTTON : afx_res::BS_PUSHBUTTON);
        if (ids[i] == ID_APPLY_NOW) style |= afx_res::WS_DISABLED;  // until a page is changed
        const int x = cx - kMargin - (4 - i) * kButtonCx - (3 - i) * kButtonGap;
        s.items[n] = afx_res::DialogItem{ids[i],
                                         afx_res::DlgCtl::Button,
                                         style,
                                         s.texts[n].c_str(),
                                         static_cast<short>(x),
                                         static_cast<short>(buttonY),
                                         kButtonCx,
                                         kButtonCy};
    }
    s.resource =
        afx_res::DialogResource{0,
                                afx_res::WS_POPUP | afx_res::WS_CAPTION | afx_res::WS_SYSMENU |
                                    afx_res::DS_MODALFRAME | afx_res::DS_SETFONT,
                                s.caption.c_str(),
                                static_cast<short>(cx),
                                static_cast<short>(cy),
                                9,
                                s.items.data(),
                                s.items.size()};
    return &s.resource;
}

BOOL CPropertySheet::OnInitDialog() {
    CDialog::OnInitDialog();
    Impl& s = *m_sheet;
    QWidget* window = GetWidget();
    const DialogUnits du = DialogUnitsFor(DialogFont(s.resource));
    s.tabs = new QTabWidget(window);
    // Every tab stays in view: the sheet grows to the row of tabs rather than hiding some of
    // them behind scroll arrows or cutting their names.
    s.tabs->setUsesScrollButtons(false);
    s.tabs->setElideMode(Qt::ElideNone);
    s.holders.clear();
    for (CPropertyPage* page : m_pages) {
        const afx_res::DialogResource* r = afx_res::FindDialog(page->GetTemplateID());
        auto* holder = new PageHolder(r ? QSize(du.X(r->cx), du.Y(r->cy)) : QSize());
        s.tabs->addTab(holder, ToQt(page->GetCaption()));
        s.holders.push_back(holder);
    }
    // The tabs as large as their pages need; the window and its buttons around them. The size
    // hint never grows beyond the screen, the minimum holds the whole row of tabs.
    const QSize tabs = s.tabs->sizeHint().expandedTo(s.tabs->minimumSizeHint());
    const int margin = du.X(kMargin);
    s.tabs->setGeometry(margin, du.Y(kMargin), tabs.width(), tabs.height());
    const int buttonY = s.tabs->geometry().bottom() + 1 + du.Y(6);
    const int width = std::max(window->width(), s.tabs->geometry().right() + 1 + margin);
    int x = width - margin;
    for (int id : {ID_HELP, ID_APPLY_NOW, IDCANCEL, IDOK}) {
        if (CWnd* button = GetDlgItem(id)) {
            QWidget* w = button->GetWidget();
            x -= w->width();
            w->move(x, buttonY);
            x -= du.X(kButtonGap);
        }
    }
    window->setFixedSize(width, buttonY + du.Y(kButtonCy) + du.Y(kMargin));
    s.tabs->show();
    QObject::connect(s.tabs, &QTabWidget::currentChanged, s.tabs, [this](int index) {
        if (!m_sheet->switching) SetActivePage(index);
    });
    const int start = m_nStartPage < m_pages.size() ? static_cast<int>(m_nStartPage) : 0;
    SetActivePage(start);
    // The focus goes to the page, not to the sheet's first button.
    return FALSE;
}

BOOL CPropertySheet::SetActivePage(int nPage) {
    CPropertyPage* page = GetPage(nPage);
    Impl& s = *m_sheet;
    if (!page) return FALSE;
    if (!GetSafeHwnd() || !s.tabs) {
        m_nStartPage = static_cast<UINT>(nPage);
        return TRUE;
    }
    auto showTab = [&](int index) {
        s.switching = true;
        s.tabs->setCurrentIndex(index);
        s.switching = false;
    };
    if (nPage == m_nActive) {
        showTab(nPage);
        return TRUE;
    }
    CPropertyPage* current = GetActivePage();
    if (current && current->GetSafeHwnd() && !current->OnKillActive()) {
        showTab(m_nActive);
        return FALSE;
    }
    if (!page->GetSafeHwnd()) {
        if (!page->CreateEmbedded(this, s.holders[static_cast<std::size_t>(nPage)])) return FALSE;
        // What the page's controls reported while it filled them is no change by the user.
        PageChanged(page, FALSE);
    }
    m_nActive = nPage;
    showTab(nPage);
    page->OnSetActive();
    return TRUE;
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage) {
    const auto it = std::find(m_pages.begin(), m_pages.end(), pPage);
    return it == m_pages.end() ? FALSE : SetActivePage(static_cast<int>(it - m_pages.begin()));
}

void CPropertySheet::PageChanged(CPropertyPage* pPage, BOOL bChanged) {
    const auto it = std::find(m_modified.begin(), m_modified.end(), pPage);
    if (bChanged && it == m_modified.end()) m_modified.push_back(pPage);
    if (!bChanged && it != m_modified.end()) m_modified.erase(it);
    UpdateApplyButton();
}

void CPropertySheet::UpdateApplyButton() {
    if (CWnd* apply = GetDlgItem(ID_APPLY_NOW)) apply->EnableWindow(!m_modified.empty());
}

BOOL CPropertySheet::Apply() {
    CPropertyPage* current = GetActivePage();
    if (current && current->GetSafeHwnd() && !current->OnKillActive()) return FALSE;
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* page = m_pages[static_cast<std::size_t>(i)];
        if (!page->GetSafeHwnd()) continue;
        if (!page->OnApply()) {
            SetActivePage(i);
            return FALSE;
        }
    }
    return TRUE;
}

LRESULT CPropertySheet::OnCommandHelp(WPARAM wParam, LPARAM lParam) {
    // The sheet has no topic of its own: F1 and ヘルプ show the page's.
    CPropertyPage* page = GetActivePage();
    if (lParam == 0 && page && page->GetSafeHwnd())
        return page->SendMessage(WM_COMMANDHELP, wParam, lParam);
    return CDialog::OnCommandHelp(wParam, lParam);
}

void CPropertySheet::OnApplyNow() {
    Apply();
}

void CPropertySheet::OnOK() {
    if (Apply()) EndDialog(IDOK);
}

void CPropertySheet::OnCancel() {
    for (CPropertyPage* page : m_pages)
        if (page->GetSafeHwnd()) page->OnReset();
    EndDialog(IDCANCEL);
}

void CPropertySheet::DestroyChildWindows() {
    // The pages' windows go first, while the sheet's window still holds them.
    for (CPropertyPage* page : m_pages)
        if (page->GetSafeHwnd()) page->DestroyWindow();
    m_modified.clear();
    m_nActive = -1;
    m_sheet->tabs = nullptr;
    m_sheet->holders.clear();
    CDialog::DestroyChildWindows();
}
