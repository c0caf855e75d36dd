#pragma once

#include <string>
#include <vector>

namespace kel {

// The option the desktop entry puts before the files it asks the program to open.
inline constexpr const char* kOpenRequestOption = "--open-request";

// The files named after kOpenRequestOption on a command line (argv[0] excluded). Any
// other argument is not the program's business and is ignored, as is everything when the
// option is absent: the viewer starts with no document whatever it is given.
std::vector<std::string> openRequestFiles(const std::vector<std::string>& arguments);

}  // namespace kel
