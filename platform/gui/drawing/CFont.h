// Fonts described the way the program stores and exchanges them (LOGFONT, face names in CP932).
#pragma once

#include <memory>

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

class QFont;

constexpr int LF_FACESIZE = 32;

constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;

constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE SHIFTJIS_CHARSET = 128;

struct LOGFONT {
    // Negative: the character height in pixels; positive: the cell height (character height
    // plus internal leading); 0: the default size.
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = FW_DONTCARE;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = DEFAULT_CHARSET;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    char lfFaceName[LF_FACESIZE] = {};  // CP932, zero-terminated
};
using LPLOGFONT = LOGFONT*;

class CFont : public CObject {
public:
    CFont();
    ~CFont() override;
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    // A face that is not installed is drawn with the default face; GetLogFont still reports the
    // face asked for, so that a choice survives being saved and loaded on another desktop.
    BOOL CreateFontIndirect(const LOGFONT* lpLogFont);
    // nPointSize in tenths of a point, at 96 pixels per inch.
    BOOL CreatePointFont(int nPointSize, LPCTSTR lpszFaceName);
    // The LOGFONT the font was made from; for a font set from Qt, one that describes it.
    int GetLogFont(LOGFONT* pLogFont) const;
    // Back to the default font. FALSE when the font was not made by one of the Create calls.
    BOOL DeleteObject();

    // The handle is the object itself; FromHandle(nullptr) is nullptr.
    HFONT GetSafeHandle() const;
    operator HFONT() const { return GetSafeHandle(); }
    static CFont* FromHandle(HFONT hFont);

    // Platform code only.
    const QFont& GetQFont() const;
    void SetQFont(const QFont& font);

private:
    std::unique_ptr<QFont> m_font;
    std::unique_ptr<LOGFONT> m_logFont;  // set by the Create calls
};

// Low word: the average character width of the default user-interface font; high word: its
// height. Dialog units are a quarter of the width and an eighth of the height.
LONG GetDialogBaseUnits();
