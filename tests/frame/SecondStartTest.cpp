// A second start of the program: the running window comes up, from the tray too, and opens the
// file handed over as the open command would. Whatever another process sends is checked first.
#include <gtest/gtest.h>

#include <QDialog>
#include <string>

#include "frame/SecondStart.h"
#include "platform/ipc/Kernel.h"
#include "tests/frame/FrameFixture.h"
#include "tests/frame/TrayHostFake.h"
#include "tests/support/TestFiles.h"

using testing_support::MessageBoxAnswerer;
using testing_support::Utf8;
using testing_support::WriteFile;

namespace {

const char kRecords[] = "AAA00001\tfirst\r\nBBB00002\tsecond\r\n";

class SecondStartTest : public FrameTest {
protected:
    bool Visible() const { return frame->IsWindowVisible() != FALSE; }
    // What a second start sends: a mapping holding these bytes, which the receiver closes.
    LRESULT HandOver(const std::string& bytes) {
        const HANDLE hMapping = ::CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                                                    0, static_cast<DWORD>(bytes.size()), nullptr);
        EXPECT_NE(hMapping, nullptr);
        LPVOID pView = ::MapViewOfFile(hMapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
        EXPECT_NE(pView, nullptr);
        if (pView) {
            bytes.copy(static_cast<char*>(pView), bytes.size());
            ::UnmapViewOfFile(pView);
        }
        return frame->SendMessage(WM_SECOND_START, reinterpret_cast<WPARAM>(hMapping), 0);
    }
    LRESULT HandOverPath(const std::string& path) { return HandOver(path + '\0'); }
    std::string OpenPath() const { return doc->GetPathName().Str(); }

    TrayHostFake tray{TrayHost::XEmbed};
};

}  // namespace

TEST_F(SecondStartTest, TheWindowComesUpFromTheTrayAndOpensTheFileAsTheOpenCommandWould) {
    frame->m_bResident = TRUE;
    StopApp();
    StartApp();
    ASSERT_FALSE(Visible());
    EXPECT_TRUE(frame->IsPeerMessage(WM_SECOND_START));
    EXPECT_FALSE(frame->IsPeerMessage(WM_OPEN_HANDED_OVER));

    // No file named: the window only comes up.
    EXPECT_EQ(frame->SendMessage(WM_SECOND_START, 0, 0), 1);
    EXPECT_TRUE(Visible());

    // The file opens once the sender has its answer, not while it waits for it.
    const std::string first = dir.File("first.lst");
    WriteFile(first, kRecords);
    frame->SendMessage(WM_CLOSE);
    ASSERT_FALSE(Visible());
    EXPECT_EQ(HandOverPath(first), 1);
    EXPECT_TRUE(Visible());
    EXPECT_EQ(OpenPath(), "");
    afx_ui::ProcessEvents();
    EXPECT_EQ(OpenPath(), first);
    EXPECT_EQ(doc->GetRecordCount(), 2);

    // Changes come first: Cancel keeps the list, No lets them go for the new file.
    const std::string second = dir.File("second.lst");
    WriteFile(second, kRecords);
    doc->AddNewID("NEW00001", "");
    MessageBoxAnswerer answers(IDCANCEL);
    HandOverPath(second);
    afx_ui::ProcessEvents();
    ASSERT_EQ(answers.Texts().size(), 1u);
    EXPECT_EQ(OpenPath(), first);
    EXPECT_NE(doc->FindID("NEW00001"), -1);
    answers.SetAnswer(IDNO);
    HandOverPath(second);
    afx_ui::ProcessEvents();
    EXPECT_EQ(answers.Texts().size(), 2u);
    EXPECT_EQ(OpenPath(), second);
    EXPECT_EQ(doc->FindID("NEW00001"), -1);
}

TEST_F(SecondStartTest, WhatAnotherProcessSendsOpensNothingButAnAbsolutePathInItsBounds) {
    EXPECT_EQ(Utf8(HandedOverPath("/a/b.lst\0junk", 13)), "/a/b.lst");
    EXPECT_EQ(Utf8(HandedOverPath("/a/b.lst", 8)), "");  // no zero byte within the view
    EXPECT_EQ(Utf8(HandedOverPath("b.lst", 6)), "");     // relative to a folder not ours
    EXPECT_EQ(Utf8(HandedOverPath("", 1)), "");
    EXPECT_EQ(Utf8(HandedOverPath(nullptr, 10)), "");
    std::string longest = "/" + std::string(kMaxHandedOverPath - 2, 'x');
    EXPECT_EQ(HandedOverPath((longest + '\0').c_str(), longest.size() + 1).GetLength(),
              static_cast<int>(kMaxHandedOverPath - 1));
    longest += 'x';  // its zero byte falls past the bound
    EXPECT_EQ(Utf8(HandedOverPath((longest + '\0').c_str(), longest.size() + 1)), "");

    // A bad handle, a name without its end and a relative name: the window comes up all the
    // same, and the list stays.
    MessageBoxAnswerer answers(IDOK);
    EXPECT_EQ(frame->SendMessage(WM_SECOND_START, 0x7fff1234, 0), 1);
    EXPECT_EQ(HandOver(std::string(2 * kMaxHandedOverPath, '/')), 1);
    WriteFile(dir.File("rel.lst"), kRecords);
    EXPECT_EQ(HandOverPath("rel.lst"), 1);
    afx_ui::ProcessEvents();
    EXPECT_TRUE(Visible());
    EXPECT_EQ(OpenPath(), "");
    EXPECT_TRUE(answers.Texts().empty());

    // A dialog may be working on the list: the file is not opened under it, and the user hears.
    const std::string log = dir.File("messages.log");
    ::setenv("VELKON_MESSAGE_LOG", log.c_str(), 1);
    const std::string file = dir.File("file.lst");
    WriteFile(file, kRecords);
    {
        QDialog dialog;
        dialog.setModal(true);
        dialog.show();
        HandOverPath(file);
        afx_ui::ProcessEvents();
    }
    ::unsetenv("VELKON_MESSAGE_LOG");
    EXPECT_EQ(OpenPath(), "");
    const std::string said = "ﾀﾞｲｱﾛｸﾞを開いているため、" + file + " を開きませんでした。";
    EXPECT_EQ(Utf8(frame->GetMessageText()), said);
    EXPECT_EQ(testing_support::ReadFile(log), said + "\n");
}
