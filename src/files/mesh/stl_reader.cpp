#include "files/mesh/stl_reader.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "files/mesh/mesh_failure.h"
#include "files/mesh/text_cursor.h"
#include "files/mesh/vertex_welder.h"

namespace kel {

namespace {

constexpr std::size_t kHeaderSize = 84;
constexpr std::size_t kTriangleSize = 50;

std::uint32_t littleEndian32(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

float floatAt(const char* p) {
    return std::bit_cast<float>(littleEndian32(p));
}

bool readBinary(std::string_view data, const std::string& file, std::uint32_t count, MeshData& mesh,
                std::string& failure) {
    if (count == 0) {
        failure = fileFailure(file, "no triangles: nothing to shade");
        return false;
    }
    VertexWelder welder(mesh, std::size_t{count} * 3 / 2);
    mesh.corners.reserve(std::size_t{count} * 3);
    mesh.faceEnds.reserve(count);
    const char* base = data.data();
    for (std::size_t t = 0; t < count; ++t) {
        const char* corner = base + kHeaderSize + t * kTriangleSize + 12;  // after the normal
        for (int c = 0; c < 3; ++c, corner += 12) {
            const double x = floatAt(corner);
            const double y = floatAt(corner + 4);
            const double z = floatAt(corner + 8);
            if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) {
                failure = byteFailure(file, static_cast<std::size_t>(corner - base),
                                      "a vertex coordinate is not a finite number");
                return false;
            }
            mesh.corners.push_back(welder.indexOf(x, y, z));
        }
        mesh.endFace();
    }
    return true;
}

bool keywordIs(std::string_view word, std::string_view keyword) {
    if (word.size() != keyword.size()) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = word[i] >= 'A' && word[i] <= 'Z' ? static_cast<char>(word[i] + 32) : word[i];
        if (c != keyword[i]) {
            return false;
        }
    }
    return true;
}

class AsciiStlParser {
public:
    AsciiStlParser(std::string_view text, const std::string& file, MeshData& mesh)
        : cursor_(text, file, false), mesh_(mesh), welder_(mesh, text.size() / 40) {}

    bool run();
    const std::string& message() const { return cursor_.message(); }

private:
    bool expect(std::string_view keyword);
    bool facet();
    std::string_view next() {
        cursor_.skipToToken();
        return cursor_.token();
    }

    TextCursor cursor_;
    MeshData& mesh_;
    VertexWelder welder_;
};

bool AsciiStlParser::expect(std::string_view keyword) {
    cursor_.skipToToken();
    const std::string_view word = cursor_.peekToken();
    if (!keywordIs(word, keyword)) {
        return cursor_.fail(
            "expected " + std::string(keyword) + ", found " +
            (word.empty() ? std::string("the end of the file") : quotedToken(word)));
    }
    cursor_.token();
    return true;
}

bool AsciiStlParser::facet() {
    if (!expect("normal")) {
        return false;
    }
    for (int i = 0; i < 3; ++i) {
        if (next().empty()) {  // the normal is Kel's own to compute
            return cursor_.fail("expected a facet normal, found the end of the file");
        }
    }
    if (!expect("outer") || !expect("loop")) {
        return false;
    }
    std::size_t corners = 0;
    for (;;) {
        cursor_.skipToToken();
        if (!keywordIs(cursor_.peekToken(), "vertex")) {
            break;
        }
        cursor_.token();
        double xyz[3];
        for (int i = 0; i < 3; ++i) {
            cursor_.skipToToken();
            if (!cursor_.real(xyz[i], kCoordinateNames[i])) {
                return false;
            }
        }
        mesh_.corners.push_back(welder_.indexOf(xyz[0], xyz[1], xyz[2]));
        ++corners;
    }
    if (corners < 3) {
        return cursor_.fail("a facet needs at least 3 vertices, found " + std::to_string(corners));
    }
    mesh_.endFace();
    return expect("endloop") && expect("endfacet");
}

bool AsciiStlParser::run() {
    cursor_.skipToToken();
    while (!cursor_.atEnd()) {
        if (!expect("solid")) {
            return false;
        }
        cursor_.skipLine();  // the solid's name
        for (;;) {
            const std::string_view word = next();
            if (keywordIs(word, "endsolid")) {
                cursor_.skipLine();
                break;
            }
            if (!keywordIs(word, "facet")) {
                return cursor_.fail(
                    "expected facet or endsolid, found " +
                    (word.empty() ? std::string("the end of the file") : quotedToken(word)));
            }
            if (!facet()) {
                return false;
            }
        }
        cursor_.skipToToken();
    }
    if (mesh_.faceCount() == 0) {
        return cursor_.fail("no facets: nothing to shade");
    }
    return true;
}

bool startsWithSolid(std::string_view data) {
    std::size_t i = 0;
    while (i < data.size() &&
           (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n')) {
        ++i;
    }
    return data.size() - i >= 5 && keywordIs(data.substr(i, 5), "solid");
}

}  // namespace

bool readStl(std::string_view data, const std::string& file, MeshData& mesh, std::string& failure) {
    if (data.size() >= kHeaderSize) {
        const std::uint64_t count = littleEndian32(data.data() + 80);
        if (data.size() == kHeaderSize + kTriangleSize * count) {
            return readBinary(data, file, static_cast<std::uint32_t>(count), mesh, failure);
        }
    }
    if (!startsWithSolid(data)) {
        if (data.size() < kHeaderSize) {
            failure = fileFailure(file,
                                  "neither ASCII STL (it does not begin with solid) nor "
                                  "binary STL (it is shorter than the 84-byte header)");
        } else {
            const std::uint64_t count = littleEndian32(data.data() + 80);
            failure = fileFailure(
                file, "neither ASCII STL (it does not begin with solid) nor binary STL: " +
                          std::to_string(count) + " triangles need 84 + 50 x " +
                          std::to_string(count) + " = " +
                          std::to_string(kHeaderSize + kTriangleSize * count) +
                          " bytes, the file has " + std::to_string(data.size()));
        }
        return false;
    }
    if (std::memchr(data.data(), '\0', data.size()) != nullptr) {
        // A binary file whose header begins with "solid" and whose count is wrong.
        const std::uint64_t count =
            data.size() >= kHeaderSize ? littleEndian32(data.data() + 80) : 0;
        failure = fileFailure(
            file, "binary STL whose size does not match its count: " + std::to_string(count) +
                      " triangles need " + std::to_string(kHeaderSize + kTriangleSize * count) +
                      " bytes, the file has " + std::to_string(data.size()));
        return false;
    }
    AsciiStlParser parser(data, file, mesh);
    if (!parser.run()) {
        failure = parser.message();
        return false;
    }
    return true;
}

}  // namespace kel
