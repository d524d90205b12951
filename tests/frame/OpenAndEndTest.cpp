// The program's document and list through a failed open and an end signal: what the list
// shows after a load that failed, what the program's auto-save does when nobody can be asked,
// and its records kept for the next open. How any document of the framework opens, ends and
// keeps its changes is tested in tests/platform/gui (DocTemplateTest, EndSignalTest).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "frame/TrayIconCtrlFrame.h"
#include "platform/base/AfxRes.h"
#include "tests/frame/FrameFixture.h"
#include "tests/frame/TrayHostFake.h"

using testing_support::FileExists;
using testing_support::MessageBoxAnswerer;
using testing_support::ReadFile;
using testing_support::Utf8;
using testing_support::WriteFile;

namespace {

const char kRecords[] = "AAA00001\tfirst\r\nBBB00002\tsecond\r\nCCC00003\tthird\r\n";

class OpenAndEndTest : public FrameTest {
protected:
    // Runs the event loop until the program has ended (its main window gone), or 5 s.
    bool Ended() {
        if (!testing_support::RunEventsUntil([this] { return !app->m_pMainWnd; },
                                             std::chrono::seconds(5)))
            return false;
        frame = nullptr;
        doc = nullptr;
        return true;
    }
    // The next run of the program, as far as its settings go.
    void Restart() {
        StopApp();
        StartApp();
    }
    int Rows() const {
        return static_cast<CListView*>(frame->GetActiveView())->GetListCtrl().GetItemCount();
    }
    CVelkonDoc* Open(const std::string& path) {
        doc = static_cast<CVelkonDoc*>(app->OpenDocumentFile(path.c_str()));
        return doc;
    }
};

}  // namespace

TEST_F(OpenAndEndTest, AFailedLoadLeavesAnEmptyNewDocumentAndAnEmptyList) {
    WriteFile(dir.File("ids.lst"), kRecords);
    ASSERT_NE(Open(dir.File("ids.lst")), nullptr);
    ASSERT_EQ(Rows(), 3);
    MessageBoxAnswerer answers(IDOK);
    // The kernel answers the first read of this file with an I/O error.
    EXPECT_EQ(app->OpenDocumentFile("/proc/self/mem"), nullptr);
    doc = static_cast<CVelkonDoc*>(frame->GetActiveDocument());
    EXPECT_EQ(doc->GetRecordCount(), 0);
    EXPECT_EQ(Rows(), 0);  // no row may name a record that is gone
    EXPECT_EQ(Utf8(doc->GetTitle()), "（新規）");
    EXPECT_TRUE(doc->GetPathName().IsEmpty());
    // Sorting reads every row's record.
    NMLISTVIEW nm{};
    nm.hdr.code = LVN_COLUMNCLICK;
    frame->GetActiveView()->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
    doc->AddNewID("DDD00004", "");
    EXPECT_EQ(Rows(), 1);
}

TEST_F(OpenAndEndTest, AnEndSignalSavesWithAutoSaveAndAsksNothing) {
    const std::string path = dir.File("ids.lst");
    WriteFile(path, kRecords);
    ASSERT_NE(Open(path), nullptr);
    doc->m_bAutoSave = TRUE;
    doc->AddNewID("NEW00001", "");
    MessageBoxAnswerer answers(IDCANCEL);
    afx_ui::EndOnSignal();
    ASSERT_TRUE(Ended());
    EXPECT_TRUE(answers.Texts().empty());
    EXPECT_NE(ReadFile(path).find("NEW00001"), std::string::npos);
    EXPECT_EQ(ReadFile(dir.File("ids.bak")), kRecords);
    EXPECT_FALSE(FileExists(path + ".recovery"));
    // The settings were written on the way out.
    EXPECT_EQ(app->GetProfileInt("Save Option", "Auto Save", 0), 1u);
}

