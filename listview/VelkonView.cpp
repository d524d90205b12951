#include "listview/VelkonView.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "database/RecordText.h"
#include "database/VelkonDoc.h"
#include "dialogs/PersonalDataDlg.h"
#include "dialogs/SendFormatDlg.h"
#include "frame/MainFrame.h"
#include "platform/base/Mbcs.h"
#include "platform/base/StringResource.h"
#include "platform/gui/CCmdUI.h"
#include "platform/gui/CFontDialog.h"
#include "platform/gui/CMenu.h"
#include "platform/gui/CWinApp.h"
#include "res/resource.h"

namespace {

constexpr const char* kColumn = "Column";
constexpr const char* kSort = "Sort";
constexpr const char* kFont = "Font";
constexpr int kMaxWidth = 10000;
// The framework's base of resource help contexts plus the list's own topic.
constexpr LRESULT kHelpContext = 0x20000 + 129;

bool ShownByDefault(int n) {
    return n == 0 || n == 1 || n == 8 || n == 9;
}

// One sort's order, made once: every row's key is built and ranked in a contiguous array first,
// and the list's own (stable) sort then compares small integers instead of texts scattered over
// memory. Equal keys get equal ranks, so equal rows keep their order as before.
struct SortRanks {
    std::vector<int> rank;  // by record number
    BOOL forward;
};

int CALLBACK_Compare(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort) {
    const auto* sort = reinterpret_cast<const SortRanks*>(lParamSort);
    const int a = sort->rank[static_cast<std::size_t>(lParam1)];
    const int b = sort->rank[static_cast<std::size_t>(lParam2)];
    if (a == b) return 0;
    return (a < b) == (sort->forward != FALSE) ? -1 : 1;
}

// The first 16 bytes of a key, big-endian, when byte order is character order for it (no lead
// or zero bytes, at most 16 bytes); such keys compare as two numbers.
struct KeyPrefix {
    std::uint64_t hi = 0, lo = 0;
    std::uint32_t index = 0;  // into the key texts
    bool simple = false;
};

KeyPrefix MakePrefix(const std::string& key, std::uint32_t index) {
    KeyPrefix p;
    p.index = index;
    if (key.size() > 16) return p;
    for (char c : key) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0 || b >= 0x80) return p;
    }
    for (std::size_t i = 0; i < 16; ++i) {
        const std::uint64_t b = i < key.size() ? static_cast<unsigned char>(key[i]) : 0u;
        if (i < 8)
            p.hi = (p.hi << 8) | b;
        else
            p.lo = (p.lo << 8) | b;
    }
    p.simple = true;
    return p;
}

}  // namespace

IMPLEMENT_DYNCREATE(CVelkonView)

BEGIN_MESSAGE_MAP(CVelkonView, CListViewEx)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_MESSAGE(WM_VELKON_GETCAPTION, OnGetCaption)
ON_NOTIFY_REFLECT(LVN_GETDISPINFO, OnGetDispInfo)
ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, OnItemChanged)
ON_WM_CONTEXTMENU()
ON_COMMAND(ID_EDIT_SELECT_ALL, OnEditSelectAll)
ON_UPDATE_COMMAND_UI(ID_EDIT_SELECT_ALL, OnUpdateEditSelectAll)
ON_COMMAND(ID_DELETE_ID, OnDeleteID)
ON_UPDATE_COMMAND_UI(ID_DELETE_ID, OnUpdateDeleteID)
ON_COMMAND(ID_RESTORE_ID, OnRestoreID)
ON_UPDATE_COMMAND_UI(ID_RESTORE_ID, OnUpdateRestoreID)
ON_COMMAND(ID_ONLY_PICKUP, OnOnlyPickup)
ON_UPDATE_COMMAND_UI(ID_ONLY_PICKUP, OnUpdateOnlyPickup)
ON_COMMAND(ID_SPECIFY_DATE, OnSpecifyDate)
ON_UPDATE_COMMAND_UI(ID_SPECIFY_DATE, OnUpdateSpecifyDate)
ON_COMMAND(ID_SPECIFY_KEYWORD, OnSpecifyKeyword)
ON_UPDATE_COMMAND_UI(ID_SPECIFY_KEYWORD, OnUpdateSpecifyKeyword)
ON_COMMAND(ID_FONT, OnFont)
ON_COMMAND(ID_SEND_HIDETERM, OnSendHideterm)
ON_UPDATE_COMMAND_UI(ID_SEND_HIDETERM, OnUpdateOneRecord)
ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateOneRecord)
ON_COMMAND(ID_PERSONAL_DATA, OnPersonalData)
ON_UPDATE_COMMAND_UI(ID_PERSONAL_DATA, OnUpdateOneRecord)
ON_NOTIFY_REFLECT(NM_DBLCLK, OnDblclk)
ON_MESSAGE(WM_HELPHITTEST, OnHelpHitTest)
END_MESSAGE_MAP()

