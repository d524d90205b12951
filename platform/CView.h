// A view shows one document and is told of each of its changes through OnUpdate.
#pragma once

#include "platform/Afx.h"

class CDocument;

class CView : public CObject {
public:
    ~CView() override;
    CDocument* GetDocument() const { return m_pDocument; }
    virtual void OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);

protected:
    friend class CDocument;
    CDocument* m_pDocument = nullptr;
};
