#include "listview/VelkonView.h"

#include "database/VelkonDoc.h"
#include "frame/MainFrame.h"
#include "platform/CWinApp.h"

IMPLEMENT_DYNCREATE(CVelkonView)

BEGIN_MESSAGE_MAP(CVelkonView, CView)
END_MESSAGE_MAP()

CVelkonDoc* CVelkonView::GetDocument() const {
    return static_cast<CVelkonDoc*>(CView::GetDocument());
}

void CVelkonView::OnInitialUpdate() {
    CView::OnInitialUpdate();
    ShowCounts();
}

void CVelkonView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) {
    CView::OnUpdate(pSender, lHint, pHint);
    ShowCounts();
}

void CVelkonView::ShowCounts() {
    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    CVelkonDoc* doc = GetDocument();
    if (!frame || !doc) return;
    frame->SetRegistCount(doc->m_anSortIndex.GetSize());
    frame->SetPickupCount(doc->m_astrPickupID.GetSize());
}
