// A record store that remembers what it told: each change's hint with the record it named, and
// whether a change was one the file must keep. No application object, no window.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "database/RecordStore.h"
#include "platform/base/CArchive.h"
#include "platform/base/CFile.h"
#include "tests/database/Notice.h"
#include "tests/support/TestFiles.h"

class RecordingStore : public CRecordStore {
public:
    BOOL IsModified() const { return m_bModified; }
    void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

    // The file as the program's document reads and writes it: emptied, then read whole; written
    // whole, and only then the dates move on.
    bool Load(const std::string& path) {
        CFile file;
        if (!file.Open(CString(path), CFile::modeRead)) return false;
        RemoveAllRecords();
        CArchive ar(&file, CArchive::load);
        LoadRecords(ar);
        m_bModified = FALSE;
        return true;
    }
    bool Save(const std::string& path) {
        CReplaceFile file;
        if (!file.Open(CString(path))) return false;
        {
            CArchive ar(&file, CArchive::store);
            StoreRecords(ar);
            if (!ar.Flush()) return false;
        }
        if (!file.Commit()) return false;
        m_bModified = FALSE;
        RecordsSaved();
        return true;
    }

    std::vector<Notice> notices;
    // Whether the change was marked before the last notice went out.
    BOOL modifiedWhenTold = FALSE;

protected:
    void OnRecordsChanged(LPARAM lHint) override {
        notices.push_back({lHint, m_nLastChanged});
        modifiedWhenTold = m_bModified;
    }
    void OnRecordsModified() override { m_bModified = TRUE; }

private:
    BOOL m_bModified = FALSE;
};

class StoreTest : public ::testing::Test {
protected:
    std::vector<int> SortIndex() const { return doc->m_anSortIndex.ToVector(); }

    testing_support::TempDir dir;
    std::unique_ptr<RecordingStore> doc = std::make_unique<RecordingStore>();
};
