// Documents opened through the template in a running program: which file a document is opened
// as (the recent-file list, a dropped file), what a failed open leaves, and files another
// program holds.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/base/AfxRes.h"
#include "platform/base/DisplayText.h"
#include "platform/gui/document/DocumentLock.h"
#include "tests/platform/gui/TextDocApp.h"
#include "tests/support/OtherUser.h"

using testing_support::FileExists;
using testing_support::MessageBoxAnswerer;
using testing_support::ReadFile;
using testing_support::Utf8;
using testing_support::WriteFile;
using text_app::TextAppTest;

namespace {

const char kText[] = "first\r\nsecond\r\n";

}  // namespace

TEST_F(TextAppTest, ARecentFileHasOneEntryWhicheverWayItWasNamed) {
    namespace fs = std::filesystem;
    const std::string real = fs::canonical(dir.Path()).string();
    fs::create_directory(dir.File("sub"));
    WriteFile(dir.File("ids.lst"), kText);
    fs::create_symlink("ids.lst", dir.File("link.lst"));
    const fs::path saved = fs::current_path();
    fs::current_path(dir.Path());
    ASSERT_NE(Open("ids.lst"), nullptr);
    EXPECT_EQ(doc->GetPathName().Str(), real + "/ids.lst");  // works from any folder
    ASSERT_NE(Open("./sub/../ids.lst"), nullptr);
    ASSERT_NE(Open(dir.File("link.lst")), nullptr);
    fs::current_path(saved);
    EXPECT_EQ(Utf8(doc->GetTitle()), "link.lst");
    ASSERT_EQ(app->GetRecentFileCount(), 1);
    EXPECT_EQ(app->GetRecentFile(0).Str(), real + "/ids.lst");

    // A name the code page cannot spell comes back from the settings byte for byte; one that is
    // no UTF-8 cannot be written there and is left out, the others keep their order.
    const std::string foreign = real + "/josé-データ①😀.lst";
    WriteFile(foreign, kText);
    const std::string latin1 = real + "/caf\xe9.lst";
    WriteFile(latin1, kText);
    // The title shows such a name whole, in the title bar too; a byte that is no UTF-8 shows as
    // the replacement character, never taking the rest of the name with it.
    ASSERT_NE(Open(latin1), nullptr);
    EXPECT_EQ(DisplayTextToUtf8(doc->GetTitle().View()), "caf\uFFFD.lst");
    ASSERT_NE(Open(foreign), nullptr);
    EXPECT_EQ(DisplayTextToUtf8(doc->GetTitle().View()), "josé-データ①😀.lst");
    EXPECT_TRUE(
        frame->GetWidget()->windowTitle().startsWith(QString::fromUtf8("josé-データ①😀.lst - ")))
        << frame->GetWidget()->windowTitle().toStdString();
    ASSERT_EQ(app->GetRecentFileCount(), 3);
    Restart();
    ASSERT_EQ(app->GetRecentFileCount(), 2);
    EXPECT_EQ(app->GetRecentFile(0).Str(), foreign);
    EXPECT_EQ(app->GetRecentFile(1).Str(), real + "/ids.lst");
    MessageBoxAnswerer none(IDOK);
    app->OnCmdMsg(ID_FILE_MRU_FILE1, CN_COMMAND, nullptr, nullptr);
    TakeDocument();
    EXPECT_EQ(doc->GetPathName().Str(), foreign);
    EXPECT_TRUE(none.Texts().empty());
}

TEST_F(TextAppTest, ADroppedFileOpensByTheNameTheFileSystemGaveIt) {
    const std::string path = dir.File("josé-データ①😀.lst");
    WriteFile(path, kText);
    frame->DragAcceptFiles(TRUE);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame->GetWidget(), &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame->GetWidget(), &drop);
    TakeDocument();
    EXPECT_EQ(doc->GetPathName().Str(), path);
    EXPECT_EQ(doc->text,
              "first"
              "second");
}

