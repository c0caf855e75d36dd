#include "files/mesh/ply_reader.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "files/mesh/mesh_failure.h"
#include "files/mesh/text_cursor.h"

namespace kel {

namespace {

enum class PlyType : std::uint8_t { Int8, UInt8, Int16, UInt16, Int32, UInt32, Float32, Float64 };
enum class PlyFormat { Ascii, BinaryLittleEndian, BinaryBigEndian };
enum class Role : std::uint8_t { None, X, Y, Z, Indices };

struct PlyProperty {
    PlyType type = PlyType::Int8;  // of the values; of the entries for a list
    PlyType countType = PlyType::UInt8;
    bool list = false;
    Role role = Role::None;
};

struct PlyElement {
    std::string name;
    std::uint64_t count = 0;
    std::vector<PlyProperty> properties;
    std::size_t line = 0;
};

struct PlyHeader {
    PlyFormat format = PlyFormat::Ascii;
    std::vector<PlyElement> elements;
    std::size_t bodyOffset = 0;
    std::size_t bodyLine = 0;  // the line the ascii data starts on
    std::uint64_t vertexCount = 0;
};

std::size_t sizeOf(PlyType type) {
    switch (type) {
        case PlyType::Int8:
        case PlyType::UInt8:
            return 1;
        case PlyType::Int16:
        case PlyType::UInt16:
            return 2;
        case PlyType::Int32:
        case PlyType::UInt32:
        case PlyType::Float32:
            return 4;
        case PlyType::Float64:
            return 8;
    }
    return 1;
}

bool isInteger(PlyType type) {
    return type != PlyType::Float32 && type != PlyType::Float64;
}

bool typeNamed(std::string_view name, PlyType& type) {
    static constexpr std::pair<std::string_view, PlyType> kNames[] = {
        {"char", PlyType::Int8},      {"int8", PlyType::Int8},       {"uchar", PlyType::UInt8},
        {"uint8", PlyType::UInt8},    {"short", PlyType::Int16},     {"int16", PlyType::Int16},
        {"ushort", PlyType::UInt16},  {"uint16", PlyType::UInt16},   {"int", PlyType::Int32},
        {"int32", PlyType::Int32},    {"uint", PlyType::UInt32},     {"uint32", PlyType::UInt32},
        {"float", PlyType::Float32},  {"float32", PlyType::Float32}, {"double", PlyType::Float64},
        {"float64", PlyType::Float64}};
    for (const auto& [text, value] : kNames) {
        if (name == text) {
            type = value;
            return true;
        }
    }
    return false;
}

// The words of one header line, split at blanks.
std::vector<std::string_view> wordsOf(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
            ++i;
        }
        if (i > start) {
            words.push_back(line.substr(start, i - start));
        }
    }
    return words;
}

class HeaderParser {
public:
    HeaderParser(std::string_view data, const std::string& file) : data_(data), file_(file) {}

    bool run(PlyHeader& header, std::string& failure);

private:
    bool fail(const std::string& text) {
        failure_ = lineFailure(file_, line_, text);
        return false;
    }
    bool nextLine(std::string_view& line);
    bool line(const std::vector<std::string_view>& words, PlyHeader& header, bool& done);
    bool property(const std::vector<std::string_view>& words, PlyElement& element);
    bool check(PlyHeader& header);

    std::string_view data_;
    const std::string& file_;
    std::size_t pos_ = 0;
    std::size_t line_ = 0;
    std::string failure_;
};

bool HeaderParser::nextLine(std::string_view& line) {
    if (pos_ >= data_.size()) {
        ++line_;
        return fail("expected end_header, found the end of the file");
    }
    const std::size_t newline = data_.find('\n', pos_);
    const std::size_t stop = newline == std::string_view::npos ? data_.size() : newline;
    line = data_.substr(pos_, stop - pos_);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    pos_ = newline == std::string_view::npos ? data_.size() : newline + 1;
    ++line_;
    return true;
}

