#include "options/PropertyColor.h"

#include <algorithm>

#include "listview/VelkonView.h"
#include "platform/base/StringResource.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/drawing/CDC.h"
#include "res/resource.h"

namespace {
enum { kNormalText, kPickupText, kBack };
static_assert(IDC_SWATCH17 - IDC_SWATCH0 == CPropertyColor::kSwatches - 1);
}  // namespace

const COLORREF CPropertyColor::s_aclrPalette[kSwatches] = {
    0x00000000, 0x00000080, 0x000000FF, 0x00008000, 0x0000FF00, 0x00008080,
    0x0000FFFF, 0x00800000, 0x00FF0000, 0x00800080, 0x00FF00FF, 0x00808000,
    0x00FFFF00, 0x00F0CAA6, 0x00808080, 0x00A4A0A0, 0x00C0C0C0, 0x00FFFFFF,
};

IMPLEMENT_DYNCREATE(CPropertyColor)

BEGIN_MESSAGE_MAP(CPropertyColor, CPropertyPage)
ON_BN_CLICKED(IDC_DEFAULT_COLORS, OnDefault)
ON_NOTIFY(LVN_GETDISPINFO, IDC_COLOR_SAMPLE, OnGetDispInfo)
END_MESSAGE_MAP()

CPropertyColor::CPropertyColor(COptionOwners& owners) : CPropertyPage(IDD), m_owners(owners) {
    if (CVelkonView* view = m_owners.View()) {
        m_listSample.m_clrNormalText = view->m_clrNormalText;
        m_listSample.m_clrPickupText = view->m_clrPickupText;
        m_listSample.m_clrBack = view->m_clrBack;
    }
    for (int i = 0; i < kSampleRows; ++i) {
        m_astrSampleID[i] = AfxLoadString(IDS_SAMPLE_ID0 + static_cast<UINT>(i));
        m_astrSampleText[i] = AfxLoadString(IDS_SAMPLE_TEXT0 + static_cast<UINT>(i));
    }
}

BOOL CPropertyColor::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    for (UINT nID : {IDS_COLOR_NORMAL, IDS_COLOR_PICKUP, IDS_COLOR_BACK})
        SendDlgItemMessage(IDC_COLOR_CATEGORY, LB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(AfxLoadString(nID).GetString()));
    SendDlgItemMessage(IDC_COLOR_CATEGORY, LB_SETCURSEL, kNormalText);

    for (int i = 0; i < kSwatches; ++i) {
        m_btnColor[i].SubclassDlgItem(static_cast<UINT>(IDC_SWATCH0 + i), this);
        m_btnColor[i].m_clr = s_aclrPalette[i];
    }

    m_listSample.SubclassDlgItem(IDC_COLOR_SAMPLE, this);
    CVelkonView* view = m_owners.View();
    if (view) {
        LOGFONT lf;
        view->m_font.GetLogFont(&lf);
        m_fontSample.CreateFontIndirect(&lf);
        m_listSample.SetFont(&m_fontSample, TRUE);
        m_imageSample.Create(16, 16, ILC_MASK, 0, 1);
        m_imageSample.Add(AfxGetApp() ? AfxGetApp()->LoadIcon(IDI_PICKUP) : nullptr);
        m_listSample.SetImageList(&m_imageSample, LVSIL_SMALL);
    }
    m_listSample.SetBkColor(m_listSample.m_clrBack);
    // 75 pixels held the IDs in the fonts of old; a wider font gets the room its IDs need beside
    // the flag, so that the sample never shows them cut.
    CClientDC dc(&m_listSample);
    CFont* previous = dc.SelectObject(m_listSample.GetFont());
    int widest = 0;
    for (const CString& id : m_astrSampleID) widest = std::max(widest, dc.GetTextExtent(id).cx);
    dc.SelectObject(previous);
    const int idWidth = std::max(75, 2 + 16 + 2 + widest + 8);
    m_listSample.InsertColumn(0, view ? view->m_szCaption[0] : "", LVCFMT_LEFT, idWidth, 0);
    m_listSample.InsertColumn(1, view ? view->m_szCaption[1] : "", LVCFMT_LEFT, 125, 1);
    for (int i = 0; i < kSampleRows; ++i) {
        LVITEM item;
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = i;
        item.pszText = LPSTR_TEXTCALLBACK;
        item.iImage = I_IMAGECALLBACK;
        const int row = m_listSample.InsertItem(&item);
        m_listSample.SetItemData(row, i);
    }
    return TRUE;
}

void CPropertyColor::OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    LVITEM& item = reinterpret_cast<NMLVDISPINFO*>(pNMHDR)->item;
    // Only the sample's own rows have texts.
    if (item.lParam < 0 || item.lParam >= kSampleRows) {
        if (item.mask & LVIF_TEXT) item.pszText = const_cast<LPSTR>("");
        return;
    }
    const auto row = static_cast<int>(item.lParam);
    if (item.mask & LVIF_TEXT) {
        const CString* text = item.iSubItem == 0   ? &m_astrSampleID[row]
                              : item.iSubItem == 1 ? &m_astrSampleText[row]
                                                   : nullptr;
        item.pszText = const_cast<LPSTR>(text ? text->GetString() : "");
    }
    // Even rows draw as ordinary IDs, odd ones as picked up.
    if (item.mask & LVIF_IMAGE) item.iImage = (row & 1) ? 0 : 1;
}

BOOL CPropertyColor::SetColor(COLORREF clr) {
    switch (static_cast<int>(SendDlgItemMessage(IDC_COLOR_CATEGORY, LB_GETCURSEL))) {
        case kNormalText:
            m_listSample.m_clrNormalText = clr;
            break;
        case kPickupText:
            m_listSample.m_clrPickupText = clr;
            break;
        case kBack:
            m_listSample.m_clrBack = clr;
            m_listSample.SetBkColor(clr);
            break;
        default:
            return FALSE;
    }
    RedrawSample();
    return TRUE;
}

void CPropertyColor::RedrawSample() {
    // The rows are drawn inside the list's scrolled area, which a redraw of the list's own window
    // leaves as it was until something else (another page) uncovers it.
    m_listSample.RedrawItems(0, m_listSample.GetItemCount() - 1);
}

BOOL CPropertyColor::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(static_cast<DWORD>(wParam));
    if (HIWORD(static_cast<DWORD>(wParam)) == BN_CLICKED && id >= IDC_SWATCH0 &&
        id < IDC_SWATCH0 + kSwatches) {
        if (SetColor(m_btnColor[id - IDC_SWATCH0].m_clr)) SetModified(TRUE);
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

void CPropertyColor::OnDefault() {
    m_listSample.m_clrNormalText = GetSysColor(COLOR_WINDOWTEXT);
    m_listSample.m_clrPickupText = RGB(255, 0, 0);
    m_listSample.m_clrBack = GetSysColor(COLOR_WINDOW);
    m_listSample.SetBkColor(m_listSample.m_clrBack);
    RedrawSample();
    SetModified(TRUE);
}

BOOL CPropertyColor::OnApply() {
    if (CVelkonView* view = m_owners.View()) {
        view->m_clrNormalText = m_listSample.m_clrNormalText;
        view->m_clrPickupText = m_listSample.m_clrPickupText;
        view->m_clrBack = m_listSample.m_clrBack;
        view->GetListCtrl().SetBkColor(view->m_clrBack);
        view->Invalidate(TRUE);
    }
    SetModified(FALSE);
    return TRUE;
}