TEST_F(TextAppTest, AFailedLoadLeavesAnEmptyNewDocumentAndItsViewStartsOver) {
    WriteFile(dir.File("ids.lst"), kText);
    ASSERT_NE(Open(dir.File("ids.lst")), nullptr);
    ASSERT_EQ(View()->shown,
              "first"
              "second");
    const int starts = View()->initialUpdates;
    MessageBoxAnswerer answers(IDOK);
    // The kernel answers the first read of this file with an I/O error.
    EXPECT_EQ(app->OpenDocumentFile("/proc/self/mem"), nullptr);
    ASSERT_EQ(answers.Texts().size(), 1u);
    EXPECT_NE(answers.Texts()[0].find("ﾃﾞｨｽｸの読み書きでｴﾗｰが発生しました。"), std::string::npos);
    TakeDocument();
    EXPECT_EQ(doc->text, "");
    EXPECT_EQ(Utf8(doc->GetTitle()), text_app::kUntitled);
    EXPECT_TRUE(doc->GetPathName().IsEmpty());
    EXPECT_FALSE(FileExists(dir.File("ids.lst.lock")));  // the file it had is free again
    // No view may go on showing what is gone.
    EXPECT_EQ(View()->initialUpdates, starts + 1);
    EXPECT_EQ(View()->shown, "");
}

TEST_F(TextAppTest, AFileAnotherProgramHasOpenIsNeitherOpenedNorSavedOver) {
    const std::string path = dir.File("ids.lst");
    WriteFile(path, kText);
    ASSERT_NE(Open(path), nullptr);
    EXPECT_TRUE(FileExists(path + ".lock"));
    // This program's file, to any other program; by any of its names.
    CDocumentLock second;
    pid_t owner = 0;
    EXPECT_FALSE(second.Take(CString(path), &owner));
    EXPECT_EQ(owner, ::getpid());
    std::filesystem::create_symlink("ids.lst", dir.File("link.lst"));
    EXPECT_FALSE(second.Take(CString(dir.File("link.lst"))));
    ASSERT_NE(Open(dir.File("link.lst")), nullptr);  // still this program's own

    // A file another program has open.
    const std::string other = dir.File("other.lst");
    WriteFile(other, "theirs\r\n");
    CDocumentLock theirs;
    ASSERT_TRUE(theirs.Take(CString(other)));
    {
        MessageBoxAnswerer answers(IDOK);
        EXPECT_EQ(Open(other), nullptr);
        TakeDocument();
        EXPECT_EQ(doc->text,
                  "first"
                  "second");
        EXPECT_FALSE(doc->DoSave(other.c_str()));
        ASSERT_EQ(answers.Texts().size(), 2u);
        for (const std::string& text : answers.Texts()) {
            EXPECT_NE(text.find("other.lst"), std::string::npos) << text;
            EXPECT_NE(text.find("ほかのﾌﾟﾛｸﾞﾗﾑがこのﾌｧｲﾙを開いています。"), std::string::npos);
        }
    }
    EXPECT_EQ(ReadFile(other), "theirs\r\n");

    // Its owner crashed: the lock file stays, the lock does not, and this program takes over.
    theirs.Release();
    WriteFile(other + ".lock", "999999\n");
    ASSERT_NE(Open(other), nullptr);
    EXPECT_EQ(doc->text, "theirs");
    EXPECT_EQ(ReadFile(other + ".lock"), std::to_string(::getpid()) + "\n");
    EXPECT_FALSE(FileExists(path + ".lock"));  // the file it had before is free again
    // A new document frees the file too.
    app->OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr);
    EXPECT_FALSE(FileExists(other + ".lock"));
    EXPECT_TRUE(second.Take(CString(other)));
}

