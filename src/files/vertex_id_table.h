#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace kel {

class Vertex;

// The vertices of the object file being read, found by id, with the number of the surface
// that last used each id.
//
// What an object costs follows the size of its file, not the ids it names: ids below a
// bound taken from the file size index a table that grows only as far as the largest of
// them; larger ids (far more than such a file could hold densely) go to a hash map. Between
// objects only the entries that were used are reset.
class VertexIdTable {
public:
    struct Entry {
        Vertex* vertex = nullptr;
        std::uint32_t surfaceMark = 0;  // 0: no polygon of this object used the id yet
    };

    // Starts the next object, whose file is fileBytes long.
    void reset(std::size_t fileBytes);
    // Room for count vertices of ids 0 to count - 1, the usual numbering, so that storing
    // them grows nothing; count is taken as given only as far as the file could hold.
    void expect(std::size_t count);
    // Gives back all memory, once the last object is read.
    void release();
    // The entry of id, made empty on first use.
    Entry& entry(std::uint32_t id);
    // The entry of id, or null when no vertex was stored under it. Inline: it runs once
    // per polygon corner.
    Entry* find(std::uint32_t id) {
        if (id >= directLimit_) {
            return findSparse(id);
        }
        return id < direct_.size() && direct_[id].vertex != nullptr ? &direct_[id] : nullptr;
    }

    // How many entries the direct table holds now (for tests of the growth bound).
    std::size_t directSize() const { return direct_.size(); }

private:
    Entry* findSparse(std::uint32_t id);

    static constexpr std::size_t kMinDirectLimit = 1024;

    std::vector<Entry> direct_;
    std::vector<std::uint32_t> used_;
    std::unordered_map<std::uint32_t, Entry> sparse_;
    std::size_t directLimit_ = kMinDirectLimit;
    std::size_t fileBytes_ = 0;
};

}  // namespace kel
