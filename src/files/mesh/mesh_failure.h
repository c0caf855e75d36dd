#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kel {

// Words a complaint about a mesh file the way the scene reader does: the file, where in
// it (a line in text, a byte offset in binary data) and what was expected.
std::string lineFailure(const std::string& file, std::size_t line, const std::string& text);
std::string byteFailure(const std::string& file, std::size_t offset, const std::string& text);
std::string fileFailure(const std::string& file, const std::string& text);

// A token as it can be shown in a message: quoted, shortened, control bytes masked.
std::string quotedToken(std::string_view token);

// What a complaint calls each coordinate of a vertex.
inline constexpr const char* kCoordinateNames[3] = {"the x coordinate", "the y coordinate",
                                                    "the z coordinate"};

}  // namespace kel
