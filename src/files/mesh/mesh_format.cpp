#include "files/mesh/mesh_format.h"

#include <cstring>

#include "files/mesh/mesh_failure.h"
#include "files/mesh/obj_reader.h"
#include "files/mesh/off_reader.h"
#include "files/mesh/ply_reader.h"
#include "files/mesh/stl_reader.h"
#include "files/mesh/surface_builder.h"

namespace kel {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool startsWith(std::string_view data, std::string_view prefix) {
    return data.substr(0, prefix.size()) == prefix;
}

// A UTF-16 or UTF-32 text: a byte-order mark, or NUL bytes (every other character of
// ASCII text in those encodings).
bool hasWideMark(std::string_view data) {
    return startsWith(data, "\xFF\xFE") || startsWith(data, "\xFE\xFF") ||
           startsWith(data, std::string_view("\0\0\xFE\xFF", 4));
}

bool isWideText(std::string_view data) {
    return hasWideMark(data) || std::memchr(data.data(), '\0', data.size()) != nullptr;
}

bool isBinaryStlSize(std::string_view data) {
    if (data.size() < 84) {
        return false;
    }
    const auto* b = reinterpret_cast<const unsigned char*>(data.data() + 80);
    const std::uint64_t count = b[0] | b[1] << 8 | b[2] << 16 | std::uint64_t{b[3]} << 24;
    return data.size() == 84 + 50 * count;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

}  // namespace

std::optional<MeshFormat> meshFormatOfName(std::string_view name) {
    const std::size_t dot = name.find_last_of("./");
    if (dot == std::string_view::npos || name[dot] != '.' || name.size() - dot != 4) {
        return std::nullopt;
    }
    const std::string extension = {lower(name[dot + 1]), lower(name[dot + 2]),
                                   lower(name[dot + 3])};
    if (extension == "obj") {
        return MeshFormat::WavefrontObj;
    }
    if (extension == "off") {
        return MeshFormat::Off;
    }
    if (extension == "ply") {
        return MeshFormat::Ply;
    }
    if (extension == "stl") {
        return MeshFormat::Stl;
    }
    return std::nullopt;
}

bool isKelObjectText(std::string_view text) {
    if (startsWith(text, kUtf8Mark)) {
        text.remove_prefix(kUtf8Mark.size());
    }
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                               text[i] == '\r' || text[i] == '\v' || text[i] == '\f')) {
        ++i;
    }
    // Wavefront statements begin with a letter or '#'; a Kel object file with its vertex
    // count. A malformed count, or none at all, is still the Kel reader's to complain about.
    return i == text.size() || (text[i] == '-' || text[i] == '+' || text[i] == '.' ||
                                (text[i] >= '0' && text[i] <= '9'));
}

std::optional<MeshFormat> geometryFormatOf(std::string_view name, std::string_view text) {
    const std::optional<MeshFormat> format = meshFormatOfName(name);
    if (format == MeshFormat::WavefrontObj && isKelObjectText(text)) {
        return std::nullopt;
    }
    return format;
}

bool readMeshData(MeshFormat format, std::string_view data, const std::string& file, MeshData& mesh,
                  std::string& failure) {
    const bool binaryStl = format == MeshFormat::Stl && isBinaryStlSize(data);
    // PLY's binary data follows an ASCII header; only that header must be plain text. An
    // STL file with NUL bytes is binary, and its reader says what is wrong with it.
    const std::string_view text =
        format == MeshFormat::Ply ? data.substr(0, data.find("end_header")) : data;
    const bool wide = format == MeshFormat::Stl ? hasWideMark(data) : isWideText(text);
    if (!binaryStl && wide) {
        failure = fileFailure(file,
                              "UTF-16 or UTF-32 text (or NUL bytes in text) cannot be "
                              "read; save the file as UTF-8 or ASCII");
        return false;
    }
    if (!binaryStl && startsWith(data, kUtf8Mark)) {
        data.remove_prefix(kUtf8Mark.size());
    }
    switch (format) {
        case MeshFormat::WavefrontObj:
            return readWavefrontObj(data, file, mesh, failure);
        case MeshFormat::Off:
            return readOff(data, file, mesh, failure);
        case MeshFormat::Ply:
            return readPly(data, file, mesh, failure);
        case MeshFormat::Stl:
            return readStl(data, file, mesh, failure);
    }
    return false;
}

bool readMeshObject(MeshFormat format, std::string_view data, const std::string& file,
                    SceneObject& object, std::string& failure) {
    MeshData mesh;
    if (!readMeshData(format, data, file, mesh, failure)) {
        return false;
    }
    buildMeshObject(mesh, object);
    return true;
}

}  // namespace kel
