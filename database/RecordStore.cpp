#include "database/RecordStore.h"

#include <cstring>

CRecordStore::CRecordStore() = default;
CRecordStore::~CRecordStore() = default;

void CRecordStore::OnRecordsChanged(LPARAM) {}
void CRecordStore::OnRecordsModified() {}

void CRecordStore::Changed(LPARAM lHint, int nRecord) {
    m_nLastChanged = nRecord;
    if (lHint == HINT_PICKED && m_nPickupBursts > 0) {
        m_bPickedInBurst = true;
        m_nLastBurstPick = nRecord;
    }
    OnRecordsChanged(lHint);
}

void CRecordStore::BeginPickupBurst() {
    ++m_nPickupBursts;
}

void CRecordStore::EndPickupBurst() {
    // An end without a begin is ignored rather than ending a later burst too soon.
    if (m_nPickupBursts == 0 || --m_nPickupBursts > 0 || !m_bPickedInBurst) return;
    m_bPickedInBurst = false;
    Changed(HINT_PICKUP_BURST_END, m_nLastBurstPick);
}

int CRecordStore::FindID(const CString& id) const {
    return m_anSortIndex.Find(id.View());
}

CTextColumn& CRecordStore::MemoArray(int k) {
    CTextColumn* memos[] = {&m_astrMemo1, &m_astrMemo2, &m_astrMemo3,
                            &m_astrMemo4, &m_astrMemo5, &m_astrMemo6};
    return *memos[k - 1];
}

const CTextColumn& CRecordStore::MemoArray(int k) const {
    return const_cast<CRecordStore*>(this)->MemoArray(k);
}

std::string_view CRecordStore::Line(const Record& rec) const {
    const std::uint64_t start = rec.startLow | (std::uint64_t(rec.startHigh) << 32);
    return std::string_view(m_bytes).substr(start, rec.length);
}

std::string_view CRecordStore::LineField(std::string_view line, int k) {
    const char* p = line.data();
    const char* const end = p + line.size();
    for (; k > 0; --k) {
        const void* tab = std::memchr(p, '\t', static_cast<std::size_t>(end - p));
        if (!tab) return {};
        p = static_cast<const char*>(tab) + 1;
    }
    const void* tab = std::memchr(p, '\t', static_cast<std::size_t>(end - p));
    return std::string_view(
        p, static_cast<std::size_t>((tab ? static_cast<const char*>(tab) : end) - p));
}

std::string_view CRecordStore::TextView(int r, int field) const {
    const Record& rec = Rec(r);
    if (rec.apart) return m_apart.find(r)->second.text[field].View();
    return LineField(Line(rec), field + 1);
}

CRecordStore::ApartTexts& CRecordStore::Apart(int r) {
    Record& rec = Rec(r);
    if (rec.apart) return m_apart.find(r)->second;
    ApartTexts& texts = m_apart[r];
    const std::string_view line = Line(rec);
    for (int f = 0; f < record_field::kTextFields; ++f)
        texts.text[f] = CString(LineField(line, f + 1));
    rec.apart = 1;
    rec.canonical = 0;
    return texts;
}

void CRecordStore::SetText(int r, int field, const CString& value) {
    Apart(r).text[field] = value;
}

void CRecordStore::SetCount(int r, int count) {
    Record& rec = Rec(r);
    rec.count = count;
    rec.canonical = 0;
}

void CRecordStore::SetDate(int r, record_field::Date date, CTime time) {
    const std::uint32_t number = DateNumber(time);
    Record& rec = Rec(r);
    rec.date[date] = number;
    // The previous update is not in the file.
    if (date != record_field::PrevUpdate) rec.canonical = 0;
}

std::uint32_t CRecordStore::DateNumber(CTime time) {
    const auto [it, added] =
        m_timeNumbers.try_emplace(time.GetTime(), static_cast<std::uint32_t>(m_times.size()));
    if (added) m_times.push_back(time.GetTime());
    return it->second;
}

void CRecordStore::AppendRecord(const CString& id) {
    m_keys.Add(id.View());
    Record rec;
    const std::uint32_t epoch = DateNumber(CTime());
    for (std::uint32_t& d : rec.date) d = epoch;
    m_records.push_back(rec);
    Apart(GetRecordCount() - 1);
}