CVelkonView::CVelkonView() {
    CWinApp* app = AfxGetApp();
    auto readInt = [app](const char* section, const CString& key, int fallback) {
        return app ? static_cast<int>(app->GetProfileInt(section, key, fallback)) : fallback;
    };
    m_nFontSize = readInt(kFont, "Size", 0);
    if (app) m_strFaceName = app->GetProfileString(kFont, "Face Name", "");

    for (int i = 0; i < kDataColumns; ++i) {
        CString caption = AfxLoadString(IDS_CAPTION_ID + static_cast<UINT>(i));
        if (i >= 1 && i <= 7 && app)
            caption = app->GetProfileString(kColumn, AfxProfileKey("Caption%d", i), caption);
        CopyToBuffer(m_szCaption[i], caption);
    }

    const int defaultWidth = 15 * LOWORD(GetDialogBaseUnits());
    int tags[kDataColumns];
    bool used[kDataColumns] = {};
    bool valid = true;
    for (int n = 0; n < kDataColumns; ++n) {
        tags[n] = readInt(kColumn, AfxProfileKey("Tag%d", n), n + (ShownByDefault(n) ? kShown : 0));
        const int data = tags[n] & 0xFF;
        if ((tags[n] & ~(0xFF | kShown)) != 0 || data >= kDataColumns || used[data])
            valid = false;
        else
            used[data] = true;
        int width = readInt(kColumn, AfxProfileKey("Width%d", n), defaultWidth);
        if (width < 0 || width > kMaxWidth) width = defaultWidth;
        LVCOLUMN& column = m_aColumn[n];
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = width;
    }
    // Tags that do not name each data column once are not trusted: the default order comes back.
    for (int n = 0; n < kDataColumns; ++n) {
        const int tag = valid ? tags[n] : n + (ShownByDefault(n) ? kShown : 0);
        m_aColumn[n].iSubItem = tag;
        m_aColumn[n].pszText = m_szCaption[tag & 0xFF];
    }

    m_dlgKeyword.m_pszCaption = m_szCaption;

    m_nSortColumn = readInt(kSort, "Type", 0);
    m_bSortForward = readInt(kSort, "Forward", 1);
    m_bOnlyPickup = readInt(kSort, "Only Pickup", 0);
}

CVelkonView::~CVelkonView() {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    app->WriteProfileInt(kFont, "Size", m_nFontSize);
    app->WriteProfileString(kFont, "Face Name", m_strFaceName);
    for (int i = 1; i <= 7; ++i)
        app->WriteProfileString(kColumn, AfxProfileKey("Caption%d", i), m_szCaption[i]);
    for (int n = 0; n < kDataColumns; ++n) {
        app->WriteProfileInt(kColumn, AfxProfileKey("Tag%d", n), m_aColumn[n].iSubItem);
        app->WriteProfileInt(kColumn, AfxProfileKey("Width%d", n), m_aColumn[n].cx);
    }
    app->WriteProfileInt(kSort, "Type", m_nSortColumn);
    app->WriteProfileInt(kSort, "Forward", m_bSortForward);
    app->WriteProfileInt(kSort, "Only Pickup", m_bOnlyPickup);
}

