// A program told to end from outside (SIGTERM, SIGINT, SIGHUP), where nobody may be there to
// answer: it ends in every mode, asks nothing, and keeps the document's changes for the next
// open of their file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QObject>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/gui/application/EndSignals.h"
#include "tests/platform/gui/TextDocApp.h"
#include "tests/support/OtherUser.h"

using testing_support::FileExists;
using testing_support::MessageBoxAnswerer;
using testing_support::ReadFile;
using testing_support::Utf8;
using testing_support::WriteFile;
using text_app::AnswerWith;
using text_app::TextAppTest;

namespace {

const char kText[] = "first\r\nsecond\r\n";

// A main window that a close only hides, as a program that stays resident has.
class HidingFrame : public CFrameWnd {
    DECLARE_DYNCREATE(HidingFrame)
protected:
    DECLARE_MESSAGE_MAP()
    void OnClose() { ShowWindow(SW_HIDE); }
};
IMPLEMENT_DYNCREATE(HidingFrame)
BEGIN_MESSAGE_MAP(HidingFrame, CFrameWnd)
ON_WM_CLOSE()
END_MESSAGE_MAP()

class ResidentTest : public TextAppTest {
protected:
    const CRuntimeClass* FrameClass() const override { return RUNTIME_CLASS(HidingFrame); }
};

}  // namespace

TEST_F(TextAppTest, TermIntAndHupEachEndTheProgramFromItsEventLoop) {
    const int ends[] = {SIGTERM, SIGINT, SIGHUP};
    // The test program's own handling comes back afterwards: Ctrl+C must still stop it.
    struct sigaction before[3];
    for (int i = 0; i < 3; ++i) ::sigaction(ends[i], nullptr, &before[i]);
    QObject owner;
    AfxCloseOnEndSignals(&owner);
    for (int sig : ends) {
        SCOPED_TRACE(::strsignal(sig));
        doc->Type("unsaved");
        MessageBoxAnswerer answers(IDYES);
        // The handler only notes the signal; the program goes on until its loop turns.
        ASSERT_EQ(::raise(sig), 0);
        ASSERT_NE(app->m_pMainWnd, nullptr);
        ASSERT_TRUE(Ended());
        EXPECT_TRUE(answers.Texts().empty());
        EXPECT_TRUE(FileExists(UntitledRecovery()));
        std::filesystem::remove(UntitledRecovery());
        Restart();
    }
    for (int i = 0; i < 3; ++i) ::sigaction(ends[i], &before[i], nullptr);
}

TEST_F(TextAppTest, TheChangesWaitForTheNextOpenOfTheirFile) {
    const std::string path = dir.File("ids.lst");
    WriteFile(path, kText);
    ASSERT_NE(Open(path), nullptr);
    doc->Type("third");
    {
        MessageBoxAnswerer answers(IDYES);
        afx_ui::EndOnSignal();
        ASSERT_TRUE(Ended());
        EXPECT_TRUE(answers.Texts().empty());
    }
    EXPECT_EQ(ReadFile(path), kText);  // the file itself is as the user last saved it
    const std::string recovery = path + ".recovery";
    ASSERT_TRUE(FileExists(recovery));

    // Next time, No discards the kept changes...
    Restart();
    {
        MessageBoxAnswerer answers(IDNO);
        ASSERT_NE(Open(path), nullptr);
        ASSERT_EQ(answers.Texts().size(), 1u);
        EXPECT_EQ(answers.Texts()[0].find("前回の終了時に保存されなかった変更が残っています。\n" +
                                          path + "\n"),
                  0u);
        EXPECT_EQ(answers.Types()[0] & 0x0F, static_cast<UINT>(MB_YESNO));
    }
    EXPECT_FALSE(FileExists(recovery));
    EXPECT_EQ(doc->text,
              "first"
              "second");

    // ... Yes brings them back into the document of the same file, not yet saved.
    doc->Type("fourth");
    afx_ui::EndOnSignal();
    ASSERT_TRUE(Ended());
    Restart();
    {
        MessageBoxAnswerer answers(IDYES);
        ASSERT_NE(Open(path), nullptr);
    }
    EXPECT_FALSE(FileExists(recovery));
    EXPECT_EQ(doc->text,
              "first"
              "second"
              "fourth");
    EXPECT_EQ(doc->GetPathName().Str(), path);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(Utf8(doc->GetTitle()), "ids.lst");
    EXPECT_EQ(View()->shown, doc->text);
    EXPECT_EQ(ReadFile(path), kText);
}

