// The Qt side of a report-style list view: a scroll area that paints only the rows in sight, a
// header the user can resize and click, and the LVM_* messages over the rows' item data and
// state. Texts and images come from the owner (LVN_GETDISPINFO); an owner-drawn list hands each
// visible row to the owner's DrawItem.
#pragma once

#include <QAbstractScrollArea>
#include <QRect>
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/CString.h"
#include "platform/gui/drawing/Colors.h"
#include "platform/gui/reportlist/CommCtrl.h"
#include "platform/gui/reportlist/ListRows.h"

class QHeaderView;
class QStandardItemModel;

class ListCtrlQt : public QAbstractScrollArea {
public:
    // What the control needs from the window it stands behind.
    struct Host {
        // Fills in the header's window and id, sends WM_NOTIFY and returns its result.
        std::function<LRESULT(NMHDR* pHdr)> notify;
        std::function<void(DRAWITEMSTRUCT* pDis)> drawItem;
        // TRUE on gaining the keyboard focus, FALSE on losing it.
        std::function<void(bool bGained)> focusChanged;
        // A context menu asked for at a screen point; (-1, -1) when asked from the keyboard.
        std::function<void(int x, int y)> contextMenu;
    };

    explicit ListCtrlQt(QWidget* parent = nullptr);
    ~ListCtrlQt() override;

    void SetHost(Host host) { m_host = std::move(host); }
    void SetStyle(DWORD dwStyle);
    DWORD GetStyle() const { return m_style; }
    // The LVM_* messages; FALSE in *pHandled for any other.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* pHandled);
    // A rectangle in the window's coordinates (those of LVM_GETITEMRECT).
    void InvalidateClientRect(const RECT& rc);
    void InvalidateFocusedRow();
    const ListRows& Rows() const { return m_rows; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Column {
        int fmt = LVCFMT_LEFT;
        int cx = 0;
        CString text;
        int iSubItem = 0;
    };

    LRESULT Notify(NMHDR& hdr, UINT code);
    void NotifyItemChanged(int nItem, UINT oldState, UINT newState);
    // Sets state bits of one row, moving the focus away from another row, and tells the owner.
    void ChangeState(int nItem, UINT state, UINT mask);
    // Selects exactly the rows first..last (either order); -1 selects none.
    void SelectRange(int first, int last);
    void MoveFocusTo(int nItem, Qt::KeyboardModifiers modifiers);
    void GetDispInfo(int nItem, int nSubItem, LVITEM& item);
    // A cell's text as the owner gives it, in the buffer.
    using CellBuffer = std::array<char, 260>;
    std::string_view CellText(int nItem, int nSubItem, CellBuffer& buffer);

    BOOL InsertColumn(int nCol, const LVCOLUMN& col);
    BOOL DeleteColumn(int nCol);
    BOOL GetColumn(int nCol, LVCOLUMN& col) const;
    BOOL SetColumn(int nCol, const LVCOLUMN& col);
    int InsertItem(const LVITEM& item);
    BOOL DeleteItem(int nItem);
    // The rows at these indexes in one pass, as DeleteItem on each from the bottom up would.
    BOOL DeleteItems(std::vector<int> rows);
    void DeleteAllItems();
    BOOL GetItem(LVITEM& item);
    BOOL SetItem(const LVITEM& item);
    int GetNextItem(int nStart, UINT flags) const;
    BOOL EnsureVisible(int nItem, bool bPartialOK);
    // Scrolls now, as little as makes the row visible (bPartialOK: partly, at the bottom).
    void ScrollTo(int nItem, bool bPartialOK);
    BOOL GetItemRect(int nItem, RECT& rc);
    BOOL SortItems(PFNLVCOMPARE pfnCompare, LPARAM lParamSort);
    // Every row selected or none, told to the owner once (iItem -1) as the desktop's list does.
    void SelectAll(bool bSelected);

    // Scroll ranges and the header's place, put off while rows pour in.
    void ScheduleLayout();
    void Relayout();
    int RowHeight() const;
    int HeaderHeight() const;
    int TopIndex() const;
    int CountPerPage() const;
    int TotalWidth() const;
    int RowAt(int y) const;
    void UpdateRow(int nItem);
    void DrawDefaultRow(QPainter& painter, int nItem, const QRect& rc, UINT itemState);
    void SyncHeader();
    // A double click on a header divider: the column as wide as its widest text in sight, or
    // its caption when that is wider.
    void FitColumnToTexts(int nCol);
    // Type-ahead: a printable key moves the focus and selection to the next row whose first text
    // starts with what was typed. FALSE for a key that is no character.
    bool TypeAhead(QKeyEvent* event);
    // TRUE while a key would add to the characters typed before it.
    bool TypingGoesOn(const QKeyEvent* event) const;
    // LVM_FINDITEM by the first column's text, from the row after nAfter.
    int FindRowByText(const LVFINDINFO& find, int nAfter);

    Host m_host;
    ListRows m_rows;
    std::vector<Column> m_columns;
    QHeaderView* m_header = nullptr;
    QStandardItemModel* m_headerModel = nullptr;
    DWORD m_style = 0;
    COLORREF m_bkColor;
    HIMAGELIST m_imageLists[3] = {nullptr, nullptr, nullptr};
    // Where a Shift+click or Shift+arrow range starts.
    int m_anchor = -1;
    bool m_layoutPending = false;
    bool m_layoutQueued = false;
    // A row to make visible once the pending layout is done.
    struct Ensure {
        int row = -1;
        bool partialOK = false;
    };
    Ensure m_ensure;
    int m_wholeRows = 0;          // rows whole in sight at the last layout
    mutable int m_rowHeight = 0;  // 0: to be measured
    QRect m_dirtyRows;            // rows to draw again once the loop runs; null: none
    bool m_syncingHeader = false;
    struct Typed {
        std::string text;   // upper-cased
        std::string first;  // the first character of it
        bool sameChar = true;
        bool any = false;
        quint64 at = 0;  // the last key's time, in milliseconds
        // The first column the rows' remembered texts belong to.
        int column = -1;
    };
    Typed m_typed;
};
