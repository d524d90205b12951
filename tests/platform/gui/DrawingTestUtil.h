// Helpers of the drawing tests: a user interface to draw with, and where ink landed in a picture.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/gui/drawing/CDC.h"
#include "platform/gui/window/UiHooks.h"

class DrawingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        afx_ui::EnsureApplication();
    }
};

// The smallest rectangle holding every pixel that differs from `background` inside `area`;
// all zero when there is none.
inline RECT InkBounds(const CDC& dc, COLORREF background, const RECT& area) {
    RECT ink{};
    bool found = false;
    for (LONG y = area.top; y < area.bottom; ++y)
        for (LONG x = area.left; x < area.right; ++x) {
            if (dc.GetPixel(x, y) == background) continue;
            if (!found) {
                ink = RECT{x, y, x + 1, y + 1};
                found = true;
            }
            ink.left = std::min(ink.left, x);
            ink.top = std::min(ink.top, y);
            ink.right = std::max(ink.right, x + 1);
            ink.bottom = std::max(ink.bottom, y + 1);
        }
    return ink;
}

inline int CountPixels(const CDC& dc, COLORREF color, const RECT& area) {
    int n = 0;
    for (LONG y = area.top; y < area.bottom; ++y)
        for (LONG x = area.left; x < area.right; ++x)
            if (dc.GetPixel(x, y) == color) ++n;
    return n;
}

inline bool IsEmptyRect(const RECT& rc) {
    return rc.right <= rc.left || rc.bottom <= rc.top;
}
