#include "platform/CDC.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QWidget>

#include "platform/CWnd.h"
#include "platform/CodePage.h"

CFont::CFont() : m_font(std::make_unique<QFont>()) {}
CFont::~CFont() = default;
const QFont& CFont::GetQFont() const {
    return *m_font;
}
void CFont::SetQFont(const QFont& font) {
    *m_font = font;
}

CDC::CDC() : m_pFont(&m_defaultFont) {
    if (QCoreApplication::instance()) m_defaultFont.SetQFont(QApplication::font());
}
CDC::~CDC() = default;

CFont* CDC::SelectObject(CFont* pFont) {
    CFont* previous = m_pFont;
    if (pFont) m_pFont = pFont;
    return previous;
}

SIZE CDC::GetTextExtent(const CString& text) const {
    const QFontMetrics metrics(m_pFont->GetQFont());
    const QString s = QString::fromStdString(Cp932ToUtf8(text.View()));
    SIZE size;
    size.cx = metrics.horizontalAdvance(s);
    size.cy = metrics.height();
    return size;
}

BOOL CDC::GetTextExtentPoint(LPCTSTR lpszString, int nCount, SIZE* lpSize) const {
    if (!lpSize) return FALSE;
    *lpSize = GetTextExtent(CString(lpszString, nCount));
    return TRUE;
}

CClientDC::CClientDC(CWnd* pWnd) {
    if (pWnd && pWnd->GetWidget()) m_defaultFont.SetQFont(pWnd->GetWidget()->font());
}
