// Rows of the ID list drawn into a picture: the colours of picked-up, plain and selected rows,
// the pickup flag, and texts cut to their column.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QHeaderView>
#include <QImage>
#include <QWidget>
#include <cstdlib>
#include <utility>

#include "platform/gui/drawing/CDC.h"
#include "tests/listview/ListViewFixture.h"
#include "tests/platform/gui/DrawingTestUtil.h"

using namespace listview_test;

namespace {

constexpr int kRowHeight = 20;
// Never painted by a row: shows where the row leaves the list's own background.
constexpr COLORREF kUnpainted = RGB(0, 255, 255);

bool Reddish(COLORREF c) {
    return GetRValue(c) > 200 && GetGValue(c) < 90 && GetBValue(c) < 90;
}

// Pixels of text drawn in `color`: smoothed edges blend it with the background, so a pixel
// counts when no channel is further than a quarter of the way from it.
int CountInkOf(const CDC& dc, COLORREF color, const RECT& area) {
    int n = 0;
    for (LONG y = area.top; y < area.bottom; ++y)
        for (LONG x = area.left; x < area.right; ++x) {
            const COLORREF c = dc.GetPixel(x, y);
            if (std::abs(GetRValue(c) - GetRValue(color)) < 64 &&
                std::abs(GetGValue(c) - GetGValue(color)) < 64 &&
                std::abs(GetBValue(c) - GetBValue(color)) < 64)
                ++n;
        }
    return n;
}

int CountIf(const CDC& dc, const RECT& area, bool (*test)(COLORREF)) {
    int n = 0;
    for (LONG y = area.top; y < area.bottom; ++y)
        for (LONG x = area.left; x < area.right; ++x)
            if (test(dc.GetPixel(x, y))) ++n;
    return n;
}

class DrawTest : public ListViewTest {
protected:
    void SetUp() override {
        ListViewTest::SetUp();
        Open(kThree);  // rows: ABC12345 (record 1), MNO55555, XYZ00001
        doc->PickupID("ABC12345", "");
        width = 4 * DefaultWidth() + 18;
    }
    std::unique_ptr<CImageDC> Draw(int row, UINT state) {
        auto dc = std::make_unique<CImageDC>(width, kRowHeight, kUnpainted);
        dc->SelectObject(&view->m_font);
        DRAWITEMSTRUCT dis;
        dis.CtlType = ODT_LISTVIEW;
        dis.itemID = static_cast<UINT>(row);
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = state;
        dis.hDC = dc->GetSafeHdc();
        dis.rcItem = RECT{0, 0, width, kRowHeight};
        view->DrawItem(&dis);
        return dc;
    }
    // The first column's cell, right of the flag.
    RECT FirstCell() const { return RECT{18, 0, DefaultWidth(), kRowHeight}; }

    int width = 0;
};

}  // namespace

