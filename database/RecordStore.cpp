#include "database/RecordStore.h"

CRecordStore::CRecordStore() = default;
CRecordStore::~CRecordStore() = default;

void CRecordStore::OnRecordsChanged(LPARAM) {}
void CRecordStore::OnRecordsModified() {}

void CRecordStore::Changed(LPARAM lHint, int nRecord) {
    m_nLastChanged = nRecord;
    OnRecordsChanged(lHint);
}

int CRecordStore::FindID(const CString& id) const {
    return m_anSortIndex.Find(id.View());
}

CStringArray& CRecordStore::MemoArray(int k) {
    CStringArray* memos[] = {&m_astrMemo1, &m_astrMemo2, &m_astrMemo3,
                             &m_astrMemo4, &m_astrMemo5, &m_astrMemo6};
    return *memos[k - 1];
}

const CStringArray& CRecordStore::MemoArray(int k) const {
    return const_cast<CRecordStore*>(this)->MemoArray(k);
}

void CRecordStore::AppendRecord(const CString& id) {
    m_astrID.Add(id);
    m_astrHandle.Add(CString());
    for (int k = 1; k <= 6; ++k) MemoArray(k).Add(CString());
    m_anUpdateCount.Add(0);
    m_atimeRegist.Add(CTime());
    m_atimeUpdate.Add(CTime());
    m_atimePrevUpdate.Add(CTime());
    m_abDeleted.Add(FALSE);
}

BOOL CRecordStore::AddNewID(const CString& id, const CString& handle) {
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

    OnRecordsModified();
    Changed(HINT_ADDED, n);
    return TRUE;
}

void CRecordStore::DeleteID(int nRecord) {
    // Deleting what is not a live record would put it on the stack twice.
    if (nRecord < 0 || nRecord >= GetRecordCount() || m_abDeleted[nRecord]) return;
    m_anSortIndex.Remove(nRecord);
    m_abDeleted[nRecord] = TRUE;
    m_anDeletedStack.Push(nRecord, m_astrID[nRecord].View());
    OnRecordsModified();
    Changed(HINT_DELETED, nRecord);
}

void CRecordStore::DeleteIDs(const std::vector<int>& records) {
    int last = -1;
    for (int r : records) {
        if (r < 0 || r >= GetRecordCount() || m_abDeleted[r]) continue;
        m_anSortIndex.Remove(r);
        m_abDeleted[r] = TRUE;
        m_anDeletedStack.Push(r, m_astrID[r].View());
        last = r;
    }
    if (last < 0) return;
    OnRecordsModified();
    Changed(HINT_DELETED_MANY, last);
}

void CRecordStore::RestoreID() {
    const int n = m_anDeletedStack.Pop();
    if (n < 0) return;
    m_anSortIndex.Insert(n);
    m_abDeleted[n] = FALSE;
    OnRecordsModified();
    Changed(HINT_ADDED, n);
}

void CRecordStore::WritePersonalData(int nRecord, const CPersonalData& data) {
    if (nRecord < 0 || nRecord >= GetRecordCount()) return;
    m_astrHandle[nRecord] = data.strHandle;
    for (int k = 1; k <= 6; ++k) MemoArray(k)[nRecord] = data.astrMemo[k - 1];
    OnRecordsModified();
    Changed(HINT_SAVED, nRecord);
}

CPersonalData CRecordStore::ReadPersonalData(int nRecord) const {
    CPersonalData data;
    if (nRecord < 0 || nRecord >= GetRecordCount()) return data;
    data.strHandle = m_astrHandle[nRecord];
    for (int k = 1; k <= 6; ++k) data.astrMemo[k - 1] = MemoArray(k)[nRecord];
    return data;
}

void CRecordStore::RemoveAllRecords() {
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
