// Pictures of the resources as Qt images.
#pragma once

#include <QIcon>
#include <QImage>

#include "platform/base/ResourceTables.h"

QImage ImageFromArt(const afx_res::PixelArt& art);
// The icon resource at its sizes; an empty icon when there is none.
QIcon IconFromResource(unsigned nIDIcon);
