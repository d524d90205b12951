// The ID database: one record per member ID, numbered from 0, the IDs picked up from text since
// start, and the IDs never to pick up. A file loaded is kept as its bytes, once; a record points
// at its line and reads its texts from there when asked, its ID is a packed key (IdKeys.h), its
// dates numbers. A text rewritten later, and every record added after the load, is kept apart.
// Callers see the records as parallel arrays (RecordColumns.h). Needs no window: every
// change ends in OnRecordsChanged with one of the hints below and m_nLastChanged, and a change
// that the file must keep first calls OnRecordsModified; the program's document passes both on
// to its views and its title.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "database/DeletedStack.h"
#include "database/IdIndex.h"
#include "database/IdKeys.h"
#include "database/IdLookup.h"
#include "database/PickupHandleLists.h"
#include "database/PickupIdColumn.h"
#include "database/PickupScanner.h"
#include "database/RecordColumns.h"
#include "platform/base/CArchive.h"
#include "platform/base/CArray.h"
#include "platform/base/CStringArray.h"
#include "platform/base/CTime.h"

// Update hints
constexpr LPARAM HINT_REBUILD = 0;          // rebuild the whole list
constexpr LPARAM HINT_SAVED = 2;            // saved (m_nLastChanged -1) or one record rewritten
constexpr LPARAM HINT_ADDED = 10;           // record added or restored
constexpr LPARAM HINT_DELETED = 11;         // record deleted
constexpr LPARAM HINT_DELETED_MANY = 12;    // records deleted at once (the last in m_nLastChanged)
constexpr LPARAM HINT_PICKED = 20;          // an ID picked up (-1: not registered)
constexpr LPARAM HINT_PICKUP_CLEARED = 21;  // pickup list emptied
constexpr LPARAM HINT_PICKUP_BURST_END = 22;  // picks of a burst all sent (the last one's record)

// What a user or another program writes of a record: its handle and six memos.
struct CPersonalData {
    CString strHandle;
    CString astrMemo[6];
};

class CRecordStore {
public:
    CRecordStore();
    virtual ~CRecordStore();
    CRecordStore(const CRecordStore&) = delete;
    CRecordStore& operator=(const CRecordStore&) = delete;

    // --- Records (record number = index) ---
    int GetRecordCount() const { return static_cast<int>(m_records.size()); }
    // A live record with exactly this ID, or -1.
    int FindID(const CString& id) const;
    // FALSE when a live record has the ID; otherwise appends a record and sends HINT_ADDED.
    BOOL AddNewID(const CString& id, const CString& handle);
    // Marks a live record deleted; it can be restored until its ID is registered anew.
    void DeleteID(int nRecord);
    // DeleteID on each record in turn, with one hint for all: each goes on the deleted stack.
    void DeleteIDs(const std::vector<int>& records);
    // Brings back the most recently deleted record, if any.
    void RestoreID();
    // The one way the handle and memos of a record are rewritten (the personal data editor, the
    // API): they are stored as given, the change is marked, then HINT_SAVED names the record.
    void WritePersonalData(int nRecord, const CPersonalData& data);
    CPersonalData ReadPersonalData(int nRecord) const;
    // The memo k (1..6) of every record.
    CTextColumn& MemoArray(int k);
    const CTextColumn& MemoArray(int k) const;

    // --- One field of one record: what the columns below read and write ---
    CString IdOf(int r) const { return m_keys.IdOf(r); }
    // field: record_field::kHandle, or k for memo k. The view lasts until the record changes.
    std::string_view TextView(int r, int field) const;
    CString TextOf(int r, int field) const { return CString(TextView(r, field)); }
    // Stored as given, bytes of any value; the file turns tabs and line ends into spaces.
    void SetText(int r, int field, const CString& value);
    int CountOf(int r) const { return Rec(r).count; }
    void SetCount(int r, int count);
    CTime DateOf(int r, record_field::Date date) const;
    void SetDate(int r, record_field::Date date, CTime time);
    BOOL IsDeleted(int r) const { return Rec(r).deleted; }

