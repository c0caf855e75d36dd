#include "render/rgba_png.h"

#include <png.h>

#include <cstring>

namespace kel {

namespace {

std::vector<std::uint8_t> withoutAlpha(const RgbaImage& image) {
    std::vector<std::uint8_t> rgb;
    rgb.reserve(image.bytes().size() / 4 * 3);
    const std::vector<std::uint8_t>& rgba = image.bytes();
    for (std::size_t i = 0; i < rgba.size(); i += RgbaImage::kChannels) {
        rgb.insert(rgb.end(), rgba.begin() + static_cast<std::ptrdiff_t>(i),
                   rgba.begin() + static_cast<std::ptrdiff_t>(i + 3));
    }
    return rgb;
}

// Ends the simplified API's use of the image whatever path leaves the function.
struct PngImage {
    png_image png;
    PngImage() {
        std::memset(&png, 0, sizeof png);
        png.version = PNG_IMAGE_VERSION;
    }
    ~PngImage() { png_image_free(&png); }
    PngImage(const PngImage&) = delete;
    PngImage& operator=(const PngImage&) = delete;
};

}  // namespace

bool encodeRgbaPng(const RgbaImage& image, std::vector<std::uint8_t>& bytes, std::string& error) {
    if (image.empty()) {
        error = "the image is empty";
        return false;
    }
    const bool opaque = image.opaque();
    const std::vector<std::uint8_t> rgb =
        opaque ? withoutAlpha(image) : std::vector<std::uint8_t>();
    const void* pixels = opaque ? rgb.data() : image.bytes().data();
    PngImage out;
    out.png.width = static_cast<png_uint_32>(image.width());
    out.png.height = static_cast<png_uint_32>(image.height());
    out.png.format = opaque ? PNG_FORMAT_RGB : PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (png_image_write_to_memory(&out.png, nullptr, &size, 0, pixels, 0, nullptr) == 0) {
        error = out.png.message;
        return false;
    }
    std::vector<std::uint8_t> encoded(size);
    if (png_image_write_to_memory(&out.png, encoded.data(), &size, 0, pixels, 0, nullptr) == 0) {
        error = out.png.message;
        return false;
    }
    encoded.resize(size);
    bytes = std::move(encoded);
    return true;
}

bool decodeRgbaPng(const std::vector<std::uint8_t>& bytes, RgbaImage& image, std::string& error) {
    PngImage in;
    if (png_image_begin_read_from_memory(&in.png, bytes.data(), bytes.size()) == 0) {
        error = in.png.message;
        return false;
    }
    const std::uint64_t pixels = std::uint64_t{in.png.width} * in.png.height;
    if (pixels > kMaxDecodedPixels) {
        error = "the image is too large (" + std::to_string(in.png.width) + "x" +
                std::to_string(in.png.height) + " pixels)";
        return false;
    }
    in.png.format = PNG_FORMAT_RGBA;
    RgbaImage decoded(static_cast<int>(in.png.width), static_cast<int>(in.png.height));
    if (png_image_finish_read(&in.png, nullptr, decoded.bytes().data(), 0, nullptr) == 0) {
        error = in.png.message;
        return false;
    }
    image = std::move(decoded);
    return true;
}

}  // namespace kel
