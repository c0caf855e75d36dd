#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kel {

// The most recently used files, most recent first, at most `capacity` entries, no
// duplicates. Persistence is the caller's: entries() and assign() move the list in and out.
class RecentFileList {
public:
    static constexpr std::size_t kDefaultCapacity = 4;

    explicit RecentFileList(std::size_t capacity = kDefaultCapacity) : capacity_(capacity) {}

    // Puts path first; an entry already in the list moves up instead of appearing twice,
    // and the oldest entry falls off when the list is full.
    void add(const std::string& path);
    void remove(const std::string& path);
    // Replaces the list, dropping empty and repeated entries and keeping the first
    // `capacity` of the rest.
    void assign(const std::vector<std::string>& paths);

    const std::vector<std::string>& entries() const { return entries_; }
    std::size_t capacity() const { return capacity_; }
    bool empty() const { return entries_.empty(); }

private:
    std::size_t capacity_;
    std::vector<std::string> entries_;
};

// The menu text of entry index (0-based): "&1 path", with '&' in the path doubled so that
// it shows as itself rather than marking a mnemonic.
std::string recentFileMenuText(std::size_t index, const std::string& path);

}  // namespace kel