bool HeaderParser::run(PlyHeader& header, std::string& failure) {
    std::string_view text;
    const bool ok = [&] {
        if (!nextLine(text) || text != "ply") {
            return failure_.empty() ? fail("expected ply on the first line") : false;
        }
        bool done = false;
        while (!done) {
            if (!nextLine(text) || !line(wordsOf(text), header, done)) {
                return false;
            }
        }
        return check(header);
    }();
    if (!ok) {
        failure = failure_;
        return false;
    }
    header.bodyOffset = pos_;
    header.bodyLine = line_ + 1;
    return true;
}

bool HeaderParser::line(const std::vector<std::string_view>& words, PlyHeader& header, bool& done) {
    if (words.empty() || words[0] == "comment" || words[0] == "obj_info") {
        return true;
    }
    const std::string_view keyword = words[0];
    if (keyword == "end_header") {
        done = true;
        return true;
    }
    if (keyword == "format") {
        if (words.size() != 3) {
            return fail(
                "expected format ascii, binary_little_endian or binary_big_endian and a "
                "version");
        }
        if (words[1] == "ascii") {
            header.format = PlyFormat::Ascii;
        } else if (words[1] == "binary_little_endian") {
            header.format = PlyFormat::BinaryLittleEndian;
        } else if (words[1] == "binary_big_endian") {
            header.format = PlyFormat::BinaryBigEndian;
        } else {
            return fail("unknown PLY format " + quotedToken(words[1]) +
                        " (expected ascii, binary_little_endian or binary_big_endian)");
        }
        return true;
    }
    if (keyword == "element") {
        if (words.size() != 3) {
            return fail("expected element NAME COUNT");
        }
        PlyElement element;
        element.name = std::string(words[1]);
        element.line = line_;
        const char* p = words[2].data();
        std::int64_t count = 0;
        if (scanInteger(p, p + words[2].size(), count) != NumberScan::Ok ||
            p != words[2].data() + words[2].size() || count < 0) {
            return fail("expected the count of element " + element.name + ", found " +
                        quotedToken(words[2]));
        }
        element.count = static_cast<std::uint64_t>(count);
        header.elements.push_back(std::move(element));
        return true;
    }
    if (keyword == "property") {
        if (header.elements.empty()) {
            return fail("a property before any element");
        }
        return property(words, header.elements.back());
    }
    return fail(
        "expected a header line (format, element, property, comment, end_header), "
        "found " +
        quotedToken(keyword));
}

bool HeaderParser::property(const std::vector<std::string_view>& words, PlyElement& element) {
    PlyProperty property;
    std::string_view name;
    if (words.size() >= 2 && words[1] == "list") {
        if (words.size() != 5) {
            return fail("expected property list COUNT_TYPE ENTRY_TYPE NAME");
        }
        if (!typeNamed(words[2], property.countType) || !typeNamed(words[3], property.type)) {
            return fail("unknown property type " +
                        quotedToken(typeNamed(words[2], property.countType) ? words[3] : words[2]));
        }
        if (!isInteger(property.countType)) {
            return fail("the count type of a list must be an integer type, found " +
                        quotedToken(words[2]));
        }
        property.list = true;
        name = words[4];
    } else {
        if (words.size() != 3) {
            return fail("expected property TYPE NAME");
        }
        if (!typeNamed(words[1], property.type)) {
            return fail("unknown property type " + quotedToken(words[1]));
        }
        name = words[2];
    }
    if (element.name == "vertex" && !property.list) {
        property.role = name == "x"   ? Role::X
                        : name == "y" ? Role::Y
                        : name == "z" ? Role::Z
                                      : Role::None;
    }
    if (element.name == "face" && property.list &&
        (name == "vertex_indices" || name == "vertex_index")) {
        if (!isInteger(property.type)) {
            return fail("vertex indices must have an integer type, found " + quotedToken(words[3]));
        }
        property.role = Role::Indices;
    }
    element.properties.push_back(property);
    return true;
}

// The least bytes an item of the element takes in the data.
std::uint64_t leastItemSize(const PlyElement& element, PlyFormat format) {
    std::uint64_t size = 0;
    for (const PlyProperty& property : element.properties) {
        // In text every value takes a digit and a separator.
        size += format == PlyFormat::Ascii
                    ? 2
                    : sizeOf(property.list ? property.countType : property.type);
    }
    return size;
}

