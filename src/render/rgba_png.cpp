#include "render/rgba_png.h"

#include <png.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace kel {

namespace {

// A PNG file is far smaller than its pixels; this only keeps a huge file out of memory.
constexpr std::uintmax_t kMaxFileBytes = 512ull * 1024ull * 1024ull;

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

bool readRgbaPng(const std::string& path, RgbaImage& image, std::string& error) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) {
        error = "no such file";
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        error = "not a regular file";
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxFileBytes) {
        error = ec ? ec.message() : "the file is too large";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (file.gcount() != static_cast<std::streamsize>(size)) {
        error = "the file could not be read to its end";
        return false;
    }
    return decodeRgbaPng(bytes, image, error);
}

}  // namespace kel
