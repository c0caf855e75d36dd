#pragma once

#include <QImage>

namespace kel {

class ImageSurface;

// The surface's pixels (0x00BBGGRR) as an opaque RGB image of the same size.
QImage toQImage(const ImageSurface& surface);

}  // namespace kel