BOOL CRecordStore::AddNewID(const CString& id, const CString& handle) {
    if (FindID(id) != -1) return FALSE;
    const int n = GetRecordCount();
    AppendRecord(id);
    // A deleted record of the same ID can no longer come back; it stays marked deleted.
    m_anDeletedStack.TakeLatestWithKey(m_keys.KeyOf(n));

    const CTime now = CTime::GetCurrentTime();
    const std::uint32_t today = DateNumber(now);
    Record& rec = Rec(n);
    m_apart.find(n)->second.text[record_field::kHandle] = handle;
    rec.count = 1;
    for (std::uint32_t& d : rec.date) d = today;
    m_anSortIndex.Insert(n);

    OnRecordsModified();
    Changed(HINT_ADDED, n);
    return TRUE;
}

void CRecordStore::DeleteID(int nRecord) {
    // Deleting what is not a live record would put it on the stack twice.
    if (nRecord < 0 || nRecord >= GetRecordCount() || Rec(nRecord).deleted) return;
    m_anSortIndex.Remove(nRecord);
    Rec(nRecord).deleted = 1;
    m_anDeletedStack.Push(nRecord);
    OnRecordsModified();
    Changed(HINT_DELETED, nRecord);
}

void CRecordStore::DeleteIDs(const std::vector<int>& records) {
    std::vector<int> taken;
    taken.reserve(records.size());
    m_anDeletedStack.Reserve(records.size());
    for (int r : records) {
        if (r < 0 || r >= GetRecordCount() || Rec(r).deleted) continue;
        Rec(r).deleted = 1;
        m_anDeletedStack.Push(r);
        taken.push_back(r);
    }
    if (taken.empty()) return;
    // A few go one by one; many in one sweep of the index, whatever its size.
    if (taken.size() * 64 < static_cast<std::size_t>(m_anSortIndex.GetSize())) {
        for (int r : taken) m_anSortIndex.Remove(r);
    } else {
        m_anSortIndex.RemoveIf([this](int r) { return Rec(r).deleted != 0; });
    }
    OnRecordsModified();
    Changed(HINT_DELETED_MANY, taken.back());
}

void CRecordStore::RestoreID() {
    const int n = m_anDeletedStack.Pop();
    if (n < 0) return;
    m_anSortIndex.Insert(n);
    Rec(n).deleted = 0;
    OnRecordsModified();
    Changed(HINT_ADDED, n);
}

void CRecordStore::WritePersonalData(int nRecord, const CPersonalData& data) {
    if (nRecord < 0 || nRecord >= GetRecordCount()) return;
    ApartTexts& texts = Apart(nRecord);
    texts.text[record_field::kHandle] = data.strHandle;
    for (int k = 1; k <= 6; ++k) texts.text[k] = data.astrMemo[k - 1];
    OnRecordsModified();
    Changed(HINT_SAVED, nRecord);
}

CPersonalData CRecordStore::ReadPersonalData(int nRecord) const {
    CPersonalData data;
    if (nRecord < 0 || nRecord >= GetRecordCount()) return data;
    data.strHandle = TextOf(nRecord, record_field::kHandle);
    for (int k = 1; k <= 6; ++k) data.astrMemo[k - 1] = TextOf(nRecord, k);
    return data;
}

void CRecordStore::RemoveAllRecords() {
    m_bytes.clear();
    m_bytes.shrink_to_fit();
    m_records.clear();
    m_records.shrink_to_fit();
    m_apart.clear();
    m_times.clear();
    m_timeNumbers.clear();
    m_pastDays.clear();  // the numbers start again
    m_keys.RemoveAll();
    m_anSortIndex.RemoveAll();
    m_anDeletedStack.RemoveAll();
    m_astrLeadingComment.RemoveAll();
}

void CRecordStore::AdoptRecords(CRecordStore& loaded) {
    m_bytes.swap(loaded.m_bytes);
    m_records.swap(loaded.m_records);
    m_apart.swap(loaded.m_apart);
    m_times.swap(loaded.m_times);
    m_timeNumbers.swap(loaded.m_timeNumbers);
    m_pastDays.clear();
    m_keys.Swap(loaded.m_keys);
    m_anSortIndex.Swap(loaded.m_anSortIndex);
    m_anDeletedStack.Swap(loaded.m_anDeletedStack);
    std::swap(m_astrLeadingComment, loaded.m_astrLeadingComment);
}
