// A document: the data of one file, its title and path, the modified flag, and the views that
// show it. Loading and saving go through Serialize; saving replaces the file only once the new
// content is completely on disk.
#pragma once

#include <vector>

#include "platform/base/Afx.h"
#include "platform/base/CArchive.h"
#include "platform/base/CString.h"
#include "platform/gui/document/DocumentLock.h"
#include "platform/gui/window/CCmdTarget.h"

class CView;
class CSingleDocTemplate;

class CDocument : public CCmdTarget {
public:
    CDocument() = default;
    ~CDocument() override;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    const CString& GetTitle() const { return m_strTitle; }
    // Also shows the new title in the frames of the views.
    virtual void SetTitle(LPCTSTR lpszTitle);
    // The file's path as the file system spells it (see CFile.h).
    const CString& GetPathName() const { return m_strPathName; }
    // Also makes the file's name (with its extension, without the directory, in the program's
    // code page) the title, and puts the file on the program's recent-file list.
    virtual void SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU = TRUE);
    CSingleDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    virtual BOOL IsModified() { return m_bModified; }
    virtual void SetModifiedFlag(BOOL bModified = TRUE);

    void AddView(CView* pView);
    void RemoveView(CView* pView);
    const std::vector<CView*>& GetViews() const { return m_viewList; }
    // Calls OnUpdate of every view but the sender.
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);

    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(LPCTSTR lpszPathName);
    virtual BOOL OnSaveDocument(LPCTSTR lpszPathName);
    virtual void DeleteContents() {}
    virtual void Serialize(CArchive& /*ar*/) {}
    // Asked before the document is closed or replaced: TRUE lets it go.
    virtual BOOL SaveModified();
    // Saves under the path name, asking for one when there is none.
    virtual BOOL DoFileSave();
    // Saves under lpszPathName (asking for one when it is null or empty); with bReplace the
    // document takes the new path name.
    virtual BOOL DoSave(LPCTSTR lpszPathName, BOOL bReplace = TRUE);

    // The program ends where nobody can be asked (CWinApp::EndUnasked): unsaved changes go to
    // the recovery file, which the next open of the same file offers. TRUE when nothing is lost.
    // The program says in the message log where the changes went, or that nothing could keep
    // them.
    virtual BOOL SaveUnasked();
    // Where the unsaved changes of the file at lpszPathName are kept: beside it, its name
    // followed by ".recovery"; those of an untitled document beside the settings.
    static CString RecoveryPathOf(const CString& pathName);
    // Where they go when none can be made beside the file (a read-only folder, a full disk):
    // beside the settings, named for the file's path. For an untitled document, RecoveryPathOf.
    static CString SettingsRecoveryPathOf(const CString& pathName);
    // Offers the changes a recovery file of this document's file holds, in either place (the
    // newer one; only a file of this user's own, never one through a link): Yes loads them into
    // the document (modified, its path unchanged), No discards them. TRUE when they were loaded.
    virtual BOOL OfferRecovery();

    // The data file stays this program's alone while it is open (see DocumentLock.h). Takes the
    // lock of the file at path into `lock`; FALSE when another program has it or its lock file
    // cannot be used, and the user has been told, the file (and the lock file) named. Nothing
    // changes for a file the document holds already.
    BOOL LockPathName(const CString& path, CDocumentLock& lock, BOOL bSaving);
    // The document now has the file at path (opened or saved under it): it keeps `lock`, and
    // lets go of the one it held for another file.
    void KeepPathLock(const CString& path, CDocumentLock& lock);

    CSingleDocTemplate* m_pDocTemplate = nullptr;
    // Deleted when its last view goes (documents that a template made).
    BOOL m_bAutoDelete = FALSE;

protected:
    DECLARE_MESSAGE_MAP()
protected:
    void OnFileSave();
    void OnFileSaveAs();
    // Called during a save once the new content is safely on disk, just before it takes the
    // place of the file at lpszPathName (which may not exist yet).
    virtual void OnReplacingFile(LPCTSTR /*lpszPathName*/) {}
    // Asks the user for a path to save under (a file dialog); FALSE when nobody chose one.
    virtual BOOL PromptSavePath(CString& rPath);
    // Tells the user that loading or saving failed: the headline nIDPDefault, then the file and
    // the reason; err is the errno of the failing call.
    virtual void ReportSaveLoadException(LPCTSTR lpszPathName, int err, BOOL bSaving,
                                         UINT nIDPDefault);
    // The string that says why, for the errno of a failed file operation.
    static UINT FileErrorPrompt(int err);

    CString m_strTitle;
    CString m_strPathName;
    BOOL m_bModified = FALSE;
    std::vector<CView*> m_viewList;
    CDocumentLock m_pathLock;

private:
    // Writes the changes to a recovery file at path, with no more access than dataPath's file
    // gives; 0, or the errno of what failed.
    int WriteRecovery(const CString& path, const CString& dataPath);
    // OnOpenDocument is reading a recovery file: the user's own, never through a link.
    BOOL m_bOpeningKeptFile = FALSE;
};
