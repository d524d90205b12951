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
};
