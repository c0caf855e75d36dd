#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <string>
#include <vector>

#include "mesh_test_support.h"

namespace kel::test {
namespace {

using Faces = std::vector<std::vector<std::uint32_t>>;

struct FormatCase {
    const char* name;
    MeshFormat format;
    std::string data;
    std::vector<double> positions;
    Faces faces;
};

class FormatAccepts : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatAccepts, ReadsVerticesAndFaces) {
    const FormatCase& c = GetParam();
    const Parsed parsed = parseMesh(c.format, c.data);
    ASSERT_TRUE(parsed.ok) << parsed.failure;
    EXPECT_EQ(parsed.mesh.positions, c.positions);
    ASSERT_EQ(parsed.mesh.faceCount(), c.faces.size());
    for (std::size_t f = 0; f < c.faces.size(); ++f) {
        EXPECT_EQ(faceCorners(parsed.mesh, f), c.faces[f]) << "face " << f;
    }
}

const std::vector<double> kSquare = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
const Faces kSquareFaces = {{0, 1, 2}, {0, 2, 3}};
const std::vector<double> kUnitTriangle = {0, 0, 0, 1, 0, 0, 0, 1, 0};

// An OBJ case; by default the file must read as kUnitTriangle with the one face 1 2 3.
FormatCase obj(const char* name, std::string data, std::vector<double> positions = kUnitTriangle,
               Faces faces = {{0, 1, 2}}) {
    return {name, MeshFormat::WavefrontObj, std::move(data), std::move(positions),
            std::move(faces)};
}

// A binary PLY of kSquare with extra properties and elements of every type around it.
std::string binaryPly(bool big) {
    Bytes b(big);
    b.text(std::string("ply\nformat ") + (big ? "binary_big_endian" : "binary_little_endian") +
           " 1.0\ncomment any text\nobj_info more\n"
           "element material 1\nproperty list ushort int16 ids\nproperty char flag\n"
           "element vertex 4\nproperty uint8 red\nproperty float x\nproperty double y\n"
           "property int16 z\nproperty list uint32 float64 extra\n"
           "element face 2\nproperty int8 tag\nproperty list uchar uint vertex_indices\n"
           "property uint16 more\nend_header\n");
    b.put(std::uint16_t{2}).put(std::int16_t{-1}).put(std::int16_t{7}).put(std::int8_t{3});
    const double xy[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (const auto& v : xy) {
        b.put(std::uint8_t{255}).put(static_cast<float>(v[0])).put(v[1]).put(std::int16_t{0});
        b.put(std::uint32_t{1}).put(2.5);
    }
    for (const auto& face : kSquareFaces) {
        b.put(std::int8_t{-5}).put(std::uint8_t{3}).put(face[0]).put(face[1]).put(face[2]);
        b.put(std::uint16_t{9});
    }
    return b.str();
}

const std::string kSquareStlAscii =
    "solid square\n"
    "  facet normal 0 0 1\n    outer loop\n      vertex 0 0 0\n      vertex 1 0 0\n"
    "      vertex 1 1 0\n    endloop\n  endfacet\n"
    "endsolid square\n"
    "solid empty\nendsolid empty\n"
    "SOLID second\n"
    "  FACET NORMAL nan nan nan\n    OUTER LOOP\n      VERTEX 0 0 -0\n"
    "      VERTEX 1 1 0\n      VERTEX 0 1 0\n    ENDLOOP\n  ENDFACET\n"
    "ENDSOLID";

const float kSmallestNormal = 1.17549435e-38f;

INSTANTIATE_TEST_SUITE_P(
    Formats, FormatAccepts,
    ::testing::Values(
        FormatCase{"offCountsOnKeywordLineCommentsAndFaceColours", MeshFormat::Off,
                   "OFF 4 2 5 # counts\n# a comment\n\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n"
                   "3 0 1 2 255 0 0\n3 0 2 3 0.5 0.5 0.5 1\n",
                   kSquare, kSquareFaces},
        FormatCase{"cnoffWithColoursNormalsAndCrlf", MeshFormat::Off,
                   "CNOFF\r\n4 2 0\r\n0 0 0 0 0 1 1 0 0 1\r\n1 0 0 0 0 1 1 0 0 1\r\n"
                   "1 1 0 0 0 1 1 0 0 1\r\n0 1 0 0 0 1 1 0 0 1\r\n3 0 1 2\r\n3 0 2 3\r\n",
                   kSquare, kSquareFaces},
        FormatCase{"homogeneous4off", MeshFormat::Off,
                   "4OFF\n4 2 0\n0 0 0 2\n2 0 0 2\n2 2 0 2\n0 2 0 2\n3 0 1 2\n3 0 2 3\n", kSquare,
                   kSquareFaces},
        FormatCase{"plyAscii", MeshFormat::Ply,
                   "ply\r\nformat ascii 1.0\r\ncomment x\r\nelement vertex 4\r\n"
                   "property float x\r\nproperty float y\r\nproperty float z\r\n"
                   "property uchar red\r\nelement face 2\r\n"
                   "property list uchar int vertex_index\r\nend_header\r\n"
                   "0 0 0 9\r\n1 0 0 9\r\n1 1 0 9\r\n0 1 0 9\r\n3 0 1 2\r\n3 0 2 3\r\n",
                   kSquare, kSquareFaces},
        FormatCase{"plyBinaryLittleEndian", MeshFormat::Ply, binaryPly(false), kSquare,
                   kSquareFaces},
        FormatCase{"plyBinaryBigEndian", MeshFormat::Ply, binaryPly(true), kSquare, kSquareFaces},
        FormatCase{"stlAsciiSeveralSolidsWelded", MeshFormat::Stl, kSquareStlAscii, kSquare,
                   kSquareFaces},
        FormatCase{"stlBinaryBeginningWithSolid", MeshFormat::Stl,
                   binaryStl({{0, 0, 0, 1, 0, 0, 1, 1, 0}, {-0.0f, 0, 0, 1, 1, 0, 0, 1, 0}},
                             "solid but binary"),
                   kSquare, kSquareFaces},
        // Binary floats widen exactly: 0.1f's own value, not the double nearest "0.1".
        FormatCase{"stlBinaryFloatsWidenExactly",
                   MeshFormat::Stl,
                   binaryStl({{0.1f, kSmallestNormal, 16777215.0f, 1, 0, 0, 0, 1, 0}}),
                   {static_cast<double>(0.1f), static_cast<double>(kSmallestNormal), 16777215.0, 1,
                    0, 0, 0, 1, 0},
                   {{0, 1, 2}}},
        obj("slashForms",
            kObjVertices +
                "vt 0 0\nvn 0 0 1\nf 1/1 2/1 3/1\nf 1//1 2//1 3//1\nf 1/1/1 2/1/1 3/1/1\n",
            kUnitTriangle, {{0, 1, 2}, {0, 1, 2}, {0, 1, 2}}),
        obj("negativeIndicesCountBackFromTheLatest",
            kObjVertices + "f -3 -2 -1\nv 1 1 0\nf -4 -1 -2\n",
            {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}, {{0, 1, 2}, {0, 3, 2}}),
        obj("quadAndPentagon",
            "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv -1 0 0\nf 1 2 3 4\nf 1 2 3 4 5\n",
            {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, -1, 0, 0}, {{0, 1, 2, 3}, {0, 1, 2, 3, 4}}),
        // Far past what a float holds, and a halfway case a naive parser rounds wrongly.
        obj("coordinatesAreTheDoublesNearestTheirText",
            "v 0.30000000000000004 9007199254740993 4.9406564584124654e-324\n"
            "v 1.7976931348623157e308 0 2.2250738585072014e-308\nv +.5 -2. 0\nf 1 2 3\n",
            {0.30000000000000004, 9007199254740992.0, 4.9406564584124654e-324,
             1.7976931348623157e308, 0, 2.2250738585072014e-308, 0.5, -2, 0}),
        obj("crlfCommentsBlankLinesContinuationsNoFinalLineEnd",
            "# made by hand\r\n\r\nv 0 \\\n 0 0\r\n  v 1 0 0 # trailing\r\n\tv 0 1 0\r\n"
            "f 1 \\\r\n 2 3 # the face"),
        obj("ignoredStatementsLatin1NamesAndALongLineAfterAByteOrderMark",
            "\xEF\xBB\xBFmtllib caf\xE9.mtl\no pi\xE8"
            "ce\ng grp\nusemtl m\nvp 0.5\no " +
                std::string(100000, 'n') + "\n" + kObjVertices +
                "l 1 2\np 3\ncstype bezier\nf 1 2 3\n")),
    [](const auto& info) { return std::string(info.param.name); });

struct FormatFault {
    std::string name;
    MeshFormat format;
    std::string data;
    std::string message;
};

class FormatRefuses : public ::testing::TestWithParam<FormatFault> {};

TEST_P(FormatRefuses, NamesTheFileThePlaceAndWhatWasExpected) {
    const FormatFault& c = GetParam();
    const Parsed parsed = parseMesh(c.format, c.data, "bad");
    EXPECT_FALSE(parsed.ok);
    EXPECT_EQ(parsed.failure, c.message);
}

// A 169-byte header, 36 bytes of vertices from byte 169, the face's count at byte 205 and
// its indices at 206, 210 and 214.
std::string binaryFace(std::uint8_t count, std::int32_t last) {
    Bytes b;
    b.text(plyHeader("binary_little_endian", kPlyElements));
    for (int i = 0; i < 9; ++i) {
        b.put(static_cast<float>(i % 2));
    }
    b.put(count).put(std::int32_t{0}).put(std::int32_t{1}).put(last);
    return b.str();
}

const std::string kWideText =
    "bad: UTF-16 or UTF-32 text (or NUL bytes in text) cannot be read; save the file as UTF-8 "
    "or ASCII";

// Each format's faults, each {name, data, message}; the file is called "bad".
struct FaultGroup {
    std::string prefix;
    MeshFormat format;
    std::vector<std::array<std::string, 3>> rows;
};

const FaultGroup kFaultGroups[] = {
    {"off",
     MeshFormat::Off,
     {{"keyword", "OFFX\n",
       "bad, line 1: expected OFF (or COFF, NOFF, STOFF, ...), found \"OFFX\""},
      {"hugeCounts", "OFF\n4000000000 1 0\n",
       "bad, line 2: expected the vertex count (0 to 2147483647), found 4000000000"},
      {"countsBeyondTheFile", "OFF\n2000000000 2000000000 0\n",
       "bad, line 3: 2000000000 vertices and 2000000000 faces cannot fit in the 0 bytes "
       "that follow"},
      {"truncated", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1      ",
       "bad, line 6: expected a vertex index, found the end of the file"},
      {"indexPastTheList", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 3\n",
       "bad, line 6: vertex index 3 names no vertex (there are 3)"},
      {"noFaces", "OFF\n3 0 0\n0 0 0\n1 0 0\n0 1 0\n",
       "bad, line 3: no faces: a file of points only has nothing to shade"},
      {"binary", "OFF BINARY\n",
       "bad, line 1: binary OFF files are not supported; save it as text"}}},
    {"ply",
     MeshFormat::Ply,
     {{"unknownFormat", plyHeader("binary_middle_endian", ""),
       "bad, line 2: unknown PLY format \"binary_middle_endian\" (expected ascii, "
       "binary_little_endian or binary_big_endian)"},
      {"unknownType", plyHeader("ascii", "element vertex 1\nproperty float128 x\n"),
       "bad, line 4: unknown property type \"float128\""},
      {"floatListCount",
       plyHeader("ascii", "element face 1\nproperty list float int vertex_indices\n"),
       "bad, line 4: the count type of a list must be an integer type, found \"float\""},
      {"withoutFaces",
       plyHeader("ascii",
                 "element vertex 1\nproperty float x\nproperty float y\n"
                 "property float z\n") +
           "0 0 0\n",
       "bad, line 7: no faces: a file of points only has nothing to shade"},
      {"noHeaderEnd", "ply\nformat ascii 1.0\n",
       "bad, line 3: expected end_header, found the end of the file"},
      {"countsBeyondTheFile",
       plyHeader("binary_little_endian",
                 "element vertex 4000000000\nproperty float x\nproperty float y\n"
                 "property float z\nelement face 1\nproperty list uchar int vertex_indices\n"),
       "bad, line 3: element vertex declares 4000000000 items, more than the 0 bytes of data "
       "can hold"},
      {"binaryTruncated", binaryFace(3, 2).substr(0, 210),
       "bad, byte 205: a list of 3 entries does not fit in the rest of the file"},
      {"binaryIndexPastTheList", binaryFace(3, 3),
       "bad, byte 214: vertex index 3 names no vertex (there are 3)"},
      {"binaryTwoCorners", binaryFace(2, 2),
       "bad, byte 205: a face needs at least 3 corners, found 2"},
      {"asciiNan", plyHeader("ascii", kPlyElements) + "0 0 0\n1 nan 0\n0 1 0\n3 0 1 2\n",
       "bad, line 11: expected the y coordinate, found \"nan\", which is not a finite number"},
      {"utf16", std::string("\xFE\xFF\0p\0l\0y", 8), kWideText}}},
    {"stl",
     MeshFormat::Stl,
     {{"binarySizeMismatch", binaryStl({{0, 0, 0, 1, 0, 0, 0, 1, 0}}, "part") + "x",
       "bad: neither ASCII STL (it does not begin with solid) nor binary STL: 1 triangles "
       "need 84 + 50 x 1 = 134 bytes, the file has 135"},
      {"solidHeaderSizeMismatch",
       binaryStl({{0, 0, 0, 1, 0, 0, 0, 1, 0}}, "solid x").substr(0, 120),
       "bad: binary STL whose size does not match its count: 1 triangles need 134 bytes, the "
       "file has 120"},
      {"binaryNan", binaryStl({{0, 0, 0, 1, std::numeric_limits<float>::quiet_NaN(), 0, 0, 1, 0}}),
       "bad, byte 108: a vertex coordinate is not a finite number"},
      {"binaryNoTriangles", binaryStl({}), "bad: no triangles: nothing to shade"},
      {"asciiTruncated", "solid s\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0",
       "bad, line 5: expected the z coordinate, found the end of the file"},
      {"asciiTwoVertices",
       "solid s\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nendloop\n",
       "bad, line 6: a facet needs at least 3 vertices, found 2"},
      {"asciiEmpty", "solid s\nendsolid s\n", "bad, line 3: no facets: nothing to shade"}}},
    {"obj",
     MeshFormat::WavefrontObj,
     {{"indexZero", kObjVertices + "f 0 1 2\n",
       "bad, line 4: vertex index 0 in a face: OBJ indices start at 1"},
      {"indexPastTheList", kObjVertices + "f 1 2 4\n",
       "bad, line 4: vertex index 4 names no vertex (3 so far)"},
      {"twoCorners", kObjVertices + "f 1 2\n",
       "bad, line 4: a face needs at least 3 corners, found 2"},
      {"missingCoordinate", "v 0 0\nv 1 1 1\n",
       "bad, line 1: expected the z coordinate, found the end of the line"},
      {"malformedNumber", "v 0 1.2.3 0\n",
       "bad, line 1: expected the y coordinate, found \"1.2.3\""},
      {"nan", "v nan 0 0\n",
       "bad, line 1: expected the x coordinate, found \"nan\", which is not a finite number"},
      {"outOfRange", "v 0 0 1e999\n",
       "bad, line 1: expected the z coordinate, found \"1e999\", which is out of range"},
      {"badCorner", kObjVertices + "f 1 2 3/x\n",
       "bad, line 4: expected a corner (v, v/vt, v//vn or v/vt/vn), found \"3/x\""},
      {"hugeIndex", kObjVertices + "f 1 2 99999999999999999999\n",
       "bad, line 4: expected a vertex index (v, v/vt, v//vn or v/vt/vn), found "
       "\"99999999999999999999\""},
      {"linesAndPointsOnly", kObjVertices + "l 1 2 3\np 1\n",
       "bad: no faces: a file of points or lines only has nothing to shade"},
      {"utf16WithoutMark", std::string{'v', '\0', ' ', '\0', '0', '\0'}, kWideText},
      {"invalidByteInAKeyword", "v\xE9 0 0 0\n",
       "bad, line 1: expected a statement (v, f, s, ...), found \"v?\""},
      {"badSmoothingGroup", kObjVertices + "s on\n",
       "bad, line 4: expected a smoothing group number or off, found \"on\""},
      {"lineNumbersCountJoinedLines", "v 0 \\\n0 \\\n0\nv x 0 0\n",
       "bad, line 4: expected the x coordinate, found \"x\""}}},
};

std::vector<FormatFault> allFaults() {
    std::vector<FormatFault> faults;
    for (const FaultGroup& group : kFaultGroups) {
        for (const auto& [name, data, message] : group.rows) {
            faults.push_back({group.prefix + "_" + name, group.format, data, message});
        }
    }
    return faults;
}

INSTANTIATE_TEST_SUITE_P(Formats, FormatRefuses, ::testing::ValuesIn(allFaults()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace kel::test
