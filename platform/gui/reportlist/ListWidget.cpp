#include "platform/gui/reportlist/ListWidget.h"

#include <QApplication>
#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStandardItemModel>
#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/base/CodePage.h"
#include "platform/base/Mbcs.h"
#include "platform/gui/drawing/CDC.h"
#include "platform/gui/drawing/GdiToQt.h"
#include "platform/gui/reportlist/CListCtrl.h"
#include "platform/gui/window/QtText.h"

namespace {
// More rows than this to let go of are let go of all at once.
constexpr int kManyRows = 256;

Qt::Alignment AlignmentOf(int fmt) {
    switch (fmt & 3) {
        case LVCFMT_RIGHT:
            return Qt::AlignRight | Qt::AlignVCenter;
        case LVCFMT_CENTER:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        default:
            return Qt::AlignLeft | Qt::AlignVCenter;
    }
}
}  // namespace

ListCtrlQt::ListCtrlQt(QWidget* parent)
    : QAbstractScrollArea(parent), m_bkColor(GetSysColor(COLOR_WINDOW)) {
    setFocusPolicy(Qt::StrongFocus);
    m_headerModel = new QStandardItemModel(0, 0, this);
    m_header = new QHeaderView(Qt::Horizontal, this);
    m_header->setModel(m_headerModel);
    m_header->setSectionsClickable(true);
    m_header->setSectionsMovable(false);
    m_header->setHighlightSections(false);
    m_header->setStretchLastSection(false);
    m_header->setSectionResizeMode(QHeaderView::Interactive);
    m_header->setFocusPolicy(Qt::NoFocus);
    QObject::connect(m_header, &QHeaderView::sectionResized, this,
                     [this](int logical, int, int newSize) {
                         if (m_syncingHeader || logical >= static_cast<int>(m_columns.size()))
                             return;
                         m_columns[static_cast<size_t>(logical)].cx = newSize;
                         ScheduleLayout();
                     });
    QObject::connect(m_header, &QHeaderView::sectionHandleDoubleClicked, this,
                     [this](int logical) { FitColumnToTexts(logical); });
    QObject::connect(m_header, &QHeaderView::sectionClicked, this, [this](int logical) {
        NMLISTVIEW nm;
        nm.iItem = -1;
        nm.iSubItem = logical;
        Notify(nm.hdr, LVN_COLUMNCLICK);
    });
    QObject::connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(),
                     [this] { viewport()->update(); });
    QObject::connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        m_header->setOffset(value);
        viewport()->update();
    });
    verticalScrollBar()->setSingleStep(1);
    ScheduleLayout();
}

ListCtrlQt::~ListCtrlQt() = default;

void ListCtrlQt::SetStyle(DWORD dwStyle) {
    m_style = dwStyle;
    viewport()->update();
}

LRESULT ListCtrlQt::Notify(NMHDR& hdr, UINT code) {
    hdr.code = code;
    return m_host.notify ? m_host.notify(&hdr) : 0;
}

void ListCtrlQt::NotifyItemChanged(int nItem, UINT oldState, UINT newState) {
    NMLISTVIEW nm;
    nm.iItem = nItem;
    nm.uOldState = oldState;
    nm.uNewState = newState;
    nm.uChanged = LVIF_STATE;
    nm.lParam = m_rows.At(nItem).lParam;
    Notify(nm.hdr, LVN_ITEMCHANGED);
}

void ListCtrlQt::ChangeState(int nItem, UINT state, UINT mask) {
    if (nItem < 0 || nItem >= m_rows.Count()) return;
    // One row holds the focus at a time.
    const int oldFocus = m_rows.Focused();
    if ((mask & state & LVIS_FOCUSED) && oldFocus >= 0 && oldFocus != nItem) {
        const UINT old = m_rows.SetState(oldFocus, 0, LVIS_FOCUSED);
        UpdateRow(oldFocus);
        NotifyItemChanged(oldFocus, old, old & ~LVIS_FOCUSED);
    }
    if (nItem >= m_rows.Count()) return;  // the owner may have taken rows away
    const UINT old = m_rows.SetState(nItem, state, mask);
    const UINT now = m_rows.At(nItem).state;
    if (old == now) return;
    UpdateRow(nItem);
    NotifyItemChanged(nItem, old, now);
}

