// Lists of small pictures of one size, drawn by index (the list view's row icons).
#pragma once

#include <memory>

#include "platform/base/WinTypes.h"

class CDC;

// Create flags. Every list keeps the pictures' transparency; the colour depth is the screen's.
constexpr UINT ILC_MASK = 0x0001;
constexpr UINT ILC_COLOR = 0x0000;
constexpr UINT ILC_COLOR4 = 0x0004;
constexpr UINT ILC_COLOR8 = 0x0008;
constexpr UINT ILC_COLOR16 = 0x0010;
constexpr UINT ILC_COLOR24 = 0x0018;
constexpr UINT ILC_COLOR32 = 0x0020;

// Draw styles. Transparent parts of a picture are never painted, so ILD_NORMAL and
// ILD_TRANSPARENT draw alike. The blends mix the picture with the system highlight colour.
constexpr UINT ILD_NORMAL = 0x0000;
constexpr UINT ILD_TRANSPARENT = 0x0001;
constexpr UINT ILD_BLEND25 = 0x0002;
constexpr UINT ILD_FOCUS = ILD_BLEND25;
constexpr UINT ILD_BLEND50 = 0x0004;
constexpr UINT ILD_SELECTED = ILD_BLEND50;

class CImageList {
public:
    CImageList();
    ~CImageList();
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
    BOOL DeleteImageList();
    // Appends the icon's picture, scaled to the list's size when the icon has none of that size.
    // Returns its index, or -1.
    int Add(HICON hIcon);
    int GetImageCount() const;
    // FALSE, drawing nothing, for an index that is not in the list.
    BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle) const;

    // The handle is the object itself; nullptr until Create.
    HIMAGELIST GetSafeHandle() const;
    operator HIMAGELIST() const { return GetSafeHandle(); }
    static CImageList* FromHandle(HIMAGELIST hImageList);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle);
int ImageList_GetImageCount(HIMAGELIST himl);
