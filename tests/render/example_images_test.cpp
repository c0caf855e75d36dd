#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "files/kel_doc.h"
#include "model/scene.h"
#include "platform/user_messages.h"
#include "render/image_surface.h"
#include "render/png_file.h"
#include "render/render_mode.h"

namespace kel {
namespace {

class CollectedMessages : public UserMessages {
  public:
    void showError(const std::string& text) override { shown.push_back(text); }
    bool askYesNo(const std::string& text) override {
        shown.push_back(text);
        return false;
    }
    std::vector<std::string> shown;
};

// Opening a scene changes the current directory; put it back afterwards.
class KeepCurrentDirectory {
  public:
    KeepCurrentDirectory() : saved_(std::filesystem::current_path()) {}
    ~KeepCurrentDirectory() { std::filesystem::current_path(saved_); }

  private:
    std::filesystem::path saved_;
};

struct ExampleCase {
    std::string scene;
    RenderMode mode;
};

void PrintTo(const ExampleCase& c, std::ostream* out) {
    *out << c.scene << " " << renderModeName(c.mode);
}

std::string caseName(const testing::TestParamInfo<ExampleCase>& info) {
    return info.param.scene + "_" + renderModeName(info.param.mode);
}

class ExampleImageTest : public testing::TestWithParam<ExampleCase> {};

// Renders each example scene as kel-render does at 400 x 400 and compares every pixel
// with the checked-in image. KEL_UPDATE_EXPECTED=1 rewrites the images instead.
TEST_P(ExampleImageTest, MatchesTheExpectedImage) {
    const ExampleCase& c = GetParam();
    KeepCurrentDirectory keep;
    CollectedMessages messages;
    CKelDoc document(messages);
    const std::string scenePath = std::string(KEL_EXAMPLES_DIR) + "/" + c.scene + ".kel";
    ASSERT_TRUE(document.onOpenDocument(scenePath)) << scenePath;
    ASSERT_NE(document.scene(), nullptr);
    EXPECT_TRUE(messages.shown.empty());
    Scene& scene = *document.scene();
    applyViewState(scene, c.mode, false);
    auto pipeline = makePipeline(c.mode);
    ImageSurface image(400, 400);
    pipeline->run(image, scene);

    const std::string expectedPath = std::string(KEL_TEST_DATA_DIR) + "/render/" + c.scene + "_" +
                                     renderModeName(c.mode) + ".png";
    const char* update = std::getenv("KEL_UPDATE_EXPECTED");
    std::string error;
    if (update != nullptr && std::string(update) == "1") {
        ASSERT_TRUE(writePng(image, expectedPath, error)) << error;
        GTEST_SKIP() << "rewrote " << expectedPath;
    }
    ImageSurface expected(0, 0);
    ASSERT_TRUE(readPng(expectedPath, expected, error)) << expectedPath << ": " << error;
    ASSERT_EQ(expected.width(), image.width());
    ASSERT_EQ(expected.height(), image.height());
    int differing = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != expected.pixel(x, y)) {
                ++differing;
            }
        }
    }
    EXPECT_EQ(differing, 0) << "pixels differ from " << expectedPath;

    // A repeated paint, with the state the first one left, gives the same image.
    ImageSurface again(400, 400);
    pipeline->run(again, scene);
    EXPECT_EQ(again.pixels(), image.pixels());
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleImageTest,
                         testing::Values(ExampleCase{"cube", RenderMode::Wireframe},
                                         ExampleCase{"cube", RenderMode::Gouraud},
                                         ExampleCase{"cube", RenderMode::Phong},
                                         ExampleCase{"clipping", RenderMode::Wireframe},
                                         ExampleCase{"clipping", RenderMode::Gouraud},
                                         ExampleCase{"clipping", RenderMode::Phong},
                                         ExampleCase{"room", RenderMode::Wireframe},
                                         ExampleCase{"room", RenderMode::Gouraud},
                                         ExampleCase{"room", RenderMode::Phong}),
                         caseName);

}  // namespace
}  // namespace kel