TEST_F(OpenAndEndTest, KeptChangesComeBackAsTheRecordsOfTheListMarkedInTheTitle) {
    const std::string path = dir.File("ids.lst");
    WriteFile(path, kRecords);
    ASSERT_NE(Open(path), nullptr);
    doc->AddNewID("NEW00001", "");
    doc->DeleteID(doc->FindID("AAA00001"));
    afx_ui::EndOnSignal();
    ASSERT_TRUE(Ended());

    // Next time, No leaves the records of the file...
    Restart();
    {
        MessageBoxAnswerer answers(IDNO);
        ASSERT_NE(Open(path), nullptr);
    }
    EXPECT_EQ(doc->GetRecordCount(), 3);

    // ... Yes brings the kept ones back, shown and marked as not yet saved.
    doc->AddNewID("NEW00002", "");
    afx_ui::EndOnSignal();
    ASSERT_TRUE(Ended());
    Restart();
    {
        MessageBoxAnswerer answers(IDYES);
        ASSERT_NE(Open(path), nullptr);
    }
    EXPECT_EQ(doc->GetRecordCount(), 4);
    EXPECT_NE(doc->FindID("NEW00002"), -1);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(Utf8(doc->GetTitle()), "ids.lst（更新）");
    EXPECT_EQ(Rows(), 4);
}

TEST_F(OpenAndEndTest, AutoSaveWithoutAFileKeepsTheChangesBesideTheSettings) {
    doc->AddNewID("NEW00001", "");
    doc->m_bAutoSave = TRUE;  // no file to save to
    afx_ui::EndOnSignal();
    ASSERT_TRUE(Ended());
    ASSERT_TRUE(FileExists(dir.File("config/Brambl Free Software/Velkon95.recovery")));
    MessageBoxAnswerer answers(IDYES);
    Restart();  // the new document at start finds them
    ASSERT_EQ(answers.Texts().size(), 1u);
    EXPECT_NE(answers.Texts()[0].find("\n（新規）\n"), std::string::npos);
    EXPECT_NE(doc->FindID("NEW00001"), -1);
    EXPECT_EQ(Utf8(doc->GetTitle()), "（新規）（更新）");
}

TEST_F(OpenAndEndTest, InTheTrayTheEndSignalEndsTheProgramAndNotOnlyHidesIt) {
    TrayHostFake desktop(TrayHost::XEmbed);
    auto* tray = dynamic_cast<CTrayIconCtrlFrame*>(frame);
    ASSERT_NE(tray, nullptr);
    tray->AddTrayIcon();
    frame->SendMessage(WM_CLOSE);  // a close only puts the window back in the tray
    ASSERT_EQ(app->m_pMainWnd, frame);
    doc->AddNewID("NEW00001", "");
    afx_ui::EndOnSignal();
    ASSERT_TRUE(Ended());
}

TEST_F(OpenAndEndTest, LinksPlantedAtTheRecoveryAndBackupNamesNeverTakeTheRecords) {
    namespace fs = std::filesystem;
    // A member of the group folder points the names beside its data file at the owner's shell
    // start-up file, and makes a first comment line that the shell would run.
    fs::create_directory(dir.File("home"));
    fs::create_directory(dir.File("shared"));
    const std::string bashrc = dir.File("home/.bashrc");
    WriteFile(bashrc, "alias ll='ls -l'\n");
    const std::string path = dir.File("shared/ids.lst");
    WriteFile(path, "*;touch " + dir.File("ran") + " #\r\n" + kRecords);
    fs::create_symlink(bashrc, path + ".recovery");
    fs::create_symlink(bashrc, dir.File("shared/ids.bak"));

    ASSERT_NE(Open(path), nullptr);
    doc->AddNewID("NEW00001", "");
    afx_ui::EndOnSignal();
    ASSERT_TRUE(Ended());
    EXPECT_EQ(ReadFile(bashrc), "alias ll='ls -l'\n");
    ASSERT_TRUE(fs::is_regular_file(fs::symlink_status(path + ".recovery")));
    EXPECT_NE(ReadFile(path + ".recovery").find("NEW00001"), std::string::npos);
    EXPECT_FALSE(FileExists(path + ".lock"));

    // With auto-save the end saves, and the backup takes the link's place.
    Restart();
    {
        MessageBoxAnswerer answers(IDYES);
        ASSERT_NE(Open(path), nullptr);
    }
    doc->m_bAutoSave = TRUE;
    afx_ui::EndOnSignal();
    ASSERT_TRUE(Ended());
    EXPECT_EQ(ReadFile(bashrc), "alias ll='ls -l'\n");
    ASSERT_TRUE(fs::is_regular_file(fs::symlink_status(dir.File("shared/ids.bak"))));
    EXPECT_EQ(ReadFile(dir.File("shared/ids.bak")).find("NEW00001"), std::string::npos);
    EXPECT_NE(ReadFile(path).find("NEW00001"), std::string::npos);
    EXPECT_FALSE(FileExists(path + ".recovery"));
    EXPECT_FALSE(FileExists(path + ".lock"));
}
