// The program's view of the ID database.
#pragma once

#include "platform/CView.h"

class CVelkonDoc;

class CVelkonView : public CView {
    DECLARE_DYNCREATE(CVelkonView)
public:
    CVelkonDoc* GetDocument() const;
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

protected:
    DECLARE_MESSAGE_MAP()

private:
    // The registered and picked-up counts in the main frame's status bar.
    void ShowCounts();
};