    // --- Pickup from text ---
    // 3 ASCII letters and 5 digits, exactly 8 bytes.
    static BOOL IsValidID(const CString& text);
    int FindPickup(const CString& id) const;
    // Scans every complete (CR LF ended) line of the caller's buffer and removes it; the
    // unfinished rest stays for the next call.
    void PickupText(CString& rBuffer);
    // The same for a source that adds text to its buffer between calls, each time at most
    // nAdded bytes: an earlier call left no complete line, so only the added text (and the CR
    // before it) is searched for a line end, and a text that arrives a piece at a time costs
    // time in step with its length. A rest longer than nMaxWaiting bytes is scanned as it
    // stands and dropped, all but its last kHeldBack bytes, which may hold an ID or a handle
    // whose rest has not come yet.
    void PickupText(CString& rBuffer, std::size_t nAdded, std::size_t nMaxWaiting);
    static constexpr std::size_t kMaxWaitingText = 64 * 1024;
    static constexpr std::size_t kHeldBack = pickup_scan::kHeldBack;
    void PickupLine(const CString& line);
    void PickupID(const CString& id, const CString& handle);
    // The IDs a scan found elsewhere (pickup_scan), in their order, as PickupID would take them.
    void PickupFound(const CFoundIds& found);
    // Looks up these IDs' records ahead of PickupFound, which takes the answers while the index
    // has not changed since, and brings what it will read into the cache; the store does not
    // change. The lookups mostly wait for memory, and several waiting at once wait hardly
    // longer than one: a caller with more IDs in hand asks for the next ones before it takes
    // these.
    void PrefetchFound(CFoundIds& found) const;
    void ClearPickup();
    // Many picks in a row that nobody sees one by one (a long text taken in one go): HINT_PICKED
    // still goes out for each, and a view may keep them to show at once when the outermost burst
    // ends, which sends HINT_PICKUP_BURST_END if any pick came meanwhile. Bursts nest.
    void BeginPickupBurst();
    void EndPickupBurst();
    bool InPickupBurst() const { return m_nPickupBursts > 0; }

    // --- The .lst file ---
    // "YYYY/MM/DD" in local time; empty when the value is not a date.
    static CString FormatDate(CTime time);
    // Y/M/D with a 2- or 4-digit year; anything else reads as the current date and time.
    static CTime ParseDate(const CString& text);
    // Cuts the text before the first tab off the line (the whole line when it has none).
    static CString SplitField(CString& rLine);
    // The backup beside a data file: its extension replaced by "bak".
    static CString BackupPathOf(const CString& path);
    // Reads the records of a file into the emptied store: whole lines, however long, numbered
    // from 0 in file order; the comments above the first record are kept for the save.
    void LoadRecords(CArchive& ar);
    // How far a LoadRecords has come, readable from any thread: bytes read and parsed out of
    // twice the file's size (total 0 while the size is not known yet).
    struct LoadProgress {
        std::uint64_t done = 0;
        std::uint64_t total = 0;
    };
    LoadProgress GetLoadProgress() const;
    // Takes the records of a store loaded elsewhere (a worker thread's store, no window) in
    // O(1): records, index, deleted stack and leading comments change places with `loaded`'s;
    // the pickups stay. No hint: the caller says what changed, as after LoadRecords.
    void AdoptRecords(CRecordStore& loaded);
    // Writes the leading comments and the live records.
    void StoreRecords(CArchive& ar);
    // After a save that reached the disk: the update dates the list shows move on, HINT_SAVED
    // with no record named.
    void RecordsSaved();
    // Empties the records, the index and the deleted stack; the pickups and the no-pickup list
    // stay, since they belong to the session, not to a file.
    void RemoveAllRecords();

    CIdColumn m_astrID{this};
    CTextColumn m_astrHandle{this, record_field::kHandle};
    CTextColumn m_astrMemo1{this, 1};
    CTextColumn m_astrMemo2{this, 2};
    CTextColumn m_astrMemo3{this, 3};
    CTextColumn m_astrMemo4{this, 4};
    CTextColumn m_astrMemo5{this, 5};
    CTextColumn m_astrMemo6{this, 6};
    CCountColumn m_anUpdateCount{this};
    CTimeColumn m_atimeRegist{this, record_field::Regist};
    CTimeColumn m_atimeUpdate{this, record_field::Update};
    CTimeColumn m_atimePrevUpdate{this, record_field::PrevUpdate};
    CDeletedColumn m_abDeleted{this};
    CIdKeys m_keys;                   // the ID of every record, by record number
    CIdIndex m_anSortIndex{&m_keys};  // live records by ID
    CDeletedStack m_anDeletedStack{&m_keys};
    // The comment lines ("*...") above the first record of the file loaded, written back first.
    CStringArray m_astrLeadingComment;

    CIdKeys m_pickupKeys;                           // the picked-up IDs, in order of first arrival
    CPickupIdColumn m_astrPickupID{&m_pickupKeys};  // the same, by pickup number, as text
    CIdLookup m_anPickupIndex{&m_pickupKeys};       // pickup numbers by ID
    CPickupHandleLists m_aPickupHandles;

    CStringArray m_astrNoPickupID;
    int m_nLastChanged = -1;

    static constexpr int kMaxUpdateCount = 9999;

protected:
    // Every change ends here, with m_nLastChanged set.
    virtual void OnRecordsChanged(LPARAM lHint);
    // A change the file must keep, before its OnRecordsChanged.
    virtual void OnRecordsModified();

private:
    // 24 bytes a record beside its line; the key is in m_keys.
    struct Record {
        std::uint32_t startLow = 0;  // where the line starts in m_bytes: the low 32 bits
        std::uint32_t length : 24 = 0;
        std::uint32_t startHigh : 5 = 0;
        std::uint32_t apart : 1 = 0;  // the texts are in m_apart, not read from the line
        std::uint32_t deleted : 1 = 0;
        std::uint32_t canonical : 1 = 0;  // the line is what the save would write for it
        std::int32_t count = 0;
        std::uint32_t date[3] = {};  // numbers into m_times, by record_field::Date
    };
    static constexpr std::uint64_t kMaxLineLength = (1u << 24) - 1;
    static constexpr std::uint64_t kMaxLineStart = (std::uint64_t(1) << 37) - 1;
    struct ApartTexts {
        CString text[record_field::kTextFields];
    };

