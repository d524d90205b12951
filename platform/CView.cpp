#include "platform/CView.h"

#include "platform/CDocument.h"

CView::~CView() {
    if (m_pDocument) m_pDocument->RemoveView(this);
}

void CView::OnUpdate(CView* /*pSender*/, LPARAM /*lHint*/, CObject* /*pHint*/) {}
