// The document through the running program's life: which file it is opened as (the recent-file
// list), what a failed open leaves, and what an end signal keeps when nobody can be asked.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "frame/TrayIconCtrlFrame.h"
#include "platform/base/AfxRes.h"
#include "platform/base/CFile.h"
#include "tests/frame/FrameFixture.h"

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
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (app->m_pMainWnd && std::chrono::steady_clock::now() < deadline) {
            afx_ui::ProcessEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        if (app->m_pMainWnd) return false;
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
    // Answers questions through fn for as long as it lives.
    struct Hook {
        explicit Hook(std::function<int(const std::string&)> fn)
            : previous(AfxSetMessageBoxHook(
                  [fn](const CString& text, UINT) { return fn(Utf8(text)); })) {}
        ~Hook() { AfxSetMessageBoxHook(previous); }
        AfxMessageBoxHook previous;
    };
};

}  // namespace

TEST_F(OpenAndEndTest, ARecentFileHasOneEntryWhicheverWayItWasNamed) {
    namespace fs = std::filesystem;
    const std::string real = fs::canonical(dir.Path()).string();
    fs::create_directory(dir.File("sub"));
    WriteFile(dir.File("ids.lst"), kRecords);
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
    WriteFile(foreign, kRecords);
    const std::string latin1 = real + "/caf\xe9.lst";
    WriteFile(latin1, kRecords);
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
    EXPECT_EQ(static_cast<CVelkonDoc*>(frame->GetActiveDocument())->GetPathName().Str(), foreign);
    EXPECT_TRUE(none.Texts().empty());
}

TEST_F(OpenAndEndTest, ADroppedFileOpensByTheNameTheFileSystemGaveIt) {
    const std::string path = dir.File("josé-データ①😀.lst");
    WriteFile(path, kRecords);
    frame->DragAcceptFiles(TRUE);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame->GetWidget(), &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame->GetWidget(), &drop);
    doc = static_cast<CVelkonDoc*>(frame->GetActiveDocument());
    EXPECT_EQ(doc->GetPathName().Str(), path);
    EXPECT_EQ(doc->GetRecordCount(), 3);
}