TEST_F(TextAppTest, ALockFileThatCannotBeLockedRefusesTheFileAndIsNeverFollowed) {
    namespace fs = std::filesystem;
    const std::string path = dir.File("ids.lst"), lock = path + ".lock";
    WriteFile(path, kText);
    const std::string victim = dir.File("thesis.txt");
    WriteFile(victim, "my thesis");
    const std::string missing = dir.File("made-by-the-link");
    // A link planted at the lock's name, to a file or to nothing; something that is no file.
    struct Case {
        std::function<void()> plant;
        const char* reason;
    };
    const Case cases[] = {
        {[&] { fs::create_symlink(victim, lock); }, "ｼﾝﾎﾞﾘｯｸ ﾘﾝｸです。"},
        {[&] { fs::create_symlink(missing, lock); }, "ｼﾝﾎﾞﾘｯｸ ﾘﾝｸです。"},
        {[&] { ::mkfifo(lock.c_str(), 0600); }, "通常のﾌｧｲﾙではありません。"},
    };
    for (const Case& c : cases) {
        c.plant();
        MessageBoxAnswerer answers(IDOK);
        EXPECT_EQ(Open(path), nullptr);
        TakeDocument();
        doc->Type("typed");
        EXPECT_FALSE(doc->DoSave(path.c_str()));
        ASSERT_EQ(answers.Texts().size(), 2u);
        for (const std::string& text : answers.Texts()) {
            EXPECT_NE(text.find(path + "\nﾛｯｸ ﾌｧｲﾙ " + lock + " を使えません。\n" + c.reason),
                      std::string::npos)
                << text;
        }
        EXPECT_EQ(ReadFile(path), kText);
        EXPECT_EQ(ReadFile(victim), "my thesis");
        EXPECT_FALSE(fs::exists(missing));
        fs::remove(lock);
        doc->SetModifiedFlag(FALSE);
    }

    // A lock file gives no more access than its data file does.
    const mode_t mask = ::umask(0);
    for (const mode_t mode : {mode_t{0600}, mode_t{0640}}) {
        ::chmod(path.c_str(), mode);
        ASSERT_NE(Open(path), nullptr);
        EXPECT_EQ(fs::status(lock).permissions(), static_cast<fs::perms>(mode));
        app->OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr);
        EXPECT_FALSE(fs::exists(lock));
    }
    ::umask(mask);
}

TEST_F(TextAppTest, InAGroupFolderASecondUserIsRefusedWhileTheFirstHasTheFile) {
    using testing_support::NobodyProcess;
    if (!NobodyProcess::Possible()) GTEST_SKIP() << "only root can act as another user";
    // A folder of the group that both users are members of, as a group folder is set up.
    ::chmod(dir.Path().c_str(), 0711);
    const std::string shared = dir.File("shared");
    std::filesystem::create_directory(shared);
    ASSERT_EQ(::chown(shared.c_str(), 0, testing_support::kNogroup), 0);
    ::chmod(shared.c_str(), 02775);
    const std::string path = shared + "/ids.lst", lock = path + ".lock";
    WriteFile(path, kText);
    ::chmod(path.c_str(), 0664);
    // What the other user's program gets when it asks for the file: "taken", or why not.
    const auto otherUserTakes = [&path](NobodyProcess& self) {
        CDocumentLock theirs;
        pid_t owner = 0;
        if (theirs.Take(CString(path), &owner)) {
            self.Say(theirs.Holds(CString(path)) ? "taken" : "not held");
            self.Hear();  // holds it until told
            return 0;
        }
        self.Say(std::to_string(theirs.GetLastError()) + " " + std::to_string(owner));
        return 0;
    };

    // This user has the file open: the lock file is this user's, and the other may only read it.
    ASSERT_NE(Open(path), nullptr);
    ::chmod(lock.c_str(), 0644);
    {
        NobodyProcess other(otherUserTakes);
        EXPECT_EQ(other.Hear(), std::to_string(EBUSY) + " " + std::to_string(::getpid()));
        EXPECT_EQ(other.Wait(), 0);
    }

    // A lock file left by a program of this user's that crashed: the other takes it over, and
    // while they hold it this user is refused.
    app->OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr);
    WriteFile(lock, "999999\n");
    ::chmod(lock.c_str(), 0644);
    {
        NobodyProcess other(otherUserTakes);
        ASSERT_EQ(other.Hear(), "taken");
        MessageBoxAnswerer answers(IDOK);
        EXPECT_EQ(Open(path), nullptr);
        ASSERT_EQ(answers.Texts().size(), 1u);
        EXPECT_NE(answers.Texts()[0].find("ほかのﾌﾟﾛｸﾞﾗﾑがこのﾌｧｲﾙを開いています。"),
                  std::string::npos);
        other.Say("done");
        EXPECT_EQ(other.Wait(), 0);
    }
    EXPECT_FALSE(FileExists(lock));  // the other let go of it as anyone does
    ASSERT_NE(Open(path), nullptr);
}
