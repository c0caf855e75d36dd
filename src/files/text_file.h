#pragma once

#include <string>

namespace kel {

// Reads a whole file into text. On failure returns false and says why in reason (for
// example "No such file or directory" or "Is a directory").
bool readTextFile(const std::string& path, std::string& text, std::string& reason);

// The part of a path after its last '/', for naming a file in a message.
std::string displayName(const std::string& path);

}  // namespace kel
