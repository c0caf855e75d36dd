#include "app/open_request.h"

#include <algorithm>

namespace kel {

std::vector<std::string> openRequestFiles(const std::vector<std::string>& arguments) {
    const auto option = std::find(arguments.begin(), arguments.end(), kOpenRequestOption);
    if (option == arguments.end()) {
        return {};
    }
    std::vector<std::string> files;
    for (auto it = option + 1; it != arguments.end(); ++it) {
        // A repeated option (two %F expansions) separates nothing; skip it.
        if (!it->empty() && *it != kOpenRequestOption) {
            files.push_back(*it);
        }
    }
    return files;
}

}  // namespace kel
