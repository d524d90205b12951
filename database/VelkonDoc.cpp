#include "database/VelkonDoc.h"

#include "database/RecordText.h"
#include "platform/base/CFile.h"
#include "platform/base/StringResource.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/application/MessageBox.h"
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

int CVelkonDoc::FindID(const CString& id) const {
    return m_anSortIndex.Find(id.View());
}

void CVelkonDoc::AppendRecord(const CString& id) {
    m_astrID.Add(id);
    m_astrHandle.Add(CString());
    m_astrMemo1.Add(CString());
    m_astrMemo2.Add(CString());
    m_astrMemo3.Add(CString());
    m_astrMemo4.Add(CString());
    m_astrMemo5.Add(CString());
    m_astrMemo6.Add(CString());
    m_anUpdateCount.Add(0);
    m_atimeRegist.Add(CTime());
    m_atimeUpdate.Add(CTime());
    m_atimePrevUpdate.Add(CTime());
    m_abDeleted.Add(FALSE);
}

BOOL CVelkonDoc::AddNewID(const CString& id, const CString& handle) {
    if (FindID(id) != -1) return FALSE;
    // A deleted record of the same ID can no longer come back; it stays marked deleted.
    m_anDeletedStack.TakeLatestWithID(id.View());

    const int n = GetRecordCount();
    AppendRecord(id);
    const CTime now = CTime::GetCurrentTime();
    m_astrHandle[n] = handle;
    m_anUpdateCount[n] = 1;
    m_atimeRegist[n] = now;
    m_atimeUpdate[n] = now;
    m_atimePrevUpdate[n] = now;
    m_anSortIndex.Insert(n);

    SetModifiedFlag(TRUE);
    m_nLastChanged = n;
    UpdateAllViews(nullptr, HINT_ADDED);
    return TRUE;
}

void CVelkonDoc::DeleteID(int nRecord) {
    // Deleting what is not a live record would put it on the stack twice.
    if (nRecord < 0 || nRecord >= GetRecordCount() || m_abDeleted[nRecord]) return;
    m_anSortIndex.Remove(nRecord);
    m_abDeleted[nRecord] = TRUE;
    m_anDeletedStack.Push(nRecord, m_astrID[nRecord].View());
    SetModifiedFlag(TRUE);
    m_nLastChanged = nRecord;
    UpdateAllViews(nullptr, HINT_DELETED);
}

void CVelkonDoc::DeleteIDs(const std::vector<int>& records) {
    int last = -1;
    for (int r : records) {
        if (r < 0 || r >= GetRecordCount() || m_abDeleted[r]) continue;
        m_anSortIndex.Remove(r);
        m_abDeleted[r] = TRUE;
        m_anDeletedStack.Push(r, m_astrID[r].View());
        last = r;
    }
    if (last < 0) return;
    SetModifiedFlag(TRUE);
    m_nLastChanged = last;
    UpdateAllViews(nullptr, HINT_DELETED_MANY);
}

void CVelkonDoc::RestoreID() {
    const int n = m_anDeletedStack.Pop();
    if (n < 0) return;
    m_anSortIndex.Insert(n);
    m_abDeleted[n] = FALSE;
    SetModifiedFlag(TRUE);
    m_nLastChanged = n;
    UpdateAllViews(nullptr, HINT_ADDED);
}

void CVelkonDoc::DeleteContents() {
    for (CStringArray* a : {&m_astrID, &m_astrHandle, &m_astrMemo1, &m_astrMemo2, &m_astrMemo3,
                            &m_astrMemo4, &m_astrMemo5, &m_astrMemo6})
        a->RemoveAll();
    m_anUpdateCount.RemoveAll();
    m_atimeRegist.RemoveAll();
    m_atimeUpdate.RemoveAll();
    m_atimePrevUpdate.RemoveAll();
    m_abDeleted.RemoveAll();
    m_anSortIndex.RemoveAll();
    m_anDeletedStack.RemoveAll();
    m_astrLeadingComment.RemoveAll();
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
