#include "app/canonical_path.h"

#include <filesystem>
#include <system_error>

namespace kel {

std::string canonicalPath(const std::string& path) {
    if (path.empty()) {
        return {};
    }
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(path, error);
    return error ? std::string{} : resolved.string();
}

}  // namespace kel
