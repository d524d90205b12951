#include "document/VelkonDoc.h"

#include "platform/base/CFile.h"
#include "platform/base/StringResource.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/frame/CFrameWnd.h"
#include "res/resource.h"

namespace {
constexpr const char* kSectionSave = "Save Option";
constexpr const char* kEntryBackup = "Backup";
constexpr const char* kEntryAutoSave = "Auto Save";
constexpr const char* kSectionNoPickup = "No Pickup ID";

}  // namespace

IMPLEMENT_DYNCREATE(CVelkonDoc)

BEGIN_MESSAGE_MAP(CVelkonDoc, CDocument)
ON_UPDATE_COMMAND_UI(ID_FILE_SAVE, OnUpdateFileSave)
ON_COMMAND(ID_PICKUP_REDO, OnPickupRedo)
ON_UPDATE_COMMAND_UI(ID_PICKUP_REDO, OnUpdatePickupRedo)
END_MESSAGE_MAP()

CVelkonDoc::CVelkonDoc() {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    m_bBackup = static_cast<BOOL>(app->GetProfileInt(kSectionSave, kEntryBackup, 1));
    m_bAutoSave = static_cast<BOOL>(app->GetProfileInt(kSectionSave, kEntryAutoSave, 0));
    for (int i = 0;; ++i) {
        const CString id = app->GetProfileString(kSectionNoPickup, AfxProfileKey("ID%d", i));
        if (id.IsEmpty()) break;
        m_astrNoPickupID.Add(id);
    }
}

CVelkonDoc::~CVelkonDoc() {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    app->WriteProfileInt(kSectionSave, kEntryBackup, m_bBackup);
    app->WriteProfileInt(kSectionSave, kEntryAutoSave, m_bAutoSave);
    const int n = m_astrNoPickupID.GetSize();
    for (int i = 0; i < n; ++i)
        app->WriteProfileString(kSectionNoPickup, AfxProfileKey("ID%d", i), m_astrNoPickupID[i]);
    // A reader stops at the first missing key, so older entries beyond it are never seen again.
    app->WriteProfileString(kSectionNoPickup, AfxProfileKey("ID%d", n), nullptr);
}

CVelkonDoc* CVelkonDoc::GetActive() {
    return dynamic_cast<CVelkonDoc*>(AfxGetActiveDocument());
}

void CVelkonDoc::OnRecordsChanged(LPARAM lHint) {
    UpdateAllViews(nullptr, lHint);
}

void CVelkonDoc::OnRecordsModified() {
    SetModifiedFlag(TRUE);
}

void CVelkonDoc::DeleteContents() {
    RemoveAllRecords();
}

BOOL CVelkonDoc::OnNewDocument() {
    if (!CDocument::OnNewDocument()) return FALSE;
    SetTitle(AfxLoadString(IDS_TITLE_NEW));
    return TRUE;
}

void CVelkonDoc::SetModifiedFlag(BOOL bModified) {
    const CString marker = AfxLoadString(IDS_TITLE_MODIFIED);
    if (!IsModified() && bModified) {
        SetTitle(GetTitle() + marker);
    } else if (IsModified() && !bModified) {
        // Only the marker goes; a title set anew meanwhile has none and is left whole.
        const CString title = GetTitle();
        if (title.Right(marker.GetLength()) == marker)
            SetTitle(title.Left(title.GetLength() - marker.GetLength()));
    }
    CDocument::SetModifiedFlag(bModified);
}

BOOL CVelkonDoc::SaveModified() {
    if (!IsModified()) return TRUE;
    CString name = AfxLoadString(IDS_TITLE_NEW);
    if (!GetPathName().IsEmpty()) {
        if (m_bAutoSave) return DoFileSave();
        name = FileNameForDisplay(AfxFileNameOf(GetPathName().View()));
    }
    CString prompt;
    AfxFormatString1(prompt, IDS_ASK_SAVE, name);
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL)) {
        case IDCANCEL:
            return FALSE;
        case IDYES:
            return DoFileSave();
        default:
            return TRUE;
    }
}

BOOL CVelkonDoc::SaveUnasked() {
    if (IsModified() && m_bAutoSave && !GetPathName().IsEmpty() && DoFileSave()) return TRUE;
    return CDocument::SaveUnasked();
}

void CVelkonDoc::OnUpdateFileSave(CCmdUI* pCmdUI) {
    pCmdUI->Enable(IsModified());
}

void CVelkonDoc::OnUpdatePickupRedo(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_astrPickupID.GetSize() > 0);
}

void CVelkonDoc::Serialize(CArchive& ar) {
    if (ar.IsStoring())
        StoreRecords(ar);
    else
        LoadRecords(ar);
}

// The new file is complete on disk before the backup is made, and the backup is a second name
// for the old file (or a copy of it) until the new one takes the data file's place: at no moment
// is there no data file, and a save that fails leaves both files as they were.
void CVelkonDoc::OnReplacingFile(LPCTSTR lpszPathName) {
    if (!m_bBackup) return;
    const CString path(lpszPathName);
    const CString backup = BackupPathOf(path);
    CFile::RemoveLeftoverTemps(backup);
    // Not reported: there may be no file yet, and then an older backup stays as it is.
    CFile::PreserveAs(path, backup);
}

BOOL CVelkonDoc::OnSaveDocument(LPCTSTR lpszPathName) {
    if (!CDocument::OnSaveDocument(lpszPathName)) return FALSE;
    // Only a save that reached the disk moves the dates the list shows.
    RecordsSaved();
    return TRUE;
}
