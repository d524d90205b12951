#include "platform/gui/drawing/CDC.h"

#include <QApplication>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygon>
#include <QScreen>
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/base/CodePage.h"
#include "platform/gui/drawing/GdiToQt.h"
#include "platform/gui/window/CWnd.h"
#include "platform/gui/window/QtText.h"

namespace {

// Widths of texts already measured in the font last asked about. The status bar measures its
// count panes for every ID a pickup finds, and the list measures the same cells on every paint;
// shaping a text costs far more than looking it up. Counts differ only in their digits, which
// in most fonts are all equally wide, so in such a font they share one entry.
class ExtentCache {
public:
    int Width(const QFont& font, std::string_view cp932) {
        if (!m_haveFont || !(font == m_font)) {
            m_font = font;
            m_haveFont = true;
            m_widths.clear();
            const QFontMetrics metrics(font);
            const int zero = metrics.horizontalAdvance(QLatin1Char('0'));
            m_uniformDigits = true;
            for (char d = '1'; d <= '9'; ++d)
                m_uniformDigits =
                    m_uniformDigits && metrics.horizontalAdvance(QLatin1Char(d)) == zero;
        }
        std::string key(cp932);
        // 0x30..0x39 is never the second byte of a double-byte character.
        if (m_uniformDigits)
            for (char& c : key)
                if (c >= '1' && c <= '9') c = '0';
        if (auto it = m_widths.find(key); it != m_widths.end()) return it->second;
        if (m_widths.size() >= kMaxEntries) m_widths.clear();
        const int width = QFontMetrics(font).horizontalAdvance(ToQt(cp932));
        m_widths.emplace(std::move(key), width);
        return width;
    }

private:
    static constexpr std::size_t kMaxEntries = 4096;
    QFont m_font;
    bool m_haveFont = false;
    bool m_uniformDigits = false;
    std::unordered_map<std::string, int> m_widths;
};

QString TextOf(LPCTSTR lpszString, int nCount) {
    if (!lpszString) return {};
    const std::size_t length = nCount < 0 ? std::strlen(lpszString)
                                          : ::strnlen(lpszString, static_cast<std::size_t>(nCount));
    return ToQt(std::string_view(lpszString, length));
}

int QtTextFlags(UINT nFormat) {
    int flags = Qt::TextDontClip;  // clipping is done on the painter, so that DT_NOCLIP works
    if (nFormat & DT_CENTER)
        flags |= Qt::AlignHCenter;
    else if (nFormat & DT_RIGHT)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    // The vertical placements mean something on a single line only.
    if ((nFormat & DT_SINGLELINE) && (nFormat & DT_VCENTER))
        flags |= Qt::AlignVCenter;
    else if ((nFormat & DT_SINGLELINE) && (nFormat & DT_BOTTOM))
        flags |= Qt::AlignBottom;
    else
        flags |= Qt::AlignTop;
    if (nFormat & DT_SINGLELINE) flags |= Qt::TextSingleLine;
    if (nFormat & DT_WORDBREAK) flags |= Qt::TextWordWrap;
    if (!(nFormat & DT_NOPREFIX)) flags |= Qt::TextShowMnemonic;
    return flags;
}

// The text as shown with mnemonics: "&&" is one "&", any other "&" goes.
QString WithoutPrefixes(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && ++i >= text.size()) break;
        shown += text[i];
    }
    return shown;
}

QSize MeasureText(const QFontMetrics& metrics, const QString& text, int flags, UINT nFormat,
                  int width) {
    if ((nFormat & DT_WORDBREAK) && !(nFormat & DT_SINGLELINE))
        return metrics.boundingRect(QRect(0, 0, std::max(1, width), 1 << 20), flags, text).size();
    // Line by line with the advance, so that a measured text is exactly as wide as its extent.
    QString shown = (nFormat & DT_NOPREFIX) ? text : WithoutPrefixes(text);
    QStringList lines;
    if (nFormat & DT_SINGLELINE)
        lines << shown.replace(u'\r', u' ').replace(u'\n', u' ');
    else
        lines = shown.split(u'\n');
    int widest = 0;
    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
    return QSize(widest, static_cast<int>(lines.size()) * metrics.height());
}

}  // namespace

CDC::CDC() : m_hDC(reinterpret_cast<HDC>(this)) {
    if (QCoreApplication::instance()) m_defaultFont.SetQFont(QApplication::font());
    m_defaultBrush.CreateSolidBrush(RGB(255, 255, 255));
    m_state.pFont = &m_defaultFont;
    m_state.pBrush = &m_defaultBrush;
}

