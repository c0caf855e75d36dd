#include "app/surface_image.h"

#include "render/image_surface.h"

namespace kel {

QImage toQImage(const ImageSurface& surface) {
    QImage image(surface.width(), surface.height(), QImage::Format_RGB32);
    for (int y = 0; y < surface.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < surface.width(); ++x) {
            const std::uint32_t color = surface.pixel(x, y);
            line[x] = qRgb(static_cast<int>(color & 0xFFu), static_cast<int>((color >> 8) & 0xFFu),
                           static_cast<int>((color >> 16) & 0xFFu));
        }
    }
    return image;
}

}  // namespace kel
