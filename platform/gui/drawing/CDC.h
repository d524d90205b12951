// Device contexts: measuring text, and drawing through a painter that platform code hands over
// (owner-drawn controls) or into a picture in memory (CImageDC).
#pragma once

#include <memory>
#include <vector>

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"
#include "platform/gui/drawing/CBrush.h"
#include "platform/gui/drawing/CFont.h"
#include "platform/gui/drawing/Colors.h"

class QImage;
class QPainter;
class CWnd;

// Background modes
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// DrawText formats
constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;  // with DT_SINGLELINE only
constexpr UINT DT_BOTTOM = 0x0008;   // with DT_SINGLELINE only
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_CALCRECT = 0x0400;
constexpr UINT DT_NOPREFIX = 0x0800;
constexpr UINT DT_END_ELLIPSIS = 0x8000;

struct TEXTMETRIC {
    LONG tmHeight = 0;  // tmAscent + tmDescent
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmInternalLeading = 0;
    LONG tmExternalLeading = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
    LONG tmWeight = 0;
    BYTE tmItalic = 0;
    BYTE tmCharSet = 0;
};
using LPTEXTMETRIC = TEXTMETRIC*;

class CDC {
public:
    // Measures only: the drawing calls do nothing.
    CDC();
    // Draws with the painter, which must outlive this object or be detached first.
    explicit CDC(QPainter* pPainter);
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    void Attach(QPainter* pPainter);
    QPainter* Detach();
    // The handle is the object itself, as handed to owner-draw code and ImageList_Draw.
    HDC GetSafeHdc() const { return m_hDC; }
    static CDC* FromHandle(HDC hDC);
    HDC m_hDC;

    // Each returns the object selected before.
    CFont* SelectObject(CFont* pFont);
    CBrush* SelectObject(CBrush* pBrush);
    CFont* GetCurrentFont() const { return m_state.pFont; }

    COLORREF SetTextColor(COLORREF crColor);
    COLORREF GetTextColor() const { return m_state.textColor; }
    // Fills behind text in OPAQUE mode, and FillSolidRect sets it as a side effect.
    COLORREF SetBkColor(COLORREF crColor);
    COLORREF GetBkColor() const { return m_state.bkColor; }
    int SetBkMode(int nBkMode);
    int GetBkMode() const { return m_state.bkMode; }
    // Colours, background mode and selected objects; RestoreDC(-1) takes back the latest.
    int SaveDC();
    BOOL RestoreDC(int nSavedDC);

    SIZE GetTextExtent(const CString& text) const;
    BOOL GetTextExtentPoint(LPCTSTR lpszString, int nCount, SIZE* lpSize) const;
    BOOL GetTextMetrics(LPTEXTMETRIC lpMetrics) const;

    void FillRect(LPCRECT lpRect, CBrush* pBrush);
    void FillSolidRect(LPCRECT lpRect, COLORREF clr);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
    // A one-pixel frame just inside the rectangle.
    void FrameRect(LPCRECT lpRect, CBrush* pBrush);
    // Dotted, inverting what lies below, so that it shows on any background and a second call
    // takes it away.
    void DrawFocusRect(LPCRECT lpRect);
    // Text in CP932 (nCount -1: up to the terminating zero). Without DT_NOPREFIX "&x" underlines
    // x and "&&" shows one "&". Returns the height of the text; DT_CALCRECT only measures,
    // moving the rectangle's right and bottom edges.
    int DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat);
    int DrawText(const CString& str, LPRECT lpRect, UINT nFormat);
    // CLR_INVALID unless the context draws into a picture in memory.
    virtual COLORREF GetPixel(int x, int y) const;

    // Platform code only.
    QPainter* GetPainter() const { return m_pPainter; }

protected:
    struct State {
        CFont* pFont = nullptr;
        CBrush* pBrush = nullptr;
        COLORREF textColor = 0;
        COLORREF bkColor = 0xFFFFFF;
        int bkMode = OPAQUE;
    };
    CFont m_defaultFont;
    CBrush m_defaultBrush;
    State m_state;
    std::vector<State> m_saved;
    QPainter* m_pPainter = nullptr;
};

// A context for a window's client area, or for the screen when pWnd is null. It measures with
// the window's font; drawing happens only in paint handlers.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
};

// Draws into a picture in memory of cx by cy pixels, filled with clrFill to begin with.
class CImageDC : public CDC {
public:
    CImageDC(int cx, int cy, COLORREF clrFill = RGB(255, 255, 255));
    ~CImageDC() override;
    COLORREF GetPixel(int x, int y) const override;
    // Platform code only; the picture as drawn so far.
    const QImage& GetImage() const;

private:
    std::unique_ptr<QImage> m_image;
    std::unique_ptr<QPainter> m_painter;
};
