// The document over the records: its title, the save question, auto-save, its commands and
// its settings.
#include <gtest/gtest.h>

#include "tests/document/DocFixture.h"

using testing_support::MessageBoxAnswerer;
using testing_support::Sjis;
using testing_support::Utf8;

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

    // The name is the file system's; the question shows it whole, although the code page of
    // the question's text lacks é and 한.
    const std::string path = dir.File("josé-데이터-データ.lst");
    doc->SetPathName(path.c_str());
    doc->AddNewID("AAA00001", "");
    EXPECT_FALSE(doc->SaveModified());
    ASSERT_EQ(answers.Texts().size(), 1u);
    EXPECT_EQ(answers.Texts()[0], "josé-데이터-データ.lst は更新されています。\n保存しますか？");
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
