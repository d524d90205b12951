#include "listview/VelkonView.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "dialogs/PersonalDataDlg.h"
#include "dialogs/SendFormatDlg.h"
#include "document/VelkonDoc.h"
#include "frame/IdListFrame.h"
#include "listview/RecordOrder.h"
#include "platform/base/Mbcs.h"
#include "platform/base/StringResource.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/dialog/CFontDialog.h"
#include "platform/gui/frame/CFrameWnd.h"
#include "platform/gui/frame/CMenu.h"
#include "platform/gui/window/CCmdUI.h"
#include "res/resource.h"

namespace {

constexpr const char* kColumn = "Column";
constexpr const char* kSort = "Sort";
constexpr const char* kFont = "Font";
constexpr int kMaxWidth = 10000;
// The framework's base of resource help contexts plus the list's own topic.
constexpr LRESULT kHelpContext = 0x20000 + 129;
// A burst is what the clipboard frame picks up in one wake-up of a few milliseconds: a few
// thousand IDs. A longer one grows the queue once and keeps it.
constexpr std::size_t kPickQueueReserve = 4096;
// Queued rows this close together are drawn again with one message: the rows between lose
// only the type-ahead's memory of their texts, asked for again when a search comes by.
constexpr int kRedrawGap = 8;

// The list's rows in the store's ID order reversed, records with equal IDs keeping their order
// among themselves, as a stable sort by descending ID leaves them.
void ReverseKeepingTies(std::vector<LPARAM>& rows, const CVelkonDoc& doc) {
    std::reverse(rows.begin(), rows.end());
    for (std::size_t i = 0; i < rows.size();) {
        const CString id = doc.m_astrID[static_cast<int>(rows[i])];
        std::size_t j = i + 1;
        while (j < rows.size() && doc.m_astrID[static_cast<int>(rows[j])] == id) ++j;
        std::reverse(rows.begin() + static_cast<std::ptrdiff_t>(i),
                     rows.begin() + static_cast<std::ptrdiff_t>(j));
        i = j;
    }
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
    m_queuedPicks.reserve(kPickQueueReserve);
    m_pickedRows.reserve(kPickQueueReserve);
    CWinApp* app = AfxGetApp();
    auto readInt = [app](const char* section, const CString& key, int fallback) {
        return app ? static_cast<int>(app->GetProfileInt(section, key, fallback)) : fallback;
    };
    m_nFontSize = readInt(kFont, "Size", 0);
    if (app) m_strFaceName = app->GetProfileString(kFont, "Face Name", "");

    for (int i = 0; i < kDataColumns; ++i) {
        CString caption = AfxLoadString(IDS_CAPTION_ID + static_cast<UINT>(i));
        if (data_column::IsNamed(i) && app)
            caption = app->GetProfileString(kColumn, AfxProfileKey("Caption%d", i), caption);
        CopyToBuffer(m_szCaption[i], caption);
    }

    const int defaultWidth = 15 * LOWORD(GetDialogBaseUnits());
    int tags[kDataColumns];
    bool used[kDataColumns] = {};
    bool valid = true;
    for (int n = 0; n < kDataColumns; ++n) {
        tags[n] = readInt(kColumn, AfxProfileKey("Tag%d", n),
                          n + (data_column::ShownByDefault(n) ? kShown : 0));
        const int data = data_column::DataOf(tags[n]);
        if ((tags[n] & ~(data_column::kDataMask | kShown)) != 0 || data >= kDataColumns ||
            used[data])
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
        const int tag = valid ? tags[n] : n + (data_column::ShownByDefault(n) ? kShown : 0);
        m_aColumn[n].iSubItem = tag;
        m_aColumn[n].pszText = m_szCaption[data_column::DataOf(tag)];
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
    for (int i = data_column::Handle; i <= data_column::Memo6; ++i)
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
    return data_column::Text(*GetDocument(), r, nDataColumn);
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
    return data_column::DataOf(column.iSubItem);
}

// For the API layers of the frame, which cannot see this class.
LRESULT CVelkonView::OnGetCaption(WPARAM wParam, LPARAM) {
    const bool named =
        wParam <= data_column::kCount && data_column::IsNamed(static_cast<int>(wParam));
    if (!named) return 0;
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

DateFilter CVelkonView::DateFilterSettings() const {
    DateFilter filter;
    filter.date = m_dlgDate.m_strDate;
    filter.method = m_dlgDate.m_nMethod;
    filter.registDate = m_dlgDate.m_bRegistDate != FALSE;
    filter.prevUpdateDate = m_dlgDate.m_bUpdateDate != FALSE;
    return filter;
}

KeywordFilter CVelkonView::KeywordFilterSettings() const {
    const CSpecifyKeywordDlg& k = m_dlgKeyword;
    KeywordFilter filter;
    filter.keyword = k.m_strKeyword;
    filter.matchCase = k.m_bCase != FALSE;
    const BOOL checked[] = {k.m_bID,    k.m_bHandle, k.m_bMemo1, k.m_bMemo2,
                            k.m_bMemo3, k.m_bMemo4,  k.m_bMemo5, k.m_bMemo6};
    static_assert(std::size(checked) == data_column::kFieldCount);
    for (std::size_t i = 0; i < filter.fields.size(); ++i) filter.fields[i] = checked[i] != FALSE;
    return filter;
}

bool CVelkonView::Shows(int r, const DateFilter* pDate, const KeywordFilter* pKeyword) const {
    const CVelkonDoc* doc = GetDocument();
    if (doc->m_abDeleted[r]) return false;
    if (m_bOnlyPickup && doc->FindPickup(doc->m_astrID[r]) == -1) return false;
    if (pDate && !IsDateMatch(*doc, r, *pDate)) return false;
    if (pKeyword && !IsKeywordMatch(*doc, r, *pKeyword)) return false;
    return true;
}

int CVelkonView::AddRecord(int r) {
    const DateFilter date = DateFilterSettings();
    const KeywordFilter keyword = KeywordFilterSettings();
    if (!Shows(r, m_dlgDate.m_bEnable ? &date : nullptr,
               m_dlgKeyword.m_bEnable ? &keyword : nullptr))
        return -1;
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

bool CVelkonView::IdOrderIsListOrder() const {
    // The store orders IDs as the list compares them, equal ones by when they went in; the list
    // compares only the 255 bytes it shows, and keeps equal ones in record order. The two differ
    // only where a record follows one of a higher number that shows the same ID (equal IDs, or
    // long ones alike as far as shown, lie next to each other), as after a restore: only such
    // neighbours have their IDs read.
    const CVelkonDoc* doc = GetDocument();
    const auto shown = [](std::string_view id) {
        return id.substr(0, mbcs::CharBoundaryAtOrBefore(id, 255));
    };
    bool same = true;
    int previous = -1;
    doc->m_anSortIndex.ForEach([&](int r) {
        if (same && previous > r) {
            const CString& a = doc->m_astrID[previous];
            const CString& b = doc->m_astrID[r];
            if (shown(a.View()) == shown(b.View())) same = false;
        }
        previous = r;
    });
    return same;
}

void CVelkonView::RebuildList() {
    CWaitCursor wait;
    // Every row comes afresh from the document, and the focus with them.
    m_queuedPicks.clear();
    CListCtrl& list = GetListCtrl();
    list.DeleteAllItems();
    m_nCurrent = -1;
    CVelkonDoc* doc = GetDocument();
    if (!doc) {
        ShowRegistCount();
        return;
    }
    const DateFilter date = DateFilterSettings();
    const KeywordFilter keyword = KeywordFilterSettings();
    const DateFilter* byDate = m_dlgDate.m_bEnable ? &date : nullptr;
    const KeywordFilter* byKeyword = m_dlgKeyword.m_bEnable ? &keyword : nullptr;
    std::vector<LPARAM> rows;
    rows.reserve(static_cast<std::size_t>(doc->m_anSortIndex.GetSize()));
    // The last record shown, in record order, takes the focus.
    int last = -1;
    // The store keeps its records in ID order already: a list sorted by ID takes them in that
    // order rather than sorting a million rows again.
    const bool inIdOrder = DataColumnAt(m_nSortColumn) == data_column::ID && IdOrderIsListOrder();
    if (inIdOrder) {
        doc->m_anSortIndex.ForEach([&](int r) {
            if (!Shows(r, byDate, byKeyword)) return;
            rows.push_back(r);
            last = std::max(last, r);
        });
        if (!m_bSortForward) ReverseKeepingTies(rows, *doc);
    } else {
        for (int r = 0, count = doc->GetRecordCount(); r < count; ++r)
            if (Shows(r, byDate, byKeyword)) rows.push_back(r);
        if (!rows.empty()) last = static_cast<int>(rows.back());
    }
    if (!rows.empty()) {
        list.AppendItems(rows);
        const auto at = std::find(rows.begin(), rows.end(), static_cast<LPARAM>(last));
        const int row = static_cast<int>(at - rows.begin());
        list.SetItemState(row, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
        if (inIdOrder)
            list.EnsureVisible(row, FALSE);
        else
            SortList(m_nSortColumn, m_bSortForward);
    }
    ShowRegistCount();
}

void CVelkonView::SortList(int nPosition, BOOL bForward) {
    CWaitCursor wait;
    m_nSortColumn = nPosition;
    m_bSortForward = bForward;
    CListCtrl& list = GetListCtrl();
    if (const CVelkonDoc* doc = GetDocument()) {
        const std::vector<LPARAM> data = list.GetItemDatas(FALSE);
        std::vector<int> records(data.size());
        std::transform(data.begin(), data.end(), records.begin(),
                       [](LPARAM r) { return static_cast<int>(r); });
        list.ReorderItems(SortedPlaces(*doc, records, DataColumnAt(nPosition), bForward));
    }
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
    // The list remembers the start of each row's first text for type-ahead; it must hear of a
    // changed record also when its row is out of sight.
    if (r < 0) {
        list.RedrawItems(0, list.GetItemCount() - 1);
        Invalidate(FALSE);
        return;
    }
    // The row lookup is the list's own (no walk over the rows); RedrawItems repaints the row
    // only where it is in sight.
    if (const int row = list.FindItemByData(r); row >= 0) list.RedrawItems(row, row);
}

void CVelkonView::SelectOnly(int nRow, int r) {
    CListCtrl& list = GetListCtrl();
    m_nCurrent = r;
    // The same ID picked again and again (a list of repeats, a terminal polling) finds its row
    // already the one selected and focused: nothing to tell anyone, nothing to repaint.
    constexpr UINT kBoth = LVIS_FOCUSED | LVIS_SELECTED;
    if (list.GetSelectedCount() == 1 && list.GetItemState(nRow, kBoth) == kBoth) {
        list.EnsureVisible(nRow, FALSE);
        return;
    }
    list.SetItemState(-1, 0, LVIS_SELECTED);
    list.SetItemState(nRow, kBoth, kBoth);
    list.EnsureVisible(nRow, FALSE);
}

void CVelkonView::RedrawRows(std::vector<int>& rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    CListCtrl& list = GetListCtrl();
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t j = i + 1;
        while (j < rows.size() && rows[j] - rows[j - 1] <= kRedrawGap) ++j;
        list.RedrawItems(rows[i], rows[j - 1]);
        i = j;
    }
}

void CVelkonView::ShowQueuedPicks() {
    CVelkonDoc* doc = GetDocument();
    CListCtrl& list = GetListCtrl();
    const int rowsBefore = list.GetItemCount();
    const int records = doc->GetRecordCount();
    int lastRow = -1;
    int lastRecord = -1;
    m_pickedRows.clear();
    // The rows of all the picks looked up at once; a pick without one gets it below, and a
    // later pick of the same record finds that.
    m_queuedData.assign(m_queuedPicks.begin(), m_queuedPicks.end());
    m_queuedRows.resize(m_queuedData.size());
    list.FindItemsByData(m_queuedData, m_queuedRows);
    for (std::size_t k = 0; k < m_queuedPicks.size(); ++k) {
        const int r = m_queuedPicks[k];
        // Deleted since its pick: the hint on its way takes the row out, and the selection must
        // not go to it meanwhile.
        if (r >= records || doc->m_abDeleted[r]) continue;
        int row = m_queuedRows[k];
        if (row < 0) row = list.FindItemByData(r);
        if (row < 0)
            row = AddRecord(r);
        else if (row < rowsBefore)  // a row just added has its texts asked for anyway
            m_pickedRows.push_back(row);
        if (row >= 0) {
            lastRow = row;
            lastRecord = r;
        }
    }
    m_queuedPicks.clear();
    // Rows are only appended above, so the rows found stay where they were.
    RedrawRows(m_pickedRows);
    if (lastRow >= 0) SelectOnly(lastRow, lastRecord);
    if (list.GetItemCount() != rowsBefore) ShowShownCount();
}

void CVelkonView::OnUpdate(CView*, LPARAM lHint, CObject*) {
    CVelkonDoc* doc = GetDocument();
    if (!doc) return;
    CListCtrl& list = GetListCtrl();
    const int r = doc->m_nLastChanged;
    // Queued picks go to the list before any other change does, so that a row deleted or added
    // after them ends as it would have one by one; a rebuild starts afresh and drops them.
    const bool queues = lHint == HINT_PICKED && doc->InPickupBurst();
    if (!m_queuedPicks.empty() && !queues && lHint != HINT_REBUILD) ShowQueuedPicks();
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
        case HINT_DELETED:
        case HINT_DELETED_MANY: {
            std::vector<int> rows;
            if (lHint == HINT_DELETED) {
                if (const int row = list.FindItemByData(r); row >= 0) rows.push_back(row);
            } else {
                const std::vector<LPARAM> data = list.GetItemDatas(FALSE);
                const int count = doc->GetRecordCount();
                for (std::size_t row = 0; row < data.size(); ++row) {
                    const LPARAM shown = data[row];
                    if (shown >= 0 && shown < count && doc->m_abDeleted[static_cast<int>(shown)])
                        rows.push_back(static_cast<int>(row));
                }
            }
            if (!rows.empty()) {
                list.DeleteItems(rows);
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
        case HINT_PICKED: {
            // Once for every ID a pickup finds, a hundred thousand times for a long list: one
            // lookup of the row, and the shown count asked for only when a row came.
            bool added = false;
            if (r >= 0 && queues) {
                // A repeat of the pick before needs no place of its own (a terminal polling).
                if (m_queuedPicks.empty() || m_queuedPicks.back() != r) m_queuedPicks.push_back(r);
            } else if (r >= 0) {
                int row = list.FindItemByData(r);
                if (row < 0) {
                    row = AddRecord(r);
                    added = row >= 0;
                } else {
                    list.RedrawItems(row, row);  // its colour and update count changed
                }
                if (row >= 0) SelectOnly(row, r);
            }
            if (CIdListFrame* frame = GetListFrame()) {
                frame->SetPickupCount(doc->m_astrPickupID.GetSize());
                if (added) frame->SetShownCount(list.GetItemCount(), doc->m_anSortIndex.GetSize());
            }
            break;
        }
        case HINT_PICKUP_BURST_END:  // its picks were shown above
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
    // The keyboard (Shift+F10, the Menu key) sends no place: the menu opens at the row the keys
    // work on, its top-left corner there, rather than at the screen's corner.
    UINT align = TPM_CENTERALIGN;
    if (point.x == -1 && point.y == -1) {
        point = KeyboardMenuPoint();
        align = TPM_LEFTALIGN;
    }
    // Owned by the main window, so that the items are enabled, checked and carried out by the
    // same handlers as the main menu's.
    if (CMenu* popup = menu.GetSubMenu(1))
        popup->TrackPopupMenu(align | TPM_RIGHTBUTTON, point.x, point.y, AfxGetMainWnd());
    menu.DestroyMenu();
}

POINT CVelkonView::KeyboardMenuPoint() const {
    CListCtrl& list = GetListCtrl();
    RECT client;
    list.GetClientRect(&client);
    POINT at{client.left, client.top};
    RECT row;
    const int focused = list.GetNextItem(-1, LVNI_FOCUSED);
    if (focused >= 0 && list.GetItemRect(focused, &row, LVIR_BOUNDS)) {
        // Below the row's first cell; a row scrolled out of sight gives the nearest edge.
        at.x = std::clamp(row.left, client.left, std::max(client.left, client.right - 1));
        at.y = std::clamp(row.bottom, client.top, std::max(client.top, client.bottom - 1));
    }
    list.ClientToScreen(&at);
    return at;
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
    // From the top down, each record on the deleted stack in turn; the rows go in one pass.
    const std::vector<LPARAM> selected = list.GetItemDatas(TRUE);
    std::vector<int> records(selected.size());
    std::transform(selected.begin(), selected.end(), records.begin(),
                   [](LPARAM r) { return static_cast<int>(r); });
    GetDocument()->DeleteIDs(records);
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

CIdListFrame* CVelkonView::GetListFrame() const {
    // Asked for every picked-up ID; the cross-cast is done again only for another parent. A view
    // goes with its frame, so a parent seen before is still the same window.
    CWnd* parent = GetParent();
    if (parent != m_pListFrameParent) {
        m_pListFrameParent = parent;
        m_pListFrame = dynamic_cast<CIdListFrame*>(GetParentFrame());
    }
    return m_pListFrame;
}

void CVelkonView::ShowRegistCount() {
    CIdListFrame* frame = GetListFrame();
    if (frame && GetDocument()) frame->SetRegistCount(GetDocument()->m_anSortIndex.GetSize());
    ShowShownCount();
}

void CVelkonView::ShowPickupCount() {
    CIdListFrame* frame = GetListFrame();
    if (frame && GetDocument()) frame->SetPickupCount(GetDocument()->m_astrPickupID.GetSize());
    ShowShownCount();
}

// An ID registered while a filter hides it must not seem lost: the bar says how many rows the
// filters leave.
void CVelkonView::ShowShownCount() {
    CIdListFrame* frame = GetListFrame();
    if (frame && GetDocument())
        frame->SetShownCount(GetListCtrl().GetItemCount(), GetDocument()->m_anSortIndex.GetSize());
}

BOOL CVelkonView::HasOneRecord() const {
    return m_nCurrent >= 0 && GetListCtrl().GetSelectedCount() == 1;
}

void CVelkonView::OnUpdateOneRecord(CCmdUI* pCmdUI) {
    pCmdUI->Enable(HasOneRecord());
}

BOOL CVelkonView::ChooseFormat(BOOL bSend, CString& rText) {
    CIdListFrame* frame = GetListFrame();
    if (!frame || !HasOneRecord()) return FALSE;
    CSendFormatDlg dlg;
    dlg.m_nRecord = m_nCurrent;
    dlg.m_bSend = bSend;
    dlg.m_pastrFormat = &frame->GetHelperFormats();
    if (dlg.DoModal() != IDOK) return FALSE;
    rText = dlg.m_strResult;
    return TRUE;
}

void CVelkonView::OnSendHideterm() {
    CString text;
    if (ChooseFormat(TRUE, text))
        if (CIdListFrame* frame = GetListFrame()) frame->SendToHideterm(text);
}

void CVelkonView::OnEditCopy() {
    CString text;
    if (ChooseFormat(FALSE, text))
        if (CIdListFrame* frame = GetListFrame()) frame->CopyToClipboard(text);
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
