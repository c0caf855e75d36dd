#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "files/number_parsing.h"
#include "files/real_format.h"
#include "files/token_reader.h"
#include "files/write_visitor.h"
#include "files_test_support.h"

namespace kel::test {
namespace {

TEST(ReadVisitor, ReadsEveryValueWhateverTheBlanksAndKeepsTheLowEightBitsOfColours) {
    const auto result =
        readFromMemory({{"scene.kel",
                         "1 2 3\r\n4\t5 6\n\n0 1 0 1.5 40\n0.75\n0.9\n300 20 10\n0 0 2\n0.125\n1\n"
                         "thing.obj 10 20 30\n2 2 2\n5 0 0\n255 0 128\n0.6\n0.35\n12"},
                        {"thing.obj", kTriangleObject}});
    ASSERT_NE(result->scene, nullptr);
    EXPECT_TRUE(result->messages.errors.empty());
    const Scene& scene = *result->scene;
    ASSERT_EQ(scene.objectCount(), 1u);
    const SceneObject& object = *scene.object(0);
    const Frustum& frustum = *scene.frustum();
    const Light& light = *scene.light();
    EXPECT_EQ(light.color(), Color(44, 20, 10));  // 300 & 0xFF
    EXPECT_EQ(object.color(), Color(255, 0, 128));
    // From, to, up, light direction (kept at unit length), rotation, scaling, translation.
    EXPECT_EQ((std::vector<Vector>{scene.camera()->from(), scene.camera()->to(),
                                   scene.camera()->approxUp(), light.direction(), object.rotation(),
                                   object.scaling(), object.translation()}),
              (std::vector<Vector>{
                  {1, 2, 3}, {4, 5, 6}, {0, 1, 0}, {0, 0, 1}, {10, 20, 30}, {2, 2, 2}, {5, 0, 0}}));
    // The perspective (near / height) and modelling transforms are made as the parts are read.
    EXPECT_EQ((std::vector<double>{
                  frustum.nearPlane(), frustum.farPlane(), frustum.height(),
                  frustum.perspectiveTransform().at(0, 0), light.intensity(), scene.ambient(),
                  object.diffuse(), object.specular(), object.modelingTransform().at(3, 0),
                  static_cast<double>(object.shininess()), static_cast<double>(object.number())}),
              (std::vector<double>{1.5, 40, 0.75, 2, 0.9, 0.125, 0.6, 0.35, 5, 12, 1}));
}

TEST(RealFormat, ShortestTextThatReadsBackExactly) {
    // The last three need more than six digits.
    const double values[] = {0.1,     2.0,  -0.5,       0.0,       1e-3,     100000.0,
                             3.14159, 1e21, 3.14159265, 1234567.0, 1.0 / 3.0};
    std::string texts;
    for (const double value : values) {
        texts += formatReal(value) + " ";
    }
    EXPECT_EQ(texts,
              "0.1 2 -0.5 0 0.001 100000 3.14159 1e+21 3.14159265 1234567 0.3333333333333333 ");
    std::mt19937_64 random(20261206);
    for (int checked = 0; checked < 20000;) {
        const double value = std::bit_cast<double>(random());
        const std::string text = formatReal(value);
        double back = 0.0;
        if (std::isfinite(value)) {
            ASSERT_EQ(parseReal(text, back), RealParse::Ok) << text;
            ASSERT_EQ(back, value) << text;
            ++checked;
        }
    }
}

TEST(WriteVisitor, OneTriangleObjectGivesTheSceneFileAndTheObjectOutputFile) {
    TempDir dir;
    const auto read =
        readFromMemory({{"scene.kel",
                         "0 0 10 0 0 0 0 1 0 1 100 0.5 0.8 255 0 128 0 0 2 0.1 1 tri.obj 0 90 0 "
                         "1 1 1 0.5 0 -1 10 20 30 0.7 0.3333333333333333 25"},
                        {"tri.obj", "3 0 1 0 0 1 0 1 0 2 0 0 1 1 1 3 0 1 2"}});
    ASSERT_NE(read->scene, nullptr);
    WriteVisitor writer(read->messages);
    ASSERT_TRUE(writer.open("out.kel"));
    read->builder.writeScene(writer);
    EXPECT_FALSE(writer.failed());
    // The light direction is kept at unit length, and that is what is written.
    EXPECT_EQ(readFile("out.kel"),
              "0 0 10 \n0 0 0 \n0 1 0 \n1\n100\n0.5\n0.8\n255 0 128\n0 0 1 \n0.1\n1\n"
              "tri.obj\n0 90 0 \n1 1 1 \n0.5 0 -1 \n10 20 30\n0.7\n0.3333333333333333\n25\n");
    EXPECT_EQ(readFile("foo"), "3\n0 1 0 0 \n1 0 1 0 \n2 0 0 1 \n1\n 1\n  3\n  0 1 2 \n");
}

// The one-object scene with the token at index (from 0) replaced.
std::string sceneWithToken(std::size_t index, const std::string& replacement) {
    TokenReader tokens(sceneHeader(1) + objectRecord("thing.obj"));
    std::string text;
    std::size_t i = 0;
    while (auto token = tokens.next()) {
        text += (i++ == index ? replacement : std::string(*token)) + "\n";
    }
    return text;
}

const std::string kThreeVertices = "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n";

struct Case {
    std::string text;
    std::vector<std::string> errors;  // one message, or none when the file is sound
};

// A bad scene file fails to open with one message naming the file, the line and what was
// expected.
TEST(HostileSceneFile, FailsWithOneMessageNamingFileLineAndWhatWasExpected) {
    const std::string at = "scene.kel, line ";
    const std::vector<Case> cases = {
        {sceneWithToken(9, "12abc"),
         {at + "10: expected a real number (frustum near plane), found \"12abc\""}},
        {sceneWithToken(6, "nan"),
         {at + "7: expected a finite real number (camera up), found \"nan\""}},
        {sceneWithToken(19, "1e999"),
         {at +
          "20: expected a real number (ambient light), found \"1e999\", which is out of range"}},
        {sceneWithToken(13, "65536"),
         {at + "14: expected a colour component (0 to 65535) (light colour), found \"65536\""}},
        {sceneWithToken(20, "1.5"),
         {at + "21: expected a whole number (object count), found \"1.5\""}},
        {sceneWithToken(35, "shiny"),
         {at + "36: expected a real number (object 1 specular), found \"shiny\""}},
        // Must end, not loop for ever or allocate two billion records.
        {sceneHeader(2147483647) + objectRecord("thing.obj"),
         {at + "19: expected an object file name (object 2 file name), found the end of the file"}},
        {sceneWithToken(0, "\x01\x7f" + std::string(40, 'x')),
         {at + "1: expected a real number (camera from), found "
               "\"??xxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...\""}},
        {sceneHeader(-5), {}},  // this opens, with no objects
    };
    for (const Case& c : cases) {
        const auto result = readFromMemory({{"scene.kel", c.text}, {"thing.obj", kTriangleObject}});
        EXPECT_EQ(result->scene == nullptr, !c.errors.empty()) << c.text;
        EXPECT_EQ(result->messages.errors, c.errors) << c.text;
    }
}

// A bad object file costs only its object, with one message; the others load.
TEST(HostileObjectFile, BadObjectFileIsLeftOutWithOneMessageAndGoodOnesLoad) {
    const std::string at = "bad.obj, line ";
    const std::string count = ": expected a count (0 to 4294967295) (";
    const std::vector<Case> cases = {
        {"0\n0\n", {}},                              // these load: empty object, odd repeats
        {kThreeVertices + "1\n1\n4 0 1 0 2\n", {}},  // an id twice in one polygon
        {"4\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1 9 9 9\n1\n1\n3 0 1 2\n", {}},  // a record twice
        {"-3\n", {at + "1" + count + "vertex count), found \"-3\""}},
        // Absurd counts must not be trusted for allocation: reading stops at the end.
        {"4000000000\n0 0 0 0\n",
         {at + "2: expected a whole number (vertex id), found the end of the file"}},
        {kThreeVertices + "4294967295\n1\n3 0 1 2\n",
         {at + "7" + count + "polygon count of surface 2), found the end of the file"}},
        {kThreeVertices + "1\n4294967295\n3 0 1 2\n",
         {at + "7" + count + "corner count, surface 1), found the end of the file"}},
        {kThreeVertices + "1\n1\n4294967295 0 1 2\n",
         {at +
          "7: expected a whole number (corner vertex id, surface 1), found the end of the file"}},
        {"1\n-1 0 0 0\n", {at + "2: vertex id -1 is out of range (0 to 9999999)"}},
        {"1\n10000000 0 0 0\n", {at + "2: vertex id 10000000 is out of range (0 to 9999999)"}},
        {"1\n0 0 zero 0\n",
         {at + "2: expected a real number (position of vertex 0), found \"zero\""}},
        {kThreeVertices + "1\n1\n3 0 1 5\n",
         {at + "7: corner id 5 names no vertex of this file (surface 1)"}},
        {kThreeVertices + "1\n1\n3 0 1 70000\n",  // an id kept apart from the dense ones
         {at + "7: corner id 70000 names no vertex of this file (surface 1)"}},
        {kThreeVertices + "1\n1\n3 0 1 -2\n",
         {at + "7: corner id -2 names no vertex of this file (surface 1)"}},
        {kThreeVertices + "1\n1\n2 0 1\n",
         {at + "7: a polygon needs at least 3 corners, found 2 (surface 1)"}},
        {kThreeVertices + "2\n0\n1\n0\n",
         {at + "8: a polygon needs at least 3 corners, found 0 (surface 2)"}},
    };
    // a.obj holds ids 5 and 70000: the id table must not keep them for the next object.
    const std::string a = "3\n0 0 0 0\n5 1 0 0\n70000 0 1 0\n1\n1\n3 0 5 70000\n";
    for (const Case& c : cases) {
        const auto result =
            readFromMemory({{"scene.kel", sceneHeader(3) + objectRecord("a.obj") +
                                              objectRecord("bad.obj") + objectRecord("b.obj")},
                            {"a.obj", a},
                            {"bad.obj", c.text},
                            {"b.obj", kTriangleObject}});
        ASSERT_NE(result->scene, nullptr) << c.text.substr(0, 40);
        EXPECT_EQ(result->messages.errors, c.errors);
        const std::size_t loaded = c.errors.empty() ? 3 : 2;
        ASSERT_EQ(result->scene->objectCount(), loaded) << c.text.substr(0, 40);
        EXPECT_EQ(result->scene->object(loaded - 1)->name(), "b.obj");
    }
}

// A cut scene file fails to open; a cut object file costs only the objects naming it.
TEST(HostileTruncation, EveryExampleFileCutAtEveryTokenFailsWithClearMessages) {
    for (const char* example : {"cube.kel", "room.kel", "clipping.kel"}) {
        const std::string dir = std::string(KEL_EXAMPLES_DIR) + "/";
        MemoryFiles whole = {{"scene.kel", readFile(dir + example)}};
        for (const char* name : {"cube.obj", "table.obj", "chair.obj", "floor.obj"}) {
            whole[name] = readFile(dir + name);
        }
        const auto full = readFromMemory(whole);
        ASSERT_TRUE(full->scene != nullptr && full->messages.errors.empty()) << example;
        const std::size_t objects = full->scene->objectCount();
        for (const auto& [name, text] : whole) {
            std::size_t uses = name == "scene.kel" ? 1 : 0;
            for (std::size_t k = 0; k < objects; ++k) {
                uses += full->scene->object(k)->name() == name ? 1 : 0;
            }
            // Cut at the start and after every token but the last.
            const std::size_t last = text.find_last_not_of(" \t\r\n");
            for (std::size_t end = 0; uses > 0 && end < last; ++end) {
                if (end > 0 &&
                    (std::isspace(text[end - 1] & 0xFF) || !std::isspace(text[end] & 0xFF))) {
                    continue;
                }
                MemoryFiles cut = whole;
                cut[name] = text.substr(0, end);
                const auto result = readFromMemory(cut);
                const auto& errors = result->messages.errors;
                ASSERT_EQ(errors.size(), uses) << example << " " << name << " " << end;
                EXPECT_EQ(errors[0].rfind(name + ", line ", 0), 0u) << errors[0];
                EXPECT_NE(errors[0].find("found the end of the file"), std::string::npos)
                    << errors[0];
                const bool scene = name == "scene.kel";
                ASSERT_EQ(result->scene == nullptr, scene) << errors[0];
                EXPECT_TRUE(scene || result->scene->objectCount() == objects - uses) << errors[0];
            }
        }
    }
}
}  // namespace
}  // namespace kel::test
