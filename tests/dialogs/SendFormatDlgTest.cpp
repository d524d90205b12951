// The helper-format language and its chooser, on the program's document.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>

#include "dialogs/SendFormatDlg.h"
#include "platform/gui/dialog/DialogControls.h"
#include "res/resource.h"
#include "tests/dialogs/EditorFixture.h"
#include "tests/support/DialogDriver.h"

using editor_test::EditorTest;
using editor_test::Line;
using namespace testing_support;

namespace {

class SendFormatTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        OpenLines({Line("ABC12345", {"Blue", "tab\\there", "bad\\qx", "", "", "", "six"}, 12,
                        "1997/05/03", "1998/03/01"),
                   Line("XYZ00001", {"あおい"})});
    }
    CString Expand(const char* utf8Format, int r = 0) {
        CSendFormatDlg dlg;
        dlg.m_nRecord = r;
        return dlg.ExpandFormat(Sjis(utf8Format));
    }
    static std::vector<std::string> Entries(CDialog* d) {
        std::vector<std::string> entries;
        const auto n = d->SendDlgItemMessage(IDC_EXPANDED_FORMATS, LB_GETCOUNT);
        for (int i = 0; i < n; ++i) {
            std::string text(static_cast<std::size_t>(
                                 d->SendDlgItemMessage(IDC_EXPANDED_FORMATS, LB_GETTEXTLEN, i)) +
                                 1,
                             '\0');
            d->SendDlgItemMessage(IDC_EXPANDED_FORMATS, LB_GETTEXT, i,
                                  reinterpret_cast<LPARAM>(text.data()));
            entries.push_back(Utf8(CString(text.c_str())));
        }
        return entries;
    }
};

}  // namespace

TEST_F(SendFormatTest, PercentCodesFillInTheRecordAndUnknownCodesVanish) {
    doc->m_atimeUpdate[0] = CTime(1999, 12, 31, 12, 0, 0);  // the list shows 1998/03/01
    EXPECT_EQ(Expand("TO:%i"), "TO:ABC12345");
    EXPECT_EQ(Expand("%I|%h|%H|%m1|%M1|%m7|%m6|%c|%C|%f|%F|%n|%N"),
              "ABC12345|Blue|Blue|tab\\there|tab\\there||six|12|12|1997/05/03|1997/05/03|"
              "1999/12/31|1999/12/31");
    EXPECT_EQ(Expand("100%%"), "100%");
    EXPECT_EQ(Expand("100%"), "100");
    EXPECT_EQ(Expand("%x%i"), "ABC12345");
    EXPECT_EQ(Expand("[%mx][%m]"), "[][");  // "%m]" takes the bracket with it
    EXPECT_EQ(Expand("%m"), "");
    EXPECT_EQ(Expand(""), "");
    // What a field brings in is not read again for codes.
    doc->m_astrHandle[0] = "%i";
    EXPECT_EQ(Expand("%h"), "%i");
    EXPECT_EQ(Expand("%h", 1), Sjis("あおい"));
}

TEST_F(SendFormatTest, EscapesBecomeControlCharactersAndUnknownOnesVanish) {
    EXPECT_EQ(CSendFormatDlg::ExpandEscapes("a\\\\b\\tc\\Td\\re\\Rf\\ng\\Nh"),
              "a\\b\tc\td\re\rf\ng\nh");
    EXPECT_EQ(CSendFormatDlg::ExpandEscapes("x\\qy\\"), "xy");
    EXPECT_EQ(CSendFormatDlg::ExpandEscapes(""), "");
}

// A code or escape runs into a double-byte character: the whole character goes, never half of
// it; and a trail byte that looks like a backslash or a percent sign is part of its character.
TEST_F(SendFormatTest, DoubleByteCharactersAreNeverCutInHalf) {
    EXPECT_EQ(Expand("a%あb"), "ab");
    EXPECT_EQ(Expand("a%mあb"), "ab");
    EXPECT_EQ(CSendFormatDlg::ExpandEscapes(Sjis("a\\あb")), "ab");
    EXPECT_EQ(CSendFormatDlg::ExpandEscapes(Sjis("ソ表\\t")), Sjis("ソ表\t"));  // trails 0x5C
    EXPECT_EQ(Expand("ソ表%i"), Sjis("ソ表ABC12345"));
    // A lead byte at the very end has nothing to pair with.
    EXPECT_EQ(CSendFormatDlg::ExpandEscapes(CString("a\\\x82")), "a");
}

// The list shows the formats with their codes filled in and the escapes as typed; the escapes,
// also those a memo brought in, count only in the result.
TEST_F(SendFormatTest, ChooserListsEveryFormatAndEscapesTheChosenOne) {
    CStringArray formats;
    for (const char* f : {"%i", "%h", "%m1", "%m2", "", "TO:%i", "%i\\r\\n"}) formats.Add(f);
    CSendFormatDlg dlg;
    dlg.m_nRecord = 0;
    dlg.m_pastrFormat = &formats;
    DialogScript script;
    script.Then([](CDialog* d) {
        EXPECT_EQ(Utf8(d->GetWindowText()), "秀Termに送信");
        EXPECT_EQ(Entries(d), (std::vector<std::string>{"ABC12345", "Blue", "tab\\there", "bad\\qx",
                                                        "", "TO:ABC12345", "ABC12345\\r\\n"}));
        EXPECT_EQ(d->SendDlgItemMessage(IDC_EXPANDED_FORMATS, LB_GETCURSEL), 0);
        PickRow(d, IDC_EXPANDED_FORMATS, 2);
        Click(d, IDOK);
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_strResult, "tab\there");

    const std::pair<int, const char*> picks[] = {{3, "badx"}, {4, ""}, {6, "ABC12345\r\n"}};
    for (const auto& [row, expected] : picks) {
        script.Then([row = row](CDialog* d) {
            PickRow(d, IDC_EXPANDED_FORMATS, row, true);
        });  // double click
        ASSERT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.m_strResult, expected);
    }

    script.Then([](CDialog* d) {
        d->SendDlgItemMessage(IDC_EXPANDED_FORMATS, LB_SETCURSEL, static_cast<WPARAM>(-1));
        PressKey(d, Qt::Key_Return);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    script.Then([](CDialog* d) { PressKey(d, Qt::Key_Escape); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

// Copy goes through the chooser to the clipboard; the program does not pick its own copy up,
// though the text holds registered IDs.
TEST_F(SendFormatTest, CopyCommandPutsTheExpandedTextOnTheClipboardWithoutPickingItUp) {
    frame->m_astrHelperFormat[6] = "%i XYZ00001 %h\\r\\n";
    SelectRecord(0);
    ASSERT_TRUE(frame->IsCommandEnabled(ID_EDIT_COPY));
    DialogScript script;
    script.Then([](CDialog* d) {
        EXPECT_EQ(Utf8(d->GetWindowText()), "ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ");
        EXPECT_EQ(Entries(d).size(), 7u);
        PickRow(d, IDC_EXPANDED_FORMATS, 6);
        PressKey(d, Qt::Key_Return);
    });
    frame->RunCommand(ID_EDIT_COPY);
    afx_ui::ProcessEvents();
    // Other programs paste the line end as they know it: LF.
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "ABC12345 XYZ00001 Blue\n");
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), 0);

    script.Then([](CDialog* d) { Click(d, IDCANCEL); });
    QApplication::clipboard()->setText("untouched");
    afx_ui::ProcessEvents();
    const int picked = doc->m_astrPickupID.GetSize();
    frame->RunCommand(ID_EDIT_COPY);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "untouched");
    EXPECT_EQ(script.Shown(), 2);
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), picked);
}
