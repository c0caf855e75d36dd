#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/mesh/number_scanner.h"
#include "mesh_test_support.h"

namespace kel::test {
namespace {

struct FormatCase {
    const char* name;
    MeshFormat format;
    std::string data;
    std::vector<double> positions;
    std::vector<std::vector<std::uint32_t>> faces;
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
    EXPECT_TRUE(parsed.mesh.smoothing.empty());
}

const std::vector<double> kSquare = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
const std::vector<std::vector<std::uint32_t>> kSquareFaces = {{0, 1, 2}, {0, 2, 3}};

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
        b.put(std::int8_t{-5}).put(std::uint8_t{3});
        for (const std::uint32_t i : face) {
            b.put(i);
        }
        b.put(std::uint16_t{9});
    }
    return b.str();
}

std::string squareStlAscii() {
    return "solid square\n"
           "  facet normal 0 0 1\n    outer loop\n      vertex 0 0 0\n      vertex 1 0 0\n"
           "      vertex 1 1 0\n    endloop\n  endfacet\n"
           "endsolid square\n"
           "solid empty\nendsolid empty\n"
           "SOLID second\n"
           "  FACET NORMAL nan nan nan\n    OUTER LOOP\n      VERTEX 0 0 -0\n"
           "      VERTEX 1 1 0\n      VERTEX 0 1 0\n    ENDLOOP\n  ENDFACET\n"
           "ENDSOLID";
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FormatAccepts,
    ::testing::Values(
        FormatCase{"off", MeshFormat::Off,
                   "OFF\n4 2 0\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n3 0 1 2\n3 0 2 3\n", kSquare,
                   kSquareFaces},
        FormatCase{"offCountsOnKeywordLineCommentsAndFaceColours", MeshFormat::Off,
                   "OFF 4 2 5 # counts\n# a comment\n\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n"
                   "3 0 1 2 255 0 0\n3 0 2 3 0.5 0.5 0.5 1\n",
                   kSquare, kSquareFaces},
        FormatCase{"cnoffWithColoursNormalsAndCrlf", MeshFormat::Off,
                   "CNOFF\r\n4 2 0\r\n0 0 0 0 0 1 1 0 0 1\r\n1 0 0 0 0 1 1 0 0 1\r\n"
                   "1 1 0 0 0 1 1 0 0 1\r\n0 1 0 0 0 1 1 0 0 1\r\n3 0 1 2\r\n3 0 2 3\r\n",
                   kSquare, kSquareFaces},
        FormatCase{"stoffAndQuad",
                   MeshFormat::Off,
                   "STOFF\n4 1 0\n0 0 0 0 0\n1 0 0 1 0\n1 1 0 1 1\n0 1 0 0 1\n4 0 1 2 3\n",
                   kSquare,
                   {{0, 1, 2, 3}}},
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
        FormatCase{"stlAsciiSeveralSolidsWelded",
                   MeshFormat::Stl,
                   squareStlAscii(),
                   kSquare,
                   {{0, 1, 2}, {0, 2, 3}}},
        FormatCase{"stlBinaryBeginningWithSolid", MeshFormat::Stl,
                   binaryStl({{0, 0, 0, 1, 0, 0, 1, 1, 0}, {-0.0f, 0, 0, 1, 1, 0, 0, 1, 0}},
                             "solid but binary"),
                   kSquare, kSquareFaces}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BinaryValues, WidenExactlyToDouble) {
    const float tiny = 1.17549435e-38f;  // the smallest normal float
    const float odd = 0.1f;
    const std::string stl = binaryStl({{odd, tiny, 16777215.0f, 1, 0, 0, 0, 1, 0}});
    const Parsed parsed = parseMesh(MeshFormat::Stl, stl);
    ASSERT_TRUE(parsed.ok) << parsed.failure;
    EXPECT_EQ(parsed.mesh.positions[0], static_cast<double>(odd));
    EXPECT_NE(parsed.mesh.positions[0], 0.1);  // the float's value, not its decimal text
    EXPECT_EQ(parsed.mesh.positions[1], static_cast<double>(tiny));
    EXPECT_EQ(parsed.mesh.positions[2], 16777215.0);
}

struct FormatFault {
    const char* name;
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

std::string plyHeader(const std::string& format, const std::string& elements) {
    return "ply\nformat " + format + " 1.0\n" + elements + "end_header\n";
}
const std::string kPlyElements =
    "element vertex 3\nproperty float x\nproperty float y\nproperty float z\n"
    "element face 1\nproperty list uchar int vertex_indices\n";

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

INSTANTIATE_TEST_SUITE_P(
    Formats, FormatRefuses,
    ::testing::Values(
        FormatFault{"offKeyword", MeshFormat::Off, "OFFX\n",
                    "bad, line 1: expected OFF (or COFF, NOFF, STOFF, ...), found \"OFFX\""},
        FormatFault{"offHugeCounts", MeshFormat::Off, "OFF\n4000000000 1 0\n",
                    "bad, line 2: expected the vertex count (0 to 2147483647), found 4000000000"},
        FormatFault{"offCountsBeyondTheFile", MeshFormat::Off, "OFF\n2000000000 2000000000 0\n",
                    "bad, line 3: 2000000000 vertices and 2000000000 faces cannot fit in the 0 "
                    "bytes that follow"},
        FormatFault{"offTruncated", MeshFormat::Off, "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1      ",
                    "bad, line 6: expected a vertex index, found the end of the file"},
        FormatFault{"offIndexPastTheList", MeshFormat::Off,
                    "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 3\n",
                    "bad, line 6: vertex index 3 names no vertex (there are 3)"},
        FormatFault{"offNoFaces", MeshFormat::Off, "OFF\n3 0 0\n0 0 0\n1 0 0\n0 1 0\n",
                    "bad, line 3: no faces: a file of points only has nothing to shade"},
        FormatFault{"offBinary", MeshFormat::Off, "OFF BINARY\n",
                    "bad, line 1: binary OFF files are not supported; save it as text"},
        FormatFault{"plyUnknownFormat", MeshFormat::Ply, plyHeader("binary_middle_endian", ""),
                    "bad, line 2: unknown PLY format \"binary_middle_endian\" (expected ascii, "
                    "binary_little_endian or binary_big_endian)"},
        FormatFault{"plyUnknownType", MeshFormat::Ply,
                    plyHeader("ascii", "element vertex 1\nproperty float128 x\n"),
                    "bad, line 4: unknown property type \"float128\""},
        FormatFault{"plyFloatListCount", MeshFormat::Ply,
                    plyHeader("ascii", "element face 1\nproperty list float int vertex_indices\n"),
                    "bad, line 4: the count type of a list must be an integer type, found "
                    "\"float\""},
        FormatFault{"plyWithoutFaces", MeshFormat::Ply,
                    plyHeader("ascii",
                              "element vertex 1\nproperty float x\nproperty float y\n"
                              "property float z\n") +
                        "0 0 0\n",
                    "bad, line 7: no faces: a file of points only has nothing to shade"},
        FormatFault{"plyNoHeaderEnd", MeshFormat::Ply, "ply\nformat ascii 1.0\n",
                    "bad, line 3: expected end_header, found the end of the file"},
        FormatFault{"plyCountsBeyondTheFile", MeshFormat::Ply,
                    plyHeader("binary_little_endian",
                              "element vertex 4000000000\nproperty float x\nproperty float y\n"
                              "property float z\nelement face 1\n"
                              "property list uchar int vertex_indices\n"),
                    "bad, line 3: element vertex declares 4000000000 items, more than the 0 "
                    "bytes of data can hold"},
        FormatFault{"plyBinaryTruncated", MeshFormat::Ply, binaryFace(3, 2).substr(0, 210),
                    "bad, byte 205: a list of 3 entries does not fit in the rest of the file"},
        FormatFault{"plyBinaryIndexPastTheList", MeshFormat::Ply, binaryFace(3, 3),
                    "bad, byte 214: vertex index 3 names no vertex (there are 3)"},
        FormatFault{"plyBinaryTwoCorners", MeshFormat::Ply, binaryFace(2, 2),
                    "bad, byte 205: a face needs at least 3 corners, found 2"},
        FormatFault{"plyBinaryListPastTheEnd", MeshFormat::Ply, binaryFace(200, 2),
                    "bad, byte 205: a list of 200 entries does not fit in the rest of the file"},
        FormatFault{"plyAsciiNan", MeshFormat::Ply,
                    plyHeader("ascii", kPlyElements) + "0 0 0\n1 nan 0\n0 1 0\n3 0 1 2\n",
                    "bad, line 11: expected the y coordinate, found \"nan\", which is not a "
                    "finite number"},
        FormatFault{"plyAsciiNegativeIndex", MeshFormat::Ply,
                    plyHeader("ascii", kPlyElements) + "0 0 0\n1 0 0\n0 1 0\n3 0 -1 2\n",
                    "bad, line 13: vertex index -1 names no vertex (there are 3)"},
        FormatFault{"plyUtf16", MeshFormat::Ply, std::string("\xFE\xFF\0p\0l\0y", 8),
                    "bad: UTF-16 or UTF-32 text (or NUL bytes in text) cannot be read; save the "
                    "file as UTF-8 or ASCII"},
        FormatFault{"stlBinarySizeMismatch", MeshFormat::Stl,
                    binaryStl({{0, 0, 0, 1, 0, 0, 0, 1, 0}}, "part") + "x",
                    "bad: neither ASCII STL (it does not begin with solid) nor binary STL: 1 "
                    "triangles need 84 + 50 x 1 = 134 bytes, the file has 135"},
        FormatFault{"stlSolidHeaderSizeMismatch", MeshFormat::Stl,
                    binaryStl({{0, 0, 0, 1, 0, 0, 0, 1, 0}}, "solid x").substr(0, 120),
                    "bad: binary STL whose size does not match its count: 1 triangles need 134 "
                    "bytes, the file has 120"},
        FormatFault{"stlBinaryNan", MeshFormat::Stl,
                    binaryStl({{0, 0, 0, 1, std::numeric_limits<float>::quiet_NaN(), 0, 0, 1, 0}}),
                    "bad, byte 108: a vertex coordinate is not a finite number"},
        FormatFault{"stlBinaryNoTriangles", MeshFormat::Stl, binaryStl({}),
                    "bad: no triangles: nothing to shade"},
        FormatFault{"stlAsciiTruncated", MeshFormat::Stl,
                    "solid s\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0",
                    "bad, line 5: expected the z coordinate, found the end of the file"},
        FormatFault{"stlAsciiTwoVertices", MeshFormat::Stl,
                    "solid s\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\n"
                    "endloop\n",
                    "bad, line 6: a facet needs at least 3 vertices, found 2"},
        FormatFault{"stlAsciiEmpty", MeshFormat::Stl, "solid s\nendsolid s\n",
                    "bad, line 3: no facets: nothing to shade"}),
    [](const auto& info) { return std::string(info.param.name); });

const std::vector<double> kUnitTriangle = {0, 0, 0, 1, 0, 0, 0, 1, 0};

INSTANTIATE_TEST_SUITE_P(
    Obj, FormatAccepts,
    ::testing::Values(
        FormatCase{"plain",
                   MeshFormat::WavefrontObj,
                   "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n",
                   kUnitTriangle,
                   {{0, 1, 2}}},
        FormatCase{"slashForms",
                   MeshFormat::WavefrontObj,
                   "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n"
                   "f 1/1 2/1 3/1\nf 1//1 2//1 3//1\nf 1/1/1 2/1/1 3/1/1\n",
                   kUnitTriangle,
                   {{0, 1, 2}, {0, 1, 2}, {0, 1, 2}}},
        FormatCase{"negativeIndicesCountBackFromTheLatest",
                   MeshFormat::WavefrontObj,
                   "v 0 0 0\nv 1 0 0\nv 0 1 0\nf -3 -2 -1\nv 1 1 0\nf -4 -1 -2\n",
                   {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0},
                   {{0, 1, 2}, {0, 3, 2}}},
        FormatCase{"quadAndPentagon",
                   MeshFormat::WavefrontObj,
                   "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv -1 0 0\nf 1 2 3 4\nf 1 2 3 4 5\n",
                   {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, -1, 0, 0},
                   {{0, 1, 2, 3}, {0, 1, 2, 3, 4}}},
        FormatCase{"crlfCommentsBlankLinesNoFinalLineEnd",
                   MeshFormat::WavefrontObj,
                   "# made by hand\r\n\r\nv 0 0 0\r\n  v 1 0 0 # trailing\r\n\tv 0 1 0\r\n"
                   "f 1 2 3 # the face",
                   kUnitTriangle,
                   {{0, 1, 2}}},
        FormatCase{"byteOrderMarkAndLatin1Names",
                   MeshFormat::WavefrontObj,
                   "\xEF\xBB\xBFmtllib caf\xE9.mtl\no pi\xE8"
                   "ce\ng grp\nusemtl m\n"
                   "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n",
                   kUnitTriangle,
                   {{0, 1, 2}}},
        FormatCase{"lineContinuation",
                   MeshFormat::WavefrontObj,
                   "v 0 \\\n 0 0\nv 1 0 0\nv 0 1 0\nf 1 \\\r\n 2 3\n",
                   kUnitTriangle,
                   {{0, 1, 2}}},
        FormatCase{"wAndColoursAfterZIgnored",
                   MeshFormat::WavefrontObj,
                   "v 0 0 0 1\nv 1 0 0 0.5 0.5 0.5\nv 0 1 0\nf 1 2 3\n",
                   kUnitTriangle,
                   {{0, 1, 2}}},
        FormatCase{"otherStatementsIgnored",
                   MeshFormat::WavefrontObj,
                   "vp 0.5\nv 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2\np 3\ncstype bezier\nf 1 2 3\n",
                   kUnitTriangle,
                   {{0, 1, 2}}},
        FormatCase{"numbersAsRealFilesWriteThem",
                   MeshFormat::WavefrontObj,
                   "v +0.1 2. 1E2\nv 1e+2 -.5 +7\nv 0 1 0\nf 1 2 3\n",
                   {0.1, 2.0, 100.0, 100.0, -0.5, 7.0, 0, 1, 0},
                   {{0, 1, 2}}},
        FormatCase{"longLine",
                   MeshFormat::WavefrontObj,
                   "v 0 0 0\nv 1 0 0\nv 0 1 0\no " + std::string(100000, 'n') + "\nf 1 2 3\n",
                   kUnitTriangle,
                   {{0, 1, 2}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ObjNumbers, EveryCoordinateIsTheDoubleNearestItsText) {
    // Far past what a float holds, and the halfway cases a naive parser rounds wrongly.
    const Parsed parsed =
        parseMesh(MeshFormat::WavefrontObj,
                  "v 0.1 0.30000000000000004 2.2250738585072014e-308\n"
                  "v 9007199254740993 1.7976931348623157e308 4.9406564584124654e-324\n"
                  "v 0 1 0\nf 1 2 3\n");
    ASSERT_TRUE(parsed.ok) << parsed.failure;
    EXPECT_EQ(parsed.mesh.positions[0], 0.1);
    EXPECT_EQ(parsed.mesh.positions[1], 0.30000000000000004);
    EXPECT_EQ(parsed.mesh.positions[2], 2.2250738585072014e-308);
    EXPECT_EQ(parsed.mesh.positions[3], 9007199254740992.0);  // ties to even
    EXPECT_EQ(parsed.mesh.positions[4], 1.7976931348623157e308);
    EXPECT_EQ(parsed.mesh.positions[5], 4.9406564584124654e-324);
}

TEST(ObjSmoothing, GroupsAreKeptPerFaceAndOffOrZeroIsFlat) {
    const Parsed parsed = parseMesh(MeshFormat::WavefrontObj,
                                    "v 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                    "f 1 2 3\ns 1\nf 1 2 3\ns off\nf 1 2 3\ns 2\nf 1 2 3\n"
                                    "s 0\nf 1 2 3\ns 1\nf 1 2 3\n");
    ASSERT_TRUE(parsed.ok) << parsed.failure;
    constexpr std::int64_t flat = MeshData::kFlat;
    EXPECT_EQ(parsed.mesh.smoothing, (std::vector<std::int64_t>{flat, 1, flat, 2, flat, 1}));
}

const std::string kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";

INSTANTIATE_TEST_SUITE_P(
    Obj, FormatRefuses,
    ::testing::Values(
        FormatFault{"indexZero", MeshFormat::WavefrontObj, kTriangle + "f 0 1 2\n",
                    "bad, line 4: vertex index 0 in a face: OBJ indices start at 1"},
        FormatFault{"indexPastTheList", MeshFormat::WavefrontObj, kTriangle + "f 1 2 4\n",
                    "bad, line 4: vertex index 4 names no vertex (3 so far)"},
        FormatFault{"negativePastTheStart", MeshFormat::WavefrontObj, kTriangle + "f -1 -2 -4\n",
                    "bad, line 4: vertex index -4 names no vertex (3 so far)"},
        FormatFault{"twoCorners", MeshFormat::WavefrontObj, kTriangle + "f 1 2\n",
                    "bad, line 4: a face needs at least 3 corners, found 2"},
        FormatFault{"missingCoordinate", MeshFormat::WavefrontObj, "v 0 0\nv 1 1 1\n",
                    "bad, line 1: expected the z coordinate, found the end of the line"},
        FormatFault{"missingCoordinateAtTheEnd", MeshFormat::WavefrontObj, "v 0 0",
                    "bad, line 1: expected the z coordinate, found the end of the file"},
        FormatFault{"malformedNumber", MeshFormat::WavefrontObj, "v 0 1.2.3 0\n",
                    "bad, line 1: expected the y coordinate, found \"1.2.3\""},
        FormatFault{"nan", MeshFormat::WavefrontObj, "v nan 0 0\n",
                    "bad, line 1: expected the x coordinate, found \"nan\", which is not a "
                    "finite number"},
        FormatFault{"infinity", MeshFormat::WavefrontObj, "v 0 -inf 0\n",
                    "bad, line 1: expected the y coordinate, found \"-inf\", which is not a "
                    "finite number"},
        FormatFault{"outOfRange", MeshFormat::WavefrontObj, "v 0 0 1e999\n",
                    "bad, line 1: expected the z coordinate, found \"1e999\", which is out of "
                    "range"},
        FormatFault{"badCorner", MeshFormat::WavefrontObj, kTriangle + "f 1 2 3/x\n",
                    "bad, line 4: expected a corner (v, v/vt, v//vn or v/vt/vn), found "
                    "\"3/x\""},
        FormatFault{"hugeIndex", MeshFormat::WavefrontObj,
                    kTriangle + "f 1 2 99999999999999999999\n",
                    "bad, line 4: expected a vertex index (v, v/vt, v//vn or v/vt/vn), found "
                    "\"99999999999999999999\""},
        FormatFault{"linesAndPointsOnly", MeshFormat::WavefrontObj, kTriangle + "l 1 2 3\np 1\n",
                    "bad: no faces: a file of points or lines only has nothing to shade"},
        FormatFault{"empty", MeshFormat::WavefrontObj, "",
                    "bad: no faces: a file of points or lines only has nothing to shade"},
        FormatFault{"utf16", MeshFormat::WavefrontObj, std::string("\xFF\xFEv\0 \0", 6),
                    "bad: UTF-16 or UTF-32 text (or NUL bytes in text) cannot be read; save "
                    "the file as UTF-8 or ASCII"},
        FormatFault{"utf16WithoutMark", MeshFormat::WavefrontObj,
                    std::string("v\0 \0"
                                "0\0",
                                6),
                    "bad: UTF-16 or UTF-32 text (or NUL bytes in text) cannot be read; save "
                    "the file as UTF-8 or ASCII"},
        FormatFault{"invalidByteInAKeyword", MeshFormat::WavefrontObj, "v\xE9 0 0 0\n",
                    "bad, line 1: expected a statement (v, f, s, ...), found \"v?\""},
        FormatFault{"invalidByteInANumber", MeshFormat::WavefrontObj, "v 0 0\xA0 0\n",
                    "bad, line 1: expected the y coordinate, found \"0?\""},
        FormatFault{"badSmoothingGroup", MeshFormat::WavefrontObj, kTriangle + "s on\n",
                    "bad, line 4: expected a smoothing group number or off, found \"on\""},
        FormatFault{"lineNumbersCountJoinedLines", MeshFormat::WavefrontObj,
                    "v 0 \\\n0 \\\n0\nv x 0 0\n",
                    "bad, line 4: expected the x coordinate, found \"x\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NumberScanner, IntegersAtTheEdgesOf64Bits) {
    const struct {
        const char* text;
        NumberScan scan;
        std::int64_t value;
        std::size_t used;
    } cases[] = {
        {"+5", NumberScan::Ok, 5, 2},
        {"-0", NumberScan::Ok, 0, 2},
        {"12abc", NumberScan::Ok, 12, 2},
        {"000000000000000000000000042", NumberScan::Ok, 42, 27},
        {"9223372036854775807", NumberScan::Ok, INT64_MAX, 19},
        {"-9223372036854775808", NumberScan::Ok, INT64_MIN, 20},
        {"9223372036854775808", NumberScan::OutOfRange, 0, 0},
        {"-9223372036854775809", NumberScan::OutOfRange, 0, 0},
        {"99999999999999999999", NumberScan::OutOfRange, 0, 0},
        {"+-1", NumberScan::Malformed, 0, 0},
        {"-", NumberScan::Malformed, 0, 0},
        {"", NumberScan::Malformed, 0, 0},
    };
    for (const auto& c : cases) {
        const std::string text = c.text;
        const char* p = text.data();
        std::int64_t value = 0;
        EXPECT_EQ(scanInteger(p, text.data() + text.size(), value), c.scan) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(static_cast<std::size_t>(p - text.data()), c.used) << c.text;
    }
}

TEST(NumberScanner, RealsRefuseWhatADoubleCannotHold) {
    const struct {
        const char* text;
        NumberScan scan;
        double value;
    } cases[] = {
        {"+.5", NumberScan::Ok, 0.5},
        {"-2.", NumberScan::Ok, -2.0},
        {"4.9e-324", NumberScan::Ok, 4.9e-324},
        {"1e-400", NumberScan::OutOfRange, 0.0},
        {"-1e400", NumberScan::OutOfRange, 0.0},
        {"-inf", NumberScan::NotFinite, 0.0},
        {"nan(1)", NumberScan::NotFinite, 0.0},
        {"+", NumberScan::Malformed, 0.0},
        {"0x10", NumberScan::Ok, 0.0},  // hexadecimal is not read: the 0 and no more
    };
    for (const auto& c : cases) {
        const std::string text = c.text;
        const char* p = text.data();
        double value = 0.0;
        EXPECT_EQ(scanReal(p, text.data() + text.size(), value), c.scan) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}
}  // namespace
}  // namespace kel::test