void ListCtrlQt::SelectRange(int first, int last) {
    if (first > last) std::swap(first, last);
    // A click after Ctrl+A on a million rows: the selection goes in one pass, told once, and
    // the range is selected again, rather than a notification for each row that goes.
    const int inRange = first < 0 ? 0 : last - first + 1;
    if (m_rows.SelectedCount() > inRange + kManyRows) SelectAll(false);
    if (m_rows.SelectedCount() > 0) {
        for (int i = m_rows.NextSelected(-1); i >= 0; i = m_rows.NextSelected(i))
            if (i < first || i > last) ChangeState(i, 0, LVIS_SELECTED);
    }
    if (first < 0) return;
    for (int i = first; i <= last && i < m_rows.Count(); ++i)
        ChangeState(i, LVIS_SELECTED, LVIS_SELECTED);
}

void ListCtrlQt::MoveFocusTo(int nItem, Qt::KeyboardModifiers modifiers) {
    if (nItem < 0 || nItem >= m_rows.Count()) return;
    if (modifiers & Qt::ShiftModifier) {
        if (m_anchor < 0 || m_anchor >= m_rows.Count()) m_anchor = nItem;
        // Without Ctrl a range replaces the selection; with it, it is added.
        if (modifiers & Qt::ControlModifier) {
            const int lo = std::min(m_anchor, nItem), hi = std::max(m_anchor, nItem);
            for (int i = lo; i <= hi && i < m_rows.Count(); ++i)
                ChangeState(i, LVIS_SELECTED, LVIS_SELECTED);
        } else {
            SelectRange(m_anchor, nItem);
        }
        ChangeState(nItem, LVIS_FOCUSED, LVIS_FOCUSED);
    } else if (modifiers & Qt::ControlModifier) {
        ChangeState(nItem, LVIS_FOCUSED, LVIS_FOCUSED);
    } else {
        SelectRange(nItem, nItem);
        ChangeState(nItem, LVIS_FOCUSED, LVIS_FOCUSED);
        m_anchor = nItem;
    }
    EnsureVisible(nItem, false);
}

void ListCtrlQt::GetDispInfo(int nItem, int nSubItem, LVITEM& item) {
    NMLVDISPINFO info;
    info.item = item;
    info.item.iItem = nItem;
    info.item.iSubItem = nSubItem;
    info.item.lParam = m_rows.At(nItem).lParam;
    info.item.state = m_rows.At(nItem).state;
    Notify(info.hdr, LVN_GETDISPINFO);
    item.iImage = info.item.iImage;
    if (!(item.mask & LVIF_TEXT)) return;
    if (info.item.pszText == item.pszText || info.item.pszText == LPSTR_TEXTCALLBACK) return;
    // The owner may point at its own buffer instead of filling the one offered.
    if (item.pszText && item.cchTextMax > 0) {
        const char* src = info.item.pszText ? info.item.pszText : "";
        const size_t n = std::min(std::strlen(src), static_cast<size_t>(item.cchTextMax - 1));
        std::memmove(item.pszText, src, n);
        item.pszText[n] = '\0';
    } else {
        item.pszText = info.item.pszText;
    }
}

// --- columns ---

void ListCtrlQt::SyncHeader() {
    m_syncingHeader = true;
    m_headerModel->setColumnCount(static_cast<int>(m_columns.size()));
    for (size_t i = 0; i < m_columns.size(); ++i) {
        const int section = static_cast<int>(i);
        m_headerModel->setHeaderData(section, Qt::Horizontal, ToQt(m_columns[i].text));
        m_headerModel->setHeaderData(section, Qt::Horizontal,
                                     QVariant::fromValue(AlignmentOf(m_columns[i].fmt)),
                                     Qt::TextAlignmentRole);
        m_header->resizeSection(section, m_columns[i].cx);
    }
    m_syncingHeader = false;
    ScheduleLayout();
}

