#pragma once

#include <string>

namespace kel {

// The absolute path with symbolic links, "." and ".." resolved, or an empty string when
// the file does not exist or cannot be reached. Two names of one file give the same text.
std::string canonicalPath(const std::string& path);

}  // namespace kel
