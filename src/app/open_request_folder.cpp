#include "app/open_request_folder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace kel {

std::string unsafeFolderReason(const std::string& folder, uid_t uid) {
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) {
        return folder + ": " + std::strerror(errno);
    }
    if (S_ISLNK(info.st_mode)) {
        return folder + " is a symbolic link";
    }
    if (!S_ISDIR(info.st_mode)) {
        return folder + " is not a folder";
    }
    if (info.st_uid != uid) {
        return folder + " belongs to another user";
    }
    if ((info.st_mode & 07777) != 0700) {
        return folder + " can be reached by other users";
    }
    return {};
}

std::string openRequestSocketPath(const std::string& folder, uid_t uid) {
    return folder + "/kel-open-request-" + std::to_string(uid);
}

std::string openRequestFolder(const std::string& runtimeFolder, const std::string& tempFolder,
                              uid_t uid, std::string& problem) {
    problem.clear();
    if (!runtimeFolder.empty() && runtimeFolder.front() == '/') {
        const std::string reason = unsafeFolderReason(runtimeFolder, uid);
        if (reason.empty()) {
            return runtimeFolder;
        }
        problem = reason + "; ";
    }
    if (tempFolder.empty()) {
        problem += "there is no temporary folder";
        return {};
    }
    const std::string own = tempFolder + "/kel-" + std::to_string(uid);
    // mkdir fails on anything already there, a symlink included; lstat below judges that.
    if (::mkdir(own.c_str(), 0700) != 0 && errno != EEXIST) {
        problem += own + ": " + std::strerror(errno);
        return {};
    }
    const std::string reason = unsafeFolderReason(own, uid);
    if (!reason.empty()) {
        problem += reason;
        return {};
    }
    problem.clear();
    return own;
}

}  // namespace kel
