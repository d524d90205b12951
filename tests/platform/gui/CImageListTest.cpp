#include <gtest/gtest.h>

#include <QImage>

#include "DrawingTestUtil.h"
#include "platform/base/ResourceTables.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/drawing/CImageList.h"
#include "platform/gui/drawing/GdiToQt.h"
#include "platform/gui/drawing/PixelArt.h"
#include "res/resource.h"

namespace {

constexpr COLORREF kBack = RGB(0, 128, 0);

class CImageListTest : public DrawingTest {
protected:
    CImageListTest() : m_app("test") {
        m_list.Create(16, 16, ILC_MASK, 0, 1);
        m_list.Add(AfxGetApp()->LoadIcon(IDI_PICKUP));
        m_art = ImageFromArt(*afx_res::FindIcon(IDI_PICKUP)->small);
    }
    CWinApp m_app;
    CImageList m_list;
    QImage m_art;
};

TEST_F(CImageListTest, AnIconResourceBecomesImageZero) {
    EXPECT_EQ(m_list.GetImageCount(), 1);
    EXPECT_EQ(AfxGetApp()->LoadIcon(4242), nullptr);
    EXPECT_EQ(m_list.Add(AfxGetApp()->LoadIcon(4242)), -1);
    EXPECT_EQ(m_list.Add(AfxGetApp()->LoadIcon(IDR_MAINFRAME)), 1);
    EXPECT_EQ(ImageList_GetImageCount(m_list), 2);
}

TEST_F(CImageListTest, NormalDrawingPaintsThePictureAndKeepsItsTransparentParts) {
    CImageDC dc(30, 30, kBack);
    ASSERT_TRUE(m_list.Draw(&dc, 0, POINT{4, 6}, ILD_NORMAL));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QRgb px = m_art.pixel(x, y);
            const COLORREF expected = qAlpha(px) ? FromQColor(QColor::fromRgb(px)) : kBack;
            ASSERT_EQ(dc.GetPixel(4 + x, 6 + y), expected) << x << "," << y;
        }
    EXPECT_EQ(dc.GetPixel(3, 6), kBack);
    EXPECT_EQ(dc.GetPixel(20, 22), kBack);
}

TEST_F(CImageListTest, SelectedDrawingBlendsHalfWithTheHighlightColour) {
    CImageDC dc(16, 16, kBack);
    ASSERT_TRUE(ImageList_Draw(m_list, 0, dc.GetSafeHdc(), 0, 0, ILD_TRANSPARENT | ILD_SELECTED));
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    int blended = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QRgb px = m_art.pixel(x, y);
            const COLORREF got = dc.GetPixel(x, y);
            if (!qAlpha(px)) {
                ASSERT_EQ(got, kBack);
                continue;
            }
            ASSERT_NEAR(GetRValue(got), (qRed(px) + GetRValue(highlight)) / 2, 1);
            ASSERT_NEAR(GetGValue(got), (qGreen(px) + GetGValue(highlight)) / 2, 1);
            ASSERT_NEAR(GetBValue(got), (qBlue(px) + GetBValue(highlight)) / 2, 1);
            ++blended;
        }
    EXPECT_GT(blended, 50);
}

TEST_F(CImageListTest, AMissingIndexDrawsNothing) {
    CImageDC dc(16, 16, kBack);
    EXPECT_FALSE(m_list.Draw(&dc, 1, POINT{0, 0}, ILD_NORMAL));
    EXPECT_FALSE(ImageList_Draw(m_list, -1, dc.GetSafeHdc(), 0, 0, ILD_NORMAL));
    EXPECT_FALSE(ImageList_Draw(nullptr, 0, dc.GetSafeHdc(), 0, 0, ILD_NORMAL));
    EXPECT_EQ(CountPixels(dc, kBack, RECT{0, 0, 16, 16}), 16 * 16);
}

TEST_F(CImageListTest, APictureOfAnotherSizeIsScaledToTheList) {
    CImageList large;
    ASSERT_TRUE(large.Create(32, 32, ILC_MASK | ILC_COLOR24, 1, 1));
    ASSERT_EQ(large.Add(AfxGetApp()->LoadIcon(IDI_PICKUP)), 0);
    CImageDC dc(40, 40, kBack);
    large.Draw(&dc, 0, POINT{0, 0}, ILD_NORMAL);
    const RECT ink = InkBounds(dc, kBack, RECT{0, 0, 40, 40});
    EXPECT_GT(ink.right, 24);
    EXPECT_LE(ink.right, 32);
    EXPECT_GT(ink.bottom, 24);

    EXPECT_EQ(CImageList().GetSafeHandle(), nullptr);
    EXPECT_TRUE(large.DeleteImageList());
    EXPECT_EQ(large.GetImageCount(), 0);
}

}  // namespace
