#include "files/text_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace kel {

namespace {

std::string errnoReason(const char* fallback) {
    return errno != 0 ? std::string(std::strerror(errno)) : std::string(fallback);
}

}  // namespace

bool readTextFile(const std::string& path, std::string& text, std::string& reason) {
    std::error_code ec;
    // Opening a folder for reading succeeds on Linux; only the first read fails.
    if (std::filesystem::is_directory(path, ec)) {
        reason = std::strerror(EISDIR);
        return false;
    }
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        reason = errnoReason("cannot be opened");
        return false;
    }
    errno = 0;
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        reason = errnoReason("read error");
        return false;
    }
    text = std::move(content);
    return true;
}

std::string displayName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace kel
