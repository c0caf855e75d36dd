#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <utility>

namespace kel {

namespace {

constexpr int kMaxLinkHops = 40;
constexpr std::size_t kMaxTemporaryBase = 128;
constexpr int kTemporaryAttempts = 100;

std::string reasonOf(int error) {
    return std::strerror(error);
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct Resolved {
    std::string path;
    // A link into /proc (as /dev/stdout is) names an open file, not a place in a folder.
    bool throughProc = false;
};

// Follows symlinks to the name that is finally replaced; the target need not exist.
bool resolveLinks(const std::string& path, Resolved& resolved, std::string& error) {
    std::string current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            resolved.path = current;
            return true;
        }
        std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        const ssize_t length = ::readlink(current.c_str(), link.data(), link.size());
        if (length < 0) {
            error = reasonOf(errno);
            return false;
        }
        link.resize(static_cast<std::size_t>(length));
        current = (!link.empty() && link[0] == '/') ? link : folderOf(current) + "/" + link;
        if (current.rfind("/proc/", 0) == 0) {
            resolved.throughProc = true;
        }
    }
    error = reasonOf(ELOOP);
    return false;
}

// Opens a device or FIFO for writing without waiting for a reader that may never come.
int openDirect(const std::string& path, bool regular, std::string& error) {
    const int flags = O_WRONLY | O_CLOEXEC | O_NONBLOCK | (regular ? O_TRUNC : 0);
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0) {
        error = errno == ENXIO ? std::string("no process is reading from it") : reasonOf(errno);
        return -1;
    }
    // Writes may block as usual once the file is open.
    const int status = ::fcntl(fd, F_GETFL);
    if (status >= 0) {
        ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    }
    return fd;
}

std::string temporaryName(const std::string& target, int attempt) {
    static std::atomic<unsigned> counter{0};
    const auto ticks = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%d.%llx.%u.%d.tmp", static_cast<int>(::getpid()),
                  ticks & 0xFFFFFFFFULL, counter++, attempt);
    // Leave room for the suffix within the 255 bytes a file name may have.
    const std::string base = baseOf(target).substr(0, kMaxTemporaryBase);
    return folderOf(target) + "/." + base + suffix;
}

int createTemporary(const std::string& target, std::string& name, std::string& error) {
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        name = temporaryName(target, attempt);
        // 0666 so that a new file gets the permissions the umask allows, as any file would.
        const int fd =
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0) {
            return fd;
        }
        if (errno != EEXIST) {
            error = reasonOf(errno);
            name.clear();
            return -1;
        }
    }
    error = reasonOf(EEXIST);
    name.clear();
    return -1;
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      sync_(other.sync_),
      direct_(other.direct_),
      finished_(other.finished_),
      target_(std::move(other.target_)),
      temporary_(std::move(other.temporary_)) {
    other.temporary_.clear();
}

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept {
    if (this != &other) {
        discard();
        fd_ = std::exchange(other.fd_, -1);
        sync_ = other.sync_;
        direct_ = other.direct_;
        finished_ = other.finished_;
        target_ = std::move(other.target_);
        temporary_ = std::move(other.temporary_);
        other.temporary_.clear();
    }
    return *this;
}

AtomicFile::~AtomicFile() {
    discard();
}

void AtomicFile::closeDescriptor() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

void AtomicFile::discard() {
    closeDescriptor();
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
    finished_ = false;
}

bool AtomicFile::open(const std::string& path, bool sync, std::string& error) {
    discard();
    sync_ = sync;
    direct_ = false;
    target_ = path;
    if (path.empty()) {
        error = reasonOf(ENOENT);
        return false;
    }
    struct stat info {};
    const bool exists = ::stat(path.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode)) {
        error = reasonOf(EISDIR);
        return false;
    }
    if (exists && S_ISSOCK(info.st_mode)) {
        error = "it is a socket";
        return false;
    }
    Resolved resolved;
    if (!resolveLinks(path, resolved, error)) {
        return false;
    }
    if (exists && (!S_ISREG(info.st_mode) || resolved.throughProc)) {
        direct_ = true;
        fd_ = openDirect(path, S_ISREG(info.st_mode), error);
        return fd_ >= 0;
    }
    target_ = resolved.path;
    // Renaming over a file needs only the folder's permission: a file its owner made
    // read-only must still refuse to be replaced, as writing it in place would.
    if (exists && ::access(target_.c_str(), W_OK) != 0) {
        error = reasonOf(errno);
        return false;
    }
    fd_ = createTemporary(target_, temporary_, error);
    if (fd_ < 0) {
        return false;
    }
    if (exists) {
        // Group and owner only where allowed; then the mode, which chown may have cleared.
        if (::fchown(fd_, info.st_uid, info.st_gid) != 0) {
            (void)::fchown(fd_, static_cast<uid_t>(-1), info.st_gid);
        }
        ::fchmod(fd_, info.st_mode & 07777);
    }
    return true;
}

bool AtomicFile::write(std::string_view bytes, std::string& error) {
    if (fd_ < 0 || finished_) {
        error = reasonOf(EBADF);
        return false;
    }
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            error = reasonOf(written < 0 ? errno : EIO);
            discard();
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool AtomicFile::finish(std::string& error) {
    if (fd_ < 0) {
        error = reasonOf(EBADF);
        return false;
    }
    // A device cannot always be synced (a pipe, a terminal); that is not a failure.
    if (sync_ && !direct_ && ::fsync(fd_) != 0) {
        error = reasonOf(errno);
        discard();
        return false;
    }
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0 && errno != EINTR) {
        error = reasonOf(errno);
        discard();
        return false;
    }
    finished_ = true;
    return true;
}

bool AtomicFile::replace(std::string& error) {
    if (!finished_) {
        error = reasonOf(EBADF);
        return false;
    }
    if (direct_) {
        finished_ = false;
        return true;
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        error = reasonOf(errno);
        discard();
        return false;
    }
    temporary_.clear();
    finished_ = false;
    if (sync_) {
        syncFolder(folderOf(target_));
    }
    return true;
}

bool writeFileAtomically(const std::string& path, std::string_view bytes, bool sync,
                         std::string& error) {
    AtomicFile file;
    return file.open(path, sync, error) && file.write(bytes, error) && file.finish(error) &&
           file.replace(error);
}

}  // namespace kel
