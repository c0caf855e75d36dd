#include "files/mesh/off_reader.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "files/mesh/mesh_failure.h"
#include "files/mesh/text_cursor.h"

namespace kel {

namespace {

struct OffHeader {
    bool homogeneous = false;  // 4OFF: x y z w
    bool dimension = false;    // nOFF: the dimension follows the keyword
};

// [ST][C][N][4][n]OFF, each prefix at most once and in this order.
bool parseKeyword(std::string_view word, OffHeader& header) {
    if (word.size() < 3 || word.substr(word.size() - 3) != "OFF") {
        return false;
    }
    std::string_view prefix = word.substr(0, word.size() - 3);
    for (const std::string_view part : {"ST", "C", "N", "4", "n"}) {
        if (prefix.substr(0, part.size()) == part) {
            header.homogeneous = header.homogeneous || part == "4";
            header.dimension = header.dimension || part == "n";
            prefix.remove_prefix(part.size());
        }
    }
    return prefix.empty();
}

class OffParser {
public:
    OffParser(std::string_view text, const std::string& file, MeshData& mesh)
        : cursor_(text, file, false), mesh_(mesh) {}

    bool run();
    const std::string& message() const { return cursor_.message(); }

private:
    bool header();
    bool counts();
    bool vertex(std::uint64_t index);
    bool face();
    bool next(double& value, const char* what) {
        cursor_.skipToToken();
        return cursor_.real(value, what);
    }

    TextCursor cursor_;
    MeshData& mesh_;
    OffHeader header_;
    std::uint64_t vertexCount_ = 0;
    std::uint64_t faceCount_ = 0;
};

bool OffParser::header() {
    cursor_.skipToToken();
    const std::string_view keyword = cursor_.token();
    if (!parseKeyword(keyword, header_)) {
        return cursor_.fail("expected OFF (or COFF, NOFF, STOFF, ...), found " +
                            quotedToken(keyword));
    }
    cursor_.skipBlanks();
    if (cursor_.peekToken() == "BINARY") {
        return cursor_.fail("binary OFF files are not supported; save it as text");
    }
    if (header_.dimension) {
        std::uint64_t dimension = 0;
        cursor_.skipToToken();
        if (!cursor_.count(dimension, 1000, "the dimension of nOFF")) {
            return false;
        }
        if (dimension != 3) {
            return cursor_.fail("only 3-dimensional OFF files can be shown, this one has " +
                                std::to_string(dimension) + " dimensions");
        }
    }
    return counts();
}

bool OffParser::counts() {
    constexpr std::uint64_t kMax = std::numeric_limits<std::int32_t>::max();
    cursor_.skipToToken();
    if (!cursor_.count(vertexCount_, kMax, "the vertex count")) {
        return false;
    }
    cursor_.skipToToken();
    if (!cursor_.count(faceCount_, kMax, "the face count")) {
        return false;
    }
    cursor_.skipLine();  // the edge count, which nothing needs
    // A vertex takes at least "x y z" and a line end, a face "3 a b c" and a line end.
    const std::uint64_t least = vertexCount_ * 6 + faceCount_ * 8;
    if (least > cursor_.remaining() + 1) {
        return cursor_.fail(std::to_string(vertexCount_) + " vertices and " +
                            std::to_string(faceCount_) + " faces cannot fit in the " +
                            std::to_string(cursor_.remaining()) + " bytes that follow");
    }
    if (faceCount_ == 0) {
        return cursor_.fail("no faces: a file of points only has nothing to shade");
    }
    mesh_.positions.reserve(vertexCount_ * 3);
    mesh_.faceEnds.reserve(faceCount_);
    return true;
}

bool OffParser::vertex(std::uint64_t index) {
    double xyz[4] = {0.0, 0.0, 0.0, 1.0};
    static constexpr const char* kWhat[4] = {
        "the x coordinate of a vertex", "the y coordinate of a vertex",
        "the z coordinate of a vertex", "the w coordinate of a vertex"};
    for (int i = 0; i < (header_.homogeneous ? 4 : 3); ++i) {
        if (!next(xyz[i], kWhat[i])) {
            return false;
        }
    }
    if (header_.homogeneous) {
        if (xyz[3] == 0.0) {
            return cursor_.fail("vertex " + std::to_string(index) +
                                " has w = 0, a point at infinity");
        }
        for (int i = 0; i < 3; ++i) {
            xyz[i] /= xyz[3];
            if (!std::isfinite(xyz[i])) {
                return cursor_.fail("vertex " + std::to_string(index) +
                                    " is out of range after dividing by w");
            }
        }
    }
    mesh_.addVertex(xyz[0], xyz[1], xyz[2]);
    cursor_.skipLine();  // normal, colour, texture coordinates
    return true;
}

bool OffParser::face() {
    std::uint64_t corners = 0;
    cursor_.skipToToken();
    if (!cursor_.count(corners, std::numeric_limits<std::int32_t>::max(),
                       "the corner count of a face")) {
        return false;
    }
    if (corners < 3) {
        return cursor_.fail("a face needs at least 3 corners, found " + std::to_string(corners));
    }
    if (corners * 2 > cursor_.remaining() + 1) {
        return cursor_.fail(std::to_string(corners) +
                            " corners cannot fit in the rest of the file");
    }
    for (std::uint64_t j = 0; j < corners; ++j) {
        std::uint64_t v = 0;
        cursor_.skipToToken();
        if (!cursor_.count(v, std::numeric_limits<std::uint32_t>::max(), "a vertex index")) {
            return false;
        }
        if (v >= vertexCount_) {
            return cursor_.fail("vertex index " + std::to_string(v) +
                                " names no vertex (there are " + std::to_string(vertexCount_) +
                                ")");
        }
        mesh_.corners.push_back(static_cast<std::uint32_t>(v));
    }
    mesh_.endFace();
    cursor_.skipLine();  // the face's colour
    return true;
}

bool OffParser::run() {
    if (!header()) {
        return false;
    }
    for (std::uint64_t i = 0; i < vertexCount_; ++i) {
        if (!vertex(i)) {
            return false;
        }
    }
    for (std::uint64_t f = 0; f < faceCount_; ++f) {
        if (!face()) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool readOff(std::string_view text, const std::string& file, MeshData& mesh, std::string& failure) {
    OffParser parser(text, file, mesh);
    if (!parser.run()) {
        failure = parser.message();
        return false;
    }
    return true;
}

}  // namespace kel
