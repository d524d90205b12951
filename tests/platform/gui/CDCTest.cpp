#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "DrawingTestUtil.h"
#include "platform/gui/drawing/CDC.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

class CDCTest : public DrawingTest {
protected:
    CDCTest() {
        LOGFONT lf;
        lf.lfHeight = -20;
        std::strcpy(lf.lfFaceName, "DejaVu Sans");
        m_font.CreateFontIndirect(&lf);
    }
    CFont m_font;
};

TEST(ColorTest, RgbPacksRedInTheLowByte) {
    constexpr COLORREF clr = RGB(166, 202, 240);
    static_assert(clr == 0x00F0CAA6);
    static_assert(GetRValue(clr) == 166 && GetGValue(clr) == 202 && GetBValue(clr) == 240);
    static_assert(RGB(255, 0, 0) == 255);
}

TEST_F(CDCTest, FillRectPaintsExactlyTheRectangle) {
    CImageDC dc(40, 30);
    CBrush brush(kBlue);
    const RECT rc{5, 6, 15, 20};
    dc.FillRect(&rc, &brush);
    EXPECT_EQ(CountPixels(dc, kBlue, RECT{0, 0, 40, 30}), 10 * 14);
    EXPECT_EQ(dc.GetPixel(5, 6), kBlue);
    EXPECT_EQ(dc.GetPixel(14, 19), kBlue);
    EXPECT_EQ(dc.GetPixel(15, 19), kWhite);  // right and bottom lie outside
    EXPECT_EQ(dc.GetPixel(14, 20), kWhite);

    CBrush deleted(kRed);
    deleted.DeleteObject();
    dc.FillRect(&rc, &deleted);
    EXPECT_EQ(dc.GetPixel(10, 10), kBlue);
}

TEST_F(CDCTest, FillSolidRectLeavesItsColourAsTheBackgroundColour) {
    CImageDC dc(20, 20);
    dc.FillSolidRect(2, 2, 5, 5, kRed);
    EXPECT_EQ(dc.GetPixel(2, 2), kRed);
    EXPECT_EQ(dc.GetPixel(7, 7), kWhite);
    EXPECT_EQ(dc.GetBkColor(), kRed);
}

TEST_F(CDCTest, FrameRectAndFocusRectTouchTheBorderOnly) {
    CImageDC dc(30, 30, kBlack);
    const RECT rc{4, 4, 24, 14};
    CBrush red(kRed);
    dc.FrameRect(&rc, &red);
    EXPECT_EQ(CountPixels(dc, kRed, RECT{0, 0, 30, 30}), 2 * 20 + 2 * 8);
    EXPECT_EQ(dc.GetPixel(23, 13), kRed);
    EXPECT_EQ(dc.GetPixel(5, 5), kBlack);

    // Dotted and inverting: on black every other border pixel turns white, and it shows even
    // over the frame just drawn.
    CImageDC focus(30, 30, kBlack);
    focus.DrawFocusRect(&rc);
    const int dots = CountPixels(focus, kWhite, RECT{0, 0, 30, 30});
    EXPECT_EQ(dots, (2 * 20 + 2 * 8) / 2);
    EXPECT_TRUE(IsEmptyRect(InkBounds(focus, kBlack, RECT{5, 5, 23, 13})));
    EXPECT_NE(focus.GetPixel(4, 4), focus.GetPixel(5, 4));
    dc.DrawFocusRect(&rc);
    EXPECT_GT(CountPixels(dc, RGB(0, 255, 255), RECT{0, 0, 30, 30}), 0);  // red inverted

    focus.DrawFocusRect(&rc);  // a second time takes it away
    EXPECT_EQ(CountPixels(focus, kBlack, RECT{0, 0, 30, 30}), 30 * 30);
}