bool HeaderParser::check(PlyHeader& header) {
    const PlyElement* vertex = nullptr;
    const PlyElement* face = nullptr;
    std::uint64_t least = 0;
    const std::uint64_t available = data_.size() - pos_ + 1;
    for (const PlyElement& element : header.elements) {
        const std::uint64_t itemSize = leastItemSize(element, header.format);
        if (itemSize != 0 && element.count > (available - least) / itemSize) {
            line_ = element.line;
            return fail("element " + element.name + " declares " + std::to_string(element.count) +
                        " items, more than the " + std::to_string(data_.size() - pos_) +
                        " bytes of data can hold");
        }
        least += element.count * itemSize;
        const auto roles = [&](Role role) {
            std::size_t n = 0;
            for (const PlyProperty& p : element.properties) {
                n += p.role == role ? 1 : 0;
            }
            return n;
        };
        if (element.name == "vertex") {
            if (vertex != nullptr || roles(Role::X) != 1 || roles(Role::Y) != 1 ||
                roles(Role::Z) != 1) {
                line_ = element.line;
                return fail("expected one vertex element with one each of x, y and z");
            }
            vertex = &element;
        }
        if (element.name == "face") {
            if (face != nullptr || roles(Role::Indices) != 1) {
                line_ = element.line;
                return fail("expected one face element with one vertex_indices list");
            }
            face = &element;
        }
    }
    if (vertex == nullptr) {
        return fail("no vertex element");
    }
    if (face == nullptr || face->count == 0) {
        return fail("no faces: a file of points only has nothing to shade");
    }
    if (vertex->count > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) ||
        face->count > std::numeric_limits<std::uint32_t>::max()) {
        return fail("too many vertices or faces");
    }
    header.vertexCount = vertex->count;
    return true;
}

// Reads the data that follows the header into the mesh. Positions in messages are byte
// offsets from the start of the file.
class BodyReader {
public:
    BodyReader(std::string_view data, const std::string& file, const PlyHeader& header,
               MeshData& mesh)
        : data_(data), file_(file), header_(header), mesh_(mesh), pos_(header.bodyOffset) {}

    bool run(std::string& failure);

private:
    bool binaryElement(const PlyElement& element);
    bool binaryFixedVertices(const PlyElement& element);
    bool binaryScalar(const PlyElement& element, const PlyProperty& property, double* xyz);
    bool binaryList(const PlyElement& element, const PlyProperty& property);
    std::uint64_t rawAt(PlyType type, std::size_t pos) const;
    double realAt(PlyType type, std::size_t pos) const;
    std::int64_t integerAt(PlyType type, std::size_t pos) const;
    bool failAt(std::size_t pos, const std::string& text) {
        failure_ = byteFailure(file_, pos, text);
        return false;
    }
    bool endsInside(const PlyElement& element) {
        return failAt(pos_, "the file ends inside element " + element.name);
    }
    bool indexOk(std::int64_t index) const {
        return index >= 0 && static_cast<std::uint64_t>(index) < header_.vertexCount;
    }
    std::string badIndex(std::int64_t index) const {
        return "vertex index " + std::to_string(index) + " names no vertex (there are " +
               std::to_string(header_.vertexCount) + ")";
    }

    bool asciiElement(const PlyElement& element, TextCursor& cursor);
    bool asciiList(const PlyProperty& property, TextCursor& cursor);

    std::string_view data_;
    const std::string& file_;
    const PlyHeader& header_;
    MeshData& mesh_;
    std::size_t pos_;
    std::string failure_;
};

std::uint64_t BodyReader::rawAt(PlyType type, std::size_t pos) const {
    const std::size_t size = sizeOf(type);
    const auto* bytes = reinterpret_cast<const unsigned char*>(data_.data() + pos);
    const bool big = header_.format == PlyFormat::BinaryBigEndian;
    std::uint64_t raw = 0;
    for (std::size_t i = 0; i < size; ++i) {
        raw |= static_cast<std::uint64_t>(bytes[big ? size - 1 - i : i]) << (8 * i);
    }
    return raw;
}

// Every scalar type widens to double exactly.
double BodyReader::realAt(PlyType type, std::size_t pos) const {
    const std::uint64_t raw = rawAt(type, pos);
    switch (type) {
        case PlyType::Float32:
            return std::bit_cast<float>(static_cast<std::uint32_t>(raw));
        case PlyType::Float64:
            return std::bit_cast<double>(raw);
        default:
            return static_cast<double>(integerAt(type, pos));
    }
}

