#include "platform/gui/drawing/PixelArt.h"

#include <QPixmap>

QImage ImageFromArt(const afx_res::PixelArt& art) {
    QImage image(art.width, art.height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < art.height; ++y) {
        const char* row = art.rows[y];
        for (int x = 0; x < art.width && row[x]; ++x) {
            const char key = row[x];
            if (key == ' ' || key == '.') continue;
            for (std::size_t i = 0; i < art.paletteCount; ++i) {
                if (art.palette[i].key != key) continue;
                image.setPixel(x, y, 0xFF000000u | art.palette[i].rgb);
                break;
            }
        }
    }
    return image;
}

QIcon IconFromResource(unsigned nIDIcon) {
    QIcon icon;
    const afx_res::IconResource* resource = afx_res::FindIcon(nIDIcon);
    if (!resource) return icon;
    if (resource->large) icon.addPixmap(QPixmap::fromImage(ImageFromArt(*resource->large)));
    if (resource->small) icon.addPixmap(QPixmap::fromImage(ImageFromArt(*resource->small)));
    return icon;
}