TEST_F(CDCTest, DrawTextAlignsWithinTheRectangle) {
    const RECT rc{10, 10, 290, 60};
    auto inkOf = [&](UINT format) {
        CImageDC dc(300, 70);
        dc.SelectObject(&m_font);
        RECT r = rc;
        dc.DrawText(CString("Wide"), &r, format | DT_SINGLELINE);
        return InkBounds(dc, kWhite, RECT{0, 0, 300, 70});
    };
    const RECT left = inkOf(DT_LEFT | DT_TOP);
    const RECT right = inkOf(DT_RIGHT | DT_BOTTOM);
    const RECT center = inkOf(DT_CENTER | DT_VCENTER);
    ASSERT_FALSE(IsEmptyRect(left));
    EXPECT_LT(left.left, rc.left + 5);
    EXPECT_LT(left.right, 150);
    EXPECT_GT(right.right, rc.right - 5);
    EXPECT_GT(right.left, 150);
    EXPECT_NEAR((center.left + center.right) / 2, 150, 4);
    EXPECT_LT(left.top, center.top);
    EXPECT_LT(center.bottom, right.bottom);
    EXPECT_NEAR((center.top + center.bottom) / 2, 35, 6);
}

TEST_F(CDCTest, DrawTextStaysInsideTheRectangleUnlessToldNotTo) {
    const RECT rc{20, 10, 60, 30};
    for (const UINT noClip : {0u, DT_NOCLIP}) {
        CImageDC dc(200, 60);
        dc.SelectObject(&m_font);
        RECT r = rc;
        dc.DrawText(CString("A text far wider than the cell"), &r, DT_SINGLELINE | noClip);
        const RECT ink = InkBounds(dc, kWhite, RECT{0, 0, 200, 60});
        if (noClip) {
            EXPECT_GT(ink.right, rc.right);
        } else {
            EXPECT_GE(ink.left, rc.left);
            EXPECT_LE(ink.right, rc.right);
            EXPECT_GE(ink.top, rc.top);
            EXPECT_LE(ink.bottom, rc.bottom);
        }
    }
}

