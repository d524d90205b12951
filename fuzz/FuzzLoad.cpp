// Guards loading of a .lst file from any bytes: no crash, an ID index that holds every record in
// ID order, and a save that reads back as the same records.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "database/RecordStore.h"
#include "fuzz/FuzzSupport.h"
#include "platform/base/CArchive.h"
#include "platform/base/CFile.h"
#include "platform/base/Mbcs.h"

namespace {

void WriteBytes(const CString& path, const std::uint8_t* data, std::size_t size) {
    CFile file;
    FUZZ_CHECK(file.Open(path, CFile::modeCreate | CFile::modeWrite));
    FUZZ_CHECK(size == 0 || file.Write(data, static_cast<UINT>(size)));
}

void Load(CRecordStore& doc, const CString& path) {
    CFile file;
    FUZZ_CHECK(file.Open(path, CFile::modeRead));
    CArchive ar(&file, CArchive::load);
    doc.LoadRecords(ar);
    FUZZ_CHECK(!ar.IsBad());
}

void Save(CRecordStore& doc, const CString& path) {
    CFile file;
    FUZZ_CHECK(file.Open(path, CFile::modeCreate | CFile::modeWrite));
    CArchive ar(&file, CArchive::store);
    doc.StoreRecords(ar);
    FUZZ_CHECK(ar.Flush());
}

void CheckIndex(const CRecordStore& doc) {
    const int n = doc.GetRecordCount();
    int live = 0;
    for (int r = 0; r < n; ++r) live += doc.m_abDeleted[r] ? 0 : 1;
    FUZZ_CHECK(doc.m_anSortIndex.GetSize() == live);

    const std::vector<int> order = doc.m_anSortIndex.ToVector();
    FUZZ_CHECK(static_cast<int>(order.size()) == live);
    std::vector<bool> seen(static_cast<std::size_t>(n), false);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const int r = order[i];
        FUZZ_CHECK(r >= 0 && r < n);
        FUZZ_CHECK(!seen[static_cast<std::size_t>(r)]);
        seen[static_cast<std::size_t>(r)] = true;
        const int c =
            i == 0 ? -1 : mbcs::Compare(doc.m_astrID[order[i - 1]].View(), doc.m_astrID[r].View());
        FUZZ_CHECK(c <= 0);
        // Records with the same ID stay in file order, and the first of them is the one found.
        if (c == 0)
            FUZZ_CHECK(order[i - 1] < r);
        else
            FUZZ_CHECK(doc.FindID(doc.m_astrID[r]) == r);
    }
}

void CheckSameRecords(const CRecordStore& saved, const CRecordStore& loaded) {
    int r2 = 0;
    for (int r = 0; r < saved.GetRecordCount(); ++r) {
        if (saved.m_abDeleted[r]) continue;
        FUZZ_CHECK(r2 < loaded.GetRecordCount());
        FUZZ_CHECK(saved.m_astrID[r] == loaded.m_astrID[r2]);
        for (const CTextColumn CRecordStore::*field :
             {&CRecordStore::m_astrHandle, &CRecordStore::m_astrMemo1, &CRecordStore::m_astrMemo2,
              &CRecordStore::m_astrMemo3, &CRecordStore::m_astrMemo4, &CRecordStore::m_astrMemo5,
              &CRecordStore::m_astrMemo6})
            FUZZ_CHECK((saved.*field)[r] == (loaded.*field)[r2]);
        FUZZ_CHECK(saved.m_anUpdateCount[r] == loaded.m_anUpdateCount[r2]);
        FUZZ_CHECK(CRecordStore::FormatDate(saved.m_atimeRegist[r]) ==
                   CRecordStore::FormatDate(loaded.m_atimeRegist[r2]));
        FUZZ_CHECK(CRecordStore::FormatDate(saved.m_atimeUpdate[r]) ==
                   CRecordStore::FormatDate(loaded.m_atimeUpdate[r2]));
        ++r2;
    }
    FUZZ_CHECK(r2 == loaded.GetRecordCount());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const CString input((fuzz_support::WorkDir() + "/input.lst").c_str());
    static const CString output((fuzz_support::WorkDir() + "/output.lst").c_str());
    WriteBytes(input, data, size);

    CRecordStore doc;
    Load(doc, input);
    CheckIndex(doc);
    Save(doc, output);

    // Lines come back whole however long they are: the saved file holds exactly what was saved.
    CRecordStore again;
    Load(again, output);
    CheckSameRecords(doc, again);
    CheckIndex(again);
    return 0;
}
