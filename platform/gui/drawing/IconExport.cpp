#include "platform/gui/drawing/IconExport.h"

#include <QImage>

#include "platform/gui/drawing/PixelArt.h"

bool AfxSaveIconPng(unsigned nIDIcon, int size, const char* pngPath) {
    const afx_res::IconResource* icon = afx_res::FindIcon(nIDIcon);
    if (!icon) return false;
    const afx_res::PixelArt* art = (size <= 16 && icon->small) ? icon->small : icon->large;
    if (!art) art = icon->small;
    if (!art) return false;
    QImage image = ImageFromArt(*art);
    if (image.width() != size)
        image = image.scaled(size, size, Qt::KeepAspectRatio, Qt::FastTransformation);
    return image.save(QString::fromLocal8Bit(pngPath), "PNG");
}
