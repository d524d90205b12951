// The registration command of the main window: always there to run, and it registers in the
// document the window shows.
#include <gtest/gtest.h>

#include "dialogs/RegistIDDlg.h"
#include "res/resource.h"
#include "tests/frame/FrameFixture.h"
#include "tests/support/DialogDriver.h"

using namespace testing_support;

TEST_F(FrameTest, RegistCommandOpensTheDialogOverTheShownDocument) {
    CString text = "ABC00002 Amy\r\n";
    doc->PickupText(text);
    EXPECT_TRUE(frame->IsCommandEnabled(ID_REGIST_ID));
    DialogScript script;
    script.Then([](CDialog* d) {
        EXPECT_EQ(d->GetTemplateID(), static_cast<UINT>(CRegistIDDlg::IDD));
        EXPECT_EQ(Shown(d, IDC_NEW_ID), "ABC00002");
        Click(d, IDOK);
        Click(d, IDCANCEL);
    });
    frame->RunCommand(ID_REGIST_ID);
    EXPECT_EQ(script.Shown(), 1);
    ASSERT_NE(doc->FindID("ABC00002"), -1);
    EXPECT_EQ(doc->m_astrHandle[doc->FindID("ABC00002")], "Amy");
    EXPECT_TRUE(frame->IsCommandEnabled(ID_REGIST_ID));  // also with nothing left to offer
}
