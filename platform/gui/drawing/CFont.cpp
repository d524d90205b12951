#include "platform/gui/drawing/CFont.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/base/CodePage.h"
#include "platform/base/Mbcs.h"
#include "platform/gui/window/QtText.h"

namespace {

bool HaveGuiApplication() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

QFont DefaultGuiFont() {
    return HaveGuiApplication() ? QApplication::font() : QFont();
}

std::string FaceName(const LOGFONT& lf) {
    return std::string(lf.lfFaceName, ::strnlen(lf.lfFaceName, LF_FACESIZE));
}

void SetFaceName(LOGFONT& lf, std::string_view cp932) {
    const std::size_t n = mbcs::CharBoundaryAtOrBefore(cp932, LF_FACESIZE - 1);
    std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
    std::memcpy(lf.lfFaceName, cp932.data(), n);
}

QFont FontFromLogFont(const LOGFONT& lf) {
    QFont font = DefaultGuiFont();
    const QString face = ToQt(FaceName(lf));
    if (!face.isEmpty() && (!HaveGuiApplication() || QFontDatabase::hasFamily(face)))
        font.setFamily(face);
    if (lf.lfHeight < 0) {
        font.setPixelSize(-lf.lfHeight);
    } else if (lf.lfHeight > 0) {
        // The cell includes the internal leading, which only the face's metrics tell.
        font.setPixelSize(lf.lfHeight);
        if (HaveGuiApplication()) {
            const int cell = QFontMetrics(font).height();
            if (cell > lf.lfHeight) {
                const double scaled = static_cast<double>(lf.lfHeight) * lf.lfHeight / cell;
                font.setPixelSize(std::max(1, static_cast<int>(std::lround(scaled))));
            }
        }
    }
    const int weight =
        lf.lfWeight == FW_DONTCARE ? FW_NORMAL : std::clamp<int>(lf.lfWeight, 1, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    return font;
}

}  // namespace

CFont::CFont() : m_font(std::make_unique<QFont>()) {}
CFont::~CFont() = default;

const QFont& CFont::GetQFont() const {
    return *m_font;
}
void CFont::SetQFont(const QFont& font) {
    *m_font = font;
    m_logFont.reset();
}

BOOL CFont::CreateFontIndirect(const LOGFONT* lpLogFont) {
    if (!lpLogFont) return FALSE;
    *m_font = FontFromLogFont(*lpLogFont);
    m_logFont = std::make_unique<LOGFONT>(*lpLogFont);
    return TRUE;
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName) {
    LOGFONT lf;
    lf.lfHeight = -static_cast<LONG>(std::lround(nPointSize * 96.0 / 720.0));
    lf.lfCharSet = SHIFTJIS_CHARSET;
    if (lpszFaceName) SetFaceName(lf, lpszFaceName);
    return CreateFontIndirect(&lf);
}

int CFont::GetLogFont(LOGFONT* pLogFont) const {
    if (!pLogFont) return 0;
    if (m_logFont) {
        *pLogFont = *m_logFont;
        return sizeof(LOGFONT);
    }
    LOGFONT lf;
    const QFontInfo info(*m_font);
    lf.lfHeight = -info.pixelSize();
    lf.lfWeight = m_font->weight();
    lf.lfItalic = m_font->italic() ? 1 : 0;
    lf.lfUnderline = m_font->underline() ? 1 : 0;
    lf.lfStrikeOut = m_font->strikeOut() ? 1 : 0;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    SetFaceName(lf, FromQt(m_font->family()));
    *pLogFont = lf;
    return sizeof(LOGFONT);
}

BOOL CFont::DeleteObject() {
    if (!m_logFont) return FALSE;
    m_logFont.reset();
    *m_font = QFont();
    return TRUE;
}

HFONT CFont::GetSafeHandle() const {
    return reinterpret_cast<HFONT>(const_cast<CFont*>(this));
}
CFont* CFont::FromHandle(HFONT hFont) {
    return reinterpret_cast<CFont*>(hFont);
}

LONG GetDialogBaseUnits() {
    const QFontMetrics metrics(DefaultGuiFont());
    // The average over the letters, rounded, as dialog templates were laid out with.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int width = (letters / 26 + 1) / 2;
    const int height = metrics.height();
    return static_cast<LONG>((static_cast<DWORD>(height) << 16) |
                             static_cast<DWORD>(width & 0xFFFF));
}
