#include "files/write_visitor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "files/number_parsing.h"
#include "files/real_format.h"
#include "files_test_support.h"
#include "model/polygon.h"

namespace kel::test {
namespace {

TEST(RealFormat, ShortestTextThatReadsBackExactly) {
    EXPECT_EQ(formatReal(0.1), "0.1");
    EXPECT_EQ(formatReal(2.0), "2");
    EXPECT_EQ(formatReal(-0.5), "-0.5");
    EXPECT_EQ(formatReal(100000.0), "100000");
    EXPECT_EQ(formatReal(1e-3), "0.001");
    EXPECT_EQ(formatReal(3.14159), "3.14159");
    // Six digits would lose these, so they get more.
    EXPECT_EQ(formatReal(3.14159265), "3.14159265");
    EXPECT_EQ(formatReal(1234567.0), "1234567");
    EXPECT_EQ(formatReal(1.0 / 3.0), "0.3333333333333333");
    EXPECT_EQ(formatReal(1e21), "1e+21");
    EXPECT_EQ(formatReal(0.0), "0");
}

TEST(RealFormat, EveryFiniteDoubleSurvivesTheRoundTrip) {
    std::mt19937_64 random(20261206);
    std::uniform_int_distribution<std::uint64_t> bits;
    int checked = 0;
    while (checked < 20000) {
        const std::uint64_t word = bits(random);
        double value = 0.0;
        static_assert(sizeof value == sizeof word);
        std::memcpy(&value, &word, sizeof value);
        if (!std::isfinite(value)) {
            continue;
        }
        double back = 0.0;
        const std::string text = formatReal(value);
        ASSERT_EQ(parseReal(text, back), RealParse::Ok) << text;
        ASSERT_EQ(back, value) << text;
        ASSERT_LE(text.size(), 24u) << text;
        ++checked;
    }
}

TEST(WriteVisitorText, VectorAndColourForms) {
    EXPECT_EQ(vectorText(Vector(1, 0.5, -2)), "1 0.5 -2 ");
    EXPECT_EQ(vectorText(Vector(1, 2, 3, 4)), "1 2 3 4 ");
    EXPECT_EQ(colorText(Color(255, 0, 128)), "255 0 128");
}

// A folder that is the current directory for the test's life.
class WriteVisitorFiles : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::current_path(dir_.path()); }

    // A scene with camera, frustum, light and ambient set, and no objects.
    static std::unique_ptr<DefaultSceneBuilder> emptyScene() {
        auto builder = std::make_unique<DefaultSceneBuilder>();
        auto camera = std::make_unique<Camera>();
        camera->set(Vector(0, 0, 10), Vector(0, 0, 0), Vector(0, 1, 0));
        builder->setCamera(std::move(camera));
        auto frustum = std::make_unique<Frustum>();
        frustum->set(1, 100, 0.5);
        builder->setFrustum(std::move(frustum));
        auto light = std::make_unique<Light>();
        light->setIntensity(0.8);
        light->setColor(Color(255, 0, 128));
        light->setDirection(Vector(0, 0, 2));
        builder->setLight(std::move(light));
        builder->setAmbient(0.1);
        return builder;
    }

    // One triangle on one surface.
    static std::unique_ptr<SceneObject> triangle() {
        auto object = std::make_unique<SceneObject>(1);
        object->setName("tri.obj");
        object->setRotation(Vector(0, 90, 0));
        object->setScaling(Vector(1, 1, 1));
        object->setTranslation(Vector(0.5, 0, -1));
        object->setColor(Color(10, 20, 30));
        object->setDiffuse(0.7);
        object->setSpecular(1.0 / 3.0);
        object->setShininess(25);
        const Vector positions[] = {Vector(1, 0, 0), Vector(0, 1, 0), Vector(0, 0, 1)};
        auto surface = std::make_unique<Surface>();
        auto polygon = std::make_unique<Polygon>();
        for (int id = 0; id < 3; ++id) {
            auto vertex = std::make_unique<Vertex>();
            vertex->setId(id);
            vertex->setModelPosition(positions[id]);
            polygon->setVertexAt(static_cast<std::size_t>(id), vertex.get());
            object->addVertex(std::move(vertex));
        }
        polygon->setVertexCount(3);
        surface->addPolygon(std::move(polygon));
        object->addSurface(std::move(surface));
        return object;
    }

