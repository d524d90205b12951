// The single-document template: creates the document for each new or opened file, and the
// frame and view once.
#pragma once

#include "platform/base/CString.h"
#include "platform/gui/window/CRuntimeClass.h"

class CDocument;
class CFrameWnd;
class CView;

struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
};

class CSingleDocTemplate : public CObject {
public:
    CSingleDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                       const CRuntimeClass* pFrameClass, const CRuntimeClass* pViewClass);
    ~CSingleDocTemplate() override;

    // Opens the file, or a new document when lpszPathName is null, and offers the changes its
    // recovery file holds (CDocument::OfferRecovery). nullptr on failure.
    CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE);
    CDocument* GetDocument() const { return m_pOnlyDoc; }
    UINT GetResourceID() const { return m_nIDResource; }

    // The parts of the document string: 0 window title, 1 document name, 2 new-file name,
    // 3 filter name, 4 filter extension, 5 registered type, 6 registered type name.
    BOOL GetDocString(CString& rString, int index) const;
    void SetDefaultTitle(CDocument* pDocument);
    // Closes the frame, which takes the document with it.
    void CloseAllDocuments();
    // The document is going (its last view closed).
    void RemoveDocument(CDocument* pDoc);

private:
    UINT m_nIDResource;
    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;
    CFrameWnd* FrameOf(CDocument* pDoc) const;
    CDocument* m_pOnlyDoc = nullptr;
};
