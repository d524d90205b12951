#include <gtest/gtest.h>

#include "tests/database/DocFixture.h"

using testing_support::MessageBoxAnswerer;
using testing_support::Sjis;
using testing_support::Utf8;

TEST_F(DocTest, EachChangeSendsItsHintAndNamesTheRecord) {
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
    EXPECT_EQ(view.notices, expected);

    // A refused add and a restore with nothing deleted change nothing and say nothing.
    view.notices.clear();
    EXPECT_FALSE(doc->AddNewID("ABC12345", "Again"));
    doc->RestoreID();
    EXPECT_TRUE(view.notices.empty());
    EXPECT_EQ(doc->GetRecordCount(), 2);
}

TEST_F(DocTest, NewRecordHoldsHandleCountOneAndTodayThrice) {
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

TEST_F(DocTest, IndexKeepsIdOrderWithEqualIdsInInsertionOrder) {
    for (const char* id : {"BBB00002", "AAA00001", "bbb00002", "CCC00003"})
        ASSERT_TRUE(doc->AddNewID(id, ""));
    // Case-sensitive code order: upper case letters before lower case ones.
    EXPECT_EQ(SortIndex(), (std::vector<int>{1, 0, 3, 2}));
    EXPECT_EQ(doc->FindID("bbb00002"), 2);
    EXPECT_EQ(doc->FindID("BBB00003"), -1);
}

TEST_F(DocTest, DeletionsAreUndoneInReverseOrder) {
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

TEST_F(DocTest, ReRegisteredIdBuriesItsDeletedRecord) {
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

TEST_F(DocTest, TitleCarriesTheModifiedMarkerOnlyWhileModified) {
    EXPECT_EQ(Utf8(doc->GetTitle()), "（新規）");
    doc->SetPathName("/data/友達.lst");  // paths are the file system's UTF-8
    EXPECT_EQ(Utf8(doc->GetTitle()), "友達.lst");
    doc->AddNewID("AAA00001", "");
    doc->SetModifiedFlag(TRUE);  // already modified: one marker only
    EXPECT_EQ(Utf8(doc->GetTitle()), "友達.lst（更新）");
    doc->SetModifiedFlag(FALSE);
    EXPECT_EQ(Utf8(doc->GetTitle()), "友達.lst");
}

TEST_F(DocTest, SaveQuestionNamesTheFileAndFollowsTheAnswer) {
    MessageBoxAnswerer answers(IDCANCEL);
    EXPECT_TRUE(doc->SaveModified());  // not modified: no question
    EXPECT_TRUE(answers.Texts().empty());

    // The name is the file system's; the question shows it in the code page, which lacks é.
    const std::string path = dir.File("josé-データ.lst");
    doc->SetPathName(path.c_str());
    doc->AddNewID("AAA00001", "");
    EXPECT_FALSE(doc->SaveModified());
    ASSERT_EQ(answers.Texts().size(), 1u);
    EXPECT_EQ(answers.Texts()[0], "jos?-データ.lst は更新されています。\n保存しますか？");
    EXPECT_EQ(answers.Types()[0] & 0x0F, static_cast<UINT>(MB_YESNOCANCEL));
    EXPECT_TRUE(doc->IsModified());

    answers.SetAnswer(IDNO);
    EXPECT_TRUE(doc->SaveModified());
    EXPECT_FALSE(testing_support::FileExists(path));

    answers.SetAnswer(IDYES);
    EXPECT_TRUE(doc->SaveModified());
    EXPECT_TRUE(testing_support::FileExists(path));
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(DocTest, AutoSaveSavesNamedDocumentsButStillAsksForUntitledOnes) {
    MessageBoxAnswerer answers(IDNO);
    doc->m_bAutoSave = TRUE;
    doc->AddNewID("AAA00001", "");
    EXPECT_TRUE(doc->SaveModified());
    ASSERT_EQ(answers.Texts().size(), 1u);
    EXPECT_EQ(answers.Texts()[0], "（新規） は更新されています。\n保存しますか？");

    const std::string path = dir.File("auto.lst");
    doc->SetPathName(path.c_str());
    EXPECT_TRUE(doc->SaveModified());
    EXPECT_EQ(answers.Texts().size(), 1u);
    EXPECT_TRUE(testing_support::FileExists(path));
}

TEST_F(DocTest, OpeningAnotherFileKeepsPickupsAndNoPickupList) {
    doc->m_astrNoPickupID.Add("NOP00000");
    CString text("ABC12345 Blue\r\n");
    doc->PickupText(text);
    doc->AddNewID("ZZZ99999", "");
    doc->DeleteID(0);
    doc->DeleteContents();
    EXPECT_EQ(doc->GetRecordCount(), 0);
    EXPECT_TRUE(doc->m_anDeletedStack.IsEmpty());
    EXPECT_EQ(doc->m_anSortIndex.GetSize(), 0);
    EXPECT_EQ(doc->FindPickup("ABC12345"), 0);
    EXPECT_EQ(doc->m_astrNoPickupID.GetSize(), 1);
}

TEST_F(DocTest, CommandStatesFollowModifiedFlagAndPickupList) {
    CCmdUI save, redo;
    doc->OnUpdateFileSave(&save);
    doc->OnUpdatePickupRedo(&redo);
    EXPECT_FALSE(save.m_bEnabled);
    EXPECT_FALSE(redo.m_bEnabled);
    CString text("ABC12345\r\n");
    doc->PickupText(text);
    doc->AddNewID("AAA00001", "");
    doc->OnUpdateFileSave(&save);
    doc->OnUpdatePickupRedo(&redo);
    EXPECT_TRUE(save.m_bEnabled);
    EXPECT_TRUE(redo.m_bEnabled);
    doc->OnPickupRedo();
    doc->OnUpdatePickupRedo(&redo);
    EXPECT_FALSE(redo.m_bEnabled);
}

TEST(DocSettings, OptionsAndNoPickupListPersistAcrossRuns) {
    testing_support::TempDir config;
    ::setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
    {
        CWinApp app("Velkon95");
        app.SetRegistryKey("Brambl Free Software");
        CVelkonDoc doc;
        EXPECT_TRUE(doc.m_bBackup);  // first start: defaults
        EXPECT_FALSE(doc.m_bAutoSave);
        EXPECT_EQ(doc.m_astrNoPickupID.GetSize(), 0);
        doc.m_bBackup = FALSE;
        doc.m_bAutoSave = TRUE;
        for (const char* id : {"AAA00001", "BBB00002", "CCC00003"}) doc.m_astrNoPickupID.Add(id);
    }
    {
        CWinApp app("Velkon95");
        app.SetRegistryKey("Brambl Free Software");
        CVelkonDoc doc;
        EXPECT_FALSE(doc.m_bBackup);
        EXPECT_TRUE(doc.m_bAutoSave);
        ASSERT_EQ(doc.m_astrNoPickupID.GetSize(), 3);
        EXPECT_EQ(doc.m_astrNoPickupID[2], "CCC00003");
        doc.m_astrNoPickupID.RemoveAt(1, 2);  // the options page replaced the list
    }
    CWinApp app("Velkon95");
    app.SetRegistryKey("Brambl Free Software");
    // The old ID2 is still in the file, but the reader stops at the removed ID1.
    EXPECT_EQ(app.GetProfileString("No Pickup ID", "ID2"), "CCC00003");
    CVelkonDoc doc;
    ASSERT_EQ(doc.m_astrNoPickupID.GetSize(), 1);
    EXPECT_EQ(doc.m_astrNoPickupID[0], "AAA00001");
}