CVelkonDoc* CVelkonView::GetDocument() const {
    return static_cast<CVelkonDoc*>(CView::GetDocument());
}

int CVelkonView::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CListViewEx::OnCreate(lpCreateStruct) == -1) return -1;
    if (!m_imageList.Create(16, 16, ILC_MASK, 0, 1)) return -1;
    m_imageList.Add(AfxGetApp() ? AfxGetApp()->LoadIcon(IDI_PICKUP) : nullptr);
    GetListCtrl().SetImageList(&m_imageList, LVSIL_SMALL);

    LOGFONT lf;
    GetListCtrl().GetFont()->GetLogFont(&lf);
    if (!m_strFaceName.IsEmpty()) {
        lf.lfHeight = m_nFontSize;
        const std::size_t n = mbcs::CharBoundaryAtOrBefore(m_strFaceName.View(), LF_FACESIZE - 1);
        std::memcpy(lf.lfFaceName, m_strFaceName.GetString(), n);
        lf.lfFaceName[n] = '\0';
    }
    m_font.CreateFontIndirect(&lf);
    GetListCtrl().SetFont(&m_font, TRUE);
    return 0;
}

void CVelkonView::OnDestroy() {
    // The widths the user last dragged are the ones written at the end.
    RefreshWidths();
    CListViewEx::OnDestroy();
}

void CVelkonView::OnInitialUpdate() {
    RebuildColumns();
    RebuildList();
}

CString CVelkonView::GetDataText(int r, int nDataColumn) const {
    const CVelkonDoc* doc = GetDocument();
    switch (nDataColumn) {
        case 0:
            return doc->m_astrID[r];
        case 1:
            return doc->m_astrHandle[r];
        case 2:
            return doc->m_astrMemo1[r];
        case 3:
            return doc->m_astrMemo2[r];
        case 4:
            return doc->m_astrMemo3[r];
        case 5:
            return doc->m_astrMemo4[r];
        case 6:
            return doc->m_astrMemo5[r];
        case 7:
            return doc->m_astrMemo6[r];
        case 8:
            return CVelkonDoc::FormatDate(doc->m_atimeRegist[r]);
        case 9:
            return CVelkonDoc::FormatDate(doc->m_atimePrevUpdate[r]);
        case 10: {
            // Right-aligned, so that text order is number order.
            CString count;
            count.Format("%8d", doc->m_anUpdateCount[r]);
            return count;
        }
        default:
            return {};
    }
}

void CVelkonView::CopyToBuffer(char (&buffer)[256], const CString& text) {
    const std::size_t n = mbcs::CharBoundaryAtOrBefore(text.View(), sizeof buffer - 1);
    std::memcpy(buffer, text.GetString(), n);
    buffer[n] = '\0';
}

int CVelkonView::DataColumnAt(int nPosition) const {
    LVCOLUMN column;
    column.mask = LVCF_SUBITEM;
    if (!GetListCtrl().GetColumn(nPosition, &column)) return -1;
    return column.iSubItem & 0xFF;
}

// For the API layers of the frame, which cannot see this class.
LRESULT CVelkonView::OnGetCaption(WPARAM wParam, LPARAM) {
    if (wParam < 1 || wParam > 7) return 0;
    return reinterpret_cast<LRESULT>(m_szCaption[wParam]);
}

void CVelkonView::OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult) {
    LVITEM& item = reinterpret_cast<NMLVDISPINFO*>(pNMHDR)->item;
    const int r = static_cast<int>(item.lParam);
    CVelkonDoc* doc = GetDocument();
    if (doc && r >= 0 && r < doc->GetRecordCount()) {
        if (item.mask & LVIF_TEXT) {
            static char buffer[256];
            CopyToBuffer(buffer, GetDataText(r, DataColumnAt(item.iSubItem)));
            item.pszText = buffer;
        }
        if (item.mask & LVIF_IMAGE) item.iImage = doc->FindPickup(doc->m_astrID[r]) != -1 ? 0 : 1;
    }
    *pResult = 0;
}

