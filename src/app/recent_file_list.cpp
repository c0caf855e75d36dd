#include "app/recent_file_list.h"

#include <algorithm>

namespace kel {

void RecentFileList::add(const std::string& path) {
    if (path.empty() || capacity_ == 0) {
        return;
    }
    remove(path);
    entries_.insert(entries_.begin(), path);
    if (entries_.size() > capacity_) {
        entries_.resize(capacity_);
    }
}

void RecentFileList::remove(const std::string& path) {
    entries_.erase(std::remove(entries_.begin(), entries_.end(), path), entries_.end());
}

void RecentFileList::assign(const std::vector<std::string>& paths) {
    entries_.clear();
    for (const std::string& path : paths) {
        if (entries_.size() == capacity_) {
            break;
        }
        if (!path.empty() && std::find(entries_.begin(), entries_.end(), path) == entries_.end()) {
            entries_.push_back(path);
        }
    }
}

std::string recentFileMenuText(std::size_t index, const std::string& path) {
    std::string text(1, '&');
    text.append(std::to_string(index + 1)).append(1, ' ');
    for (const char c : path) {
        text += c;
        if (c == '&') {
            text += '&';
        }
    }
    return text;
}

}  // namespace kel
