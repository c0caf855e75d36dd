#include "render/png_file.h"

#include <png.h>

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/atomic_file.h"

namespace kel {

bool encodePng(const ImageSurface& image, std::vector<unsigned char>& bytes, std::string& error) {
    if (image.width() <= 0 || image.height() <= 0) {
        error = "the image is empty";
        return false;
    }
    std::vector<png_byte> rgb(static_cast<std::size_t>(image.width()) *
                              static_cast<std::size_t>(image.height()) * 3);
    std::size_t at = 0;
    for (const std::uint32_t pixel : image.pixels()) {
        rgb[at++] = static_cast<png_byte>(pixel & 0xFFu);
        rgb[at++] = static_cast<png_byte>((pixel >> 8) & 0xFFu);
        rgb[at++] = static_cast<png_byte>((pixel >> 16) & 0xFFu);
    }
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width());
    png.height = static_cast<png_uint_32>(image.height());
    png.format = PNG_FORMAT_RGB;
    // The first call only measures; the second encodes into a buffer of that size.
    png_alloc_size_t size = 0;
    if (png_image_write_to_memory(&png, nullptr, &size, 0, rgb.data(), 0, nullptr) == 0) {
        error = png.message;
        png_image_free(&png);
        return false;
    }
    std::vector<unsigned char> encoded(size);
    if (png_image_write_to_memory(&png, encoded.data(), &size, 0, rgb.data(), 0, nullptr) == 0) {
        error = png.message;
        png_image_free(&png);
        return false;
    }
    encoded.resize(size);
    bytes = std::move(encoded);
    return true;
}

bool writePng(const ImageSurface& image, const std::string& path, std::string& error) {
    std::vector<unsigned char> bytes;
    if (!encodePng(image, bytes, error)) {
        return false;
    }
    // An image is cheap to make again, so it is not flushed to the disk before the rename.
    return writeFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), false,
        error);
}

bool readPng(const std::string& path, ImageSurface& image, std::string& error) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&png, path.c_str()) == 0) {
        error = png.message;
        png_image_free(&png);
        return false;
    }
    png.format = PNG_FORMAT_RGB;
    if (png.width > 100000 || png.height > 100000) {
        error = "the image is too large";
        png_image_free(&png);
        return false;
    }
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(png));
    if (png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr) == 0) {
        error = png.message;
        png_image_free(&png);
        return false;
    }
    ImageSurface result(static_cast<int>(png.width), static_cast<int>(png.height));
    std::vector<std::uint32_t> row(png.width);
    for (png_uint_32 y = 0; y < png.height; ++y) {
        for (png_uint_32 x = 0; x < png.width; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * png.width + x) * 3;
            row[x] = std::uint32_t{rgb[i]} | (std::uint32_t{rgb[i + 1]} << 8) |
                     (std::uint32_t{rgb[i + 2]} << 16);
        }
        result.setPixelRow(0, static_cast<int>(y), row.data(), static_cast<int>(png.width));
    }
    image = std::move(result);
    return true;
}

}  // namespace kel
