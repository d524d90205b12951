// A view: the window inside the frame that shows the document, told of each change through
// OnUpdate. Commands reach the view first, then its document.
#pragma once

#include "platform/gui/window/CRuntimeClass.h"
#include "platform/gui/window/CWnd.h"

class CDocument;
class CFrameWnd;

class CView : public CWnd {
public:
    ~CView() override;
    CDocument* GetDocument() const { return m_pDocument; }
    CFrameWnd* GetParentFrame() const;
    virtual void OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    // Makes the view's widget: a plain one unless a kind of view brings its own.
    virtual BOOL CreateViewWindow(CWnd* pParentWnd, UINT nID, void* pContext);
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

protected:
    DECLARE_MESSAGE_MAP()
protected:
    friend class CDocument;
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void PostNcDestroy() override { delete this; }
    CDocument* m_pDocument = nullptr;
};