BOOL ListCtrlQt::InsertColumn(int nCol, const LVCOLUMN& col) {
    if (nCol < 0) return -1;
    nCol = std::min(nCol, static_cast<int>(m_columns.size()));
    Column c;
    if (col.mask & LVCF_FMT) c.fmt = col.fmt;
    if (col.mask & LVCF_WIDTH) c.cx = std::max(col.cx, 0);
    if ((col.mask & LVCF_TEXT) && col.pszText) c.text = col.pszText;
    if (col.mask & LVCF_SUBITEM) c.iSubItem = col.iSubItem;
    m_columns.insert(m_columns.begin() + nCol, c);
    SyncHeader();
    viewport()->update();
    return nCol;
}

BOOL ListCtrlQt::DeleteColumn(int nCol) {
    if (nCol < 0 || nCol >= static_cast<int>(m_columns.size())) return FALSE;
    m_columns.erase(m_columns.begin() + nCol);
    SyncHeader();
    viewport()->update();
    return TRUE;
}

BOOL ListCtrlQt::GetColumn(int nCol, LVCOLUMN& col) const {
    if (nCol < 0 || nCol >= static_cast<int>(m_columns.size())) return FALSE;
    const Column& c = m_columns[static_cast<size_t>(nCol)];
    if (col.mask & LVCF_FMT) col.fmt = c.fmt;
    if (col.mask & LVCF_WIDTH) col.cx = c.cx;
    if (col.mask & LVCF_SUBITEM) col.iSubItem = c.iSubItem;
    if ((col.mask & LVCF_TEXT) && col.pszText && col.cchTextMax > 0) {
        const size_t n = std::min(static_cast<size_t>(c.text.GetLength()),
                                  static_cast<size_t>(col.cchTextMax - 1));
        std::memcpy(col.pszText, c.text.View().data(), n);
        col.pszText[n] = '\0';
    }
    return TRUE;
}

BOOL ListCtrlQt::SetColumn(int nCol, const LVCOLUMN& col) {
    if (nCol < 0 || nCol >= static_cast<int>(m_columns.size())) return FALSE;
    Column& c = m_columns[static_cast<size_t>(nCol)];
    if (col.mask & LVCF_FMT) c.fmt = col.fmt;
    if (col.mask & LVCF_WIDTH) c.cx = std::max(col.cx, 0);
    if ((col.mask & LVCF_TEXT) && col.pszText) c.text = col.pszText;
    if (col.mask & LVCF_SUBITEM) c.iSubItem = col.iSubItem;
    SyncHeader();
    viewport()->update();
    return TRUE;
}

// --- rows ---

int ListCtrlQt::InsertItem(const LVITEM& item) {
    if (item.iItem < 0) return -1;
    const LPARAM lParam = (item.mask & LVIF_PARAM) ? item.lParam : 0;
    UINT state = (item.mask & LVIF_STATE) ? (item.state & item.stateMask) : 0;
    // Another row keeps the focus; the new one cannot take it silently.
    if (m_rows.Focused() >= 0) state &= ~LVIS_FOCUSED;
    const int nItem = m_rows.Insert(item.iItem, lParam, state);
    if (m_anchor >= nItem) ++m_anchor;
    ScheduleLayout();
    return nItem;
}

BOOL ListCtrlQt::DeleteItem(int nItem) {
    if (nItem < 0 || nItem >= m_rows.Count()) return FALSE;
    const bool hadFocus = m_rows.Focused() == nItem;
    m_rows.Erase(nItem);
    if (m_anchor == nItem)
        m_anchor = -1;
    else if (m_anchor > nItem)
        --m_anchor;
    ScheduleLayout();
    // The focus stays at the same place: the row that moved up into it, or the new last row.
    if (hadFocus && m_rows.Count() > 0)
        ChangeState(std::min(nItem, m_rows.Count() - 1), LVIS_FOCUSED, LVIS_FOCUSED);
    return TRUE;
}