void CVelkonView::RefreshWidths() {
    CListCtrl& list = GetListCtrl();
    if (!list.GetSafeHwnd()) return;
    int k = 0;
    for (LVCOLUMN& entry : m_aColumn) {
        if (!(entry.iSubItem & kShown)) continue;
        LVCOLUMN column;
        column.mask = LVCF_WIDTH | LVCF_SUBITEM;
        if (list.GetColumn(k, &column)) entry.cx = column.cx;
        ++k;
    }
}

void CVelkonView::RebuildColumns() {
    RefreshWidths();
    CListCtrl& list = GetListCtrl();
    while (list.DeleteColumn(0)) {
    }
    int position = 0;
    for (const LVCOLUMN& entry : m_aColumn)
        if (entry.iSubItem & kShown) list.InsertColumn(position++, &entry);
    Invalidate(TRUE);
}

BOOL CVelkonView::IsDateMatch(int r) const {
    const CVelkonDoc* doc = GetDocument();
    const CString& target = m_dlgDate.m_strDate;
    auto passes = [this, &target](const CString& date) {
        const int c = date.Compare(target.View());
        switch (m_dlgDate.m_nMethod) {
            case CSpecifyDateDlg::OnOrBefore:
                return c <= 0;
            case CSpecifyDateDlg::OnTheDay:
                return c == 0;
            case CSpecifyDateDlg::OnOrAfter:
                return c >= 0;
            default:
                return true;
        }
    };
    if (m_dlgDate.m_bRegistDate && !passes(CVelkonDoc::FormatDate(doc->m_atimeRegist[r])))
        return FALSE;
    if (m_dlgDate.m_bUpdateDate && !passes(CVelkonDoc::FormatDate(doc->m_atimePrevUpdate[r])))
        return FALSE;
    return TRUE;
}

BOOL CVelkonView::IsKeywordMatch(int r) const {
    const CVelkonDoc* doc = GetDocument();
    const CSpecifyKeywordDlg& k = m_dlgKeyword;
    CString keyword = k.m_strKeyword;
    if (!k.m_bCase) keyword.MakeUpper();
    const std::pair<BOOL, const CStringArray*> targets[] = {
        {k.m_bID, &doc->m_astrID},       {k.m_bHandle, &doc->m_astrHandle},
        {k.m_bMemo1, &doc->m_astrMemo1}, {k.m_bMemo2, &doc->m_astrMemo2},
        {k.m_bMemo3, &doc->m_astrMemo3}, {k.m_bMemo4, &doc->m_astrMemo4},
        {k.m_bMemo5, &doc->m_astrMemo5}, {k.m_bMemo6, &doc->m_astrMemo6}};
    for (const auto& [checked, field] : targets) {
        if (!checked) continue;
        CString text = (*field)[r];
        if (!k.m_bCase) text.MakeUpper();
        if (text.Find(keyword.View()) >= 0) return TRUE;
    }
    return FALSE;
}

int CVelkonView::AddRecord(int r) {
    const CVelkonDoc* doc = GetDocument();
    if (doc->m_abDeleted[r]) return -1;
    if (m_bOnlyPickup && doc->FindPickup(doc->m_astrID[r]) == -1) return -1;
    if (m_dlgDate.m_bEnable && !IsDateMatch(r)) return -1;
    if (m_dlgKeyword.m_bEnable && !IsKeywordMatch(r)) return -1;
    CListCtrl& list = GetListCtrl();
    LVITEM item;
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = list.GetItemCount();
    item.pszText = LPSTR_TEXTCALLBACK;
    item.iImage = I_IMAGECALLBACK;
    const int row = list.InsertItem(&item);
    if (row >= 0) list.SetItemData(row, r);
    return row;
}

