#include "files/vertex_id_table.h"

#include <algorithm>

namespace kel {

void VertexIdTable::reset(std::size_t fileBytes) {
    for (const std::uint32_t id : used_) {
        direct_[id] = Entry{};
    }
    used_.clear();
    // A map that held many ids keeps its buckets; a fresh one costs nothing to clear.
    if (sparse_.bucket_count() > 64) {
        sparse_ = {};
    } else {
        sparse_.clear();
    }
    // A vertex record takes at least 8 bytes ("0 0 0 0\n"), so a file holds fewer vertices
    // than bytes: ids up to its size cover every densely numbered mesh it can hold.
    directLimit_ = std::max(kMinDirectLimit, fileBytes);
    fileBytes_ = fileBytes;
}

void VertexIdTable::expect(std::size_t count) {
    // A vertex record takes at least 8 bytes of the file.
    const std::size_t bounded = std::min(count, fileBytes_ / 8);
    if (direct_.size() < bounded) {
        direct_.resize(bounded);
    }
    used_.reserve(bounded);
}

void VertexIdTable::release() {
    // Swapped with empty ones: clear() would keep the memory.
    std::vector<Entry>().swap(direct_);
    std::vector<std::uint32_t>().swap(used_);
    std::unordered_map<std::uint32_t, Entry>().swap(sparse_);
    directLimit_ = kMinDirectLimit;
}

VertexIdTable::Entry& VertexIdTable::entry(std::uint32_t id) {
    if (id >= directLimit_) {
        return sparse_[id];
    }
    if (id >= direct_.size()) {
        // Doubling, so that ids read in ascending order do not resize at every vertex.
        direct_.resize(std::min(directLimit_, std::max<std::size_t>(id + 1, direct_.size() * 2)));
    }
    Entry& found = direct_[id];
    if (found.vertex == nullptr && found.surfaceMark == 0) {
        used_.push_back(id);
    }
    return found;
}

VertexIdTable::Entry* VertexIdTable::findSparse(std::uint32_t id) {
    const auto found = sparse_.find(id);
    return found == sparse_.end() ? nullptr : &found->second;
}

}  // namespace kel