BOOL ListCtrlQt::DeleteItems(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty() || rows.front() < 0 || rows.back() >= m_rows.Count()) return FALSE;
    const int focused = m_rows.Focused();
    const bool hadFocus = focused >= 0 && std::binary_search(rows.begin(), rows.end(), focused);
    // The row that takes the focused row's place is the first one after it that stays.
    const auto before = [&rows](int row) {
        return static_cast<int>(std::lower_bound(rows.begin(), rows.end(), row) - rows.begin());
    };
    const int focusPlace = focused - (focused >= 0 ? before(focused) : 0);
    if (m_anchor >= 0)
        m_anchor = std::binary_search(rows.begin(), rows.end(), m_anchor)
                       ? -1
                       : m_anchor - before(m_anchor);
    m_rows.EraseMany(rows);
    ScheduleLayout();
    if (hadFocus && m_rows.Count() > 0)
        ChangeState(std::min(focusPlace, m_rows.Count() - 1), LVIS_FOCUSED, LVIS_FOCUSED);
    return TRUE;
}

void ListCtrlQt::DeleteAllItems() {
    m_rows.Clear();
    m_anchor = -1;
    verticalScrollBar()->setValue(0);
    ScheduleLayout();
}

BOOL ListCtrlQt::GetItem(LVITEM& item) {
    if (item.iItem < 0 || item.iItem >= m_rows.Count()) return FALSE;
    const ListRows::Row& row = m_rows.At(item.iItem);
    if (item.mask & LVIF_PARAM) item.lParam = row.lParam;
    if (item.mask & LVIF_STATE) item.state = row.state & item.stateMask;
    // Texts and images are never kept: the owner has them.
    if (item.mask & (LVIF_TEXT | LVIF_IMAGE)) {
        LVITEM asked = item;
        asked.mask &= LVIF_TEXT | LVIF_IMAGE;
        GetDispInfo(item.iItem, item.iSubItem, asked);
        if (item.mask & LVIF_IMAGE) item.iImage = asked.iImage;
        if (item.mask & LVIF_TEXT) item.pszText = asked.pszText;
    }
    return TRUE;
}

BOOL ListCtrlQt::SetItem(const LVITEM& item) {
    if (item.iItem < 0 || item.iItem >= m_rows.Count()) return FALSE;
    if (item.mask & LVIF_PARAM) m_rows.SetData(item.iItem, item.lParam);
    if (item.mask & LVIF_STATE) ChangeState(item.iItem, item.state, item.stateMask);
    UpdateRow(item.iItem);
    return TRUE;
}

int ListCtrlQt::GetNextItem(int nStart, UINT flags) const {
    const int count = m_rows.Count();
    if (flags & LVNI_FOCUSED) {
        const int f = m_rows.Focused();
        if (f <= nStart) return -1;
        return (!(flags & LVNI_SELECTED) || (m_rows.At(f).state & LVIS_SELECTED)) ? f : -1;
    }
    if (flags & LVNI_SELECTED) return m_rows.NextSelected(nStart);
    return nStart + 1 < count ? std::max(nStart + 1, 0) : -1;
}

BOOL ListCtrlQt::SortItems(PFNLVCOMPARE pfnCompare, LPARAM lParamSort) {
    if (!pfnCompare) return FALSE;
    m_rows.Sort(
        [pfnCompare, lParamSort](LPARAM a, LPARAM b) { return pfnCompare(a, b, lParamSort); });
    m_anchor = m_rows.Focused();
    viewport()->update();
    return TRUE;
}

void ListCtrlQt::SelectAll(bool bSelected) {
    if (m_rows.SelectAll(bSelected) == 0) return;
    viewport()->update();
    NMLISTVIEW nm;
    nm.iItem = -1;
    nm.uOldState = bSelected ? 0 : LVIS_SELECTED;
    nm.uNewState = bSelected ? LVIS_SELECTED : 0;
    nm.uChanged = LVIF_STATE;
    Notify(nm.hdr, LVN_ITEMCHANGED);
}

// --- geometry ---

