#pragma once

#include <cstdint>
#include <vector>

#include "model/vector.h"
#include "model/vertex.h"

namespace kel {

// One crossing of a polygon edge with a viewport row: what the shaded renderers
// interpolate along the row.
struct EdgeEntry {
    double x = 0.0;  // viewport column, unrounded
    double depth = 0.0;
    double cosine = 0.0;  // vertex normal . light direction
    double world[3] = {0.0, 0.0, 0.0};
    double normal[3] = {0.0, 0.0, 0.0};  // interpolated, not renormalized
    int next = -1;                       // index of the next entry of the row, -1 at the end
};

// The rows of a viewport that one band draws: every stride-th block of kBlockRows rows,
// starting at block phase.
struct RowShare {
    // Blocks this tall keep most small triangles of a mesh within one band's rows, so few
    // are walked by two bands, and still deal a large viewport out evenly.
    static constexpr int kBlockRows = 64;
    int rows = 0;
    int phase = 0;
    int stride = 1;

    [[nodiscard]] bool has(std::int64_t row) const {
        return stride == 1 || (row / kBlockRows) % stride == phase;
    }
};

// Per viewport row, a singly linked list of crossings; each new crossing is linked in
// front of its row's head. Entries come from one pool that keeps its storage between
// polygons, and only the rows touched since the last clear are cleared again.
class EdgeTable {
public:
    explicit EdgeTable(int rows = 0) { resize(rows); }

    // Rows are grouped in blocks of this many, dealt out in turn to the threads.
    static constexpr int kBlockRows = RowShare::kBlockRows;

    // Changes the row count (negative counts as 0) and clears. With a stride above 1 only
    // the rows of every stride-th block of kBlockRows, starting at block phase, get
    // entries: the share of the viewport that one of stride threads rasterises.
    void resize(int rows, int phase = 0, int stride = 1);
    int rows() const { return static_cast<int>(heads_.size()); }
    int phase() const { return phase_; }
    int stride() const { return stride_; }
    RowShare share() const { return {rows(), phase_, stride_}; }
    void clear();

    // With true, crossings carry world position and normal and leave the cosine at 0;
    // with false (the default) the reverse. Stepping only what the renderer reads saves
    // most of the per-row work.
    void setCarriesSurface(bool carries) { carriesSurface_ = carries; }

    // Adds one crossing per row from a's row up to b's row, the lower end excluded, using
    // the device points, normals and world positions of the two corners and their cosines
    // (normal . light direction). Horizontal edges add nothing; rows outside the table or
    // its share are left out, and the crossings in the share have the same values as in a
    // table that holds every row.
    void addEdge(const Vertex& a, double cosineA, const Vertex& b, double cosineB);

    const EdgeEntry* head(int row) const { return entryAt(heads_[static_cast<std::size_t>(row)]); }
    const EdgeEntry* next(const EdgeEntry& entry) const { return entryAt(entry.next); }

    // The range of rows that may hold entries; empty (first > last) after a clear.
    int firstRow() const { return firstRow_; }
    int lastRow() const { return lastRow_; }

private:
    // The rows of an edge whose ends lie on different rows and that reaches the table.
    template <bool Surface>
    void walk(const Vertex& top, double topCosine, const Vertex& bottom, double bottomCosine);

    const EdgeEntry* entryAt(int i) const {
        return i < 0 ? nullptr : &entries_[static_cast<std::size_t>(i)];
    }

    // The pool only grows: entries_[0, used_) are this polygon's, the rest are left from
    // earlier ones and overwritten when reused, never cleared.
    std::vector<EdgeEntry> entries_;
    std::size_t used_ = 0;
    std::vector<int> heads_;
    int phase_ = 0;
    int stride_ = 1;
    bool carriesSurface_ = false;
    int firstRow_ = 0;
    int lastRow_ = -1;
};

}  // namespace kel
