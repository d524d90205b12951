// The program's view: one row per shown record of the document, in the owner-drawn list. Rows
// hold only their record number; every text, for drawing and for sorting, comes from one
// place. Columns, sort order, font and the display filters are kept from one run to the next.
#pragma once

#include <vector>

#include "dialogs/DateFilterDlg.h"
#include "dialogs/KeywordFilterDlg.h"
#include "listview/DataColumns.h"
#include "listview/ListViewEx.h"
#include "listview/RecordFilters.h"
#include "platform/gui/drawing/CFont.h"
#include "platform/gui/drawing/CImageList.h"

class CIdListFrame;
class CVelkonDoc;

class CVelkonView : public CListViewEx {
    DECLARE_DYNCREATE(CVelkonView)
public:
    // Kinds of list content (data_column); m_szCaption holds one caption for each.
    static constexpr int kDataColumns = data_column::kCount;
    // A column's tag: the data column in the low eight bits, and this flag when it is shown.
    static constexpr int kShown = data_column::kShown;

    CVelkonView();
    ~CVelkonView() override;

    CVelkonDoc* GetDocument() const;
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    // The text a record shows in a data column; empty for a data column above 10.
    CString GetDataText(int r, int nDataColumn) const;
    // Copies a text into a 256-byte buffer, cut at a character boundary when it is longer.
    static void CopyToBuffer(char (&buffer)[256], const CString& text);

    void RebuildColumns();
    void RebuildList();
    void SortList(int nPosition, BOOL bForward);
    // Appends a row for record r unless a filter hides it; the new row or -1.
    int AddRecord(int r);

    // The filters' settings as their tests take them.
    DateFilter DateFilterSettings() const;
    KeywordFilter KeywordFilterSettings() const;

    char m_szCaption[kDataColumns][256];
    LVCOLUMN m_aColumn[kDataColumns];
    CFont m_font;
    int m_nFontSize = 0;
    CString m_strFaceName;
    int m_nSortColumn = 0;
    BOOL m_bSortForward = TRUE;
    BOOL m_bOnlyPickup = FALSE;
    int m_nCurrent = -1;
    CImageList m_imageList;
    CSpecifyDateDlg m_dlgDate;
    CSpecifyKeywordDlg m_dlgKeyword;

protected:
    DECLARE_MESSAGE_MAP()
protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);
    void OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnOnlyPickup();
    void OnUpdateOnlyPickup(CCmdUI* pCmdUI);
    void OnContextMenu(HWND hWnd, POINT point);
    // Where the menu asked for from the keyboard opens, on the screen: below the focused row's
    // first cell, or at the list's top-left corner with no row focused.
    POINT KeyboardMenuPoint() const;
    void OnEditSelectAll();
    void OnUpdateEditSelectAll(CCmdUI* pCmdUI);
    void OnDeleteID();
    void OnUpdateDeleteID(CCmdUI* pCmdUI);
    void OnRestoreID();
    void OnUpdateRestoreID(CCmdUI* pCmdUI);
    void OnSpecifyDate();
    void OnUpdateSpecifyDate(CCmdUI* pCmdUI);
    void OnSpecifyKeyword();
    void OnUpdateSpecifyKeyword(CCmdUI* pCmdUI);
    void OnFont();
    void OnSendHideterm();
    void OnEditCopy();
    void OnPersonalData();
    // Copy, send and the editor act on the current record, and only while it is the one row
    // selected.
    void OnUpdateOneRecord(CCmdUI* pCmdUI);
    void OnDblclk(NMHDR* pNMHDR, LRESULT* pResult);
    LRESULT OnHelpHitTest(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetCaption(WPARAM wParam, LPARAM lParam);

private:
    BOOL HasOneRecord() const;
    // The chooser for the current record; its result, or FALSE when cancelled.
    BOOL ChooseFormat(BOOL bSend, CString& rText);
    // Whether record r has a row under the filters given (nullptr: that filter is off).
    bool Shows(int r, const DateFilter* pDate, const KeywordFilter* pKeyword) const;
    // Whether the store's ID order is the order the list's sort by ID would give.
    bool IdOrderIsListOrder() const;
    void RefreshWidths();
    void RedrawRecord(int r);
    void SelectOnly(int nRow, int r);
    // A burst's picks of registered records, in pick order (a repeat of the one before is not
    // kept again): shown by ShowQueuedPicks when the burst ends, or before any other hint.
    std::vector<int> m_queuedPicks;
    std::vector<int> m_pickedRows;     // ShowQueuedPicks' rows to draw again, kept for its capacity
    std::vector<LPARAM> m_queuedData;  // and the queue's records and rows, likewise
    std::vector<int> m_queuedRows;
    // What the queued picks would have done one by one: their rows added or drawn again, and
    // the selection moved once, to the last pick that has a row.
    void ShowQueuedPicks();
    // Rows whose texts changed, in any order and with repeats: drawn again, near ones together.
    void RedrawRows(std::vector<int>& rows);
    // The frame the list lives in, when it answers what the list asks of it.
    CIdListFrame* GetListFrame() const;
    mutable CWnd* m_pListFrameParent = nullptr;  // the parent m_pListFrame was found for
    mutable CIdListFrame* m_pListFrame = nullptr;
    void ShowRegistCount();
    void ShowPickupCount();
    void ShowShownCount();
    // The data column of list column position nPosition, or -1.
    int DataColumnAt(int nPosition) const;
    void LoadColumns();
};