int ListCtrlQt::RowHeight() const {
    // Room for a 16-pixel icon and for the font, whichever is taller. Asked for by every row
    // update; the font's metrics are measured again only after the font changed.
    if (m_rowHeight == 0) m_rowHeight = std::max(fontMetrics().height(), 16) + 2;
    return m_rowHeight;
}

int ListCtrlQt::HeaderHeight() const {
    return std::max(m_header->sizeHint().height(), fontMetrics().height() + 6);
}

int ListCtrlQt::TopIndex() const {
    // A row made visible while the layout waited is scrolled to by the layout.
    if (m_ensure.row >= 0) const_cast<ListCtrlQt*>(this)->Relayout();
    return verticalScrollBar()->value();
}

int ListCtrlQt::CountPerPage() const {
    return std::max(1, viewport()->height() / RowHeight());
}

int ListCtrlQt::TotalWidth() const {
    int total = 0;
    for (const Column& c : m_columns) total += c.cx;
    return total;
}

int ListCtrlQt::RowAt(int y) const {
    if (y < 0) return -1;
    const int row = TopIndex() + y / RowHeight();
    return row < m_rows.Count() ? row : -1;
}

void ListCtrlQt::ScheduleLayout() {
    viewport()->update();
    if (m_layoutPending) return;
    m_layoutPending = true;
    // A layout done meanwhile (for EnsureVisible) leaves the call queued: one is enough, however
    // many rows come and go before the loop runs it.
    if (m_layoutQueued) return;
    m_layoutQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_layoutQueued = false;
            if (m_layoutPending) Relayout();
        },
        Qt::QueuedConnection);
}

void ListCtrlQt::Relayout() {
    m_layoutPending = false;
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
    // The focused row, whole in sight before, stays whole when the window shrinks or a scroll
    // bar comes and takes room: the desktop's list never leaves it half under the bar.
    const int focus = m_rows.Focused();
    const bool focusWhole = focus >= v->value() && focus < v->value() + m_wholeRows;
    const int headerHeight = HeaderHeight();
    setViewportMargins(0, headerHeight, 0, 0);
    // A scroll bar that comes or goes changes the room for the other: again until none does.
    for (int pass = 0; pass < 3; ++pass) {
        const QSize before = viewport()->size();
        const int perPage = CountPerPage();
        v->setPageStep(perPage);
        v->setRange(0, std::max(0, m_rows.Count() - perPage));
        const int width = viewport()->width();
        h->setPageStep(width);
        h->setSingleStep(std::max(1, fontMetrics().averageCharWidth() * 2));
        h->setRange(0, std::max(0, TotalWidth() - width));
        if (viewport()->size() == before) break;
    }
    const QRect vp = viewport()->geometry();
    m_header->setGeometry(vp.left(), vp.top() - headerHeight, vp.width(), headerHeight);
    m_header->setOffset(h->value());
    m_wholeRows = CountPerPage();
    if (focusWhole && focus >= v->value() + m_wholeRows) v->setValue(focus - m_wholeRows + 1);
    if (m_ensure.row >= 0) {
        const Ensure ensure = std::exchange(m_ensure, Ensure{});
        ScrollTo(ensure.row, ensure.partialOK);
    }
}

void ListCtrlQt::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    Relayout();
}

void ListCtrlQt::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_rowHeight = 0;
        ScheduleLayout();
    }
}

BOOL ListCtrlQt::EnsureVisible(int nItem, bool bPartialOK) {
    if (nItem < 0 || nItem >= m_rows.Count()) return FALSE;
    // Rows added one by one, each made visible (restores), lay out and scroll once. So do rows
    // made visible one after another without a row added (a pickup of many IDs): a scroll is a
    // repaint of everything and news for accessibility, and only the last one is seen. Anyone
    // asking where the rows are meanwhile gets the layout, and the scroll, at once.
    if (!m_layoutPending) {
        const int top = TopIndex();
        const int perPage = CountPerPage();
        if (nItem >= top && (nItem < top + perPage || (bPartialOK && nItem == top + perPage)))
            return TRUE;
        ScheduleLayout();
    }
    m_ensure = Ensure{nItem, bPartialOK};
    return TRUE;
}

