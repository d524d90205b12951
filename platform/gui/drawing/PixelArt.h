// Pictures of the resources as Qt images.
#pragma once

#include <QIcon>
#include <QImage>

#include "res/Resources.h"

QImage ImageFromArt(const res::PixelArt& art);
// The icon resource at its sizes; an empty icon when there is none.
QIcon IconFromResource(unsigned nIDIcon);
