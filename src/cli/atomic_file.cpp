#include "cli/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

namespace kel {

namespace {

// Closes the descriptor when the writer leaves, whatever way.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, so that a failing close is seen; false with errno set on failure.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, const std::vector<std::uint8_t>& bytes, std::string& error) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = n < 0 ? std::strerror(errno) : "nothing could be written";
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool writeDirectly(const std::string& path, const std::vector<std::uint8_t>& bytes,
                   std::string& error) {
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        error = std::strerror(errno);
        return false;
    }
    if (!writeAll(fd.get(), bytes, error)) {
        return false;
    }
    if (!fd.close()) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

// A new file beside target, created exclusively with mode 0666 less the umask.
int createTemporary(const std::filesystem::path& target, std::string& name) {
    std::random_device device;
    std::mt19937_64 random(device());
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Appended piece by piece: GCC 12 warns falsely about "." + string.
        std::string leaf(".");
        leaf.append(target.filename().string())
            .append(".")
            .append(std::to_string(::getpid()))
            .append(".")
            .append(std::to_string(random() % 1000000000u))
            .append(".tmp");
        const std::filesystem::path candidate = target.parent_path() / leaf;
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            name = candidate.string();
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

bool replaceRegularFile(const std::filesystem::path& target, const struct stat* old,
                        const std::vector<std::uint8_t>& bytes, std::string& error) {
    std::string temporary;
    FileDescriptor fd(createTemporary(target, temporary));
    if (fd.get() < 0) {
        error = std::strerror(errno);
        return false;
    }
    const auto fail = [&temporary](std::string& message, const std::string& reason) {
        message = reason;
        ::unlink(temporary.c_str());
        return false;
    };
    std::string reason;
    if (!writeAll(fd.get(), bytes, reason)) {
        return fail(error, reason);
    }
    if (old != nullptr && ::fchmod(fd.get(), old->st_mode & 07777) != 0) {
        return fail(error, std::strerror(errno));
    }
    if (!fd.close()) {
        return fail(error, std::strerror(errno));
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        return fail(error, std::strerror(errno));
    }
    return true;
}

}  // namespace

bool writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes,
                         std::string& error) {
    std::filesystem::path target(path);
    std::error_code ec;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(target, ec))) {
        // Replace what the link points at, so the link itself stays.
        const std::filesystem::path resolved = std::filesystem::weakly_canonical(target, ec);
        if (ec) {
            error = ec.message();
            return false;
        }
        target = resolved;
    }
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode)) {
            error = "it is a directory";
            return false;
        }
        if (!S_ISREG(old.st_mode)) {
            return writeDirectly(target.string(), bytes, error);
        }
        return replaceRegularFile(target, &old, bytes, error);
    }
    if (errno != ENOENT) {
        error = std::strerror(errno);
        return false;
    }
    return replaceRegularFile(target, nullptr, bytes, error);
}

}  // namespace kel