CDC::CDC(QPainter* pPainter) : CDC() {
    Attach(pPainter);
}

CDC::~CDC() = default;

void CDC::Attach(QPainter* pPainter) {
    m_pPainter = pPainter;
    // As a window's device context comes with the window's font chosen: a painter on a widget
    // starts with the widget's font.
    if (pPainter && pPainter->isActive()) m_defaultFont.SetQFont(pPainter->font());
}

QPainter* CDC::Detach() {
    QPainter* painter = m_pPainter;
    m_pPainter = nullptr;
    return painter;
}

CDC* CDC::FromHandle(HDC hDC) {
    return reinterpret_cast<CDC*>(hDC);
}

CFont* CDC::SelectObject(CFont* pFont) {
    CFont* previous = m_state.pFont;
    if (pFont) m_state.pFont = pFont;
    return previous;
}

CBrush* CDC::SelectObject(CBrush* pBrush) {
    CBrush* previous = m_state.pBrush;
    if (pBrush) m_state.pBrush = pBrush;
    return previous;
}

COLORREF CDC::SetTextColor(COLORREF crColor) {
    return std::exchange(m_state.textColor, crColor);
}

COLORREF CDC::SetBkColor(COLORREF crColor) {
    return std::exchange(m_state.bkColor, crColor);
}

int CDC::SetBkMode(int nBkMode) {
    if (nBkMode != TRANSPARENT && nBkMode != OPAQUE) return 0;
    return std::exchange(m_state.bkMode, nBkMode);
}

int CDC::SaveDC() {
    m_saved.push_back(m_state);
    return static_cast<int>(m_saved.size());
}

BOOL CDC::RestoreDC(int nSavedDC) {
    const int depth = static_cast<int>(m_saved.size());
    const int level = nSavedDC < 0 ? depth + 1 + nSavedDC : nSavedDC;
    if (level < 1 || level > depth) return FALSE;
    m_state = m_saved[static_cast<std::size_t>(level - 1)];
    m_saved.resize(static_cast<std::size_t>(level - 1));
    return TRUE;
}

SIZE CDC::GetTextExtent(const CString& text) const {
    // Never destroyed: fonts must not outlive the application object.
    static auto* const cache = new ExtentCache;
    static std::mutex mutex;
    const QFont& font = m_state.pFont->GetQFont();
    SIZE size;
    {
        const std::lock_guard lock(mutex);
        size.cx = cache->Width(font, text.View());
    }
    size.cy = QFontMetrics(font).height();
    return size;
}

BOOL CDC::GetTextExtentPoint(LPCTSTR lpszString, int nCount, SIZE* lpSize) const {
    if (!lpSize) return FALSE;
    *lpSize = GetTextExtent(CString(lpszString, nCount));
    return TRUE;
}

BOOL CDC::GetTextMetrics(LPTEXTMETRIC lpMetrics) const {
    if (!lpMetrics) return FALSE;
    const QFont& font = m_state.pFont->GetQFont();
    const QFontMetrics metrics(font);
    TEXTMETRIC tm;
    tm.tmAscent = metrics.ascent();
    tm.tmDescent = metrics.descent();
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = std::max(0, tm.tmHeight - QFontInfo(font).pixelSize());
    tm.tmExternalLeading = std::max(0, metrics.leading());
    tm.tmAveCharWidth = metrics.averageCharWidth();
    tm.tmMaxCharWidth = metrics.maxWidth();
    tm.tmWeight = font.weight();
    tm.tmItalic = font.italic() ? 1 : 0;
    tm.tmCharSet = SHIFTJIS_CHARSET;
    *lpMetrics = tm;
    return TRUE;
}

void CDC::FillRect(LPCRECT lpRect, CBrush* pBrush) {
    if (!m_pPainter || !lpRect || !pBrush || !pBrush->IsCreated()) return;
    const QRect r = ToQRect(*lpRect);
    if (r.isEmpty()) return;
    m_pPainter->fillRect(r, ToQColor(pBrush->GetColor()));
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
    if (!lpRect) return;
    FillSolidRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left,
                  lpRect->bottom - lpRect->top, clr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
    // The classic implementation fills through the background colour and leaves it set.
    SetBkColor(clr);
    if (!m_pPainter || cx <= 0 || cy <= 0) return;
    m_pPainter->fillRect(QRect(x, y, cx, cy), ToQColor(clr));
}