void ListCtrlQt::ScrollTo(int nItem, bool bPartialOK) {
    if (nItem < 0 || nItem >= m_rows.Count()) return;
    const int top = verticalScrollBar()->value();
    const int perPage = CountPerPage();
    if (nItem < top)
        verticalScrollBar()->setValue(nItem);
    else if (nItem >= top + perPage && !(bPartialOK && nItem == top + perPage))
        verticalScrollBar()->setValue(nItem - perPage + 1);
}

BOOL ListCtrlQt::GetItemRect(int nItem, RECT& rc) {
    if (nItem < 0 || nItem >= m_rows.Count()) return FALSE;
    if (m_layoutPending) Relayout();
    const QRect vp = viewport()->geometry();
    const int y = vp.top() + (nItem - TopIndex()) * RowHeight();
    const int x = vp.left() - horizontalScrollBar()->value();
    rc.left = x;
    rc.top = y;
    rc.right = x + TotalWidth();
    rc.bottom = y + RowHeight();
    return TRUE;
}

void ListCtrlQt::InvalidateClientRect(const RECT& rc) {
    viewport()->update(ToQRect(rc).translated(-viewport()->pos()));
}

void ListCtrlQt::UpdateRow(int nItem) {
    if (m_layoutPending) return;  // the whole list is drawn again
    const int top = TopIndex();
    if (nItem < top || nItem > top + CountPerPage()) return;
    const int h = RowHeight();
    // A pickup of thousands of IDs changes rows one after another, several calls for each; they
    // reach Qt as one rectangle over the rows, once the loop runs again. A scroll meanwhile
    // draws everything, so a rectangle taken before it does no harm.
    const bool queued = !m_dirtyRows.isNull();
    m_dirtyRows |= QRect(0, (nItem - top) * h, viewport()->width(), h);
    if (queued) return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            viewport()->update(m_dirtyRows);
            m_dirtyRows = QRect();
        },
        Qt::QueuedConnection);
}

void ListCtrlQt::InvalidateFocusedRow() {
    if (m_rows.Focused() >= 0) UpdateRow(m_rows.Focused());
}

// --- painting ---

void ListCtrlQt::paintEvent(QPaintEvent* event) {
    if (m_layoutPending) Relayout();
    QPainter painter(viewport());
    painter.fillRect(event->rect(), ToQColor(m_bkColor));
    const int h = RowHeight();
    const int top = TopIndex();
    const int first = top + std::max(0, event->rect().top()) / h;
    const int last = std::min(m_rows.Count() - 1, top + event->rect().bottom() / h);
    const int left = -horizontalScrollBar()->value();
    const int width = TotalWidth();
    const bool focused = hasFocus();
    const bool showSelection = focused || (m_style & LVS_SHOWSELALWAYS);
    for (int i = first; i <= last; ++i) {
        const ListRows::Row& row = m_rows.At(i);
        const QRect rc(left, (i - top) * h, width, h);
        UINT itemState = 0;
        if ((row.state & LVIS_SELECTED) && showSelection) itemState |= ODS_SELECTED;
        if ((row.state & LVIS_FOCUSED) && focused) itemState |= ODS_FOCUS;
        if (!(m_style & LVS_OWNERDRAWFIXED)) {
            DrawDefaultRow(painter, i, rc, itemState);
            continue;
        }
        if (!m_host.drawItem) continue;
        painter.save();
        painter.setFont(font());
        CDC dc(&painter);
        DRAWITEMSTRUCT dis;
        dis.CtlType = ODT_LISTVIEW;
        dis.itemID = static_cast<UINT>(i);
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = itemState;
        dis.hDC = dc.GetSafeHdc();
        dis.rcItem = FromQRect(rc);
        dis.itemData = static_cast<UINT_PTR>(row.lParam);
        m_host.drawItem(&dis);
        dc.Detach();
        painter.restore();
    }
}

