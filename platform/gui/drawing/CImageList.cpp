#include "platform/gui/drawing/CImageList.h"

#include <QImage>
#include <QPainter>
#include <vector>

#include "platform/base/ResourceTables.h"
#include "platform/gui/drawing/CDC.h"
#include "platform/gui/drawing/GdiToQt.h"
#include "platform/gui/drawing/PixelArt.h"

namespace {

const afx_res::PixelArt* ArtOfSize(const afx_res::IconResource& icon, int cx, int cy) {
    for (const afx_res::PixelArt* art : {icon.small, icon.large})
        if (art && art->width == cx && art->height == cy) return art;
    if (cx <= 16 && icon.small) return icon.small;
    return icon.large ? icon.large : icon.small;
}

// Mixes every painted pixel with the colour, keeping the picture's transparency.
void Blend(QImage& image, COLORREF clr, int percent) {
    const int r = GetRValue(clr), g = GetGValue(clr), b = GetBValue(clr);
    auto mix = [percent](int from, int to) {
        return (from * (100 - percent) + to * percent) / 100;
    };
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = line[x];
            if (qAlpha(px) == 0) continue;
            line[x] = qRgba(mix(qRed(px), r), mix(qGreen(px), g), mix(qBlue(px), b), qAlpha(px));
        }
    }
}

}  // namespace

struct CImageList::Impl {
    bool created = false;
    int cx = 0;
    int cy = 0;
    std::vector<QImage> images;  // ARGB32, cx by cy
};

CImageList::CImageList() : m_impl(std::make_unique<Impl>()) {}
CImageList::~CImageList() = default;

BOOL CImageList::Create(int cx, int cy, UINT /*nFlags*/, int nInitial, int /*nGrow*/) {
    if (cx <= 0 || cy <= 0) return FALSE;
    *m_impl = Impl{true, cx, cy, {}};
    if (nInitial > 0) m_impl->images.reserve(static_cast<std::size_t>(nInitial));
    return TRUE;
}

BOOL CImageList::DeleteImageList() {
    if (!m_impl->created) return FALSE;
    *m_impl = Impl{};
    return TRUE;
}

int CImageList::Add(HICON hIcon) {
    if (!m_impl->created || !hIcon) return -1;
    const auto id = static_cast<unsigned>(reinterpret_cast<UINT_PTR>(hIcon));
    const afx_res::IconResource* icon = afx_res::FindIcon(id);
    if (!icon) return -1;
    const afx_res::PixelArt* art = ArtOfSize(*icon, m_impl->cx, m_impl->cy);
    if (!art) return -1;
    QImage image = ImageFromArt(*art);
    if (image.width() != m_impl->cx || image.height() != m_impl->cy)
        image =
            image.scaled(m_impl->cx, m_impl->cy, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_impl->images.push_back(image.convertToFormat(QImage::Format_ARGB32));
    return static_cast<int>(m_impl->images.size()) - 1;
}

int CImageList::GetImageCount() const {
    return static_cast<int>(m_impl->images.size());
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle) const {
    if (!pDC || nImage < 0 || nImage >= GetImageCount()) return FALSE;
    QPainter* painter = pDC->GetPainter();
    if (!painter) return FALSE;
    QImage image = m_impl->images[static_cast<std::size_t>(nImage)];
    if (nStyle & ILD_BLEND50)
        Blend(image, GetSysColor(COLOR_HIGHLIGHT), 50);
    else if (nStyle & ILD_BLEND25)
        Blend(image, GetSysColor(COLOR_HIGHLIGHT), 25);
    painter->drawImage(QPoint(pt.x, pt.y), image);
    return TRUE;
}

HIMAGELIST CImageList::GetSafeHandle() const {
    return m_impl->created ? reinterpret_cast<HIMAGELIST>(const_cast<CImageList*>(this)) : nullptr;
}

CImageList* CImageList::FromHandle(HIMAGELIST hImageList) {
    return reinterpret_cast<CImageList*>(hImageList);
}

BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle) {
    CImageList* list = CImageList::FromHandle(himl);
    if (!list) return FALSE;
    POINT pt;
    pt.x = x;
    pt.y = y;
    return list->Draw(CDC::FromHandle(hdcDst), i, pt, fStyle);
}

int ImageList_GetImageCount(HIMAGELIST himl) {
    CImageList* list = CImageList::FromHandle(himl);
    return list ? list->GetImageCount() : 0;
}
