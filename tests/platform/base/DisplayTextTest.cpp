// Paths in the program's text: whole on screen, whatever the code page can spell.
#include <gtest/gtest.h>

#include "platform/base/CFile.h"
#include "platform/base/DisplayText.h"
#include "platform/base/StringResource.h"
#include "res/resource.h"
#include "tests/support/TestFiles.h"

using testing_support::Sjis;

TEST(DisplayText, PathsOutsideTheCodePageSurviveFormattingWhole) {
    const std::string names[] = {"/home/josé/josé.lst", "/tmp/한국어.lst", "/tmp/😀 list.lst",
                                 "/tmp/データ①～.lst"};
    for (const std::string& name : names) {
        CString text;
        AfxFormatString1(text, AFX_IDP_OFFER_RECOVERY, FileNameForDisplay(name));
        const std::string shown = DisplayTextToUtf8(text.View());
        EXPECT_NE(shown.find("\n" + name + "\n"), std::string::npos) << shown;
        EXPECT_EQ(shown.rfind("前回の終了時に", 0), 0u) << shown;  // the CP932 text around it
        EXPECT_NE(shown.find("この変更を開きますか？"), std::string::npos);
        // Joined as the file error messages are, twice in one text.
        const CString joined =
            "\n\n" + FileNameForDisplay(name) + "\n" + FileNameForDisplay(name) + Sjis("（更新）");
        EXPECT_EQ(DisplayTextToUtf8(joined.View()), "\n\n" + name + "\n" + name + "（更新）");
    }
    // A name the code page holds stays plain text, as the tests and scripts that read titles
    // expect.
    EXPECT_EQ(FileNameForDisplay("ソ表.lst"), Sjis("ソ表.lst"));
    EXPECT_EQ(FileNameForDisplay("ids.lst"), "ids.lst");
}

TEST(DisplayText, OddNamesAndCutTextsShowWithoutLosingTheRest) {
    // The marks' own bytes in a name, and the escape, come back as they were.
    const std::string controls =
        "a\x01"
        "b\x02"
        "c\x10"
        "d\x10\x41.lst";
    const CString marked = FileNameForDisplay(controls);
    EXPECT_EQ(DisplayTextToUtf8((marked + "!").View()), controls + "!");
    // A name that is no UTF-8 (Latin-1) shows its other characters; the stray byte as U+FFFD.
    EXPECT_EQ(DisplayTextToUtf8(FileNameForDisplay("caf\xe9.lst").View()), "caf\uFFFD.lst");
    EXPECT_EQ(DisplayTextToUtf8(FileNameForDisplay("\xed\xa0\x80\xf4\x90\x80\x80").View()),
              "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");  // surrogate, past U+10FFFF
    // A text cut inside a name (Left on a long title) shows what is left, never past its end;
    // so does one cut at every byte.
    const CString text = Sjis("ファイル ") + FileNameForDisplay("josé😀.lst");
    for (int n = 0; n <= text.GetLength(); ++n) {
        const std::string shown = DisplayTextToUtf8(text.Left(n).View());
        EXPECT_LE(shown.size(), std::string("ファイル josé😀.lst").size() + 6) << n;
    }
    EXPECT_EQ(DisplayTextToUtf8(text.Left(text.GetLength() - 1).View()), "ファイル josé😀.lst");
    EXPECT_EQ(DisplayTextToUtf8(""), "");
}
