#include "files/mesh/surface_builder.h"

#include <algorithm>
#include <map>
#include <memory>
#include <numeric>

#include "files/mesh/side_by_side.h"
#include "model/polygon.h"
#include "model/scene_object.h"
#include "model/vertex.h"

namespace kel {

namespace {

// Disjoint sets over faces, smallest face first as representative.
class FaceSets {
public:
    explicit FaceSets(std::size_t count) : parent_(count) {
        std::iota(parent_.begin(), parent_.end(), 0u);
    }
    std::uint32_t root(std::uint32_t f) {
        while (parent_[f] != f) {
            parent_[f] = parent_[parent_[f]];
            f = parent_[f];
        }
        return f;
    }
    void join(std::uint32_t a, std::uint32_t b) {
        a = root(a);
        b = root(b);
        if (a != b) {
            parent_[std::max(a, b)] = std::min(a, b);
        }
    }

private:
    std::vector<std::uint32_t> parent_;
};

constexpr std::ptrdiff_t kMaxPairs = 64;

struct Edge {
    std::uint32_t other;  // the larger vertex index
    std::uint32_t face;
};

// The buffers of the edge buckets, all made on the calling thread: filled on a worker,
// they would otherwise come from that thread's own arena, in fresh pages every time.
struct EdgeBuckets {
    explicit EdgeBuckets(const MeshData& mesh)
        : starts(mesh.vertexCount() + 1, 0),
          fill(mesh.vertexCount()),
          // A face has at most as many edges as corners. Written before read: not zeroed.
          edges(std::make_unique_for_overwrite<Edge[]>(mesh.corners.size())) {}
    std::vector<std::uint32_t> starts;  // bucket v holds edges[starts[v] .. starts[v + 1])
    std::vector<std::uint32_t> fill;
    std::unique_ptr<Edge[]> edges;
};

// Every edge of every face, bucketed by its smaller vertex index (a counting sort: linear,
// and no allocation per edge).
void bucketEdges(const MeshData& mesh, EdgeBuckets& buckets) {
    std::vector<std::uint32_t>& starts = buckets.starts;
    const auto forEachEdge = [&](auto&& visit) {
        for (std::size_t f = 0; f < mesh.faceCount(); ++f) {
            const std::size_t begin = mesh.faceBegin(f);
            const std::size_t end = mesh.faceEnds[f];
            for (std::size_t i = begin; i < end; ++i) {
                const std::uint32_t a = mesh.corners[i];
                const std::uint32_t b = mesh.corners[i + 1 == end ? begin : i + 1];
                if (a != b) {
                    visit(std::min(a, b), std::max(a, b), static_cast<std::uint32_t>(f));
                }
            }
        }
    };
    forEachEdge([&](std::uint32_t low, std::uint32_t, std::uint32_t) { ++starts[low + 1]; });
    std::partial_sum(starts.begin(), starts.end(), starts.begin());
    std::copy(starts.begin(), starts.end() - 1, buckets.fill.begin());
    forEachEdge([&](std::uint32_t low, std::uint32_t high, std::uint32_t face) {
        buckets.edges[buckets.fill[low]++] = Edge{high, face};
    });
}

// A face's unit normal as three doubles, 24 bytes against a Vector's 40: the
// comparisons along every edge read them from all over the array.
struct UnitNormal {
    double x, y, z;
};

// A bucket holds its edges in face order, as bucketEdges fills it. Two faces meet when
// they hold the same edge; each face meets at most the next kMaxPairs faces on that edge.
constexpr std::ptrdiff_t kScanLimit = 16;

// The usual handful (about six in a closed mesh): each edge looks ahead for its partners,
// which costs less than sorting the bucket and meets the same pairs.
template <typename Smooth>
void joinSmallBucket(const Edge* first, const Edge* last, const Smooth& smooth, FaceSets& sets) {
    for (const Edge* a = first; a != last; ++a) {
        std::ptrdiff_t met = 0;
        for (const Edge* b = a + 1; b != last && met < kMaxPairs; ++b) {
            if (b->other == a->other) {
                ++met;
                if (smooth(*a, *b)) {
                    sets.join(a->face, b->face);
                }
            }
        }
    }
}

// A crowded bucket (a hostile file can put thousands of faces on one edge): sorted by
// the other vertex, then by face, each run holds the faces around one edge.
template <typename Smooth>
void joinSortedBucket(Edge* first, Edge* last, const Smooth& smooth, FaceSets& sets) {
    std::sort(first, last, [](const Edge& a, const Edge& b) {
        return a.other != b.other ? a.other < b.other : a.face < b.face;
    });
    for (auto run = first; run != last;) {
        auto runEnd = run;
        while (runEnd != last && runEnd->other == run->other) {
            ++runEnd;
        }
        for (auto a = run; a != runEnd; ++a) {
            for (auto b = a + 1; b != runEnd && b - a <= kMaxPairs; ++b) {
                if (smooth(*a, *b)) {
                    sets.join(a->face, b->face);
                }
            }
        }
        run = runEnd;
    }
}

// Below this many faces, handing half the work to a second thread costs more than it saves.
constexpr std::size_t kTwoThreadFaces = 20000;

void joinAcrossSmoothEdges(const MeshData& mesh, FaceSets& sets) {
    const auto normals = std::make_unique_for_overwrite<UnitNormal[]>(mesh.faceCount());
    EdgeBuckets buckets(mesh);
    // The normals here, where the joins below read them from all over the array.
    sideBySide(
        mesh.faceCount() >= kTwoThreadFaces,
        [&] {
            for (std::size_t f = 0; f < mesh.faceCount(); ++f) {
                const Vector n = faceNormal(mesh, f);
                normals[f] = {n.x(), n.y(), n.z()};
            }
        },
        [&] { bucketEdges(mesh, buckets); });
    const auto isZero = [](const UnitNormal& n) { return n.x == 0.0 && n.y == 0.0 && n.z == 0.0; };
    const std::vector<std::uint32_t>& starts = buckets.starts;
    Edge* const edges = buckets.edges.get();
    const auto smooth = [&](const Edge& a, const Edge& b) {
        const UnitNormal& na = normals[a.face];
        const UnitNormal& nb = normals[b.face];
        // Vector::dot's operations, in its order.
        const double dot = ((0.0 + na.x * nb.x) + na.y * nb.y) + na.z * nb.z;
        return a.face != b.face && !isZero(na) && !isZero(nb) && dot >= kCreaseCosine;
    };
    for (std::size_t v = 0; v + 1 < starts.size(); ++v) {
        Edge* const first = edges + starts[v];
        Edge* const last = edges + starts[v + 1];
        if (last - first <= kScanLimit) {
            joinSmallBucket(first, last, smooth, sets);
        } else {
            joinSortedBucket(first, last, smooth, sets);
        }
    }
}

// Numbers the smoothing groups in order of their first face; flat faces get a number each.
std::vector<std::uint32_t> numberGroups(const std::vector<std::int64_t>& groups,
                                        std::size_t& count) {
    std::vector<std::uint32_t> surface(groups.size());
    std::map<std::int64_t, std::uint32_t> numbers;
    count = 0;
    std::int64_t lastGroup = MeshData::kFlat;
    std::uint32_t lastNumber = 0;
    for (std::size_t f = 0; f < groups.size(); ++f) {
        const std::int64_t group = groups[f];
        if (group == MeshData::kFlat) {
            surface[f] = static_cast<std::uint32_t>(count++);
            continue;
        }
        if (group != lastGroup) {  // faces of a group mostly come together
            const auto [it, added] = numbers.emplace(group, static_cast<std::uint32_t>(count));
            count += added ? 1 : 0;
            lastGroup = group;
            lastNumber = it->second;
        }
        surface[f] = lastNumber;
    }
    return surface;
}

}  // namespace

Vector faceNormal(const MeshData& mesh, std::size_t face) {
    const double* p0 = &mesh.positions[3 * std::size_t{mesh.corners[mesh.faceBegin(face)]}];
    const double* p1 = &mesh.positions[3 * std::size_t{mesh.corners[mesh.faceBegin(face) + 1]}];
    const double* p2 = &mesh.positions[3 * std::size_t{mesh.corners[mesh.faceBegin(face) + 2]}];
    Vector n((p0[2] + p1[2]) * (p0[1] - p1[1]) + (p1[2] + p2[2]) * (p1[1] - p2[1]) +
                 (p2[2] + p0[2]) * (p2[1] - p0[1]),
             (p0[0] + p1[0]) * (p0[2] - p1[2]) + (p1[0] + p2[0]) * (p1[2] - p2[2]) +
                 (p2[0] + p0[0]) * (p2[2] - p0[2]),
             (p0[1] + p1[1]) * (p0[0] - p1[0]) + (p1[1] + p2[1]) * (p1[0] - p2[0]) +
                 (p2[1] + p0[1]) * (p2[0] - p0[0]));
    n.normalize();
    return n;
}

std::vector<std::uint32_t> surfaceOfEachFace(const MeshData& mesh, std::size_t& surfaceCount) {
    const std::size_t faces = mesh.faceCount();
    if (!mesh.smoothing.empty()) {
        return numberGroups(mesh.smoothing, surfaceCount);
    }
    FaceSets sets(faces);
    joinAcrossSmoothEdges(mesh, sets);
    // Numbered as their faces first appear; a root is its set's first face.
    constexpr std::uint32_t kNone = UINT32_MAX;
    std::vector<std::uint32_t> numberOfRoot(faces, kNone);
    std::vector<std::uint32_t> surface(faces);
    surfaceCount = 0;
    for (std::size_t f = 0; f < faces; ++f) {
        std::uint32_t& number = numberOfRoot[sets.root(static_cast<std::uint32_t>(f))];
        if (number == kNone) {
            number = static_cast<std::uint32_t>(surfaceCount++);
        }
        surface[f] = number;
    }
    return surface;
}

namespace {

// The faces in the order the surfaces take them: surface by surface, each in file order
// (a counting sort by surface). starts[s] is where surface s begins.
std::vector<std::uint32_t> facesBySurface(const std::vector<std::uint32_t>& surfaceOf,
                                          std::size_t surfaceCount,
                                          std::vector<std::uint32_t>& starts) {
    starts.assign(surfaceCount + 1, 0);
    for (const std::uint32_t s : surfaceOf) {
        ++starts[s + 1];
    }
    std::partial_sum(starts.begin(), starts.end(), starts.begin());
    std::vector<std::uint32_t> order(surfaceOf.size());
    std::vector<std::uint32_t> fill(starts.begin(), starts.end() - 1);
    for (std::size_t f = 0; f < surfaceOf.size(); ++f) {
        order[fill[surfaceOf[f]]++] = static_cast<std::uint32_t>(f);
    }
    return order;
}

// Which polygons use each vertex, gathered while the polygons are made and handed to the
// vertices afterwards, in vertex order. Adding each polygon to its corners' lists as it
// is made reads the vertices in face order: a mesh whose faces run across its vertex
// order then misses the cache at every corner.
class PolygonUses {
public:
    // Vertex records: the file's vertices 0 .. count - 1, then each copy as it is made.
    PolygonUses(std::size_t count, const MeshData& mesh) : uses_(count, 0), vertices_(count) {
        records_.reserve(mesh.corners.size());
        polygons_.reserve(mesh.faceCount());
    }
    void setVertex(std::uint32_t record, Vertex* vertex) { vertices_[record] = vertex; }
    std::uint32_t addCopy(Vertex* copy) {
        uses_.push_back(0);
        vertices_.push_back(copy);
        return static_cast<std::uint32_t>(vertices_.size() - 1);
    }
    // The next corner of the polygon being made.
    void use(std::uint32_t record) {
        ++uses_[record];
        records_.push_back(record);
    }
    // Ends the polygon whose corners were used since the last one ended.
    void made(Polygon* polygon) {
        polygons_.push_back({polygon, static_cast<std::uint32_t>(records_.size())});
    }
    // Each vertex's polygons in the order they were made (a stable counting sort).
    void handOut() const {
        std::vector<std::uint32_t> start(uses_.size() + 1, 0);
        std::partial_sum(uses_.begin(), uses_.end(), start.begin() + 1);
        const auto byVertex = std::make_unique_for_overwrite<Polygon*[]>(records_.size());
        std::uint32_t corner = 0;
        for (const Made& made : polygons_) {
            for (; corner < made.cornersEnd; ++corner) {
                byVertex[start[records_[corner]]++] = made.polygon;
            }
        }
        const auto give = [&](std::size_t r) {
            vertices_[r]->setPolygons(byVertex.get() + (start[r] - uses_[r]), uses_[r]);
        };
        // Lists too long to keep inline are allocated here, in this thread's heap, as the
        // rest of the model; the others are copied on both threads.
        constexpr std::size_t kInline = Vertex::PolygonList::kInline;
        for (std::size_t r = 0; r < vertices_.size(); ++r) {
            if (uses_[r] > kInline) {
                give(r);
            }
        }
        const auto giveInline = [&](std::size_t first, std::size_t last) {
            for (std::size_t r = first; r < last; ++r) {
                if (uses_[r] <= kInline) {
                    give(r);
                }
            }
        };
        const std::size_t half = vertices_.size() / 2;
        sideBySide(
            polygons_.size() >= kTwoThreadFaces, [&] { giveInline(0, half); },
            [&] { giveInline(half, vertices_.size()); });
    }

private:
    struct Made {
        Polygon* polygon;
        std::uint32_t cornersEnd;
    };
    std::vector<std::uint32_t> uses_;
    std::vector<Vertex*> vertices_;
    std::vector<std::uint32_t> records_;  // of every corner, in the order made
    std::vector<Made> polygons_;
};

// Per file vertex, together: each corner reads all three, in face order.
struct Latest {
    Vertex* vertex;         // the latest record: the file's vertex or its latest copy
    std::uint32_t record;   // its number in uses
    std::uint32_t surface;  // the surface (from 1) that last used it; 0 for none
};

// The file's vertices, in order, with ids from 0; room for them is reserved.
void addFileVertices(const MeshData& mesh, SceneObject& object, PolygonUses& uses,
                     std::vector<Latest>& latest) {
    for (std::size_t i = 0; i < latest.size(); ++i) {
        Vertex& vertex = object.addVertex();
        vertex.setId(static_cast<int>(i));
        vertex.setModelPosition(
            Vector(mesh.positions[3 * i], mesh.positions[3 * i + 1], mesh.positions[3 * i + 2]));
        latest[i] = {&vertex, static_cast<std::uint32_t>(i), 0};
        uses.setVertex(static_cast<std::uint32_t>(i), &vertex);
    }
}

}  // namespace

void buildMeshObject(const MeshData& mesh, SceneObject& object) {
    const std::size_t n = mesh.vertexCount();
    PolygonUses uses(n, mesh);
    std::vector<Latest> latest(n);
    // The vertices are made on a worker: reserved here, they come from this thread's heap.
    object.reserveVertices(n);
    std::size_t surfaceCount = 0;
    std::vector<std::uint32_t> surfaceOf;
    sideBySide(
        mesh.faceCount() >= kTwoThreadFaces,
        [&] { surfaceOf = surfaceOfEachFace(mesh, surfaceCount); },
        [&] { addFileVertices(mesh, object, uses, latest); });

    std::vector<std::uint32_t> starts;
    const std::vector<std::uint32_t> order = facesBySurface(surfaceOf, surfaceCount, starts);
    for (std::size_t s = 0; s < surfaceCount; ++s) {
        const auto number = static_cast<std::uint32_t>(s + 1);
        auto surface = std::make_unique<Surface>();
        for (std::uint32_t k = starts[s]; k < starts[s + 1]; ++k) {
            const std::uint32_t face = order[k];
            Polygon& polygon = surface->addPolygon();
            const std::size_t begin = mesh.faceBegin(face);
            const std::size_t count = mesh.faceEnds[face] - begin;
            polygon.setVertexAt(count - 1, nullptr);  // sizes the corner array once
            for (std::size_t j = 0; j < count; ++j) {
                Latest& at = latest[mesh.corners[begin + j]];
                if (at.surface != number && at.surface != 0) {
                    Vertex& copy = object.insertVertexAtFront(*at.vertex);
                    copy.clearPolygons();
                    at.vertex = &copy;
                    at.record = uses.addCopy(&copy);
                }
                at.surface = number;
                polygon.setVertexAt(j, at.vertex);
                uses.use(at.record);
            }
            polygon.setVertexCount(count);
            uses.made(&polygon);
        }
        object.addSurface(std::move(surface));
    }
    uses.handOut();
}

}  // namespace kel
