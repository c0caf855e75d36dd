#pragma once

#include <cstddef>
#include <string>

namespace kel {

// The largest file read into memory; a scene or mesh is far smaller.
inline constexpr std::size_t kMaxTextFileBytes = std::size_t{1} << 30;

// Reads a whole regular file (or a symlink to one) into text. Anything else is refused
// before a byte is read, so a FIFO, a device such as /dev/zero or a folder can neither
// block nor fill memory. On failure returns false and says why in reason (for example
// "No such file or directory", "Is a directory" or "not a regular file").
[[nodiscard]] bool readTextFile(const std::string& path, std::string& text, std::string& reason);

// The part of a path after its last '/', for naming a file in a message.
std::string displayName(const std::string& path);

}  // namespace kel
