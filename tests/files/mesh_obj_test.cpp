#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/mesh/number_scanner.h"
#include "mesh_test_support.h"

namespace kel::test {
namespace {

struct ObjCase {
    const char* name;
    std::string text;
    std::vector<double> positions;
    std::vector<std::vector<std::uint32_t>> faces;
};

// Every file here has the same meaning: the triangle and quad the checks expect.
class ObjAccepts : public ::testing::TestWithParam<ObjCase> {};

TEST_P(ObjAccepts, ReadsVerticesAndFaces) {
    const ObjCase& c = GetParam();
    const Parsed parsed = parseMesh(MeshFormat::WavefrontObj, c.text);
    ASSERT_TRUE(parsed.ok) << parsed.failure;
    EXPECT_EQ(parsed.mesh.positions, c.positions);
    ASSERT_EQ(parsed.mesh.faceCount(), c.faces.size());
    for (std::size_t f = 0; f < c.faces.size(); ++f) {
        EXPECT_EQ(faceCorners(parsed.mesh, f), c.faces[f]) << "face " << f;
    }
    EXPECT_TRUE(parsed.mesh.smoothing.empty()) << "no s statement: the crease rule decides";
}

const std::vector<double> kUnitTriangle = {0, 0, 0, 1, 0, 0, 0, 1, 0};

INSTANTIATE_TEST_SUITE_P(
    Obj, ObjAccepts,
    ::testing::Values(
        ObjCase{"plain", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n", kUnitTriangle, {{0, 1, 2}}},
        ObjCase{"slashForms",
                "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n"
                "f 1/1 2/1 3/1\nf 1//1 2//1 3//1\nf 1/1/1 2/1/1 3/1/1\n",
                kUnitTriangle,
                {{0, 1, 2}, {0, 1, 2}, {0, 1, 2}}},
        ObjCase{"negativeIndicesCountBackFromTheLatest",
                "v 0 0 0\nv 1 0 0\nv 0 1 0\nf -3 -2 -1\nv 1 1 0\nf -4 -1 -2\n",
                {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0},
                {{0, 1, 2}, {0, 3, 2}}},
        ObjCase{"quadAndPentagon",
                "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv -1 0 0\nf 1 2 3 4\nf 1 2 3 4 5\n",
                {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, -1, 0, 0},
                {{0, 1, 2, 3}, {0, 1, 2, 3, 4}}},
        ObjCase{"crlfCommentsBlankLinesNoFinalLineEnd",
                "# made by hand\r\n\r\nv 0 0 0\r\n  v 1 0 0 # trailing\r\n\tv 0 1 0\r\n"
                "f 1 2 3 # the face",
                kUnitTriangle,
                {{0, 1, 2}}},
        ObjCase{"byteOrderMarkAndLatin1Names",
                "\xEF\xBB\xBFmtllib caf\xE9.mtl\no pi\xE8"
                "ce\ng grp\nusemtl m\n"
                "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n",
                kUnitTriangle,
                {{0, 1, 2}}},
        ObjCase{"lineContinuation",
                "v 0 \\\n 0 0\nv 1 0 0\nv 0 1 0\nf 1 \\\r\n 2 3\n",
                kUnitTriangle,
                {{0, 1, 2}}},
        ObjCase{"wAndColoursAfterZIgnored",
                "v 0 0 0 1\nv 1 0 0 0.5 0.5 0.5\nv 0 1 0\nf 1 2 3\n",
                kUnitTriangle,
                {{0, 1, 2}}},
        ObjCase{"otherStatementsIgnored",
                "vp 0.5\nv 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2\np 3\ncstype bezier\nf 1 2 3\n",
                kUnitTriangle,
                {{0, 1, 2}}},
        ObjCase{"numbersAsRealFilesWriteThem",
                "v +0.1 2. 1E2\nv 1e+2 -.5 +7\nv 0 1 0\nf 1 2 3\n",
                {0.1, 2.0, 100.0, 100.0, -0.5, 7.0, 0, 1, 0},
                {{0, 1, 2}}},
        ObjCase{"longLine",
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

struct ObjFault {
    const char* name;
    std::string text;
    std::string message;
};

class ObjRefuses : public ::testing::TestWithParam<ObjFault> {};

TEST_P(ObjRefuses, NamesTheFileTheLineAndWhatWasExpected) {
    const ObjFault& c = GetParam();
    const Parsed parsed = parseMesh(MeshFormat::WavefrontObj, c.text, "bad.obj");
    EXPECT_FALSE(parsed.ok);
    EXPECT_EQ(parsed.failure, c.message);
}

const std::string kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";

INSTANTIATE_TEST_SUITE_P(
    Obj, ObjRefuses,
    ::testing::Values(
        ObjFault{"indexZero", kTriangle + "f 0 1 2\n",
                 "bad.obj, line 4: vertex index 0 in a face: OBJ indices start at 1"},
        ObjFault{"indexPastTheList", kTriangle + "f 1 2 4\n",
                 "bad.obj, line 4: vertex index 4 names no vertex (3 so far)"},
        ObjFault{"negativePastTheStart", kTriangle + "f -1 -2 -4\n",
                 "bad.obj, line 4: vertex index -4 names no vertex (3 so far)"},
        ObjFault{"twoCorners", kTriangle + "f 1 2\n",
                 "bad.obj, line 4: a face needs at least 3 corners, found 2"},
        ObjFault{"missingCoordinate", "v 0 0\nv 1 1 1\n",
                 "bad.obj, line 1: expected the z coordinate, found the end of the line"},
        ObjFault{"missingCoordinateAtTheEnd", "v 0 0",
                 "bad.obj, line 1: expected the z coordinate, found the end of the file"},
        ObjFault{"malformedNumber", "v 0 1.2.3 0\n",
                 "bad.obj, line 1: expected the y coordinate, found \"1.2.3\""},
        ObjFault{"nan", "v nan 0 0\n",
                 "bad.obj, line 1: expected the x coordinate, found \"nan\", which is not a "
                 "finite number"},
        ObjFault{"infinity", "v 0 -inf 0\n",
                 "bad.obj, line 1: expected the y coordinate, found \"-inf\", which is not a "
                 "finite number"},
        ObjFault{"outOfRange", "v 0 0 1e999\n",
                 "bad.obj, line 1: expected the z coordinate, found \"1e999\", which is out of "
                 "range"},
        ObjFault{"badCorner", kTriangle + "f 1 2 3/x\n",
                 "bad.obj, line 4: expected a corner (v, v/vt, v//vn or v/vt/vn), found "
                 "\"3/x\""},
        ObjFault{"hugeIndex", kTriangle + "f 1 2 99999999999999999999\n",
                 "bad.obj, line 4: expected a vertex index (v, v/vt, v//vn or v/vt/vn), found "
                 "\"99999999999999999999\""},
        ObjFault{"linesAndPointsOnly", kTriangle + "l 1 2 3\np 1\n",
                 "bad.obj: no faces: a file of points or lines only has nothing to shade"},
        ObjFault{"empty", "",
                 "bad.obj: no faces: a file of points or lines only has nothing to shade"},
        ObjFault{"utf16", std::string("\xFF\xFEv\0 \0", 6),
                 "bad.obj: UTF-16 or UTF-32 text (or NUL bytes in text) cannot be read; save "
                 "the file as UTF-8 or ASCII"},
        ObjFault{"utf16WithoutMark",
                 std::string("v\0 \0"
                             "0\0",
                             6),
                 "bad.obj: UTF-16 or UTF-32 text (or NUL bytes in text) cannot be read; save "
                 "the file as UTF-8 or ASCII"},
        ObjFault{"invalidByteInAKeyword", "v\xE9 0 0 0\n",
                 "bad.obj, line 1: expected a statement (v, f, s, ...), found \"v?\""},
        ObjFault{"invalidByteInANumber", "v 0 0\xA0 0\n",
                 "bad.obj, line 1: expected the y coordinate, found \"0?\""},
        ObjFault{"badSmoothingGroup", kTriangle + "s on\n",
                 "bad.obj, line 4: expected a smoothing group number or off, found \"on\""},
        ObjFault{"lineNumbersCountJoinedLines", "v 0 \\\n0 \\\n0\nv x 0 0\n",
                 "bad.obj, line 4: expected the x coordinate, found \"x\""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kel::test

namespace kel::test {
namespace {

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
