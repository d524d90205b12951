// The records, their index and the deleted stack, and what each change tells.
#include <gtest/gtest.h>

#include "tests/database/StoreFixture.h"

using testing_support::Sjis;
using testing_support::Utf8;

TEST_F(StoreTest, EachChangeSendsItsHintAndNamesTheRecord) {
    ASSERT_TRUE(doc->AddNewID("ABC12345", "Blue"));
    ASSERT_TRUE(doc->AddNewID("ABD12345", ""));
    doc->DeleteID(0);
    doc->RestoreID();
    doc->ClearPickup();
    const std::vector<Notice> expected = {{HINT_ADDED, 0},
                                          {HINT_ADDED, 1},
                                          {HINT_DELETED, 0},
                                          {HINT_ADDED, 0},
                                          {HINT_PICKUP_CLEARED, 0}};
    EXPECT_EQ(doc->notices, expected);

    // A refused add and a restore with nothing deleted change nothing and say nothing.
    doc->notices.clear();
    EXPECT_FALSE(doc->AddNewID("ABC12345", "Again"));
    doc->RestoreID();
    EXPECT_TRUE(doc->notices.empty());
    EXPECT_EQ(doc->GetRecordCount(), 2);
}

// Picks inside a burst still tell of themselves one by one; the outermost end adds one hint
// naming the last pick's record, and only when something was picked.
TEST_F(StoreTest, PickupBurstEndsOnceAfterItsPicksNamingTheLastOne) {
    ASSERT_TRUE(doc->AddNewID("ABC12345", ""));
    ASSERT_TRUE(doc->AddNewID("XYZ00001", ""));
    doc->notices.clear();
    doc->EndPickupBurst();  // no burst: nothing to end, and the count stays at none
    doc->BeginPickupBurst();
    doc->BeginPickupBurst();
    EXPECT_TRUE(doc->InPickupBurst());
    doc->PickupID("XYZ00001", "");
    doc->PickupID("ABC12345", "");
    doc->EndPickupBurst();
    EXPECT_TRUE(doc->InPickupBurst());
    doc->EndPickupBurst();
    EXPECT_FALSE(doc->InPickupBurst());
    EXPECT_EQ(doc->notices, (std::vector<Notice>{
                                {HINT_PICKED, 1}, {HINT_PICKED, 0}, {HINT_PICKUP_BURST_END, 0}}));

    doc->notices.clear();
    doc->BeginPickupBurst();
    doc->EndPickupBurst();  // nothing picked: nothing to show
    doc->BeginPickupBurst();
    doc->PickupID("ABC12345", "");
    doc->PickupID("QQQ99999", "");
    doc->EndPickupBurst();
    EXPECT_EQ(doc->notices, (std::vector<Notice>{
                                {HINT_PICKED, 0}, {HINT_PICKED, -1}, {HINT_PICKUP_BURST_END, -1}}));
}