void CVelkonView::RebuildList() {
    CWaitCursor wait;
    CListCtrl& list = GetListCtrl();
    list.DeleteAllItems();
    CVelkonDoc* doc = GetDocument();
    const int count = doc ? doc->GetRecordCount() : 0;
    for (int r = 0; r < count; ++r) AddRecord(r);
    m_nCurrent = -1;
    const int rows = list.GetItemCount();
    if (rows > 0) {
        m_nCurrent = static_cast<int>(list.GetItemData(rows - 1));
        list.SetItemState(rows - 1, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
        SortList(m_nSortColumn, m_bSortForward);
    }
    ShowRegistCount();
}

void CVelkonView::SortList(int nPosition, BOOL bForward) {
    CWaitCursor wait;
    m_nSortColumn = nPosition;
    m_bSortForward = bForward;
    CListCtrl& list = GetListCtrl();
    const CVelkonDoc* doc = GetDocument();
    const int data = DataColumnAt(nPosition);
    // Dates repeat: each day is formatted once.
    record_text::DateWriter dates;
    const int rows = list.GetItemCount();
    std::vector<std::string> keys(static_cast<std::size_t>(rows));
    std::vector<int> records(static_cast<std::size_t>(rows));
    std::vector<KeyPrefix> order(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        const int r = static_cast<int>(list.GetItemData(row));
        std::string& key = keys[static_cast<std::size_t>(row)];
        if (data == 8)
            key = dates.Format(doc->m_atimeRegist[r]);
        else if (data == 9)
            key = dates.Format(doc->m_atimePrevUpdate[r]);
        else if (data >= 0)
            key = GetDataText(r, data).Str();
        // The list shows at most 255 bytes of a text, and sorts by what it shows.
        if (key.size() > 255) key.resize(mbcs::CharBoundaryAtOrBefore(key, 255));
        records[static_cast<std::size_t>(row)] = r;
        order[static_cast<std::size_t>(row)] = MakePrefix(key, static_cast<std::uint32_t>(row));
    }
    auto compare = [&keys](const KeyPrefix& a, const KeyPrefix& b) {
        if (a.simple && b.simple) {
            if (a.hi != b.hi) return a.hi < b.hi ? -1 : 1;
            return a.lo == b.lo ? 0 : (a.lo < b.lo ? -1 : 1);
        }
        return mbcs::Compare(keys[a.index], keys[b.index]);
    };
    std::sort(order.begin(), order.end(), [&compare](const KeyPrefix& a, const KeyPrefix& b) {
        const int c = compare(a, b);
        return c != 0 ? c < 0 : a.index < b.index;
    });
    SortRanks sort;
    sort.forward = bForward;
    sort.rank.assign(static_cast<std::size_t>(doc ? doc->GetRecordCount() : 0), 0);
    int rank = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && compare(order[i - 1], order[i]) != 0) ++rank;
        sort.rank[static_cast<std::size_t>(records[order[i].index])] = rank;
    }
    list.SortItems(&CALLBACK_Compare, reinterpret_cast<LPARAM>(&sort));
    const int focused = list.GetNextItem(-1, LVNI_FOCUSED);
    if (focused >= 0) list.EnsureVisible(focused, FALSE);
}

void CVelkonView::OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult) {
    SortList(reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iSubItem, !m_bSortForward);
    *pResult = 0;
}

void CVelkonView::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult) {
    const auto* change = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    if (change->iItem >= 0 && (change->uNewState & LVIS_FOCUSED))
        m_nCurrent = static_cast<int>(GetListCtrl().GetItemData(change->iItem));
    *pResult = 0;
}

void CVelkonView::RedrawRecord(int r) {
    CListCtrl& list = GetListCtrl();
    if (r < 0) {
        Invalidate(FALSE);
        return;
    }
    const int top = list.GetTopIndex();
    const int last = std::min(list.GetItemCount(), top + list.GetCountPerPage() + 1);
    for (int row = top; row < last; ++row) {
        if (static_cast<int>(list.GetItemData(row)) != r) continue;
        RECT rect;
        if (list.GetItemRect(row, &rect, LVIR_BOUNDS)) InvalidateRect(&rect, TRUE);
        return;
    }
}

