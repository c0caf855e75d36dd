#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kel {

// Writes bytes to path so that path never holds a partial file: a regular file (or a new
// one) is written to a temporary file in the same folder, given the old file's mode, and
// renamed over it; a symbolic link's target is replaced, so the link stays a link. A
// device or FIFO is written directly and never replaced; a directory is refused. On
// failure the temporary is removed, the old file is untouched, and error holds the reason.
bool writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes,
                         std::string& error);

}  // namespace kel
