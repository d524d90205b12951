// The program's view of the ID database.
#pragma once

#include "dialogs/DateFilterDlg.h"
#include "dialogs/KeywordFilterDlg.h"
#include "platform/CView.h"

class CVelkonDoc;

class CVelkonView : public CView {
    DECLARE_DYNCREATE(CVelkonView)
public:
    CVelkonDoc* GetDocument() const;
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    // Kinds of list content: 0 ID, 1 handle, 2..7 memo 1..6, 8 registration date, 9 previous
    // update date, 10 update count.
    static constexpr int kDataColumns = 11;
    // The text a record shows in a data column; empty for a data column above 10.
    CString GetDataText(int r, int nDataColumn) const;
    // Copies a text into a 256-byte buffer, cut at a character boundary when it is longer.
    static void CopyToBuffer(char (&buffer)[256], const CString& text);

    // The display filters' tests of record r (the filters' on/off state is the caller's).
    BOOL IsDateMatch(int r) const;
    BOOL IsKeywordMatch(int r) const;

    CSpecifyDateDlg m_dlgDate;
    CSpecifyKeywordDlg m_dlgKeyword;

protected:
    DECLARE_MESSAGE_MAP()

private:
    // The registered and picked-up counts in the main frame's status bar.
    void ShowCounts();
};
