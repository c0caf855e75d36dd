#include "files/stored_object_name.h"

#include <filesystem>

namespace kel {

std::string storedObjectName(const std::string& name, const std::string& sourceFolder,
                             const std::string& sceneFolder) {
    namespace fs = std::filesystem;
    const fs::path file = (fs::path(sourceFolder) / name).lexically_normal();
    if ((fs::path(sceneFolder) / name).lexically_normal() == file) {
        return name;
    }
    const fs::path relative = file.lexically_relative(sceneFolder);
    return relative.empty() ? file.string() : relative.string();
}

bool canStoreName(const std::string& name) {
    if (name.empty()) {
        return false;
    }
    for (const char c : name) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') {
            return false;
        }
    }
    return true;
}

}  // namespace kel
