#include "files/mesh/mesh_failure.h"

namespace kel {

namespace {

constexpr std::size_t kShownTokenLength = 32;

}  // namespace

std::string lineFailure(const std::string& file, std::size_t line, const std::string& text) {
    return file + ", line " + std::to_string(line) + ": " + text;
}

std::string byteFailure(const std::string& file, std::size_t offset, const std::string& text) {
    return file + ", byte " + std::to_string(offset) + ": " + text;
}

std::string fileFailure(const std::string& file, const std::string& text) {
    return file + ": " + text;
}

std::string quotedToken(std::string_view token) {
    std::string shown = "\"";
    for (std::size_t i = 0; i < token.size() && i < kShownTokenLength; ++i) {
        const auto c = static_cast<unsigned char>(token[i]);
        // Bytes outside ASCII may not be valid text where the message is shown.
        shown += (c < 0x20 || c >= 0x7F) ? '?' : static_cast<char>(c);
    }
    if (token.size() > kShownTokenLength) {
        shown += "...";
    }
    return shown + "\"";
}

}  // namespace kel
