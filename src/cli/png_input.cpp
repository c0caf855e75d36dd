#include "cli/png_input.h"

#include <cstdint>
#include <vector>

#include "files/text_file.h"
#include "render/rgba_png.h"

namespace kel {

bool readPngFile(const std::string& path, RgbaImage& image, std::string& error) {
    std::string contents;
    if (!readTextFile(path, contents, error)) {
        return false;
    }
    const std::vector<std::uint8_t> bytes(contents.begin(), contents.end());
    return decodeRgbaPng(bytes, image, error);
}

}  // namespace kel
