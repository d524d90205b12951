// The ID database: one record per member ID in parallel arrays indexed by record number, the
// IDs picked up from text since start, and the IDs never to pick up. The only document of the
// program; views learn of every change through UpdateAllViews with one of the hints below and
// m_nLastChanged.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "database/DeletedStack.h"
#include "database/IdIndex.h"
#include "platform/base/CArray.h"
#include "platform/base/CStringArray.h"
#include "platform/base/CTime.h"
#include "platform/gui/document/CDocument.h"
#include "platform/gui/window/CCmdUI.h"
#include "platform/gui/window/CRuntimeClass.h"

// Update hints
constexpr LPARAM HINT_REBUILD = 0;          // rebuild the whole list
constexpr LPARAM HINT_SAVED = 2;            // saved (m_nLastChanged -1) or one record rewritten
constexpr LPARAM HINT_ADDED = 10;           // record added or restored
constexpr LPARAM HINT_DELETED = 11;         // record deleted
constexpr LPARAM HINT_DELETED_MANY = 12;    // records deleted at once (the last in m_nLastChanged)
constexpr LPARAM HINT_PICKED = 20;          // an ID picked up (-1: not registered)
constexpr LPARAM HINT_PICKUP_CLEARED = 21;  // pickup list emptied

class CVelkonDoc : public CDocument {
    DECLARE_DYNCREATE(CVelkonDoc)
public:
    CVelkonDoc();
    ~CVelkonDoc() override;

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

    // --- File format helpers ---
    // "YYYY/MM/DD" in local time; empty when the value is not a date.
    static CString FormatDate(CTime time);
    // Y/M/D with a 2- or 4-digit year; anything else reads as the current date and time.
    static CTime ParseDate(const CString& text);
    // Cuts the text before the first tab off the line (the whole line when it has none).
    static CString SplitField(CString& rLine);

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

    // The backup beside a data file: its extension replaced by "bak".
    static CString BackupPathOf(const CString& path);

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
    BOOL m_bBackup = TRUE;
    BOOL m_bAutoSave = FALSE;
    int m_nLastChanged = -1;

    static constexpr int kMaxUpdateCount = 9999;

protected:
    DECLARE_MESSAGE_MAP()

private:
    void AppendRecord(const CString& id);
    void LoadRecords(CArchive& ar);
    void StoreRecords(CArchive& ar);
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