    TempDir dir_;
    CurrentDirGuard guard_;
    FakeMessages messages_;
};

TEST_F(WriteVisitorFiles, SceneWithoutObjectsIsTenValueLinesAndTheCountAndNoFoo) {
    auto builder = emptyScene();
    WriteVisitor writer(messages_);
    ASSERT_TRUE(writer.open("out.kel"));
    builder->writeScene(writer);
    EXPECT_FALSE(writer.failed());
    // The light keeps its direction at unit length, and that is what is written.
    EXPECT_EQ(readFile("out.kel"),
              "0 0 10 \n0 0 0 \n0 1 0 \n1\n100\n0.5\n0.8\n255 0 128\n0 0 1 \n0.1\n0\n");
    EXPECT_FALSE(std::filesystem::exists("foo"));
    EXPECT_TRUE(messages_.errors.empty());
}

TEST_F(WriteVisitorFiles, OneTriangleObjectRecordAndObjectOutputFile) {
    auto builder = emptyScene();
    builder->addObject(triangle());
    WriteVisitor writer(messages_);
    ASSERT_TRUE(writer.open("out.kel"));
    builder->writeScene(writer);
    EXPECT_FALSE(writer.failed());
    const std::string scene = readFile("out.kel");
    EXPECT_EQ(scene.substr(scene.find("0.1\n1\n")),
              "0.1\n1\ntri.obj\n0 90 0 \n1 1 1 \n0.5 0 -1 \n10 20 30\n0.7\n"
              "0.3333333333333333\n25\n");
    EXPECT_EQ(readFile("foo"), "3\n0 1 0 0 \n1 0 1 0 \n2 0 0 1 \n1\n 1\n  3\n  0 1 2 \n");
}

TEST_F(WriteVisitorFiles, FileThatCannotBeCreatedIsAFailureNotSilence) {
    WriteVisitor writer(messages_);
    EXPECT_FALSE(writer.open("no-such-folder/out.kel"));
    EXPECT_TRUE(writer.failed());
    EXPECT_EQ(writer.failedFile(), "no-such-folder/out.kel");
    EXPECT_EQ(writer.failureReason(), "No such file or directory");
}

TEST_F(WriteVisitorFiles, ObjectOutputThatCannotBeCreatedIsAFailure) {
    std::filesystem::create_directory("foo");
    auto builder = emptyScene();
    builder->addObject(triangle());
    WriteVisitor writer(messages_);
    ASSERT_TRUE(writer.open("out.kel"));
    builder->writeScene(writer);
    EXPECT_TRUE(writer.failed());
    EXPECT_EQ(writer.failedFile(), "foo");
    EXPECT_EQ(writer.failureReason(), "Is a directory");
    // The scene file itself is complete.
    EXPECT_NE(readFile("out.kel").find("\n25\n"), std::string::npos);
}

TEST_F(WriteVisitorFiles, WritingWithoutOpenShowsNoSceneFileForEachPart) {
    auto builder = emptyScene();
    WriteVisitor writer(messages_);
    builder->writeScene(writer);
    EXPECT_EQ(messages_.errors.size(), 4u);
    EXPECT_EQ(messages_.errors[0], "No scene file is open yet");
    EXPECT_FALSE(writer.failed());
}

TEST(WriteVisitorDiagnostics, TupleAndMatrixPrintWithOptionalLineEnd) {
    FakeMessages messages;
    WriteVisitor plain(messages, 0);
    WriteVisitor ended(messages, 1);
    Vector tuple(1, 2.5, 1.0 / 3.0);
    testing::internal::CaptureStdout();
    plain.visitTuple(tuple);
    ended.visitTuple(tuple);
    Matrix matrix(2, 2, 0.5);
    ended.visitMatrix(matrix);
    std::cout.flush();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "1 2.5 0.333333 1 2.5 0.333333 \n0.5 0.5 \n0.5 0.5 \n\n");
}

}  // namespace
}  // namespace kel::test