void ListCtrlQt::DrawDefaultRow(QPainter& painter, int nItem, const QRect& rc, UINT itemState) {
    const QPalette& pal = palette();
    const bool selected = itemState & ODS_SELECTED;
    if (selected) painter.fillRect(rc, pal.color(QPalette::Highlight));
    painter.setPen(selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text));
    int x = rc.left();
    char buffer[260];
    for (size_t c = 0; c < m_columns.size(); ++c) {
        const int cx = m_columns[c].cx;
        LVITEM item;
        item.mask = LVIF_TEXT;
        buffer[0] = '\0';
        item.pszText = buffer;
        item.cchTextMax = sizeof buffer;
        GetDispInfo(nItem, static_cast<int>(c), item);
        const QRect cell(x + 4, rc.top(), std::max(0, cx - 8), rc.height());
        painter.drawText(cell, static_cast<int>(AlignmentOf(m_columns[c].fmt)),
                         fontMetrics().elidedText(ToQt(item.pszText ? item.pszText : ""),
                                                  Qt::ElideRight, cell.width()));
        x += cx;
    }
    if (itemState & ODS_FOCUS) {
        QPen pen(pal.color(QPalette::Text), 1, Qt::DotLine);
        painter.setPen(pen);
        painter.drawRect(rc.adjusted(0, 0, -1, -1));
    }
}

// --- messages ---