std::int64_t BodyReader::integerAt(PlyType type, std::size_t pos) const {
    const std::uint64_t raw = rawAt(type, pos);
    switch (type) {
        case PlyType::Int8:
            return static_cast<std::int8_t>(raw);
        case PlyType::Int16:
            return static_cast<std::int16_t>(raw);
        case PlyType::Int32:
            return static_cast<std::int32_t>(raw);
        default:
            return static_cast<std::int64_t>(raw);  // unsigned types; floats never get here
    }
}

bool BodyReader::binaryScalar(const PlyElement& element, const PlyProperty& property, double* xyz) {
    const std::size_t size = sizeOf(property.type);
    if (data_.size() - pos_ < size) {
        return endsInside(element);
    }
    if (property.role != Role::None) {
        const double value = realAt(property.type, pos_);
        if (!std::isfinite(value)) {
            return failAt(pos_, "a vertex coordinate is not a finite number");
        }
        xyz[static_cast<int>(property.role) - static_cast<int>(Role::X)] = value;
    }
    pos_ += size;
    return true;
}

bool BodyReader::binaryList(const PlyElement& element, const PlyProperty& property) {
    const std::size_t countSize = sizeOf(property.countType);
    if (data_.size() - pos_ < countSize) {
        return endsInside(element);
    }
    const std::int64_t count = integerAt(property.countType, pos_);
    const std::size_t countPos = pos_;
    pos_ += countSize;
    const std::size_t entrySize = sizeOf(property.type);
    if (count < 0 || static_cast<std::uint64_t>(count) > (data_.size() - pos_) / entrySize) {
        return failAt(countPos, "a list of " + std::to_string(count) +
                                    " entries does not fit in the rest of the file");
    }
    if (property.role != Role::Indices) {
        pos_ += static_cast<std::size_t>(count) * entrySize;
        return true;
    }
    if (count < 3) {
        return failAt(countPos, "a face needs at least 3 corners, found " + std::to_string(count));
    }
    for (std::int64_t j = 0; j < count; ++j, pos_ += entrySize) {
        const std::int64_t index = integerAt(property.type, pos_);
        if (!indexOk(index)) {
            return failAt(pos_, badIndex(index));
        }
        mesh_.corners.push_back(static_cast<std::uint32_t>(index));
    }
    mesh_.endFace();
    return true;
}

// Vertices without lists all have one size: checked once, then read without more checks.
bool BodyReader::binaryFixedVertices(const PlyElement& element) {
    std::size_t itemSize = 0;
    std::size_t offsets[3] = {0, 0, 0};
    PlyType types[3] = {PlyType::Float32, PlyType::Float32, PlyType::Float32};
    for (const PlyProperty& property : element.properties) {
        if (property.role != Role::None) {
            const int axis = static_cast<int>(property.role) - static_cast<int>(Role::X);
            offsets[axis] = itemSize;
            types[axis] = property.type;
        }
        itemSize += sizeOf(property.type);
    }
    if (element.count > (data_.size() - pos_) / itemSize) {
        return endsInside(element);
    }
    for (std::uint64_t i = 0; i < element.count; ++i, pos_ += itemSize) {
        double xyz[3];
        for (int axis = 0; axis < 3; ++axis) {
            xyz[axis] = realAt(types[axis], pos_ + offsets[axis]);
            if (!std::isfinite(xyz[axis])) {
                return failAt(pos_ + offsets[axis], "a vertex coordinate is not a finite number");
            }
        }
        mesh_.addVertex(xyz[0], xyz[1], xyz[2]);
    }
    return true;
}

bool BodyReader::binaryElement(const PlyElement& element) {
    bool hasList = false;
    for (const PlyProperty& property : element.properties) {
        hasList = hasList || property.list;
    }
    if (element.properties.empty()) {
        return true;  // nothing to read, however many items it claims
    }
    const bool isVertex = element.name == "vertex";
    if (isVertex && !hasList) {
        return binaryFixedVertices(element);
    }
    for (std::uint64_t i = 0; i < element.count; ++i) {
        double xyz[3] = {0.0, 0.0, 0.0};
        for (const PlyProperty& property : element.properties) {
            const bool ok = property.list ? binaryList(element, property)
                                          : binaryScalar(element, property, xyz);
            if (!ok) {
                return false;
            }
        }
        if (isVertex) {
            mesh_.addVertex(xyz[0], xyz[1], xyz[2]);
        }
    }
    return true;
}

