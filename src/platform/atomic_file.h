#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kel {

// Replaces a file so that a failure never leaves it half written.
//
// For a regular file (or a name that does not exist yet) the bytes go to a temporary file
// in the target's folder, created with the old file's mode; replace() renames it over the
// target. A symlink is followed to the file it names, so the link stays a link. Any failure,
// or destruction before replace(), removes the temporary and leaves the old file as it was.
//
// A device or FIFO (/dev/null, /dev/stdout, a process substitution) is written directly:
// it is never unlinked or replaced. A directory, a socket or a FIFO nobody reads from is
// refused. Every error text is the system's reason ("No space left on device").
class AtomicFile {
public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    AtomicFile(AtomicFile&& other) noexcept;
    AtomicFile& operator=(AtomicFile&& other) noexcept;
    ~AtomicFile();

    // sync: finish() flushes the data to the disk before the rename can make it visible.
    [[nodiscard]] bool open(const std::string& path, bool sync, std::string& error);
    [[nodiscard]] bool write(std::string_view bytes, std::string& error);
    // Flushes (when asked to) and closes; the old file is still in place.
    [[nodiscard]] bool finish(std::string& error);
    // Puts the finished file in place of the old one.
    [[nodiscard]] bool replace(std::string& error);
    // Drops whatever was written; the old file stays.
    void discard();

    // True when the target is written in place (a device or a FIFO).
    bool writesDirectly() const { return direct_; }
    // The file that is replaced: the target of a symlink, else the name given.
    const std::string& targetPath() const { return target_; }

private:
    void closeDescriptor();

    int fd_ = -1;
    bool sync_ = false;
    bool direct_ = false;
    bool finished_ = false;
    std::string target_;
    std::string temporary_;
};

// open, write, finish and replace in one go.
[[nodiscard]] bool writeFileAtomically(const std::string& path, std::string_view bytes, bool sync,
                                       std::string& error);

}  // namespace kel
