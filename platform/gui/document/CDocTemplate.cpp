#include "platform/gui/document/CDocTemplate.h"

#include "platform/base/AfxRes.h"
#include "platform/base/CFile.h"
#include "platform/base/StringResource.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/document/CDocument.h"
#include "platform/gui/document/CView.h"
#include "platform/gui/frame/CFrameWnd.h"

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                                       const CRuntimeClass* pFrameClass,
                                       const CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource),
      m_pDocClass(pDocClass),
      m_pFrameClass(pFrameClass),
      m_pViewClass(pViewClass) {}

CSingleDocTemplate::~CSingleDocTemplate() {
    CloseAllDocuments();
}

CFrameWnd* CSingleDocTemplate::FrameOf(CDocument* pDoc) const {
    if (!pDoc) return nullptr;
    for (CView* view : pDoc->GetViews())
        if (CFrameWnd* frame = view->GetParentFrame()) return frame;
    return nullptr;
}

void CSingleDocTemplate::CloseAllDocuments() {
    CDocument* doc = m_pOnlyDoc;
    if (!doc) return;
    if (CFrameWnd* frame = FrameOf(doc)) frame->DestroyWindow();
    // A document that had no frame is not deleted by one.
    if (m_pOnlyDoc == doc) {
        m_pOnlyDoc = nullptr;
        delete doc;
    }
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc) {
    if (m_pOnlyDoc == pDoc) m_pOnlyDoc = nullptr;
}

BOOL CSingleDocTemplate::GetDocString(CString& rString, int index) const {
    const CString all = AfxLoadString(m_nIDResource);
    int start = 0;
    for (int i = 0; i < index; ++i) {
        const int nl = all.Find('\n', start);
        if (nl < 0) {
            rString.Empty();
            return FALSE;
        }
        start = nl + 1;
    }
    const int end = all.Find('\n', start);
    rString = end < 0 ? all.Mid(start) : all.Mid(start, end - start);
    return !rString.IsEmpty();
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDocument) {
    CString title;
    if (!GetDocString(title, 1)) title = AfxLoadString(AFX_IDS_UNTITLED);
    pDocument->SetTitle(title);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible) {
    CDocument* doc = m_pOnlyDoc;
    bool created = false;
    if (doc) {
        if (!doc->SaveModified()) return nullptr;
    } else {
        doc = dynamic_cast<CDocument*>(m_pDocClass->CreateObject());
        if (!doc) return nullptr;
        doc->m_pDocTemplate = this;
        m_pOnlyDoc = doc;
        created = true;
    }
    bool frameCreated = false;
    CFrameWnd* frame = FrameOf(doc);
    if (!frame) {
        CCreateContext context;
        context.m_pNewViewClass = m_pViewClass;
        context.m_pCurrentDoc = doc;
        frame = dynamic_cast<CFrameWnd*>(m_pFrameClass->CreateObject());
        if (!frame || !frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                                        nullptr, &context)) {
            if (created && m_pOnlyDoc == doc) {
                m_pOnlyDoc = nullptr;
                delete doc;
            }
            return nullptr;
        }
        frameCreated = true;
        doc->m_bAutoDelete = TRUE;
        CWinApp* app = AfxGetApp();
        if (app && !app->m_pMainWnd) app->m_pMainWnd = frame;
    }

    if (!lpszPathName) {
        SetDefaultTitle(doc);
        if (!doc->OnNewDocument()) return nullptr;
    } else {
        // A path that names the same file from any folder the program may be in later.
        const CString path = AfxAbsolutePath(CString(lpszPathName));
        CWaitCursor wait;
        const BOOL wasModified = doc->IsModified();
        doc->SetModifiedFlag(FALSE);
        // Another program that has the file open would overwrite what this one saves.
        CDocumentLock lock;
        const BOOL opened = doc->LockPathName(path, lock, FALSE) && doc->OnOpenDocument(path);
        // While the failure was being reported, the program may have been told to end and the
        // document gone with its frame.
        if (m_pOnlyDoc != doc) return nullptr;
        if (!opened) {
            // The user has been told. An untouched document stays as it was; one that the failed
            // load emptied becomes a new one, and its views start over with it.
            if (!doc->IsModified()) {
                doc->SetModifiedFlag(wasModified);
            } else {
                SetDefaultTitle(doc);
                doc->OnNewDocument();
                if (!frameCreated) frame->InitialUpdateFrame(doc, FALSE);
            }
            if (frameCreated) {
                // Nothing to show: the program was asked for this file only.
                CWinApp* app = AfxGetApp();
                if (app && app->m_pMainWnd == frame) app->m_pMainWnd = nullptr;
                CloseAllDocuments();
            }
            return nullptr;
        }
        doc->SetPathName(path);
        doc->KeepPathLock(path, lock);
    }
    frame->InitialUpdateFrame(doc, bMakeVisible);
    // Changes an end signal kept last time come back with their file, if the user wants them.
    doc->OfferRecovery();
    return m_pOnlyDoc == doc ? doc : nullptr;
}