void CVelkonView::SelectOnly(int nRow, int r) {
    CListCtrl& list = GetListCtrl();
    m_nCurrent = r;
    list.SetItemState(-1, 0, LVIS_SELECTED);
    list.SetItemState(nRow, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    list.EnsureVisible(nRow, FALSE);
}

void CVelkonView::OnUpdate(CView*, LPARAM lHint, CObject*) {
    CVelkonDoc* doc = GetDocument();
    if (!doc) return;
    CListCtrl& list = GetListCtrl();
    const int r = doc->m_nLastChanged;
    switch (lHint) {
        case HINT_REBUILD:
            RebuildList();
            break;
        case HINT_SAVED:
            RedrawRecord(r);
            break;
        case HINT_ADDED:
            if (r >= 0) {
                const int row = AddRecord(r);
                if (row >= 0) SelectOnly(row, r);
            }
            ShowRegistCount();
            break;
        case HINT_DELETED: {
            const int row = list.FindItemByData(r);
            if (row >= 0) {
                list.DeleteItem(row);
                m_nCurrent = -1;
                const int focused = list.GetNextItem(-1, LVNI_FOCUSED);
                if (focused >= 0) {
                    m_nCurrent = static_cast<int>(list.GetItemData(focused));
                    list.EnsureVisible(focused, FALSE);
                }
            }
            ShowRegistCount();
            break;
        }
        case HINT_PICKED:
            if (r >= 0) {
                int row = list.FindItemByData(r);
                if (row < 0)
                    row = AddRecord(r);
                else
                    RedrawRecord(r);
                if (row >= 0) SelectOnly(row, r);
            }
            ShowPickupCount();
            break;
        case HINT_PICKUP_CLEARED:
            if (m_bOnlyPickup)
                list.DeleteAllItems();
            else
                Invalidate(TRUE);
            ShowPickupCount();
            break;
        default:
            break;
    }
}

void CVelkonView::OnOnlyPickup() {
    m_bOnlyPickup = !m_bOnlyPickup;
    RebuildList();
}

void CVelkonView::OnUpdateOnlyPickup(CCmdUI* pCmdUI) {
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(m_bOnlyPickup);
}

// A filter that is on goes off at once; one that is off is set in its dialog and goes on only
// when the dialog is accepted.
void CVelkonView::OnSpecifyDate() {
    if (m_dlgDate.m_bEnable) {
        m_dlgDate.m_bEnable = FALSE;
        RebuildList();
    } else if (m_dlgDate.DoModal() == IDOK) {
        RebuildList();
    }
}

void CVelkonView::OnUpdateSpecifyDate(CCmdUI* pCmdUI) {
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(m_dlgDate.m_bEnable);
}

void CVelkonView::OnSpecifyKeyword() {
    if (m_dlgKeyword.m_bEnable) {
        m_dlgKeyword.m_bEnable = FALSE;
        RebuildList();
    } else if (m_dlgKeyword.DoModal() == IDOK) {
        RebuildList();
    }
}

void CVelkonView::OnUpdateSpecifyKeyword(CCmdUI* pCmdUI) {
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(m_dlgKeyword.m_bEnable);
}

void CVelkonView::OnFont() {
    LOGFONT lf;
    GetListCtrl().GetFont()->GetLogFont(&lf);
    CFontDialog dlg(&lf, CF_SCREENFONTS | CF_SHOWHELP | CF_ENABLETEMPLATE);
    dlg.m_cf.lpTemplateName = MAKEINTRESOURCE(IDD_FONT);
    if (dlg.DoModal() != IDOK) return;
    // Only face and size outlive the run; the rest of the choice holds until the program ends.
    m_nFontSize = lf.lfHeight;
    m_strFaceName = lf.lfFaceName;
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&lf);
    GetListCtrl().SetFont(&m_font, TRUE);
}