TEST_F(TextAppTest, AnUntitledDocumentKeepsItsChangesBesideTheSettings) {
    doc->Type("unsaved");
    afx_ui::EndOnSignal();
    ASSERT_TRUE(Ended());
    ASSERT_TRUE(FileExists(UntitledRecovery()));
    MessageBoxAnswerer answers(IDYES);
    Restart();  // the new document at start finds them
    ASSERT_EQ(answers.Texts().size(), 1u);
    EXPECT_NE(answers.Texts()[0].find(std::string("\n") + text_app::kUntitled + "\n"),
              std::string::npos);
    EXPECT_EQ(doc->text, "unsaved");
    EXPECT_TRUE(doc->GetPathName().IsEmpty());
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(Utf8(doc->GetTitle()), text_app::kUntitled);
    EXPECT_FALSE(FileExists(UntitledRecovery()));
}

TEST_F(ResidentTest, TheEndSignalEndsAProgramWhoseCloseOnlyHidesIt) {
    frame->SendMessage(WM_CLOSE);
    ASSERT_EQ(app->m_pMainWnd, frame);
    doc->Type("unsaved");
    afx_ui::EndOnSignal();
    ASSERT_TRUE(Ended());
    EXPECT_TRUE(FileExists(UntitledRecovery()));
}

TEST_F(TextAppTest, SignalsWhileAQuestionShowsEndWithoutAnotherQuestion) {
    doc->Type("unsaved");
    int asked = 0;
    {
        // Two signals arrive while the save question of a close is showing.
        AnswerWith hook([&](const std::string&) {
            ++asked;
            afx_ui::EndOnSignal();
            afx_ui::EndOnSignal();
            return IDCANCEL;
        });
        frame->SendMessage(WM_CLOSE);
        ASSERT_TRUE(Ended());
    }
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(FileExists(UntitledRecovery()));
}

