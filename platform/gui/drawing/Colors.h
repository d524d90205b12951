// Colours as the program stores them (0x00BBGGRR, so that values in the profile keep their
// meaning) and the system colours, which come from the desktop's palette.
#pragma once

#include "platform/base/Afx.h"

using COLORREF = DWORD;

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF rgb) {
    return static_cast<BYTE>(rgb & 0xFF);
}
constexpr BYTE GetGValue(COLORREF rgb) {
    return static_cast<BYTE>((rgb >> 8) & 0xFF);
}
constexpr BYTE GetBValue(COLORREF rgb) {
    return static_cast<BYTE>((rgb >> 16) & 0xFF);
}

// What GetPixel answers for a point it cannot read.
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_3DFACE = COLOR_BTNFACE;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_3DDKSHADOW = 21;

// From the application's palette while a user interface exists, so that the program follows the
// desktop's theme; the classic desktop's colours before that. 0 for an index not listed above.
COLORREF GetSysColor(int nIndex);
