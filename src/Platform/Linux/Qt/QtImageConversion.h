#pragma once

#include "ZelvorCore/Foundation/Image.h"

#include <QImage>

namespace brisklet {

/// A deep copy as QImage::Format_RGBA8888 (straight alpha, same byte order as Image).
QImage toQImage(const Image& image);
/// A deep copy of any QImage as straight-alpha RGBA8.
Image fromQImage(const QImage& image);

} // namespace brisklet
