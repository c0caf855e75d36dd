#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kel {

// Exit statuses of kel-render.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // a file cannot be read or an image not written
inline constexpr int kExitUsage = 2;
inline constexpr int kExitDiffer = 3;  // the image differs from the --reference

// The whole of kel-render: args are the arguments after the program name; normal output
// goes to out, messages and timings to err. Returns the exit status.
int runKelRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kel