void CDC::FrameRect(LPCRECT lpRect, CBrush* pBrush) {
    if (!m_pPainter || !lpRect || !pBrush || !pBrush->IsCreated()) return;
    const QRect r = ToQRect(*lpRect);
    if (r.isEmpty()) return;
    const QColor color = ToQColor(pBrush->GetColor());
    m_pPainter->fillRect(QRect(r.left(), r.top(), r.width(), 1), color);
    m_pPainter->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), color);
    m_pPainter->fillRect(QRect(r.left(), r.top(), 1, r.height()), color);
    m_pPainter->fillRect(QRect(r.right(), r.top(), 1, r.height()), color);
}

void CDC::DrawFocusRect(LPCRECT lpRect) {
    if (!m_pPainter || !lpRect) return;
    const QRect r = ToQRect(*lpRect);
    if (r.isEmpty()) return;
    // Every other pixel of the border, each once, so that inverting it twice restores it.
    QPolygon dots;
    auto add = [&dots](int x, int y) {
        if (((x + y) & 1) == 0) dots << QPoint(x, y);
    };
    for (int x = r.left(); x <= r.right(); ++x) {
        add(x, r.top());
        if (r.bottom() != r.top()) add(x, r.bottom());
    }
    for (int y = r.top() + 1; y < r.bottom(); ++y) {
        add(r.left(), y);
        if (r.right() != r.left()) add(r.right(), y);
    }
    QPainter& p = *m_pPainter;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    if (p.paintEngine() && p.paintEngine()->hasFeature(QPaintEngine::RasterOpModes)) {
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QPen(QColor(255, 255, 255), 0));
    } else {
        p.setPen(QPen(ToQColor(m_state.textColor), 0));
    }
    p.drawPoints(dots);
    p.restore();
}

int CDC::DrawText(const CString& str, LPRECT lpRect, UINT nFormat) {
    return DrawText(str.GetString(), str.GetLength(), lpRect, nFormat);
}

int CDC::DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat) {
    if (!lpRect) return 0;
    QString text = TextOf(lpszString, nCount);
    const int flags = QtTextFlags(nFormat);
    const QFont& font = m_state.pFont->GetQFont();
    const QFontMetrics metrics(font);
    QRect r = ToQRect(*lpRect);

    if (nFormat & DT_CALCRECT) {
        const QSize size = MeasureText(metrics, text, flags, nFormat, r.width());
        lpRect->right = lpRect->left + size.width();
        lpRect->bottom = lpRect->top + size.height();
        return size.height();
    }
    if ((nFormat & DT_END_ELLIPSIS) && (nFormat & DT_SINGLELINE))
        text = metrics.elidedText(text, Qt::ElideRight, std::max(0, r.width()),
                                  flags & Qt::TextShowMnemonic);
    const QRect box = metrics.boundingRect(r, flags, text);
    const int result = (nFormat & DT_SINGLELINE) && (nFormat & (DT_VCENTER | DT_BOTTOM))
                           ? box.top() + box.height() - r.top()
                           : box.height();
    if (!m_pPainter) return result;

    QPainter& p = *m_pPainter;
    p.save();
    if (!(nFormat & DT_NOCLIP)) p.setClipRect(r, Qt::IntersectClip);
    if (m_state.bkMode == OPAQUE) p.fillRect(box, ToQColor(m_state.bkColor));
    p.setFont(font);
    p.setPen(ToQColor(m_state.textColor));
    p.drawText(r, flags, text);
    p.restore();
    return result;
}

COLORREF CDC::GetPixel(int, int) const {
    return CLR_INVALID;
}

CClientDC::CClientDC(CWnd* pWnd) {
    if (pWnd && pWnd->GetWidget()) m_defaultFont.SetQFont(pWnd->GetWidget()->font());
}

CImageDC::CImageDC(int cx, int cy, COLORREF clrFill)
    : m_image(std::make_unique<QImage>(std::max(1, cx), std::max(1, cy), QImage::Format_RGB32)) {
    // Measured and drawn text agree only when the picture has the screen's resolution.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const int dotsPerMeter = qRound(screen->logicalDotsPerInch() / 0.0254);
        m_image->setDotsPerMeterX(dotsPerMeter);
        m_image->setDotsPerMeterY(dotsPerMeter);
    }
    m_image->fill(ToQColor(clrFill));
    m_painter = std::make_unique<QPainter>(m_image.get());
    Attach(m_painter.get());
}

CImageDC::~CImageDC() {
    Detach();
    m_painter->end();
}

COLORREF CImageDC::GetPixel(int x, int y) const {
    if (!m_image->valid(x, y)) return CLR_INVALID;
    return FromQColor(QColor::fromRgb(m_image->pixel(x, y)));
}

const QImage& CImageDC::GetImage() const {
    return *m_image;
}
