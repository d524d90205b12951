#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <cstring>

#include "DrawingTestUtil.h"
#include "platform/base/CodePage.h"
#include "platform/base/Mbcs.h"
#include "platform/gui/drawing/CFont.h"
#include "tests/support/TestSupport.h"

namespace {

using CFontTest = DrawingTest;

LOGFONT Face(const char* face, LONG height) {
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    std::strcpy(lf.lfFaceName, face);
    return lf;
}

TEST_F(CFontTest, GetLogFontReturnsWhatWasAskedForEvenForAMissingFace) {
    const CString missing = testing_support::Sjis("ＭＳ Ｐゴシック");
    LOGFONT asked = Face(missing.GetString(), -13);
    asked.lfWeight = FW_BOLD;
    asked.lfItalic = 1;
    CFont font;
    ASSERT_TRUE(font.CreateFontIndirect(&asked));
    LOGFONT got;
    ASSERT_EQ(font.GetLogFont(&got), static_cast<int>(sizeof(LOGFONT)));
    EXPECT_STREQ(got.lfFaceName, missing.GetString());
    EXPECT_EQ(got.lfHeight, -13);
    EXPECT_EQ(got.lfWeight, FW_BOLD);
    EXPECT_EQ(got.lfItalic, 1);
    EXPECT_EQ(got.lfCharSet, SHIFTJIS_CHARSET);
    // Drawn with the default face, in the size and style asked for.
    const QFont& q = font.GetQFont();
    EXPECT_EQ(q.family(), QFont().family());
    EXPECT_EQ(QFontInfo(q).pixelSize(), 13);
    EXPECT_TRUE(q.bold());
    EXPECT_TRUE(q.italic());
}

TEST_F(CFontTest, NegativeHeightIsTheCharacterAndPositiveTheCell) {
    CFont character, cell;
    const LOGFONT byCharacter = Face("DejaVu Serif", -24);
    const LOGFONT byCell = Face("DejaVu Serif", 24);
    character.CreateFontIndirect(&byCharacter);
    cell.CreateFontIndirect(&byCell);
    EXPECT_EQ(QFontInfo(character.GetQFont()).family(), "DejaVu Serif");  // installed: used
    EXPECT_EQ(QFontInfo(character.GetQFont()).pixelSize(), 24);
    EXPECT_GT(QFontMetrics(character.GetQFont()).height(), 24);
    EXPECT_NEAR(QFontMetrics(cell.GetQFont()).height(), 24, 1);
    EXPECT_LT(QFontInfo(cell.GetQFont()).pixelSize(), 24);
}

TEST_F(CFontTest, PointFontsAreMeasuredAtNinetySixPixelsPerInch) {
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(90, "DejaVu Sans"));
    LOGFONT lf;
    font.GetLogFont(&lf);
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_STREQ(lf.lfFaceName, "DejaVu Sans");
}

TEST_F(CFontTest, DeleteObjectGoesBackToTheDefaultFontOnce) {
    const LOGFONT lf = Face("DejaVu Serif", -30);
    CFont font;
    EXPECT_FALSE(font.DeleteObject());
    font.CreateFontIndirect(&lf);
    EXPECT_TRUE(font.DeleteObject());
    EXPECT_FALSE(font.DeleteObject());
    EXPECT_EQ(font.GetQFont(), QFont());
}

TEST_F(CFontTest, AFontSetFromQtIsDescribedByItsLogFont) {
    QFont q("DejaVu Sans");
    q.setPixelSize(17);
    q.setWeight(QFont::Bold);
    CFont font;
    font.SetQFont(q);
    LOGFONT lf;
    font.GetLogFont(&lf);
    EXPECT_EQ(lf.lfHeight, -17);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_STREQ(lf.lfFaceName, "DejaVu Sans");
    EXPECT_EQ(CFont::FromHandle(font.GetSafeHandle()), &font);

    // A long face name is cut to the field without splitting a double-byte character.
    q.setFamily(QString::fromUtf8("とても長い名前のフォントファミリーです"));
    font.SetQFont(q);
    font.GetLogFont(&lf);
    const std::string_view face(lf.lfFaceName);
    EXPECT_LE(face.size(), static_cast<std::size_t>(LF_FACESIZE - 1));
    EXPECT_EQ(mbcs::CharBoundaryAtOrBefore(face, face.size()), face.size());
}

TEST_F(CFontTest, DialogBaseUnitsAreTheDefaultFontsAverageWidthAndHeight) {
    const LONG units = GetDialogBaseUnits();
    const QFontMetrics metrics(QApplication::font());
    EXPECT_GT(LOWORD(units), 0);
    EXPECT_LT(LOWORD(units), metrics.maxWidth() + 1);
    EXPECT_EQ(HIWORD(units), metrics.height());
}

}  // namespace

TEST_F(CFontTest, TheDefaultFontIsJapaneseWithDigitsOfItsOwnAfterKanaAndKanjiAlike) {
    const QString family = QFontInfo(QApplication::font()).family();
    EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese))
        << family.toStdString();
    // The digits after kana and after kanji come from one font: same place, same height.
    const auto digits = [](const char* utf8) {
        CImageDC dc(200, 40, RGB(255, 255, 255));
        const CString text(Utf8ToCp932(utf8));
        SIZE head;
        dc.GetTextExtentPoint(text, text.GetLength() - 2, &head);
        RECT rc{0, 0, 200, 40};
        dc.SetTextColor(RGB(0, 0, 0));
        dc.DrawText(text, &rc, DT_SINGLELINE | DT_NOPREFIX);
        return InkBounds(dc, RGB(255, 255, 255), RECT{head.cx, 0, 200, 40});
    };
    const RECT afterKana = digits("すずき29");
    const RECT afterKanji = digits("青い空29");
    ASSERT_FALSE(IsEmptyRect(afterKana));
    EXPECT_EQ(afterKana.top, afterKanji.top);
    EXPECT_EQ(afterKana.bottom, afterKanji.bottom);
    EXPECT_EQ(afterKana.right - afterKana.left, afterKanji.right - afterKanji.left);
}