    const Record& Rec(int r) const { return m_records[static_cast<std::size_t>(r)]; }
    Record& Rec(int r) { return m_records[static_cast<std::size_t>(r)]; }
    std::string_view Line(const Record& rec) const;
    // Field k (0 the ID .. 10 the update date) of a record line, as the file's reader cuts it.
    static std::string_view LineField(std::string_view line, int k);
    // The record's texts kept apart from its line, from now on.
    ApartTexts& Apart(int r);
    std::uint32_t DateNumber(CTime time);
    // Loading: a part of the file parsed without touching the store (a second thread may parse
    // another), then appended to it in file order.
    struct ParsedPart;
    static constexpr std::uint64_t kTwoPartLoad = std::uint64_t(1) << 20;
    static void ParsePart(std::string_view bytes, std::size_t from, ParsedPart& part,
                          std::atomic<std::uint64_t>& done);
    void AppendPart(ParsedPart& part);

    void Changed(LPARAM lHint, int nRecord);
    int m_nPickupBursts = 0;
    bool m_bPickedInBurst = false;
    int m_nLastBurstPick = -1;  // the record of the burst's last HINT_PICKED
    void AppendRecord(const CString& id);
    // knownRecord: the ID's record as looked up while the index was as it is, or kNotLookedUp.
    static constexpr int kNotLookedUp = -2;
    void PickupFoundId(std::string_view id, std::string_view handle,
                       int knownRecord = kNotLookedUp);
    // The finds of a PickupText, a batch at a time.
    static constexpr std::size_t kFoundBatch = 4096;
    CFoundIds m_found;
    // Whether the pickup's handle list holds the handle, and adds it if not. A list is short
    // for nearly every ID and is looked through; one that grows long gets a set of its own,
    // so that no pickup waits for a set of every handle to grow.
    bool AddPickupHandle(int nPickup, const CString& handle);
    std::unordered_map<int, std::unordered_set<std::string>> m_longHandleLists;
    // Whether the record's last update lies on an earlier day than now, as the texts of the two
    // days compare. Every registered ID a pickup finds asks; the texts are made once per second
    // and once per day a record holds, not twice per ID.
    bool UpdatedBeforeToday(int r, CTime now);
    // By date number: 0 not worked out yet, else kPastDay or kNotPastDay. A byte each, so a
    // million records' days stay in the cache beside the records themselves.
    static constexpr std::uint8_t kPastDay = 1, kNotPastDay = 2;
    std::vector<std::uint8_t> m_pastDays;
    std::int64_t m_nowSecond = -1;
    std::string m_nowText;

    std::string m_bytes;  // the file loaded, as read
    std::vector<Record> m_records;
    std::unordered_map<int, ApartTexts> m_apart;  // by record number
    std::vector<std::int64_t> m_times;            // every date a record holds, once
    std::unordered_map<std::int64_t, std::uint32_t> m_timeNumbers;
    std::atomic<std::uint64_t> m_loadDone{0};
    std::atomic<std::uint64_t> m_loadTotal{0};
};

// --- The columns, inline: a list of a million rows reads them for every row it sorts ---
inline int CColumnBase::GetSize() const {
    return m_store->GetRecordCount();
}
inline CString CIdColumn::operator[](int r) const {
    return m_store->IdOf(r);
}
inline CString CTextColumn::operator[](int r) const {
    return m_store->TextOf(r, m_field);
}
inline CTextFieldRef CTextColumn::operator[](int r) {
    return CTextFieldRef(m_store, r, m_field, m_store->TextOf(r, m_field));
}
inline CTextFieldRef& CTextFieldRef::operator=(const CString& value) {
    m_store->SetText(m_r, m_field, value);
    CString::operator=(value);
    return *this;
}
inline CTime CTimeColumn::operator[](int r) const {
    return m_store->DateOf(r, m_date);
}
inline CTimeFieldRef CTimeColumn::operator[](int r) {
    return CTimeFieldRef(m_store, r, m_date, m_store->DateOf(r, m_date));
}
inline CTimeFieldRef& CTimeFieldRef::operator=(CTime value) {
    m_store->SetDate(m_r, m_date, value);
    CTime::operator=(value);
    return *this;
}
inline int CCountColumn::operator[](int r) const {
    return m_store->CountOf(r);
}
inline CCountFieldRef::operator int() const {
    return m_store->CountOf(m_r);
}
inline CCountFieldRef& CCountFieldRef::operator=(int value) {
    m_store->SetCount(m_r, value);
    return *this;
}
inline BOOL CDeletedColumn::operator[](int r) const {
    return m_store->IsDeleted(r);
}
inline CTime CRecordStore::DateOf(int r, record_field::Date date) const {
    return CTime(m_times[Rec(r).date[date]]);
}