TEST_F(CDCTest, OpaqueModeFillsBehindTheTextAndTransparentModeDoesNot) {
    const RECT rc{10, 10, 190, 50};
    for (const int mode : {OPAQUE, TRANSPARENT}) {
        CImageDC dc(200, 60);
        dc.SelectObject(&m_font);
        dc.SetBkColor(kRed);
        dc.SetTextColor(kBlue);
        EXPECT_EQ(dc.SetBkMode(mode), OPAQUE);
        RECT r = rc;
        dc.DrawText(CString("Mid"), &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
        const int red = CountPixels(dc, kRed, RECT{0, 0, 200, 60});
        // The text colour is used as it is, not just something dark.
        EXPECT_GT(CountPixels(dc, kBlue, rc), 10);
        if (mode == OPAQUE) {
            EXPECT_GT(red, 200);
            // Only the text's own box, not the whole rectangle.
            EXPECT_EQ(dc.GetPixel(11, 11), kWhite);
        } else {
            EXPECT_EQ(red, 0);
        }
    }
}

TEST_F(CDCTest, AmpersandsMarkMnemonicsUnlessNoPrefix) {
    CImageDC dc(10, 10);
    dc.SelectObject(&m_font);
    auto width = [&](const char* text, UINT format) {
        RECT r{0, 0, 1000, 100};
        dc.DrawText(text, -1, &r, format | DT_SINGLELINE | DT_CALCRECT);
        return r.right;
    };
    EXPECT_EQ(width("&File", 0), dc.GetTextExtent(CString("File")).cx);
    EXPECT_EQ(width("A&&B", 0), dc.GetTextExtent(CString("A&B")).cx);
    EXPECT_EQ(width("&File", DT_NOPREFIX), dc.GetTextExtent(CString("&File")).cx);
}

TEST_F(CDCTest, JapaneseTextIsDrawnAndMeasuredAlike) {
    CImageDC dc(300, 40);
    dc.SelectObject(&m_font);
    const CString text = testing_support::Sjis("ｻﾝﾌﾟﾙです");
    RECT r{0, 0, 300, 40};
    EXPECT_EQ(dc.DrawText(text, &r, DT_SINGLELINE | DT_CALCRECT), dc.GetTextExtent(text).cy);
    EXPECT_EQ(r.right, dc.GetTextExtent(text).cx);
    dc.DrawText(text, &r, DT_SINGLELINE | DT_NOPREFIX);
    const RECT ink = InkBounds(dc, kWhite, RECT{0, 0, 300, 40});
    ASSERT_FALSE(IsEmptyRect(ink));
    EXPECT_LE(ink.right, r.right + 2);
    EXPECT_GT(ink.right - ink.left, r.right / 2);
}

// Widths are remembered per font, and texts that differ only in their digits may share one:
// whatever was measured before, in whichever font, every answer is the text's own width.
TEST_F(CDCTest, RememberedExtentsAreThoseOfTheTextInTheSelectedFont) {
    CFont small;
    LOGFONT lf;
    lf.lfHeight = -11;
    std::strcpy(lf.lfFaceName, "DejaVu Sans");
    small.CreateFontIndirect(&lf);
    CImageDC dc(600, 40);
    const std::vector<CString> texts = {testing_support::Sjis("ﾋﾟｯｸｱｯﾌﾟ: 1"),
                                        testing_support::Sjis("ﾋﾟｯｸｱｯﾌﾟ: 11111"),
                                        testing_support::Sjis("ﾋﾟｯｸｱｯﾌﾟ: 12345"),
                                        testing_support::Sjis("ﾋﾟｯｸｱｯﾌﾟ: 99999"),
                                        CString("WWW 1"),
                                        CString("iii 1"),
                                        testing_support::Sjis("登録 88"),
                                        CString("")};
    for (int round = 0; round < 2; ++round) {
        for (CFont* font : {&m_font, &small}) {
            dc.SelectObject(font);
            for (const CString& text : texts) {
                RECT r{0, 0, 600, 40};
                dc.DrawText(text, &r, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
                EXPECT_EQ(dc.GetTextExtent(text).cx, r.right - r.left)
                    << testing_support::Utf8(text) << (font == &small ? " (small)" : "");
            }
        }
    }
}

TEST_F(CDCTest, TextMetricsAgreeWithExtents) {
    CImageDC dc(10, 10);
    dc.SelectObject(&m_font);
    TEXTMETRIC tm;
    ASSERT_TRUE(dc.GetTextMetrics(&tm));
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(tm.tmHeight, dc.GetTextExtent(CString("x")).cy);
    EXPECT_GE(tm.tmHeight, 20);
    EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 20);
    EXPECT_GT(tm.tmAveCharWidth, 0);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    EXPECT_GE(tm.tmExternalLeading, 0);
}

TEST_F(CDCTest, SelectedObjectsAndColoursComeBackWithRestoreDC) {
    CImageDC dc(10, 10);
    CFont* defaultFont = dc.SelectObject(&m_font);
    ASSERT_NE(defaultFont, nullptr);
    const int saved = dc.SaveDC();
    CFont other;
    CBrush brush(kRed);
    EXPECT_EQ(dc.SelectObject(&other), &m_font);
    CBrush* defaultBrush = dc.SelectObject(&brush);
    EXPECT_EQ(defaultBrush->GetColor(), kWhite);
    EXPECT_EQ(dc.SetTextColor(kBlue), kBlack);
    dc.SetBkMode(TRANSPARENT);
    dc.SaveDC();

    EXPECT_TRUE(dc.RestoreDC(saved));
    EXPECT_EQ(dc.GetCurrentFont(), &m_font);
    EXPECT_EQ(dc.SelectObject(defaultBrush), defaultBrush);
    EXPECT_EQ(dc.GetTextColor(), kBlack);
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
    EXPECT_FALSE(dc.RestoreDC(-1));  // both levels are gone
    EXPECT_EQ(dc.SelectObject(defaultFont), &m_font);
}

TEST_F(CDCTest, AContextWithoutPainterMeasuresButDrawsNothing) {
    CDC dc;
    dc.SelectObject(&m_font);
    RECT r{0, 0, 100, 30};
    EXPECT_EQ(dc.DrawText(CString("A"), &r, DT_SINGLELINE), dc.GetTextExtent(CString("A")).cy);
    CBrush brush(kRed);
    dc.FillRect(&r, &brush);
    dc.DrawFocusRect(&r);
    EXPECT_EQ(dc.GetPixel(0, 0), CLR_INVALID);
    EXPECT_EQ(CDC::FromHandle(dc.GetSafeHdc()), &dc);
}

}  // namespace
