// The program's only document: the ID database (CRecordStore) as a document of the framework.
// It tells its views of every change of the records with the store's hints, keeps the title's
// modified mark, asks before unsaved records go, reads and writes the .lst file through the
// framework's open and save, and keeps the save options and the no-pickup list in the settings.
#pragma once

#include "database/RecordStore.h"
#include "platform/gui/document/CDocument.h"
#include "platform/gui/window/CCmdUI.h"
#include "platform/gui/window/CRuntimeClass.h"

class CVelkonDoc : public CDocument, public CRecordStore {
    DECLARE_DYNCREATE(CVelkonDoc)
public:
    CVelkonDoc();
    ~CVelkonDoc() override;

    // The document of the main window, or nullptr (no main window, or another kind of document).
    static CVelkonDoc* GetActive();

    // --- Document overrides ---
    void DeleteContents() override;
    BOOL OnNewDocument() override;
    void SetModifiedFlag(BOOL bModified = TRUE) override;
    BOOL SaveModified() override;
    // With auto-save, a named document saves at an end signal as at a close; whatever could
    // not be saved so goes to the recovery file.
    BOOL SaveUnasked() override;
    BOOL OnSaveDocument(LPCTSTR lpszPathName) override;
    void Serialize(CArchive& ar) override;
    void OnReplacingFile(LPCTSTR lpszPathName) override;
    // An untitled list's save offers the first-save path when there is one.
    BOOL PromptSavePath(CString& rPath) override;

    // The file an untitled list's save offers (id.lst in the user's data folder once the
    // program is installed); empty: the framework's offer. Its folder is made for the dialog,
    // for the owner alone, and taken away again when the list is saved elsewhere or not at all.
    void SetFirstSavePath(const CString& path) { m_strFirstSavePath = path; }

    // --- Commands ---
    void OnUpdateFileSave(CCmdUI* pCmdUI);
    void OnPickupRedo() { ClearPickup(); }
    void OnUpdatePickupRedo(CCmdUI* pCmdUI);

    BOOL m_bBackup = TRUE;
    BOOL m_bAutoSave = FALSE;

protected:
    void OnRecordsChanged(LPARAM lHint) override;
    void OnRecordsModified() override;

    DECLARE_MESSAGE_MAP()

private:
    CString m_strFirstSavePath;
};
