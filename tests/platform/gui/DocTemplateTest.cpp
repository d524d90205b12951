// Documents opened through the template in a running program: which file a document is opened
// as (the recent-file list, a dropped file), what a failed open leaves, and files another
// program holds.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <filesystem>
#include <string>

#include "platform/base/AfxRes.h"
#include "platform/gui/document/DocumentLock.h"
#include "tests/platform/gui/TextDocApp.h"

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
    ASSERT_NE(Open(latin1), nullptr);
    EXPECT_EQ(Utf8(doc->GetTitle()), "caf?.lst");
    ASSERT_NE(Open(foreign), nullptr);
    EXPECT_EQ(Utf8(doc->GetTitle()), "jos?-データ①?.lst");
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
