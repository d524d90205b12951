// Device contexts and fonts, as far as measuring text goes; drawing comes with the list view.
#pragma once

#include <memory>

#include "platform/CString.h"
#include "platform/WinTypes.h"

class QFont;
class CWnd;

class CFont : public CObject {
public:
    CFont();
    ~CFont() override;
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;
    const QFont& GetQFont() const;
    void SetQFont(const QFont& font);

private:
    std::unique_ptr<QFont> m_font;
};

class CDC {
public:
    CDC();
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    // Returns the font selected before.
    CFont* SelectObject(CFont* pFont);
    SIZE GetTextExtent(const CString& text) const;
    BOOL GetTextExtentPoint(LPCTSTR lpszString, int nCount, SIZE* lpSize) const;

protected:
    CFont m_defaultFont;
    CFont* m_pFont;
};

// A context for a window's client area, or for the screen when pWnd is null.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
};