TEST_F(TextAppTest, ASignalWhileAFailedOpenIsReportedEndsCleanly) {
    // At start: the program was asked for this file only; it ends without a window.
    StopApp();
    MakeApp();
    int asked = 0;
    {
        AnswerWith hook([&](const std::string&) {
            ++asked;
            afx_ui::EndOnSignal();
            return IDOK;
        });
        EXPECT_EQ(app->OpenDocumentFile(dir.File("missing.lst").c_str()), nullptr);
        EXPECT_EQ(app->m_pMainWnd, nullptr);
        // The end waits for the question to be gone and comes back on a short timer; it must
        // not be left over for the next run of the program.
        for (int i = 0; i < 50; ++i) {
            afx_ui::ProcessEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    EXPECT_EQ(asked, 1);
    StopApp();

    // While running: the document stays whole until the end takes it.
    StartApp();
    doc->Type("unsaved");
    {
        AnswerWith hook([&](const std::string&) {
            ++asked;
            afx_ui::EndOnSignal();
            return IDOK;
        });
        EXPECT_EQ(app->OpenDocumentFile(dir.File("missing.lst").c_str()), nullptr);
        EXPECT_EQ(doc->text, "unsaved");
        ASSERT_TRUE(Ended());
    }
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(FileExists(UntitledRecovery()));
}

namespace {

// A data file in a folder others may write to, and a file of the user's own outside it.
class PlantedRecoveryTest : public TextAppTest {
protected:
    void SetUp() override {
        TextAppTest::SetUp();
        std::filesystem::create_directory(dir.File("home"));
        std::filesystem::create_directory(dir.File("shared"));
        WriteFile(victim, "my thesis");
        ::chmod(victim.c_str(), 0600);
        WriteFile(path, kText);
    }
    bool VictimUntouched() const {
        return ReadFile(victim) == "my thesis" &&
               std::filesystem::status(victim).permissions() ==
                   (std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    }
    std::filesystem::perms Mode(const std::string& file) const {
        return std::filesystem::status(file).permissions();
    }

    const std::string victim = dir.File("home/thesis.txt");
    const std::string missing = dir.File("home/made-by-the-link");
    const std::string path = dir.File("shared/ids.lst");
    const std::string recovery = path + ".recovery";
};

}  // namespace

TEST_F(PlantedRecoveryTest, TheEndReplacesALinkAtTheRecoveryNameAndNeverWritesThroughIt) {
    namespace fs = std::filesystem;
    const mode_t mask = ::umask(0);
    ::chmod(path.c_str(), 0640);
    for (const std::string& target : {victim, missing}) {
        SCOPED_TRACE(target);
        fs::create_symlink(target, recovery);
        ASSERT_NE(Open(path), nullptr);
        doc->Type("third");
        afx_ui::EndOnSignal();
        ASSERT_TRUE(Ended());
        EXPECT_TRUE(VictimUntouched());
        EXPECT_FALSE(fs::exists(missing));
        ASSERT_TRUE(fs::is_regular_file(fs::symlink_status(recovery)));
        EXPECT_EQ(Mode(recovery), fs::perms::owner_read | fs::perms::owner_write |
                                      fs::perms::group_read);  // the data file's, no more
        EXPECT_FALSE(FileExists(path + ".lock"));
        Restart();
        MessageBoxAnswerer answers(IDNO);
        ASSERT_NE(Open(path), nullptr);
        EXPECT_EQ(answers.Texts().size(), 1u);
        EXPECT_FALSE(FileExists(recovery));
    }
    ::umask(mask);

    // The next open offers only a file of the user's own, never what a link names: what
    // someone else put there is not read as the user's changes, nor removed.
    fs::create_symlink(victim, recovery);
    {
        MessageBoxAnswerer answers(IDYES);
        ASSERT_NE(Open(path), nullptr);
        EXPECT_TRUE(answers.Texts().empty());
        EXPECT_EQ(doc->text,
                  "first"
                  "second");
    }
    EXPECT_TRUE(fs::is_symlink(recovery));
    if (!testing_support::NobodyProcess::Possible()) return;
    fs::remove(recovery);
    WriteFile(recovery, "planted\r\n");
    ASSERT_EQ(::chown(recovery.c_str(), testing_support::kNobody, testing_support::kNogroup), 0);
    {
        MessageBoxAnswerer answers(IDYES);
        ASSERT_NE(Open(path), nullptr);
        EXPECT_TRUE(answers.Texts().empty());
        EXPECT_EQ(doc->text,
                  "first"
                  "second");
    }
    EXPECT_EQ(ReadFile(recovery), "planted\r\n");
}

TEST_F(PlantedRecoveryTest, ChangesGoBesideTheSettingsWhenTheirFolderTakesNone) {
    const std::string log = dir.File("messages.log");
    testing_support::ScopedEnv logged("VELKON_MESSAGE_LOG", log);
    const std::string settings = dir.File("config/Platform Tests");
    std::filesystem::create_directories(settings);
    const std::string inSettings = CDocument::SettingsRecoveryPathOf(CString(path)).Str();
    EXPECT_EQ(inSettings.rfind(settings + "/TextApp.", 0), 0u) << inSettings;
    {
        testing_support::ReadOnlyFolder readOnly(dir.File("shared"));
        if (!readOnly.Active()) GTEST_SKIP() << "no folder here is read-only to this user";
        // Nothing can keep them: the log says so, and where it tried.
        {
            testing_support::ReadOnlyFolder settingsToo(settings);
            ASSERT_NE(Open(path), nullptr);
            EXPECT_FALSE(FileExists(path + ".lock"));  // none made, none held
            doc->Type("third");
            afx_ui::EndOnSignal();
            ASSERT_TRUE(Ended());
            EXPECT_EQ(ReadFile(log), "保存されなかった変更を残せませんでした。\n" + recovery +
                                         "\n" + inSettings + "\nｱｸｾｽが拒否されました。\n");
        }
        std::filesystem::remove(log);
        EXPECT_FALSE(FileExists(inSettings));
        EXPECT_FALSE(FileExists(recovery));

        // The settings' folder takes them, the user's alone, and the log says where.
        Restart();
        ASSERT_NE(Open(path), nullptr);
        doc->Type("fourth");
        afx_ui::EndOnSignal();
        ASSERT_TRUE(Ended());
        EXPECT_EQ(ReadFile(log),
                  "保存されなかった変更を次のﾌｧｲﾙに残しました。\n" + inSettings + "\n");
        ASSERT_TRUE(FileExists(inSettings));
        EXPECT_EQ(Mode(inSettings),
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        EXPECT_FALSE(FileExists(recovery));
        EXPECT_FALSE(FileExists(path + ".lock"));
        Restart();
    }
    // The next open of the file finds them there.
    MessageBoxAnswerer answers(IDYES);
    ASSERT_NE(Open(path), nullptr);
    EXPECT_EQ(answers.Texts().size(), 1u);
    EXPECT_EQ(doc->text,
              "first"
              "second"
              "fourth");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_FALSE(FileExists(inSettings));
}