TEST_F(OpenAndEndTest, AFailedLoadLeavesAnEmptyNewDocumentAndAnEmptyList) {
    WriteFile(dir.File("ids.lst"), kRecords);
    ASSERT_NE(Open(dir.File("ids.lst")), nullptr);
    ASSERT_EQ(Rows(), 3);
    MessageBoxAnswerer answers(IDOK);
    // The kernel answers the first read of this file with an I/O error.
    EXPECT_EQ(app->OpenDocumentFile("/proc/self/mem"), nullptr);
    ASSERT_EQ(answers.Texts().size(), 1u);
    EXPECT_NE(answers.Texts()[0].find("ﾃﾞｨｽｸの読み書きでｴﾗｰが発生しました。"), std::string::npos);
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

TEST_F(OpenAndEndTest, WithoutAutoSaveTheChangesWaitForTheNextOpenOfTheirFile) {
    const std::string path = dir.File("ids.lst");
    WriteFile(path, kRecords);
    ASSERT_NE(Open(path), nullptr);
    doc->AddNewID("NEW00001", "");
    doc->DeleteID(doc->FindID("AAA00001"));
    {
        MessageBoxAnswerer answers(IDYES);
        afx_ui::EndOnSignal();
        ASSERT_TRUE(Ended());
        EXPECT_TRUE(answers.Texts().empty());
    }
    EXPECT_EQ(ReadFile(path), kRecords);  // the file itself is as the user last saved it
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
    EXPECT_EQ(doc->GetRecordCount(), 3);

    // ... Yes brings them back into the document of the same file, not yet saved.
    doc->AddNewID("NEW00002", "");
    afx_ui::EndOnSignal();
    ASSERT_TRUE(Ended());
    Restart();
    {
        MessageBoxAnswerer answers(IDYES);
        ASSERT_NE(Open(path), nullptr);
    }
    EXPECT_FALSE(FileExists(recovery));
    EXPECT_EQ(doc->GetRecordCount(), 4);
    EXPECT_NE(doc->FindID("NEW00002"), -1);
    EXPECT_EQ(doc->GetPathName().Str(), path);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(Utf8(doc->GetTitle()), "ids.lst（更新）");
    EXPECT_EQ(Rows(), 4);
}

TEST_F(OpenAndEndTest, AnUntitledDocumentKeepsItsChangesBesideTheSettings) {
    doc->AddNewID("NEW00001", "");
    doc->m_bAutoSave = TRUE;  // no file to save to
    afx_ui::EndOnSignal();
    ASSERT_TRUE(Ended());
    const std::string recovery = dir.File("config/Brambl Free Software/Velkon95.recovery");
    ASSERT_TRUE(FileExists(recovery));
    MessageBoxAnswerer answers(IDYES);
    Restart();  // the new document at start finds them
    doc = static_cast<CVelkonDoc*>(frame->GetActiveDocument());
    ASSERT_EQ(answers.Texts().size(), 1u);
    EXPECT_NE(answers.Texts()[0].find("\n（新規）\n"), std::string::npos);
    EXPECT_NE(doc->FindID("NEW00001"), -1);
    EXPECT_TRUE(doc->GetPathName().IsEmpty());
    EXPECT_EQ(Utf8(doc->GetTitle()), "（新規）（更新）");
    EXPECT_FALSE(FileExists(recovery));
}

TEST_F(OpenAndEndTest, ResidentTheEndSignalEndsTheProgramAndNotOnlyHidesIt) {
    auto* tray = dynamic_cast<CTrayIconCtrlFrame*>(frame);
    ASSERT_NE(tray, nullptr);
    tray->AddTrayIcon();
    frame->SendMessage(WM_CLOSE);  // a close only puts the window back in the tray
    ASSERT_EQ(app->m_pMainWnd, frame);
    doc->AddNewID("NEW00001", "");
    afx_ui::EndOnSignal();
    ASSERT_TRUE(Ended());
    EXPECT_TRUE(FileExists(dir.File("config/Brambl Free Software/Velkon95.recovery")));
}

TEST_F(OpenAndEndTest, SignalsWhileAQuestionShowsEndWithoutAnotherQuestion) {
    doc->AddNewID("NEW00001", "");
    int asked = 0;
    {
        // Two signals arrive while the save question of a close is showing.
        Hook hook([&](const std::string&) {
            ++asked;
            afx_ui::EndOnSignal();
            afx_ui::EndOnSignal();
            return IDCANCEL;
        });
        frame->SendMessage(WM_CLOSE);
        ASSERT_TRUE(Ended());
    }
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(FileExists(dir.File("config/Brambl Free Software/Velkon95.recovery")));
}

TEST_F(OpenAndEndTest, ASignalWhileAFailedOpenIsReportedEndsCleanly) {
    // At start: the program was asked for this file only; it ends without a window.
    StopApp();
    app = MakeApp();
    app->SetRegistryKey("Brambl Free Software");
    app->LoadStdProfileSettings(4);
    app->AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CVelkonDoc),
                                               FrameClass(), RUNTIME_CLASS(CVelkonView)));
    int asked = 0;
    {
        Hook hook([&](const std::string&) {
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
    doc->AddNewID("NEW00001", "");
    {
        Hook hook([&](const std::string&) {
            ++asked;
            afx_ui::EndOnSignal();
            return IDOK;
        });
        EXPECT_EQ(app->OpenDocumentFile(dir.File("missing.lst").c_str()), nullptr);
        EXPECT_EQ(doc->GetRecordCount(), 1);
        ASSERT_TRUE(Ended());
    }
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(FileExists(dir.File("config/Brambl Free Software/Velkon95.recovery")));
}

TEST_F(OpenAndEndTest, AFileAnotherProgramHasOpenIsNeitherOpenedNorSavedOver) {
    const std::string path = dir.File("ids.lst");
    WriteFile(path, kRecords);
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
    WriteFile(other, "ZZZ00009\ttheirs\r\n");
    CDocumentLock theirs;
    ASSERT_TRUE(theirs.Take(CString(other)));
    {
        MessageBoxAnswerer answers(IDOK);
        EXPECT_EQ(Open(other), nullptr);
        doc = static_cast<CVelkonDoc*>(frame->GetActiveDocument());
        EXPECT_EQ(doc->GetRecordCount(), 3);
        EXPECT_FALSE(doc->DoSave(other.c_str()));
        ASSERT_EQ(answers.Texts().size(), 2u);
        for (const std::string& text : answers.Texts()) {
            EXPECT_NE(text.find("other.lst"), std::string::npos) << text;
            EXPECT_NE(text.find("ほかのﾌﾟﾛｸﾞﾗﾑがこのﾌｧｲﾙを開いています。"), std::string::npos);
        }
    }
    EXPECT_EQ(ReadFile(other), "ZZZ00009\ttheirs\r\n");

    // Its owner crashed: the lock file stays, the lock does not, and this program takes over.
    theirs.Release();
    WriteFile(other + ".lock", "999999\n");
    ASSERT_NE(Open(other), nullptr);
    EXPECT_EQ(doc->GetRecordCount(), 1);
    EXPECT_EQ(ReadFile(other + ".lock"), std::to_string(::getpid()) + "\n");
    EXPECT_FALSE(FileExists(path + ".lock"));  // the file it had before is free again
    // A new document frees the file too.
    app->OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr);
    EXPECT_FALSE(FileExists(other + ".lock"));
    EXPECT_TRUE(second.Take(CString(other)));
}
