#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/number_parsing.h"
#include "files/token_reader.h"
#include "files_test_support.h"

namespace kel::test {
namespace {

// The header of sceneHeader(1) with one token replaced: token index (from 0) and text.
std::string sceneWithToken(std::size_t index, const std::string& replacement) {
    TokenReader tokens(sceneHeader(1) + objectRecord("thing.obj"));
    std::string text;
    std::size_t i = 0;
    while (auto token = tokens.next()) {
        text += (i++ == index ? replacement : std::string(*token)) + "\n";
    }
    return text;
}

const char* const kTriangle = "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1\n1\n3 0 1 2\n";

struct SceneCase {
    const char* name;
    std::string scene;
    std::string message;  // the one message shown; the open fails
};

TEST(HostileSceneFile, FailsWithOneMessageNamingFileLineAndWhatWasExpected) {
    const std::vector<SceneCase> cases = {
        {"empty file", "",
         "scene.kel, line 1: expected a real number (camera from), found the end of the file"},
        {"trailing letters", sceneWithToken(9, "12abc"),
         "scene.kel, line 10: expected a real number (frustum near plane), found \"12abc\""},
        {"word for a number", sceneWithToken(4, "up"),
         "scene.kel, line 5: expected a real number (camera to), found \"up\""},
        {"nan", sceneWithToken(6, "nan"),
         "scene.kel, line 7: expected a finite real number (camera up), found \"nan\""},
        {"infinity", sceneWithToken(12, "-inf"),
         "scene.kel, line 13: expected a finite real number (light intensity), found \"-inf\""},
        {"overflowing real", sceneWithToken(19, "1e999"),
         "scene.kel, line 20: expected a real number (ambient light), found \"1e999\", which is "
         "out of range"},
        {"colour above 16 bits", sceneWithToken(13, "65536"),
         "scene.kel, line 14: expected a colour component (0 to 65535) (light colour), found "
         "\"65536\""},
        {"negative colour", sceneWithToken(15, "-1"),
         "scene.kel, line 16: expected a colour component (0 to 65535) (light colour), found "
         "\"-1\""},
        {"fractional object count", sceneWithToken(20, "1.5"),
         "scene.kel, line 21: expected a whole number (object count), found \"1.5\""},
        {"object count beyond 32 bits", sceneWithToken(20, "4294967297"),
         "scene.kel, line 21: expected a whole number (object count), found \"4294967297\""},
        {"more objects counted than present", sceneHeader(2147483647) + objectRecord("thing.obj"),
         "scene.kel, line 19: expected an object file name (object 2 file name), found the end "
         "of the file"},
        {"record cut short", sceneHeader(1) + "thing.obj\n0 0 0\n1 1",
         "scene.kel, line 14: expected a real number (object 1 scaling), found the end of the "
         "file"},
        {"shininess not an integer", sceneWithToken(36, "2.5"),
         "scene.kel, line 37: expected a whole number (object 1 shininess), found \"2.5\""},
        {"long name", sceneHeader(1) + std::string(128, 'n') + "\n0 0 0\n1 1 1\n",
         "scene.kel, line 12: the object file name of object 1 is longer than 127 characters"},
        {"control bytes", sceneWithToken(0, std::string("\x01\x7f") + std::string(40, 'x')),
         "scene.kel, line 1: expected a real number (camera from), found "
         "\"??xxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...\""},
    };
    for (const SceneCase& c : cases) {
        const auto result = readFromMemory({{"scene.kel", c.scene}, {"thing.obj", kTriangle}});
        EXPECT_EQ(result->scene, nullptr) << c.name;
        EXPECT_EQ(result->messages.errors, std::vector<std::string>{c.message}) << c.name;
    }
}

TEST(HostileSceneFile, NameOfExactly127CharactersIsAccepted) {
    const std::string name(127, 'n');
    const auto result =
        readFromMemory({{"scene.kel", sceneHeader(1) + objectRecord(name)}, {name, kTriangle}});
    ASSERT_NE(result->scene, nullptr);
    EXPECT_EQ(result->scene->object(0)->name(), name);
}

struct ObjectCase {
    const char* name;
    std::string object;
    std::string message;  // the object is left out with this one message
};

TEST(HostileObjectFile, LeavesTheObjectOutWithOneMessageAndKeepsTheOthers) {
    const std::vector<ObjectCase> cases = {
        {"empty file", "",
         "bad.obj, line 1: expected a count (0 to 4294967295) (vertex count), found the end of "
         "the file"},
        {"negative count", "-3\n",
         "bad.obj, line 1: expected a count (0 to 4294967295) (vertex count), found \"-3\""},
        {"absurd vertex count", "4000000000\n0 0 0 0\n",
         "bad.obj, line 2: expected a whole number (vertex id), found the end of the file"},
        {"absurd surface count", "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n4294967295\n1\n3 0 1 2\n",
         "bad.obj, line 7: expected a count (0 to 4294967295) (polygon count of surface 2), found "
         "the end of the file"},
        {"absurd polygon count", "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1\n4294967295\n3 0 1 2\n",
         "bad.obj, line 7: expected a count (0 to 4294967295) (corner count, surface 1), found "
         "the end of the file"},
        {"absurd corner count", "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1\n1\n4294967295 0 1 2\n",
         "bad.obj, line 7: expected a whole number (corner vertex id, surface 1), found the end "
         "of the file"},
        {"count beyond 32 bits", "4294967296\n",
         "bad.obj, line 1: expected a count (0 to 4294967295) (vertex count), found "
         "\"4294967296\""},
        {"negative vertex id", "1\n-1 0 0 0\n",
         "bad.obj, line 2: vertex id -1 is out of range (0 to 9999999)"},
        {"vertex id too large", "1\n10000000 0 0 0\n",
         "bad.obj, line 2: vertex id 10000000 is out of range (0 to 9999999)"},
        {"position not a number", "1\n0 0 zero 0\n",
         "bad.obj, line 2: expected a real number (position of vertex 0), found \"zero\""},
        {"position not finite", "1\n0 0 0 inf\n",
         "bad.obj, line 2: expected a finite real number (position of vertex 0), found \"inf\""},
        {"corner naming no vertex", "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1\n1\n3 0 1 5\n",
         "bad.obj, line 7: corner id 5 names no vertex of this file (surface 1)"},
        {"corner beyond the table", "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1\n1\n3 0 1 9999999\n",
         "bad.obj, line 7: corner id 9999999 names no vertex of this file (surface 1)"},
        {"negative corner", "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1\n1\n3 0 1 -2\n",
         "bad.obj, line 7: corner id -2 names no vertex of this file (surface 1)"},
        {"two corners", "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1\n1\n2 0 1\n",
         "bad.obj, line 7: a polygon needs at least 3 corners, found 2 (surface 1)"},
        {"no corners", "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n2\n0\n1\n0\n",
         "bad.obj, line 8: a polygon needs at least 3 corners, found 0 (surface 2)"},
        {"cut inside a polygon", "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1\n1\n3 0 1",
         "bad.obj, line 7: expected a whole number (corner vertex id, surface 1), found the end "
         "of the file"},
    };
    for (const ObjectCase& c : cases) {
        const MemoryFiles files = {
            {"scene.kel", sceneHeader(3) + objectRecord("a.obj") + objectRecord("bad.obj") +
                              objectRecord("b.obj")},
            {"a.obj", kTriangle},
            {"bad.obj", c.object},
            {"b.obj", kTriangle}};
        const auto result = readFromMemory(files);
        ASSERT_NE(result->scene, nullptr) << c.name;
        EXPECT_EQ(result->messages.errors, std::vector<std::string>{c.message}) << c.name;
        ASSERT_EQ(result->scene->objectCount(), 2u) << c.name;
        EXPECT_EQ(result->scene->object(0)->name(), "a.obj");
        EXPECT_EQ(result->scene->object(1)->name(), "b.obj");
    }
}

TEST(HostileObjectFile, EmptySurfacesAndObjectsAreAllowed) {
    const auto empty = readFromMemory(oneObjectScene("0\n0\n"));
    ASSERT_NE(empty->scene, nullptr);
    EXPECT_EQ(empty->scene->object(0)->vertexCount(), 0u);
    const auto emptySurface =
        readFromMemory(oneObjectScene("3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1\n0\n"));
    ASSERT_NE(emptySurface->scene, nullptr);
    EXPECT_EQ(emptySurface->scene->object(0)->surfaceCount(), 1u);
    EXPECT_TRUE(emptySurface->messages.errors.empty());
}

// Reads the example scene with every file the scene names taken from the examples folder.
MemoryFiles exampleFiles(const std::string& scene) {
    const std::string dir = KEL_EXAMPLES_DIR;
    MemoryFiles files = {{"scene.kel", readFile(dir + "/" + scene)}};
    for (const char* name : {"cube.obj", "table.obj", "chair.obj", "floor.obj"}) {
        files[name] = readFile(dir + "/" + name);
    }
    return files;
}

// Every prefix of text that ends at a token boundary (after a token, before the blanks).
std::vector<std::string> prefixesAtTokens(const std::string& text) {
    std::vector<std::string> prefixes = {""};
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool blankNext =
            i + 1 == text.size() || std::isspace(static_cast<unsigned char>(text[i + 1]));
        if (!std::isspace(static_cast<unsigned char>(text[i])) && blankNext) {
            prefixes.push_back(text.substr(0, i + 1));
        }
    }
    return prefixes;
}

TEST(HostileTruncation, SceneFileCutAtEveryTokenFailsWithOneMessageOrLoadsWhole) {
    for (const char* example : {"cube.kel", "room.kel", "clipping.kel"}) {
        const MemoryFiles whole = exampleFiles(example);
        const auto full = readFromMemory(whole);
        ASSERT_NE(full->scene, nullptr) << example;
        ASSERT_TRUE(full->messages.errors.empty()) << example;
        const auto prefixes = prefixesAtTokens(whole.at("scene.kel"));
        for (std::size_t i = 0; i < prefixes.size(); ++i) {
            MemoryFiles cut = whole;
            cut["scene.kel"] = prefixes[i];
            const auto result = readFromMemory(cut);
            if (i + 1 == prefixes.size()) {
                ASSERT_NE(result->scene, nullptr);
                EXPECT_EQ(result->scene->objectCount(), full->scene->objectCount());
                continue;
            }
            EXPECT_EQ(result->scene, nullptr) << example << " cut after token " << i;
            ASSERT_EQ(result->messages.errors.size(), 1u) << example << " token " << i;
            EXPECT_NE(result->messages.errors[0].find("found the end of the file"),
                      std::string::npos)
                << result->messages.errors[0];
        }
    }
}

TEST(HostileTruncation, ObjectFileCutAtEveryTokenCostsOnlyThatObject) {
    const MemoryFiles whole = exampleFiles("room.kel");
    for (const char* name : {"table.obj", "chair.obj", "floor.obj"}) {
        const auto prefixes = prefixesAtTokens(whole.at(name));
        // chair.obj is named by two records.
        const std::size_t uses = std::string(name) == "chair.obj" ? 2 : 1;
        for (std::size_t i = 0; i + 1 < prefixes.size(); ++i) {
            MemoryFiles cut = whole;
            cut[name] = prefixes[i];
            const auto result = readFromMemory(cut);
            ASSERT_NE(result->scene, nullptr) << name << " token " << i;
            EXPECT_EQ(result->scene->objectCount(), 4u - uses) << name << " token " << i;
            ASSERT_EQ(result->messages.errors.size(), uses) << name << " token " << i;
            EXPECT_EQ(result->messages.errors[0].rfind(std::string(name) + ", line ", 0), 0u)
                << result->messages.errors[0];
        }
    }
}

TEST(NumberParsing, WholeTokenOnlyAndWithinRange) {
    std::int32_t i = 0;
    EXPECT_TRUE(parseInt("-2147483648", i));
    EXPECT_EQ(i, INT32_MIN);
    EXPECT_TRUE(parseInt("+12", i));
    EXPECT_EQ(i, 12);
    EXPECT_FALSE(parseInt("2147483648", i));
    EXPECT_FALSE(parseInt("12abc", i));
    EXPECT_FALSE(parseInt("+-1", i));
    EXPECT_FALSE(parseInt("+", i));
    EXPECT_FALSE(parseInt("0x10", i));
    EXPECT_EQ(i, 12);  // unchanged by failures

    std::uint32_t u = 0;
    EXPECT_TRUE(parseUnsigned("4294967295", UINT32_MAX, u));
    EXPECT_EQ(u, 4294967295u);
    EXPECT_FALSE(parseUnsigned("-0", UINT32_MAX, u));
    EXPECT_TRUE(parseUnsigned("65535", UINT16_MAX, u));
    EXPECT_FALSE(parseUnsigned("65536", UINT16_MAX, u));

    double d = 0.0;
    EXPECT_EQ(parseReal("-0.5", d), RealParse::Ok);
    EXPECT_EQ(d, -0.5);
    EXPECT_EQ(parseReal("1e-3", d), RealParse::Ok);
    EXPECT_EQ(d, 0.001);
    EXPECT_EQ(parseReal("+1.5e1", d), RealParse::Ok);
    EXPECT_EQ(d, 15.0);
    EXPECT_EQ(parseReal(".5", d), RealParse::Ok);
    EXPECT_EQ(d, 0.5);
    EXPECT_EQ(parseReal("5.", d), RealParse::Ok);
    EXPECT_EQ(parseReal("1.5.2", d), RealParse::NotANumber);
    EXPECT_EQ(parseReal("e5", d), RealParse::NotANumber);
    EXPECT_EQ(parseReal("NaN", d), RealParse::NotFinite);
    EXPECT_EQ(parseReal("infinity", d), RealParse::NotFinite);
    EXPECT_EQ(parseReal("-1e400", d), RealParse::OutOfRange);
    EXPECT_EQ(d, 5.0);
}

TEST(TokenReader, TracksTheLineOfEachToken) {
    TokenReader tokens("a b\n\n  c\r\nd\t\n");
    EXPECT_EQ(tokens.next().value(), "a");
    EXPECT_EQ(tokens.line(), 1);
    EXPECT_EQ(tokens.next().value(), "b");
    EXPECT_EQ(tokens.next().value(), "c");
    EXPECT_EQ(tokens.line(), 3);
    EXPECT_EQ(tokens.next().value(), "d");
    EXPECT_EQ(tokens.line(), 4);
    EXPECT_FALSE(tokens.next().has_value());
    EXPECT_EQ(tokens.line(), 4);
    EXPECT_FALSE(tokens.next().has_value());
}

}  // namespace
}  // namespace kel::test
