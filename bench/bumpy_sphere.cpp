#include "bumpy_sphere.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <unordered_map>
#include <utility>

namespace kel::bench {

namespace {

using Point = std::array<double, 3>;

constexpr double kPhi = 1.618033988749895;
constexpr std::array<Point, 12> kCorners = {{{-1, kPhi, 0},
                                             {1, kPhi, 0},
                                             {-1, -kPhi, 0},
                                             {1, -kPhi, 0},
                                             {0, -1, kPhi},
                                             {0, 1, kPhi},
                                             {0, -1, -kPhi},
                                             {0, 1, -kPhi},
                                             {kPhi, 0, -1},
                                             {kPhi, 0, 1},
                                             {-kPhi, 0, -1},
                                             {-kPhi, 0, 1}}};
constexpr std::array<std::array<int, 3>, 20> kFaces = {
    {{0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
     {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
     {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}}};

double dot(const Point& a, const Point& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Point cross(const Point& a, const Point& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Point minus(const Point& a, const Point& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

// Radial bumps of a few different wavelengths; |bump| <= 0.1.
double bump(const Point& d) {
    return 0.06 * std::sin(9.0 * d[0]) * std::sin(8.0 * d[1]) * std::sin(7.0 * d[2]) +
           0.04 * std::sin(17.0 * d[0] + 13.0 * d[1] - 11.0 * d[2]);
}

// A grid point of a face as weights of icosahedron corners, sorted by corner so that the
// faces that share an edge or corner name its points alike.
struct WeightedCorners {
    std::array<std::pair<int, int>, 3> terms{};  // (corner, weight), weight > 0
    int count = 0;

    std::uint64_t key() const {
        std::uint64_t k = 0;
        for (int i = 0; i < count; ++i) {
            k = (k << 21) | (static_cast<std::uint64_t>(terms[i].first) << 17) |
                static_cast<std::uint64_t>(terms[i].second);
        }
        return k;
    }
};

WeightedCorners weigh(const std::array<int, 3>& face, const std::array<int, 3>& weights) {
    WeightedCorners w;
    for (int i = 0; i < 3; ++i) {
        if (weights[i] > 0) {
            w.terms[w.count++] = {face[i], weights[i]};
        }
    }
    // Three terms at most: an insertion sort (std::sort here trips a false -Warray-bounds).
    for (int i = 1; i < w.count; ++i) {
        for (int k = i; k > 0 && w.terms[k] < w.terms[k - 1]; --k) {
            std::swap(w.terms[k], w.terms[k - 1]);
        }
    }
    return w;
}

Point place(const WeightedCorners& w) {
    Point p{0.0, 0.0, 0.0};
    for (int i = 0; i < w.count; ++i) {
        for (int c = 0; c < 3; ++c) {
            p[c] += kCorners[w.terms[i].first][c] * w.terms[i].second;
        }
    }
    const double length = std::sqrt(dot(p, p));
    Point d{p[0] / length, p[1] / length, p[2] / length};
    const double radius = 1.0 + bump(d);
    return {d[0] * radius, d[1] * radius, d[2] * radius};
}

std::array<int, 3> outwardFace(const std::array<int, 3>& face) {
    const Point& a = kCorners[face[0]];
    const Point n = cross(minus(kCorners[face[1]], a), minus(kCorners[face[2]], a));
    return dot(n, a) > 0.0 ? face : std::array<int, 3>{face[0], face[2], face[1]};
}

class MeshBuilder {
public:
    explicit MeshBuilder(int frequency) : f_(frequency) {
        const auto n = static_cast<std::size_t>(frequency);
        mesh_.positions.reserve(10 * n * n + 2);
        mesh_.triangles.reserve(20 * n * n);
        ids_.reserve(10 * n * n + 2);
    }

    void addFace(const std::array<int, 3>& face) {
        for (int i = 0; i < f_; ++i) {
            for (int j = 0; i + j < f_; ++j) {
                // Point (i, j) lies i steps towards corner 1 and j towards corner 2.
                const auto a = vertex(face, i, j);
                const auto b = vertex(face, i + 1, j);
                const auto c = vertex(face, i, j + 1);
                mesh_.triangles.push_back({a, b, c});
                if (i + j + 1 < f_) {
                    mesh_.triangles.push_back({b, vertex(face, i + 1, j + 1), c});
                }
            }
        }
    }

    TriangleMesh take() { return std::move(mesh_); }

private:
    std::uint32_t vertex(const std::array<int, 3>& face, int i, int j) {
        const WeightedCorners w = weigh(face, {f_ - i - j, i, j});
        const auto [it, added] =
            ids_.try_emplace(w.key(), static_cast<std::uint32_t>(mesh_.positions.size()));
        if (added) {
            mesh_.positions.push_back(place(w));
        }
        return it->second;
    }

    int f_;
    TriangleMesh mesh_;
    std::unordered_map<std::uint64_t, std::uint32_t> ids_;
};

}  // namespace

TriangleMesh makeBumpySphere(int frequency) {
    MeshBuilder builder(std::max(1, frequency));
    for (const auto& face : kFaces) {
        builder.addFace(outwardFace(face));
    }
    return builder.take();
}

int frequencyForTriangles(std::int64_t triangles) {
    const double f = std::sqrt(static_cast<double>(std::max<std::int64_t>(triangles, 20)) / 20.0);
    const int below = static_cast<int>(f);
    const auto count = [](int k) { return 20 * static_cast<std::int64_t>(k) * k; };
    return triangles - count(below) <= count(below + 1) - triangles ? below : below + 1;
}

void writeObjectFile(const TriangleMesh& mesh, std::ostream& out) {
    char line[96];
    out << mesh.positions.size() << "\n";
    for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
        const Point& p = mesh.positions[i];
        std::snprintf(line, sizeof line, "%zu %.9g %.9g %.9g\n", i, p[0], p[1], p[2]);
        out << line;
    }
    out << "1\n" << mesh.triangles.size() << "\n";
    for (const auto& t : mesh.triangles) {
        out << "3 " << t[0] << ' ' << t[1] << ' ' << t[2] << "\n";
    }
}

namespace {

void writePoints(const TriangleMesh& mesh, const char* prefix, std::ostream& out) {
    char line[96];
    for (const Point& p : mesh.positions) {
        std::snprintf(line, sizeof line, "%s%.9g %.9g %.9g\n", prefix, p[0], p[1], p[2]);
        out << line;
    }
}

}  // namespace

void writeWavefrontObj(const TriangleMesh& mesh, std::ostream& out) {
    writePoints(mesh, "v ", out);
    for (const auto& t : mesh.triangles) {
        out << "f " << t[0] + 1 << ' ' << t[1] + 1 << ' ' << t[2] + 1 << "\n";
    }
}

void writeAsciiPly(const TriangleMesh& mesh, std::ostream& out) {
    out << "ply\nformat ascii 1.0\nelement vertex " << mesh.positions.size()
        << "\nproperty float x\nproperty float y\nproperty float z\nelement face "
        << mesh.triangles.size() << "\nproperty list uchar int vertex_indices\nend_header\n";
    writePoints(mesh, "", out);
    for (const auto& t : mesh.triangles) {
        out << "3 " << t[0] << ' ' << t[1] << ' ' << t[2] << "\n";
    }
}

void writeSceneFile(const std::string& objectFileName, std::ostream& out) {
    out << "1.2 1.5 3.4\n"  // camera from, to, up
           "0 0 0\n"
           "0 1 0\n"
           "1\n10\n0.31\n"  // frustum near, far, height
           "0.9\n"          // light intensity, colour, direction
           "255 255 255\n"
           "-0.4 0.7 0.6\n"
           "0.2\n"  // ambient
           "1\n"
        << objectFileName
        << "\n0 0 0\n"  // rotation, scaling, translation
           "1 1 1\n"
           "0 0 0\n"
           "200 80 60\n"  // colour, diffuse, specular, shininess
           "0.8\n0.5\n30\n";
}

}  // namespace kel::bench
