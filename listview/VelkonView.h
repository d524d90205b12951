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
