#include "options/PropertyView.h"

#include <utility>

#include "listview/DataColumns.h"
#include "listview/VelkonView.h"
#include "platform/gui/dialog/DataExchange.h"

static_assert(IDC_CAPTION_MEMO6 - IDC_CAPTION_HANDLE == CPropertyView::kCaptions - 1);

IMPLEMENT_DYNCREATE(CPropertyView)

BEGIN_MESSAGE_MAP(CPropertyView, CPropertyPage)
ON_BN_CLICKED(IDC_COLUMN_UP, OnUp)
ON_BN_CLICKED(IDC_COLUMN_DOWN, OnDown)
END_MESSAGE_MAP()

CPropertyView::CPropertyView(COptionOwners& owners) : CPropertyPage(IDD), m_owners(owners) {
    if (CVelkonView* view = m_owners.View()) {
        for (int i = 0; i < kCaptions; ++i) m_strCaption[i] = view->m_szCaption[1 + i];
        for (int i = 0; i < kColumns; ++i) m_aColumnWork[i] = view->m_aColumn[i];
    }
}

void CPropertyView::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    for (int i = 0; i < kCaptions; ++i) DDX_Text(pDX, IDC_CAPTION_HANDLE + i, m_strCaption[i]);
}

BOOL CPropertyView::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    m_listColumn.SubclassDlgItem(IDC_COLUMNS, this);
    // The lines show the captions as the view has them, also after a caption is edited here.
    for (int i = 0; i < kColumns; ++i) {
        const LVCOLUMN& column = m_aColumnWork[i];
        m_listColumn.InsertString(i, column.pszText ? column.pszText : "");
        m_listColumn.SetCheck(i, (column.iSubItem & data_column::kShown) ? 1 : 0);
    }
    m_listColumn.SetCurSel(0);
    for (int i = 0; i < kCaptions; ++i)
        SendDlgItemMessage(IDC_CAPTION_HANDLE + i, EM_LIMITTEXT, kMaxCaption);
    return TRUE;
}

BOOL CPropertyView::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(static_cast<DWORD>(wParam));
    const int code = HIWORD(static_cast<DWORD>(wParam));
    if (id == IDC_COLUMNS && code == CLBN_CHKCHANGE) {
        // Each entry follows its line's check box, so that a flag never disagrees with what
        // the user sees, whichever line was ticked. The line ticked becomes the selected one:
        // 上に and 下に then move what the user just worked on, even when the click that
        // ticked it fell on the box alone.
        int ticked = -1;
        for (int i = 0; i < kColumns && i < m_listColumn.GetCount(); ++i) {
            int& tag = m_aColumnWork[i].iSubItem;
            const bool shown = m_listColumn.GetCheck(i) == 1;
            if (shown != ((tag & data_column::kShown) != 0) && ticked < 0) ticked = i;
            tag = shown ? (tag | data_column::kShown) : (tag & ~data_column::kShown);
        }
        if (ticked >= 0 && m_listColumn.GetCurSel() != ticked) m_listColumn.SetCurSel(ticked);
        SetModified(TRUE);
    } else if (code == EN_CHANGE && id >= IDC_CAPTION_HANDLE &&
               id < IDC_CAPTION_HANDLE + kCaptions) {
        SetModified(TRUE);
    } else if (code == BN_CLICKED && (id == IDC_COLUMN_UP || id == IDC_COLUMN_DOWN)) {
        // Also when there is nothing to move.
        SetModified(TRUE);
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

void CPropertyView::MoveLine(int p, int q) {
    std::swap(m_aColumnWork[p], m_aColumnWork[q]);
    CString text;
    m_listColumn.GetText(p, text);
    m_listColumn.DeleteString(static_cast<UINT>(p));
    m_listColumn.InsertString(q, text);
    m_listColumn.SetCheck(q, (m_aColumnWork[q].iSubItem & data_column::kShown) ? 1 : 0);
    m_listColumn.SetCurSel(q);
}

void CPropertyView::OnUp() {
    const int p = m_listColumn.GetCurSel();
    if (p > 0) MoveLine(p, p - 1);
    GotoDlgCtrl(GetDlgItem(IDC_COLUMNS));
}

void CPropertyView::OnDown() {
    const int p = m_listColumn.GetCurSel();
    if (p >= 0 && p < m_listColumn.GetCount() - 1 && p < kColumns - 1) MoveLine(p, p + 1);
    GotoDlgCtrl(GetDlgItem(IDC_COLUMNS));
}

BOOL CPropertyView::OnApply() {
    if (!UpdateData(TRUE)) return FALSE;
    if (CVelkonView* view = m_owners.View()) {
        for (int i = 0; i < kCaptions; ++i)
            CVelkonView::CopyToBuffer(view->m_szCaption[1 + i], m_strCaption[i]);
        // The entries' texts point into the view's caption buffers, which stay where they are.
        for (int i = 0; i < kColumns; ++i) view->m_aColumn[i] = m_aColumnWork[i];
        view->RebuildColumns();
    }
    SetModified(FALSE);
    return TRUE;
}