TEST_F(StoreTest, NewRecordHoldsHandleCountOneAndTodayThrice) {
    testing_support::FakeClock clock(1'700'000'000);
    ASSERT_TRUE(doc->AddNewID("XYZ00001", Sjis("青い空")));
    EXPECT_EQ(Utf8(doc->m_astrHandle[0]), "青い空");
    EXPECT_EQ(doc->m_anUpdateCount[0], 1);
    EXPECT_EQ(doc->m_atimeRegist[0].GetTime(), 1'700'000'000);
    EXPECT_EQ(doc->m_atimeUpdate[0].GetTime(), 1'700'000'000);
    EXPECT_EQ(doc->m_atimePrevUpdate[0].GetTime(), 1'700'000'000);
    EXPECT_TRUE(doc->m_astrMemo6[0].IsEmpty());
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(StoreTest, IndexKeepsIdOrderWithEqualIdsInInsertionOrder) {
    for (const char* id : {"BBB00002", "AAA00001", "bbb00002", "CCC00003"})
        ASSERT_TRUE(doc->AddNewID(id, ""));
    // Case-sensitive code order: upper case letters before lower case ones.
    EXPECT_EQ(SortIndex(), (std::vector<int>{1, 0, 3, 2}));
    EXPECT_EQ(doc->FindID("bbb00002"), 2);
    EXPECT_EQ(doc->FindID("BBB00003"), -1);
}

TEST_F(StoreTest, DeletionsAreUndoneInReverseOrder) {
    for (const char* id : {"AAA00001", "BBB00002", "CCC00003"}) doc->AddNewID(id, "");
    doc->DeleteID(0);
    doc->DeleteID(2);
    EXPECT_EQ(SortIndex(), std::vector<int>{1});
    EXPECT_EQ(doc->FindID("AAA00001"), -1);
    EXPECT_EQ(doc->m_anDeletedStack.ToVector(), (std::vector<int>{2, 0}));

    doc->RestoreID();
    EXPECT_FALSE(doc->m_abDeleted[2]);
    EXPECT_TRUE(doc->m_abDeleted[0]);
    doc->RestoreID();
    EXPECT_EQ(SortIndex(), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(doc->m_anDeletedStack.IsEmpty());

    // Deleting what is already deleted must not put it on the stack twice.
    doc->DeleteID(1);
    doc->DeleteID(1);
    doc->DeleteID(99);
    EXPECT_EQ(doc->m_anDeletedStack.GetSize(), 1);
}

TEST_F(StoreTest, ReRegisteredIdBuriesItsDeletedRecord) {
    doc->AddNewID("AAA00001", "old");
    doc->AddNewID("BBB00002", "");
    doc->DeleteID(1);
    doc->DeleteID(0);
    ASSERT_TRUE(doc->AddNewID("AAA00001", "new"));
    EXPECT_EQ(doc->FindID("AAA00001"), 2);
    EXPECT_TRUE(doc->m_abDeleted[0]);
    EXPECT_EQ(doc->m_anDeletedStack.ToVector(), std::vector<int>{1});

    doc->RestoreID();  // brings BBB back, never the old AAA
    doc->RestoreID();
    EXPECT_EQ(SortIndex(), (std::vector<int>{2, 1}));
    EXPECT_TRUE(doc->m_abDeleted[0]);
}

TEST_F(StoreTest, OpeningAnotherFileKeepsPickupsAndNoPickupList) {
    doc->m_astrNoPickupID.Add("NOP00000");
    CString text("ABC12345 Blue\r\n");
    doc->PickupText(text);
    doc->AddNewID("ZZZ99999", "");
    doc->DeleteID(0);
    doc->RemoveAllRecords();
    EXPECT_EQ(doc->GetRecordCount(), 0);
    EXPECT_TRUE(doc->m_anDeletedStack.IsEmpty());
    EXPECT_EQ(doc->m_anSortIndex.GetSize(), 0);
    EXPECT_EQ(doc->FindPickup("ABC12345"), 0);
    EXPECT_EQ(doc->m_astrNoPickupID.GetSize(), 1);
}

TEST_F(StoreTest, PersonalDataIsWrittenWholeMarkedFirstThenAnnouncedOnce) {
    ASSERT_TRUE(doc->AddNewID("ABC12345", "Blue"));
    ASSERT_TRUE(doc->AddNewID("XYZ00001", ""));
    doc->SetModifiedFlag(FALSE);
    doc->notices.clear();
    const CPersonalData data{Sjis("山田　太郎"), {"m1", "m2", "m3", "m4", "m5", "m6"}};
    doc->WritePersonalData(1, data);
    EXPECT_EQ(doc->notices, (std::vector<Notice>{{HINT_SAVED, 1}}));
    EXPECT_TRUE(doc->modifiedWhenTold);
    EXPECT_EQ(Utf8(doc->m_astrHandle[1]), "山田　太郎");
    EXPECT_EQ(doc->m_astrMemo6[1], "m6");
    EXPECT_EQ(doc->ReadPersonalData(1).astrMemo[2], "m3");
    EXPECT_EQ(doc->m_astrHandle[0], "Blue");  // the other record as it was

    // A record number that names no record changes nothing and tells nothing.
    doc->notices.clear();
    doc->WritePersonalData(2, data);
    doc->WritePersonalData(-1, data);
    EXPECT_TRUE(doc->notices.empty());
    EXPECT_EQ(doc->GetRecordCount(), 2);
}