bool BodyReader::asciiList(const PlyProperty& property, TextCursor& cursor) {
    std::uint64_t count = 0;
    cursor.skipToToken();
    if (!cursor.count(count, std::numeric_limits<std::int32_t>::max(), "a list count")) {
        return false;
    }
    if (count > cursor.remaining() / 2 + 1) {
        return cursor.fail("a list of " + std::to_string(count) +
                           " entries does not fit in the rest of the file");
    }
    if (property.role == Role::Indices && count < 3) {
        return cursor.fail("a face needs at least 3 corners, found " + std::to_string(count));
    }
    for (std::uint64_t j = 0; j < count; ++j) {
        cursor.skipToToken();
        if (property.role != Role::Indices) {
            if (cursor.token().empty()) {
                return cursor.fail("expected a list entry, found the end of the file");
            }
            continue;
        }
        std::uint32_t plain = 0;  // the usual index, read in one pass; any other below
        if (const char* end = cursor.plainDigits(plain); end != nullptr && indexOk(plain)) {
            mesh_.corners.push_back(plain);
            cursor.moveWithinToken(end);
            continue;
        }
        std::int64_t index = 0;
        if (!cursor.integer(index, "a vertex index")) {
            return false;
        }
        if (!indexOk(index)) {
            return cursor.fail(badIndex(index));
        }
        mesh_.corners.push_back(static_cast<std::uint32_t>(index));
    }
    if (property.role == Role::Indices) {
        mesh_.endFace();
    }
    return true;
}

bool BodyReader::asciiElement(const PlyElement& element, TextCursor& cursor) {
    if (element.properties.empty()) {
        return true;
    }
    const bool isVertex = element.name == "vertex";
    for (std::uint64_t i = 0; i < element.count; ++i) {
        double xyz[3] = {0.0, 0.0, 0.0};
        for (const PlyProperty& property : element.properties) {
            if (property.list) {
                if (!asciiList(property, cursor)) {
                    return false;
                }
                continue;
            }
            cursor.skipToToken();
            if (property.role == Role::None) {
                if (cursor.token().empty()) {
                    return cursor.fail("expected a value of element " + element.name +
                                       ", found the end of the file");
                }
                continue;
            }
            const int axis = static_cast<int>(property.role) - static_cast<int>(Role::X);
            if (!cursor.real(xyz[axis], kCoordinateNames[axis])) {
                return false;
            }
        }
        if (isVertex) {
            mesh_.addVertex(xyz[0], xyz[1], xyz[2]);
        }
    }
    return true;
}

bool BodyReader::run(std::string& failure) {
    const PlyElement* vertex = nullptr;
    const PlyElement* face = nullptr;
    for (const PlyElement& element : header_.elements) {
        vertex = element.name == "vertex" ? &element : vertex;
        face = element.name == "face" ? &element : face;
    }
    // Both counts were checked against the size of the data.
    mesh_.positions.reserve(vertex->count * 3);
    mesh_.faceEnds.reserve(face->count);
    if (header_.format == PlyFormat::Ascii) {
        TextCursor cursor(data_.substr(pos_), file_, false);
        cursor.setLine(header_.bodyLine);
        for (const PlyElement& element : header_.elements) {
            if (!asciiElement(element, cursor)) {
                failure = cursor.message();
                return false;
            }
        }
        return true;
    }
    for (const PlyElement& element : header_.elements) {
        if (!binaryElement(element)) {
            failure = failure_;
            return false;
        }
    }
    return true;
}

}  // namespace

bool readPly(std::string_view data, const std::string& file, MeshData& mesh, std::string& failure) {
    PlyHeader header;
    HeaderParser parser(data, file);
    if (!parser.run(header, failure)) {
        return false;
    }
    BodyReader body(data, file, header, mesh);
    return body.run(failure);
}

}  // namespace kel