LRESULT ListCtrlQt::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* pHandled) {
    *pHandled = true;
    const int index = static_cast<int>(static_cast<INT_PTR>(wParam));
    switch (message) {
        case LVM_GETBKCOLOR:
            return static_cast<LRESULT>(m_bkColor);
        case LVM_SETBKCOLOR:
            m_bkColor = static_cast<COLORREF>(lParam);
            viewport()->update();
            return TRUE;
        case LVM_GETIMAGELIST:
            return index >= 0 && index < 3 ? reinterpret_cast<LRESULT>(m_imageLists[index]) : 0;
        case LVM_SETIMAGELIST: {
            if (index < 0 || index >= 3) return 0;
            HIMAGELIST old = m_imageLists[index];
            m_imageLists[index] = reinterpret_cast<HIMAGELIST>(lParam);
            viewport()->update();
            return reinterpret_cast<LRESULT>(old);
        }
        case LVM_GETITEMCOUNT:
            return m_rows.Count();
        case LVM_GETITEM:
            return lParam ? GetItem(*reinterpret_cast<LVITEM*>(lParam)) : FALSE;
        case LVM_SETITEM:
            return lParam ? SetItem(*reinterpret_cast<const LVITEM*>(lParam)) : FALSE;
        case LVM_INSERTITEM:
            return lParam ? InsertItem(*reinterpret_cast<const LVITEM*>(lParam)) : -1;
        case LVM_DELETEITEM:
            return DeleteItem(index);
        case LVM_DELETEITEMS: {
            const auto* rows = reinterpret_cast<const int*>(lParam);
            if (!rows) return FALSE;
            return DeleteItems(std::vector<int>(rows, rows + wParam));
        }
        case LVM_FINDITEMSBYDATA: {
            const auto* find = reinterpret_cast<const LVFINDITEMS*>(lParam);
            if (!find || !find->data || !find->rows) return FALSE;
            m_rows.FindMany(find->data, find->rows, static_cast<std::size_t>(wParam));
            return TRUE;
        }
        case LVM_GETITEMDATAS: {
            auto* out = reinterpret_cast<std::vector<LPARAM>*>(lParam);
            if (!out) return 0;
            out->clear();
            if (wParam & LVNI_SELECTED) {
                out->reserve(static_cast<size_t>(m_rows.SelectedCount()));
                for (int i = m_rows.NextSelected(-1); i >= 0; i = m_rows.NextSelected(i))
                    out->push_back(m_rows.At(i).lParam);
            } else {
                out->reserve(static_cast<size_t>(m_rows.Count()));
                for (int i = 0; i < m_rows.Count(); ++i) out->push_back(m_rows.At(i).lParam);
            }
            return static_cast<LRESULT>(out->size());
        }
        case LVM_APPENDITEMS: {
            const auto* data = reinterpret_cast<const LPARAM*>(lParam);
            if (!data || wParam == 0) return -1;
            const int first = m_rows.Append({data, static_cast<size_t>(wParam)});
            ScheduleLayout();
            return first;
        }
        case LVM_REORDERITEMS: {
            const auto* order = reinterpret_cast<const int*>(lParam);
            if (!order && wParam != 0) return FALSE;
            if (!m_rows.Reorder({order, static_cast<size_t>(wParam)})) return FALSE;
            m_anchor = m_rows.Focused();
            viewport()->update();
            return TRUE;
        }
        case LVM_DELETEALLITEMS:
            DeleteAllItems();
            return TRUE;
        case LVM_GETNEXTITEM:
            return GetNextItem(index, static_cast<UINT>(lParam));
        case LVM_FINDITEM: {
            const auto* find = reinterpret_cast<const LVFINDINFO*>(lParam);
            if (!find) return -1;
            if (find->flags & LVFI_PARAM) {
                const int row = m_rows.Find(find->lParam);
                return row > index ? row : -1;
            }
            if ((find->flags & (LVFI_STRING | LVFI_PARTIAL)) && find->psz)
                return FindRowByText(*find, index);
            return -1;
        }
        case LVM_GETITEMRECT:
            return lParam ? GetItemRect(index, *reinterpret_cast<RECT*>(lParam)) : FALSE;
        case LVM_ENSUREVISIBLE:
            return EnsureVisible(index, lParam != 0);
        case LVM_REDRAWITEMS:
            // The owner's texts of these rows changed: type-ahead must not go by the old ones.
            m_rows.ForgetTexts(index, static_cast<int>(lParam));
            if (m_layoutPending) return TRUE;  // the whole list is drawn again anyway
            for (int i = std::max(index, TopIndex());
                 i <= std::min(static_cast<int>(lParam), TopIndex() + CountPerPage()); ++i)
                UpdateRow(i);
            return TRUE;
        case LVM_GETCOLUMN:
            return lParam ? GetColumn(index, *reinterpret_cast<LVCOLUMN*>(lParam)) : FALSE;
        case LVM_SETCOLUMN:
            return lParam ? SetColumn(index, *reinterpret_cast<const LVCOLUMN*>(lParam)) : FALSE;
        case LVM_INSERTCOLUMN:
            return lParam ? InsertColumn(index, *reinterpret_cast<const LVCOLUMN*>(lParam)) : -1;
        case LVM_DELETECOLUMN:
            return DeleteColumn(index);
        case LVM_GETTOPINDEX:
            if (m_layoutPending) Relayout();
            return TopIndex();
        case LVM_GETCOUNTPERPAGE:
            if (m_layoutPending) Relayout();
            return CountPerPage();
        case LVM_SETITEMSTATE: {
            const auto* item = reinterpret_cast<const LVITEM*>(lParam);
            if (!item) return FALSE;
            if (index >= 0) {
                if (index >= m_rows.Count()) return FALSE;
                ChangeState(index, item->state, item->stateMask);
                return TRUE;
            }
            // Every row. The selection alone changes in one pass, with one notification.
            const UINT mask = item->stateMask;
            if (mask == LVIS_SELECTED) {
                SelectAll((item->state & LVIS_SELECTED) != 0);
                return TRUE;
            }
            for (int i = 0; i < m_rows.Count(); ++i) ChangeState(i, item->state, mask);
            return TRUE;
        }
        case LVM_GETITEMSTATE:
            if (index < 0 || index >= m_rows.Count()) return 0;
            return static_cast<LRESULT>(m_rows.At(index).state & static_cast<UINT>(lParam));
        case LVM_SORTITEMS:
            return SortItems(reinterpret_cast<PFNLVCOMPARE>(lParam), static_cast<LPARAM>(wParam));
        case LVM_GETSELECTEDCOUNT:
            return m_rows.SelectedCount();
        default:
            *pHandled = false;
            return 0;
    }
}
