#include "files/mesh/obj_reader.h"

#include <cstdint>
#include <limits>

#include "files/mesh/mesh_failure.h"
#include "files/mesh/number_scanner.h"
#include "files/mesh/text_cursor.h"

namespace kel {

namespace {

// Statement keywords are plain ASCII names; anything else is not an OBJ statement.
bool isKeyword(std::string_view word) {
    for (const char c : word) {
        const bool ok =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) {
            return false;
        }
    }
    return !word.empty();
}

class ObjParser {
public:
    ObjParser(std::string_view text, const std::string& file, MeshData& mesh)
        : cursor_(text, file, true), mesh_(mesh) {}

    bool run(std::string& failure);

private:
    bool statement();
    bool vertex();
    bool face();
    bool plainCorner();
    bool corner(std::string_view token);
    bool smoothing();

    TextCursor cursor_;
    MeshData& mesh_;
    bool grouped_ = false;
    std::int64_t group_ = MeshData::kFlat;
};

bool ObjParser::run(std::string& failure) {
    // Typical files spend some 36 bytes on a vertex and 20 on a triangle: room for that
    // much, which the file's size justifies, saves most regrowing.
    mesh_.positions.reserve(3 * (cursor_.remaining() / 64));
    mesh_.corners.reserve(3 * (cursor_.remaining() / 40));
    mesh_.faceEnds.reserve(cursor_.remaining() / 40);
    while (!cursor_.atEnd()) {
        if (!statement()) {
            failure = cursor_.message();
            return false;
        }
    }
    if (mesh_.faceCount() == 0) {
        return false;  // the caller words it: nothing to shade
    }
    return true;
}

bool ObjParser::statement() {
    cursor_.skipBlanks();
    if (cursor_.atLineEnd()) {
        cursor_.skipLine();
        return true;
    }
    if (cursor_.peek() == '#') {
        cursor_.skipComment();
        return true;
    }
    const std::string_view keyword = cursor_.token();
    bool ok = true;
    if (keyword.size() == 1 && keyword[0] == 'v') {
        ok = vertex();
    } else if (keyword.size() == 1 && keyword[0] == 'f') {
        ok = face();
    } else if (keyword == "s") {
        ok = smoothing();
    } else if (!isKeyword(keyword)) {
        return cursor_.fail("expected a statement (v, f, s, ...), found " + quotedToken(keyword));
    }
    if (ok) {
        cursor_.skipLine();  // what follows is ignored: w, colours, names, unknown data
    }
    return ok;
}

bool ObjParser::vertex() {
    double xyz[3];
    for (int i = 0; i < 3; ++i) {
        cursor_.skipBlanks();
        if (!cursor_.real(xyz[i], kCoordinateNames[i])) {
            return false;
        }
    }
    if (mesh_.vertexCount() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        return cursor_.fail("too many vertices");
    }
    mesh_.addVertex(xyz[0], xyz[1], xyz[2]);
    return true;
}

bool ObjParser::face() {
    const std::size_t begin = mesh_.corners.size();
    for (;;) {
        cursor_.skipBlanks();
        if (cursor_.atLineEnd() || cursor_.peek() == '#') {
            break;
        }
        if (!plainCorner() && !corner(cursor_.token())) {
            return false;
        }
    }
    const std::size_t count = mesh_.corners.size() - begin;
    if (count < 3) {
        return cursor_.fail("a face needs at least 3 corners, found " + std::to_string(count));
    }
    mesh_.endFace();
    if (grouped_) {
        mesh_.smoothing.push_back(group_);
    }
    return true;
}

// The usual corner, a vertex index from 1 to 999,999,999 that names a vertex read so far
// and makes up the whole token, read in one pass; false, with nothing read, for any other
// token, which corner then reads or refuses.
bool ObjParser::plainCorner() {
    std::uint32_t index = 0;
    const char* const end = cursor_.plainDigits(index);
    if (end == nullptr || index == 0 || index > mesh_.vertexCount()) {
        return false;
    }
    mesh_.corners.push_back(index - 1);
    cursor_.moveWithinToken(end);
    return true;
}

// v, v/vt, v//vn or v/vt/vn. Only v matters; vt and vn must still be numbers.
bool ObjParser::corner(std::string_view token) {
    const char* p = token.data();
    const char* end = p + token.size();
    std::int64_t index = 0;
    if (scanInteger(p, end, index) != NumberScan::Ok || (p != end && *p != '/')) {
        return cursor_.fail("expected a vertex index (v, v/vt, v//vn or v/vt/vn), found " +
                            quotedToken(token));
    }
    for (int part = 0; part < 2 && p != end; ++part) {
        ++p;  // the '/'
        std::int64_t ignored = 0;
        if (p != end && *p != '/' && scanInteger(p, end, ignored) != NumberScan::Ok) {
            return cursor_.fail("expected a corner (v, v/vt, v//vn or v/vt/vn), found " +
                                quotedToken(token));
        }
        if (p != end && *p != '/') {
            break;
        }
    }
    if (p != end) {
        return cursor_.fail("expected a corner (v, v/vt, v//vn or v/vt/vn), found " +
                            quotedToken(token));
    }
    const auto count = static_cast<std::int64_t>(mesh_.vertexCount());
    // Negative indices count back from the last vertex so far: -1 is the latest.
    const std::int64_t resolved = index > 0 ? index - 1 : count + index;
    if (index == 0) {
        return cursor_.fail("vertex index 0 in a face: OBJ indices start at 1");
    }
    if (resolved < 0 || resolved >= count) {
        return cursor_.fail("vertex index " + std::to_string(index) + " names no vertex (" +
                            std::to_string(count) + " so far)");
    }
    mesh_.corners.push_back(static_cast<std::uint32_t>(resolved));
    return true;
}

bool ObjParser::smoothing() {
    cursor_.skipBlanks();
    const std::string_view name = cursor_.peekToken();
    if (!grouped_) {
        // Faces before the first s are flat.
        mesh_.smoothing.assign(mesh_.faceCount(), MeshData::kFlat);
        grouped_ = true;
    }
    if (name == "off" || name.empty()) {
        group_ = MeshData::kFlat;
        return true;
    }
    std::uint64_t number = 0;
    if (!cursor_.count(number, std::numeric_limits<std::uint32_t>::max(),
                       "a smoothing group number or off")) {
        return false;
    }
    group_ = number == 0 ? MeshData::kFlat : static_cast<std::int64_t>(number);
    return true;
}

}  // namespace

bool readWavefrontObj(std::string_view text, const std::string& file, MeshData& mesh,
                      std::string& failure) {
    ObjParser parser(text, file, mesh);
    if (!parser.run(failure)) {
        if (failure.empty()) {
            failure = fileFailure(file,
                                  "no faces: a file of points or lines only has nothing "
                                  "to shade");
        }
        return false;
    }
    return true;
}

}  // namespace kel
