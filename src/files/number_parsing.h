#pragma once

#include <cstdint>
#include <string_view>

namespace kel {

// Whole-token parsers for the scene and object files. Each accepts the token only if all
// of it is the number: "12abc" is not 12. A leading '+' is allowed, as the stream library
// allows it. None of them depends on the process locale.

// A signed 32-bit decimal integer.
[[nodiscard]] bool parseInt(std::string_view token, std::int32_t& value);
// An unsigned decimal number not above max; a minus sign is refused (no wrap-around).
[[nodiscard]] bool parseUnsigned(std::string_view token, std::uint32_t max, std::uint32_t& value);

enum class RealParse { Ok, NotANumber, OutOfRange, NotFinite };
// A decimal real (2, -0.5, 1e-3, .5). "inf" and "nan" parse but are NotFinite; a value too
// large or too small for a double is OutOfRange.
[[nodiscard]] RealParse parseReal(std::string_view token, double& value);

}  // namespace kel
