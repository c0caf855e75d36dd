#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "files/mesh/mesh_data.h"
#include "files/mesh/mesh_format.h"

namespace kel::test {

struct Parsed {
    MeshData mesh;
    std::string failure;
    bool ok = false;
};

inline Parsed parseMesh(MeshFormat format, const std::string& data, const std::string& file = "m") {
    Parsed parsed;
    parsed.ok = readMeshData(format, data, file, parsed.mesh, parsed.failure);
    return parsed;
}

// The unit triangle's three OBJ vertices, without a face.
inline const std::string kObjVertices = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";

inline std::string plyHeader(const std::string& format, const std::string& elements) {
    return "ply\nformat " + format + " 1.0\n" + elements + "end_header\n";
}
// Three vertices and one face.
inline const std::string kPlyElements =
    "element vertex 3\nproperty float x\nproperty float y\nproperty float z\n"
    "element face 1\nproperty list uchar int vertex_indices\n";

// Face f's corner indices.
inline std::vector<std::uint32_t> faceCorners(const MeshData& mesh, std::size_t f) {
    return {mesh.corners.begin() + static_cast<std::ptrdiff_t>(mesh.faceBegin(f)),
            mesh.corners.begin() + mesh.faceEnds[f]};
}

// Builds binary files byte by byte, in either byte order.
class Bytes {
public:
    explicit Bytes(bool bigEndian = false) : big_(bigEndian) {}
    Bytes& text(const std::string& s) {
        data_ += s;
        return *this;
    }
    template <typename T>
    Bytes& put(T value) {
        using U = std::conditional_t<
            sizeof(T) == 1, std::uint8_t,
            std::conditional_t<sizeof(T) == 2, std::uint16_t,
                               std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>>>;
        const U raw = std::bit_cast<U>(value);
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            const std::size_t shift = 8 * (big_ ? sizeof(T) - 1 - i : i);
            data_ += static_cast<char>((raw >> shift) & 0xFF);
        }
        return *this;
    }
    const std::string& str() const { return data_; }

private:
    bool big_;
    std::string data_;
};

// A binary STL of the given triangles (9 floats each), normals zero.
inline std::string binaryStl(const std::vector<std::vector<float>>& triangles,
                             const std::string& header = "binary") {
    Bytes b;
    std::string h = header;
    h.resize(80, ' ');
    b.text(h).put(static_cast<std::uint32_t>(triangles.size()));
    for (const auto& t : triangles) {
        for (int i = 0; i < 3; ++i) {
            b.put(0.0f);
        }
        for (const float v : t) {
            b.put(v);
        }
        b.put(std::uint16_t{0});
    }
    return b.str();
}

}  // namespace kel::test