void CVelkonView::OnContextMenu(HWND, POINT point) {
    CMenu menu;
    if (!menu.LoadMenu(IDR_POPUP)) return;
    // Owned by the main window, so that the items are enabled, checked and carried out by the
    // same handlers as the main menu's. The point is used as it comes, (-1, -1) included.
    if (CMenu* popup = menu.GetSubMenu(1))
        popup->TrackPopupMenu(TPM_CENTERALIGN | TPM_RIGHTBUTTON, point.x, point.y, AfxGetMainWnd());
    menu.DestroyMenu();
}

void CVelkonView::OnEditSelectAll() {
    // The focus stays where it was.
    GetListCtrl().SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
}

void CVelkonView::OnUpdateEditSelectAll(CCmdUI* pCmdUI) {
    pCmdUI->Enable(GetListCtrl().GetItemCount() > 0);
}

void CVelkonView::OnDeleteID() {
    CWaitCursor wait;
    CListCtrl& list = GetListCtrl();
    CVelkonDoc* doc = GetDocument();
    // Each deletion removes its row at once (hint 11), so the next selected row moves up into
    // the freed place and the search goes on from just before it.
    int start = -1;
    for (;;) {
        const int row = list.GetNextItem(start, LVNI_SELECTED);
        if (row < 0) break;
        const LPARAM r = list.GetItemData(row);
        doc->DeleteID(static_cast<int>(r));
        // A row that stayed (its record was not live) must not be tried again forever.
        const bool stayed = row < list.GetItemCount() && list.GetItemData(row) == r;
        start = stayed ? row : row - 1;
    }
}

void CVelkonView::OnUpdateDeleteID(CCmdUI* pCmdUI) {
    pCmdUI->Enable(GetListCtrl().GetSelectedCount() > 0);
}

void CVelkonView::OnRestoreID() {
    GetDocument()->RestoreID();
}

void CVelkonView::OnUpdateRestoreID(CCmdUI* pCmdUI) {
    pCmdUI->Enable(!GetDocument()->m_anDeletedStack.IsEmpty());
}

void CVelkonView::ShowRegistCount() {
    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    if (frame && GetDocument()) frame->SetRegistCount(GetDocument()->m_anSortIndex.GetSize());
}

void CVelkonView::ShowPickupCount() {
    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    if (frame && GetDocument()) frame->SetPickupCount(GetDocument()->m_astrPickupID.GetSize());
}

BOOL CVelkonView::HasOneRecord() const {
    return m_nCurrent >= 0 && GetListCtrl().GetSelectedCount() == 1;
}

void CVelkonView::OnUpdateOneRecord(CCmdUI* pCmdUI) {
    pCmdUI->Enable(HasOneRecord());
}

BOOL CVelkonView::ChooseFormat(BOOL bSend, CString& rText) {
    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    if (!frame || !HasOneRecord()) return FALSE;
    CSendFormatDlg dlg;
    dlg.m_nRecord = m_nCurrent;
    dlg.m_bSend = bSend;
    dlg.m_pastrFormat = &frame->m_astrHelperFormat;
    if (dlg.DoModal() != IDOK) return FALSE;
    rText = dlg.m_strResult;
    return TRUE;
}

void CVelkonView::OnSendHideterm() {
    CString text;
    if (ChooseFormat(TRUE, text))
        if (auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd())) frame->SendToHideterm(text);
}

void CVelkonView::OnEditCopy() {
    CString text;
    if (ChooseFormat(FALSE, text))
        if (auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd())) frame->CopyToClipboard(text);
}

void CVelkonView::OnPersonalData() {
    if (HasOneRecord()) CPersonalDataDlg::Open(m_nCurrent, m_szCaption);
}

void CVelkonView::OnDblclk(NMHDR*, LRESULT* pResult) {
    OnPersonalData();
    *pResult = 0;
}

LRESULT CVelkonView::OnHelpHitTest(WPARAM, LPARAM) {
    return kHelpContext;
}
