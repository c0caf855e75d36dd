#include "files/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/heap_policy.h"

namespace kel {

namespace {

// Closes the descriptor however the read ends.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool readAll(int fd, std::size_t expected, std::string& text, std::string& reason) {
    std::string content;
    // One byte more than the size, so that the end is seen without growing the buffer.
    content.reserve(expected + 1);
    prefaultForWriting(content.data(), expected + 1);
    content.resize(expected + 1);
    std::size_t used = 0;
    for (;;) {
        if (used == content.size()) {
            if (content.size() > kMaxTextFileBytes) {
                reason = "the file is larger than 1 GiB";
                return false;
            }
            content.resize(content.size() * 2);
        }
        const ssize_t got = ::read(fd, content.data() + used, content.size() - used);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            reason = std::strerror(errno);
            return false;
        }
        if (got == 0) {
            break;
        }
        used += static_cast<std::size_t>(got);
    }
    content.resize(used);
    text = std::move(content);
    return true;
}

}  // namespace

bool readTextFile(const std::string& path, std::string& text, std::string& reason) {
    // Non-blocking, so that opening a FIFO nobody writes to returns at once; fstat then
    // refuses it along with every other kind of file that is not a plain one.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        reason = std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        reason = std::strerror(EISDIR);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        reason = "not a regular file";
        return false;
    }
    const auto size = static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 0);
    if (size > kMaxTextFileBytes) {
        reason = "the file is larger than 1 GiB";
        return false;
    }
    return readAll(fd.get(), size, text, reason);
}

std::string displayName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace kel
