// A program told to end from outside (SIGTERM, SIGINT, SIGHUP), where nobody may be there to
// answer: it ends in every mode, asks nothing, and keeps the document's changes for the next
// open of their file.
#include <gtest/gtest.h>

#include <QObject>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/gui/application/EndSignals.h"
#include "tests/platform/gui/TextDocApp.h"

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
