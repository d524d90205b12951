// The list's mouse and keyboard: clicks and keys that move the focus and the selection as on
// the desktop, type-ahead search, the context menu from the mouse or the keyboard.
#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

#include "platform/base/Mbcs.h"
#include "platform/gui/reportlist/CListCtrl.h"
#include "platform/gui/reportlist/ListWidget.h"
#include "platform/gui/window/QtText.h"

namespace {
// Characters typed within this many milliseconds of each other make one search.
constexpr quint64 kTypeAheadPause = 1000;

quint64 KeyTime(const QKeyEvent* event) {
    if (event->timestamp() != 0) return event->timestamp();
    // Key events the program makes itself carry no time of the window system.
    static const QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return static_cast<quint64>(clock.elapsed());
}
}  // namespace

void ListCtrlQt::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const int row = RowAt(event->position().toPoint().y());
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (row < 0) {
        // A plain click beside the rows lets go of the selection, as on the desktop.
        if (!(mods & (Qt::ShiftModifier | Qt::ControlModifier))) SelectRange(-1, -1);
        return;
    }
    if (event->button() == Qt::RightButton) {
        if (!(m_rows.At(row).state & LVIS_SELECTED)) MoveFocusTo(row, Qt::NoModifier);
        ChangeState(row, LVIS_FOCUSED, LVIS_FOCUSED);
        return;
    }
    if ((mods & Qt::ControlModifier) && !(mods & Qt::ShiftModifier)) {
        const bool selected = m_rows.At(row).state & LVIS_SELECTED;
        ChangeState(row, selected ? 0 : LVIS_SELECTED, LVIS_SELECTED);
        ChangeState(row, LVIS_FOCUSED, LVIS_FOCUSED);
        m_anchor = row;
        return;
    }
    MoveFocusTo(row, mods);
}

void ListCtrlQt::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    if (!m_host.contextMenu) return;
    if (event->reason() == QContextMenuEvent::Keyboard)
        m_host.contextMenu(-1, -1);
    else
        m_host.contextMenu(event->globalPos().x(), event->globalPos().y());
}

void ListCtrlQt::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
    NMITEMACTIVATE nm;
    nm.iItem = RowAt(event->position().toPoint().y());
    nm.ptAction.x = event->position().toPoint().x();
    nm.ptAction.y = event->position().toPoint().y();
    if (nm.iItem >= 0) nm.lParam = m_rows.At(nm.iItem).lParam;
    Notify(nm.hdr, NM_DBLCLK);
}

void ListCtrlQt::keyPressEvent(QKeyEvent* event) {
    const int count = m_rows.Count();
    const int focus = m_rows.Focused();
    const Qt::KeyboardModifiers mods = event->modifiers();
    const int page = std::max(1, CountPerPage() - 1);
    int target = -1;
    switch (event->key()) {
        case Qt::Key_Up:
            target = focus < 0 ? 0 : focus - 1;
            break;
        case Qt::Key_Down:
            target = focus < 0 ? 0 : focus + 1;
            break;
        case Qt::Key_PageUp:
            target = focus < 0 ? 0 : focus - page;
            break;
        case Qt::Key_PageDown:
            target = focus < 0 ? 0 : focus + page;
            break;
        case Qt::Key_Home:
            target = 0;
            break;
        case Qt::Key_End:
            target = count - 1;
            break;
        case Qt::Key_Space:
            // Within a search a space is part of the text looked for.
            if (!(mods & Qt::ControlModifier) && TypingGoesOn(event) && TypeAhead(event)) return;
            if (focus >= 0) {
                const bool selected = m_rows.At(focus).state & LVIS_SELECTED;
                if (mods & Qt::ControlModifier)
                    ChangeState(focus, selected ? 0 : LVIS_SELECTED, LVIS_SELECTED);
                else
                    ChangeState(focus, LVIS_SELECTED, LVIS_SELECTED);
                m_anchor = focus;
            }
            event->accept();
            return;
        case Qt::Key_F10:
            // Shift+F10 is the Menu key of keyboards without one.
            if ((mods & ~Qt::KeypadModifier) == Qt::ShiftModifier && m_host.contextMenu) {
                event->accept();
                m_host.contextMenu(-1, -1);
                return;
            }
            event->ignore();
            return;
        default:
            if (TypeAhead(event)) return;
            // Shortcuts of the program (Enter, Del, Ctrl+A) go on to the frame.
            event->ignore();
            return;
    }
    event->accept();
    if (count == 0) return;
    MoveFocusTo(std::clamp(target, 0, count - 1), mods);
}