TEST_F(DrawTest, PickedUpRowIsRedWithItsFlagAndOthersInTheTextColour) {
    const auto picked = Draw(0, 0);
    // The flag's cloth, left of the text; the image column is not the cells' to fill.
    EXPECT_TRUE(Reddish(picked->GetPixel(2 + 8, 5)));
    EXPECT_EQ(picked->GetPixel(0, 10), kUnpainted);
    EXPECT_EQ(picked->GetPixel(DefaultWidth() - 2, 1), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(picked->GetPixel(4 * DefaultWidth() - 2, kRowHeight - 2), GetSysColor(COLOR_WINDOW));
    EXPECT_GT(CountIf(*picked, FirstCell(), Reddish), 10);
    EXPECT_GT(CountInkOf(*picked, RGB(255, 0, 0), FirstCell()), 0);

    const auto plain = Draw(1, 0);
    const RECT whole{0, 0, width, kRowHeight};
    EXPECT_EQ(CountIf(*plain, whole, Reddish), 0);
    EXPECT_EQ(CountPixels(*plain, kUnpainted, RECT{0, 0, 18, kRowHeight}), 18 * kRowHeight);
    EXPECT_FALSE(IsEmptyRect(InkBounds(*plain, GetSysColor(COLOR_WINDOW), FirstCell())));
    EXPECT_GT(CountInkOf(*plain, GetSysColor(COLOR_WINDOWTEXT), FirstCell()), 0);

    // Colours of the user's choice.
    view->m_clrPickupText = RGB(0, 0, 255);
    view->m_clrBack = RGB(255, 255, 0);
    const auto custom = Draw(0, 0);
    EXPECT_EQ(custom->GetPixel(4 * DefaultWidth() - 2, 1), RGB(255, 255, 0));
    EXPECT_GT(CountInkOf(*custom, RGB(0, 0, 255), FirstCell()), 0);
    EXPECT_EQ(CountIf(*custom, FirstCell(), Reddish), 0);
}

TEST_F(DrawTest, SelectedRowIsInTheHighlightColoursPickedUpOrNot) {
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const auto selected = Draw(0, ODS_SELECTED);
    EXPECT_EQ(selected->GetPixel(DefaultWidth() - 2, 1), highlight);
    EXPECT_EQ(selected->GetPixel(4 * DefaultWidth() - 2, kRowHeight - 2), highlight);
    EXPECT_EQ(selected->GetPixel(0, 10), kUnpainted);
    EXPECT_EQ(CountIf(*selected, RECT{18, 0, width, kRowHeight}, Reddish), 0);
    EXPECT_GT(CountInkOf(*selected, GetSysColor(COLOR_HIGHLIGHTTEXT), FirstCell()), 0);
    // The flag is still there, blended with the highlight.
    const COLORREF flag = selected->GetPixel(2 + 8, 5);
    EXPECT_NE(flag, kUnpainted);
    EXPECT_NE(flag, RGB(255, 0, 0));
    EXPECT_GT(GetRValue(flag), GetGValue(flag));

    // The focus rectangle comes only with the focus state, and marks the row's edge.
    const auto focused = Draw(0, ODS_SELECTED | ODS_FOCUS);
    int changed = 0;
    for (int x = 0; x < width; ++x)
        if (focused->GetPixel(x, 0) != selected->GetPixel(x, 0)) ++changed;
    EXPECT_GT(changed, width / 4);
}

TEST_F(DrawTest, TooLongTextIsCutWithAnEllipsisInsideItsCell) {
    const RECT wideArea{18, 0, DefaultWidth(), kRowHeight};
    const auto whole = Draw(1, 0);
    const RECT wideInk = InkBounds(*whole, GetSysColor(COLOR_WINDOW), wideArea);
    ASSERT_FALSE(IsEmptyRect(wideInk));
    // A digit reaches up to the cap height at the text's end.
    const RECT wideTail = InkBounds(*whole, GetSysColor(COLOR_WINDOW),
                                    RECT{wideInk.right - 2, 0, wideInk.right, kRowHeight});
    EXPECT_LT(wideTail.top, (wideInk.top + wideInk.bottom) / 2);

    // "MNO55555" in a cell a little more than half as wide as its text needs.
    const int narrow = 18 + 2 + (wideInk.right - wideInk.left) * 6 / 10;
    LVCOLUMN column;
    column.mask = LVCF_WIDTH;
    column.cx = narrow;
    ASSERT_TRUE(view->GetListCtrl().SetColumn(0, &column));
    const auto cut = Draw(1, 0);
    const RECT ink = InkBounds(*cut, GetSysColor(COLOR_WINDOW), RECT{18, 0, narrow, kRowHeight});
    ASSERT_FALSE(IsEmptyRect(ink));
    EXPECT_LE(ink.right, narrow);
    // The next column starts where this one ends, with its own text.
    EXPECT_EQ(cut->GetPixel(narrow + 1, 1), GetSysColor(COLOR_WINDOW));
    // The last marks are dots on the base line, not the top of a letter or digit.
    const RECT tail =
        InkBounds(*cut, GetSysColor(COLOR_WINDOW), RECT{ink.right - 2, 0, ink.right, kRowHeight});
    EXPECT_GT(tail.top, (ink.top + ink.bottom) / 2);
    EXPECT_LT(ink.right, wideInk.right);
}

TEST_F(DrawTest, TheChosenFontDrawsTheCellsAndTheHeaderAndSetsTheRowHeight) {
    CListCtrl& list = view->GetListCtrl();
    QWidget* widget = list.GetWidget();
    widget->resize(4 * DefaultWidth() + 40, 200);
    const auto cellInk = [&](int row) {
        RECT rc;
        EXPECT_TRUE(list.GetItemRect(row, &rc, LVIR_BOUNDS));
        const QImage image = widget->grab().toImage();
        // The first column, right of the flag; the ink against the cell's own background.
        const QRect cell(rc.left + 20, rc.top, DefaultWidth() - 24, rc.bottom - rc.top);
        const QRgb back = image.pixel(cell.right(), cell.top() + 1);
        QRect ink;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                if (image.pixel(x, y) != back) ink |= QRect(x, y, 1, 1);
        return std::pair{ink, rc.bottom - rc.top};
    };
    const auto [smallInk, smallRow] = cellInk(1);  // "MNO55555", neither selected nor focused
    ASSERT_FALSE(smallInk.isEmpty());

    // What 設定 → ﾌｫﾝﾄ does with a choice of 30 pixels.
    LOGFONT lf;
    list.GetFont()->GetLogFont(&lf);
    lf.lfHeight = -30;
    view->m_font.DeleteObject();
    view->m_font.CreateFontIndirect(&lf);
    list.SetFont(&view->m_font, TRUE);
    const auto [bigInk, bigRow] = cellInk(1);
    ASSERT_FALSE(bigInk.isEmpty());
    // Capital letters and digits are about seven tenths of the character height.
    EXPECT_GE(bigInk.height(), 30 * 6 / 10);
    EXPECT_LE(bigInk.height(), 30);
    EXPECT_GT(bigInk.height(), smallInk.height() * 3 / 2);
    EXPECT_GE(bigRow, QFontMetrics(view->m_font.GetQFont()).height());
    // The header grows with it, its titles whole.
    const auto* header = widget->findChild<QHeaderView*>();
    ASSERT_NE(header, nullptr);
    EXPECT_GE(header->height(), QFontMetrics(view->m_font.GetQFont()).height() + 2);
    EXPECT_LT(header->height(), 3 * 30);
}
