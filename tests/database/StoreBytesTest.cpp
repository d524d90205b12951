// The store over the bytes of the file it loaded: a save gives back each unchanged line as read
// and any other record as the file's writer spells it; bulk deletes; a store loaded elsewhere
// taken over whole.
#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "tests/database/StoreFixture.h"

using testing_support::ReadFile;
using testing_support::WriteFile;

TEST_F(StoreTest, SaveKeepsUnchangedLinesAndRewritesEveryOtherRecordAsTheWriterSpellsIt) {
    testing_support::FakeClock clock(1'796'691'600);  // 2026/12/08 in the tests' zone
    const std::string kept = "AAA00001\th\tm1\t\t\t\t\tm6\t5\t1997/05/03\t1998/01/02\r\n";
    const std::string path = dir.File("in.lst");
    WriteFile(path, "*top\r\n" + kept +
                        "AAA00002\t\t\t\t\t\t\t\t1\t1997/05/03\t1997/05/03\n"   // LF
                        "AAA00003\tx\t\t\t\t\t\t\t007\t97/5/3\t1997/05/03\r\n"  // loose forms
                        "*between\r\n"
                        "AAA00004\t\t\t\t\t\t\t\t2\t1998/02/31\t1998/03/01\textra\r\n"
                        "AAA00005\r"  // an ID alone, CR
                        "AAA00006\tp\t\t\t\t\t\t\t3\t1999/01/01\t1999/01/01\r\n"
                        "AAA00007\tq\t\t\t\t\t\t\t4\t1999/01/01\t1999/01/01\r\n"
                        "AAA00008\tr\t\t\t\t\t\t\t5\t1999/01/01\t1999/01/01\r\n"
                        "AAA00009\ts\t\t\t\t\t\t\t6\t1999/01/01\t1999/01/01\r\n");
    ASSERT_TRUE(doc->Load(path));
    ASSERT_EQ(doc->GetRecordCount(), 9);
    // Written fields and deletions between unchanged lines.
    doc->m_astrHandle[6] = "tab\there";
    EXPECT_EQ(doc->m_astrHandle[6], "tab\there");  // kept as given
    doc->DeleteID(7);
    doc->m_anUpdateCount[8] = 60;
    doc->m_atimePrevUpdate[0] = CTime(0);  // not in the file: the line stays as read
    const std::string out = dir.File("out.lst");
    ASSERT_TRUE(doc->Save(out));
    EXPECT_EQ(ReadFile(out), "*top\r\n" + kept +
                                 "AAA00002\t\t\t\t\t\t\t\t1\t1997/05/03\t1997/05/03\r\n"
                                 "AAA00003\tx\t\t\t\t\t\t\t7\t1997/05/03\t1997/05/03\r\n"
                                 "AAA00004\t\t\t\t\t\t\t\t2\t1998/03/03\t1998/03/01\r\n"
                                 "AAA00005\t\t\t\t\t\t\t\t0\t2026/12/08\t2026/12/08\r\n"
                                 "AAA00006\tp\t\t\t\t\t\t\t3\t1999/01/01\t1999/01/01\r\n"
                                 "AAA00007\ttab here\t\t\t\t\t\t\t4\t1999/01/01\t1999/01/01\r\n"
                                 "AAA00009\ts\t\t\t\t\t\t\t60\t1999/01/01\t1999/01/01\r\n");

    // A file saved by the program comes back byte for byte, and a record written since the
    // load reads back as written.
    RecordingStore again;
    ASSERT_TRUE(again.Load(out));
    const std::string twice = dir.File("twice.lst");
    ASSERT_TRUE(again.Save(twice));
    EXPECT_EQ(ReadFile(twice), ReadFile(out));
    again.m_astrMemo6[0] = "new";
    again.m_atimeRegist[1] = CRecordStore::ParseDate("2001/02/03");
    EXPECT_EQ(again.m_astrMemo1[0], "m1");
    EXPECT_EQ(again.m_astrMemo6[0], "new");
    EXPECT_EQ(CRecordStore::FormatDate(again.m_atimeRegist[1]), "2001/02/03");
    EXPECT_EQ(again.m_anUpdateCount[0], 5);
}

namespace {

// Records with IDs repeated and IDs of other shapes, so that equal IDs and the text path meet.
std::string ManyRecords(int n, std::mt19937& rng) {
    const char* const shapes[] = {"AAA%05u", "ZZZ%05u", "ab%u", "\x82\xA0%u"};
    std::string file;
    for (int i = 0; i < n; ++i) {
        char id[32];
        std::snprintf(id, sizeof id, shapes[rng() % 4], static_cast<unsigned>(rng() % (n / 3)));
        // Now and then a date in a form the save writes otherwise.
        file += std::string(id) + "\th" + std::to_string(i) + "\t\t\t\t\t\t\t1\t" +
                (i % 7 ? "1997/05/03" : "97/05/03") + "\t1997/05/03\r\n";
    }
    return file;
}

}  // namespace

TEST_F(StoreTest, BulkDeletesLeaveWhatDeletingOneByOneLeavesWithOneHint) {
    std::mt19937 rng(26);
    const std::string path = dir.File("many.lst");
    WriteFile(path, ManyRecords(3000, rng));
    ASSERT_TRUE(doc->Load(path));
    // Many (one sweep of the index) and few (one by one), with repeats, records deleted already
    // and numbers out of range.
    for (const int count : {2000, 10}) {
        RecordingStore single;
        ASSERT_TRUE(single.Load(path));
        ASSERT_TRUE(doc->Load(path));
        doc->DeleteID(5);
        single.DeleteID(5);
        std::vector<int> rows = {-1, 5, 3000};
        for (int i = 0; i < count; ++i) rows.push_back(static_cast<int>(rng() % 3000));
        doc->notices.clear();
        doc->DeleteIDs(rows);
        int last = -1;
        for (int r : rows) {
            if (r >= 0 && r < 3000 && !single.m_abDeleted[r]) last = r;
            single.DeleteID(r);
        }
        EXPECT_EQ(doc->notices, (std::vector<Notice>{{HINT_DELETED_MANY, last}}));
        EXPECT_EQ(SortIndex(), single.m_anSortIndex.ToVector());
        EXPECT_EQ(doc->m_anDeletedStack.ToVector(), single.m_anDeletedStack.ToVector());
        for (int r = 0; r < 3000; ++r) ASSERT_EQ(doc->m_abDeleted[r], single.m_abDeleted[r]);
        for (int r : SortIndex()) ASSERT_EQ(doc->FindID(doc->m_astrID[r]) != -1, true);
    }
    doc->notices.clear();
    doc->DeleteIDs({5, -3});
    EXPECT_TRUE(doc->notices.empty());

    // Registered anew, an ID buries the latest deleted record of it; the rest come back.
    const std::vector<int> deleted = doc->m_anDeletedStack.ToVector();  // latest first
    int latest = -1;
    for (int r : deleted) {
        if (doc->FindID(doc->m_astrID[r]) == -1) {
            latest = r;
            break;
        }
    }
    ASSERT_NE(latest, -1);
    ASSERT_TRUE(doc->AddNewID(doc->m_astrID[latest], "anew"));
    EXPECT_EQ(doc->m_anDeletedStack.GetSize(), static_cast<int>(deleted.size()) - 1);
    while (!doc->m_anDeletedStack.IsEmpty()) doc->RestoreID();
    EXPECT_TRUE(doc->m_abDeleted[latest]);
    EXPECT_EQ(doc->m_anSortIndex.GetSize(), 3000);
}

TEST(DeletedStack, TakesAndPopsAsAPlainListDoesUnderRandomUse) {
    std::mt19937 rng(95);
    CIdKeys keys;
    for (int r = 0; r < 400; ++r) {
        const std::string id =
            r % 5 ? "K" + std::to_string(r % 37 + 1000000) : "text " + std::to_string(r % 11);
        keys.Add(id);
    }
    CDeletedStack stack(&keys);
    std::vector<int> model;  // bottom first
    for (int step = 0; step < 20000; ++step) {
        const unsigned op = rng() % 10;
        if (op < 5) {
            const int r = static_cast<int>(rng() % 400);
            stack.Push(r);
            model.push_back(r);
        } else if (op < 7) {
            const int expected = model.empty() ? -1 : model.back();
            if (!model.empty()) model.pop_back();
            ASSERT_EQ(stack.Pop(), expected);
        } else {
            const CIdKeys::Key key = keys.KeyOf(static_cast<int>(rng() % 400));
            int expected = -1;
            for (auto it = model.rbegin(); it != model.rend(); ++it) {
                if (keys.KeyOf(*it) == key) {
                    expected = *it;
                    model.erase(std::next(it).base());
                    break;
                }
            }
            ASSERT_EQ(stack.TakeLatestWithKey(key), expected) << "step " << step;
        }
        ASSERT_EQ(stack.GetSize(), static_cast<int>(model.size()));
    }
    EXPECT_EQ(stack.ToVector(), std::vector<int>(model.rbegin(), model.rend()));
}

TEST_F(StoreTest, AStoreLoadedOnAnotherThreadIsTakenOverWholeAndItsProgressReadMeanwhile) {
    std::mt19937 rng(3);
    const std::string path = dir.File("worker.lst");
    WriteFile(path, "*made on a worker\r\n" + ManyRecords(60000, rng));
    doc->AddNewID("OLD00001", "mine");
    doc->PickupLine("seen ABC12345 today");
    doc->DeleteID(0);

    CRecordStore loaded;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        CFile file;
        if (file.Open(CString(path), CFile::modeRead)) {
            CArchive ar(&file, CArchive::load);
            loaded.LoadRecords(ar);
        }
        done = true;
    });
    // Read while it runs: never past the total, never going back.
    std::uint64_t last = 0;
    const auto deadline = testing_support::DeadlineIn(std::chrono::seconds(60));
    while (!done && std::chrono::steady_clock::now() < deadline) {
        const CRecordStore::LoadProgress p = loaded.GetLoadProgress();
        EXPECT_LE(p.done, p.total == 0 ? p.done : p.total);
        EXPECT_GE(p.done, last);
        last = p.done;
        std::this_thread::yield();
    }
    worker.join();
    const CRecordStore::LoadProgress end = loaded.GetLoadProgress();
    EXPECT_EQ(end.done, end.total);
    EXPECT_EQ(end.total, 2 * ReadFile(path).size());

    RecordingStore reference;
    ASSERT_TRUE(reference.Load(path));
    doc->notices.clear();
    doc->AdoptRecords(loaded);
    EXPECT_TRUE(doc->notices.empty());
    ASSERT_EQ(doc->GetRecordCount(), 60000);
    EXPECT_EQ(SortIndex(), reference.m_anSortIndex.ToVector());
    EXPECT_EQ(doc->m_astrHandle[59999], reference.m_astrHandle[59999]);
    EXPECT_EQ(doc->FindID(reference.m_astrID[7]), reference.FindID(reference.m_astrID[7]));
    EXPECT_TRUE(doc->m_anDeletedStack.IsEmpty());
    ASSERT_EQ(doc->m_astrLeadingComment.GetSize(), 1);
    EXPECT_EQ(doc->FindPickup("ABC12345"), 0);  // the session's pickups stay
    // Saved, the big file's lines come back as read but for the dates written otherwise.
    const std::string saved = dir.File("adopted.lst");
    RecordingStore* store = doc.get();
    ASSERT_TRUE(store->Save(saved));
    std::string expected = ReadFile(path);
    for (std::size_t at = 0; (at = expected.find("\t97/05/03\t", at)) != std::string::npos;)
        expected.replace(at, 10, "\t1997/05/03\t");
    EXPECT_EQ(ReadFile(saved), expected);
    // The worker's store holds what the document had, whole.
    ASSERT_EQ(loaded.GetRecordCount(), 1);
    EXPECT_EQ(loaded.m_astrHandle[0], "mine");
    EXPECT_EQ(loaded.m_anDeletedStack.ToVector(), std::vector<int>{0});
    EXPECT_EQ(loaded.m_astrLeadingComment.GetSize(), 0);
}

TEST_F(StoreTest, ABigFileReadInTwoHalvesKeepsItsTopCommentsAndLineEndsWhereverTheCutFalls) {
    // More than a megabyte of comments with every kind of line end, then the records: the
    // halves meet among the comments, and all of them are still the file's top.
    std::string file;
    const std::string comment = "*" + std::string(97, 'c');
    const char* const ends[] = {"\r\n", "\n", "\r", "\r\n\r\n"};
    int comments = 0;
    while (file.size() < (std::size_t(3) << 19)) {
        file += comment + ends[comments % 4];
        ++comments;
    }
    file += "ABC12345\th\t\t\t\t\t\t\t1\t1997/05/03\t1997/05/03\r*late\nXYZ00001\n";
    const std::string path = dir.File("top.lst");
    WriteFile(path, file);
    ASSERT_TRUE(doc->Load(path));
    ASSERT_EQ(doc->GetRecordCount(), 2);
    EXPECT_EQ(doc->m_astrLeadingComment.GetSize(), comments);
    EXPECT_EQ(doc->m_astrID[1], "XYZ00001");
    EXPECT_EQ(doc->FindID("ABC12345"), 0);
}