bool ListCtrlQt::TypingGoesOn(const QKeyEvent* event) const {
    const quint64 now = KeyTime(event);
    return m_typed.any && now >= m_typed.at && now - m_typed.at <= kTypeAheadPause;
}

bool ListCtrlQt::TypeAhead(QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString typed = event->text();
    if (typed.isEmpty()) return false;
    for (QChar c : typed)
        if (!c.isPrint()) return false;
    event->accept();
    std::string piece = FromQt(typed);
    mbcs::ToUpper(piece);
    if (TypingGoesOn(event)) {
        m_typed.text += piece;
        m_typed.sameChar = m_typed.sameChar && piece == m_typed.first;
    } else {
        m_typed.text = piece;
        m_typed.first = piece;
        m_typed.sameChar = true;
    }
    m_typed.at = KeyTime(event);
    m_typed.any = true;
    // One character again and again steps through the rows that start with it; more characters
    // narrow the search, which then starts at the row found so far.
    LVFINDINFO find;
    find.flags = LVFI_STRING | LVFI_PARTIAL | LVFI_WRAP;
    find.psz = m_typed.sameChar ? m_typed.first.c_str() : m_typed.text.c_str();
    const int focus = m_rows.Focused();
    const int row = FindRowByText(find, m_typed.sameChar ? focus : std::max(focus, 0) - 1);
    if (row >= 0)
        MoveFocusTo(row, Qt::NoModifier);
    else
        QApplication::beep();
    return true;
}

int ListCtrlQt::FindRowByText(const LVFINDINFO& find, int nAfter) {
    // Texts remembered of another first column are of no use.
    const int column = m_columns.empty() ? -1 : m_columns.front().iSubItem;
    if (column != m_typed.column) {
        m_rows.ForgetTexts();
        m_typed.column = column;
    }
    CellBuffer buffer;
    return m_rows.FindText(find.psz, find.flags & LVFI_PARTIAL, nAfter + 1, find.flags & LVFI_WRAP,
                           [this, &buffer](int row) { return CellText(row, 0, buffer); });
}

std::string_view ListCtrlQt::CellText(int nItem, int nSubItem, CellBuffer& buffer) {
    LVITEM item;
    item.mask = LVIF_TEXT;
    buffer[0] = '\0';
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    GetDispInfo(nItem, nSubItem, item);
    return std::string_view(buffer.data());
}

void ListCtrlQt::FitColumnToTexts(int nCol) {
    if (nCol < 0 || nCol >= static_cast<int>(m_columns.size())) return;
    if (m_layoutPending) Relayout();
    const QFontMetrics fm = fontMetrics();
    const int h = RowHeight();
    const int top = TopIndex();
    const int end = std::min(m_rows.Count(), top + (viewport()->height() + h - 1) / h);
    int widest = 0;
    CellBuffer buffer;
    for (int i = top; i < end; ++i)
        widest = std::max(widest, fm.horizontalAdvance(ToQt(CellText(i, nCol, buffer))));
    // Room on both sides of the text, and for the icon beside the first column's text.
    const int margin = std::max(6, fm.averageCharWidth());
    int width = widest + 2 * margin;
    if (nCol == 0 && m_imageLists[LVSIL_SMALL]) width += 16;
    m_header->resizeSection(nCol, std::max(width, m_header->sectionSizeHint(nCol)));
}

void ListCtrlQt::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    if (m_host.focusChanged) m_host.focusChanged(true);
    viewport()->update();
}

void ListCtrlQt::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    if (m_host.focusChanged) m_host.focusChanged(false);
    viewport()->update();
}
