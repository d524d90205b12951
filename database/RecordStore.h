// The ID database: one record per member ID in parallel arrays indexed by record number, the
// IDs picked up from text since start, and the IDs never to pick up. Needs no window: every
// change ends in OnRecordsChanged with one of the hints below and m_nLastChanged, and a change
// that the file must keep first calls OnRecordsModified; the program's document passes both on
// to its views and its title.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "database/DeletedStack.h"
#include "database/IdIndex.h"
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
    int GetRecordCount() const { return m_astrID.GetSize(); }
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
    CStringArray& MemoArray(int k);
    const CStringArray& MemoArray(int k) const;

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
    static constexpr std::size_t kHeldBack = 256;
    void PickupLine(const CString& line);
    void PickupID(const CString& id, const CString& handle);
    void ClearPickup();

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
    // Writes the leading comments and the live records.
    void StoreRecords(CArchive& ar);
    // After a save that reached the disk: the update dates the list shows move on, HINT_SAVED
    // with no record named.
    void RecordsSaved();
    // Empties the records, the index and the deleted stack; the pickups and the no-pickup list
    // stay, since they belong to the session, not to a file.
    void RemoveAllRecords();

    CStringArray m_astrID;
    CStringArray m_astrHandle;
    CStringArray m_astrMemo1;
    CStringArray m_astrMemo2;
    CStringArray m_astrMemo3;
    CStringArray m_astrMemo4;
    CStringArray m_astrMemo5;
    CStringArray m_astrMemo6;
    CArray<int, int> m_anUpdateCount;
    CArray<CTime, CTime> m_atimeRegist;
    CArray<CTime, CTime> m_atimeUpdate;
    CArray<CTime, CTime> m_atimePrevUpdate;
    CArray<BOOL, BOOL> m_abDeleted;
    CIdIndex m_anSortIndex{&m_astrID};  // live records by ID
    CDeletedStack m_anDeletedStack;
    // The comment lines ("*...") above the first record of the file loaded, written back first.
    CStringArray m_astrLeadingComment;

    CStringArray m_astrPickupID;  // by pickup number, in order of first arrival
    CIdIndex m_anPickupIndex{&m_astrPickupID};
    CArray<std::unique_ptr<CStringArray>, std::unique_ptr<CStringArray>> m_aPickupHandles;

    CStringArray m_astrNoPickupID;
    int m_nLastChanged = -1;

    static constexpr int kMaxUpdateCount = 9999;

protected:
    // Every change ends here, with m_nLastChanged set.
    virtual void OnRecordsChanged(LPARAM lHint);
    // A change the file must keep, before its OnRecordsChanged.
    virtual void OnRecordsModified();

private:
    void Changed(LPARAM lHint, int nRecord);
    void AppendRecord(const CString& id);
    void PickupLineBytes(std::string_view line);
    // Scans the line up to the first ID or character that starts at or after nEnd (an ID found
    // before it takes its handle from the whole line); where the scan stopped.
    std::size_t PickupLineUpTo(std::string_view line, std::size_t nEnd);
    // Whether the pickup's handle list holds the handle, and adds it if not. A list is short
    // for nearly every ID and is looked through; one that grows long gets a set of its own,
    // so that no pickup waits for a set of every handle to grow.
    bool AddPickupHandle(int nPickup, const CString& handle);
    std::unordered_map<int, std::unordered_set<std::string>> m_longHandleLists;
};
