#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "files/kel_doc.h"
#include "image_diff.h"
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

using ExampleCase = std::tuple<std::string, RenderMode>;

class ExampleImageTest : public testing::TestWithParam<ExampleCase> {};

// Renders each example as kel-render does at 400 x 400 and compares every pixel with the
// checked-in image. On a mismatch the actual image and a diff (differing pixels in red)
// are written to the build folder. The update-goldens target (KEL_UPDATE_GOLDENS=1)
// writes the checked-in images instead, after a deliberate change only.
TEST_P(ExampleImageTest, MatchesTheExpectedImage) {
    const auto& [name, mode] = GetParam();
    const std::filesystem::path cwd = std::filesystem::current_path();  // opening changes it
    CollectedMessages messages;
    CKelDoc document(messages);
    // A bare name is a scene; meshes are opened alone, in the scene fitted to them.
    const std::string file = name.find('.') == std::string::npos ? name + ".kel" : name;
    const bool opened = document.onOpenDocument(std::string(KEL_EXAMPLES_DIR) + "/" + file);
    std::filesystem::current_path(cwd);
    ASSERT_TRUE(opened && document.scene() != nullptr);
    EXPECT_TRUE(messages.shown.empty());
    applyViewState(*document.scene(), mode, false);
    ImageSurface image(400, 400);
    makePipeline(mode)->run(image, *document.scene());

    const std::string caseName = name.substr(0, name.find('.')) + "_" + renderModeName(mode);
    const std::string expectedPath =
        std::string(KEL_TEST_DATA_DIR) + "/render/" + caseName + ".png";
    std::string error;
    const char* update = std::getenv("KEL_UPDATE_GOLDENS");
    if (update != nullptr && std::string(update) == "1") {
        ASSERT_TRUE(writePng(image, expectedPath, error)) << expectedPath << ": " << error;
        std::cout << "wrote " << expectedPath << "\n";
        return;
    }
    ImageSurface expected(0, 0);
    ASSERT_TRUE(readPng(expectedPath, expected, error)) << expectedPath << ": " << error;
    const test::ImageDifference difference = test::compareImages(image, expected);
    if (difference.sizeDiffers || difference.count != 0) {
        const std::filesystem::path out = KEL_GOLDEN_OUTPUT_DIR;
        std::filesystem::create_directories(out);
        const std::string actualPath = (out / (caseName + ".actual.png")).string();
        const std::string diffPath = (out / (caseName + ".diff.png")).string();
        EXPECT_TRUE(writePng(image, actualPath, error)) << error;
        EXPECT_TRUE(writePng(test::diffImage(image, expected), diffPath, error)) << error;
        ADD_FAILURE() << caseName << ": " << test::describe(difference, image, expected) << "; see "
                      << actualPath << " and " << diffPath;
    }
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleImageTest,
                         testing::Combine(testing::Values("cube", "clipping", "room", "workshop",
                                                          "torus.obj", "icosphere.ply", "nut.stl"),
                                          testing::Values(RenderMode::Wireframe,
                                                          RenderMode::Gouraud, RenderMode::Phong)),
                         [](const testing::TestParamInfo<ExampleCase>& info) {
                             const std::string& name = std::get<0>(info.param);
                             return name.substr(0, name.find('.')) + "_" +
                                    renderModeName(std::get<1>(info.param));
                         });

TEST(ImageDiffTest, CountsDifferingPixelsAndTheirBox) {
    ImageSurface a(6, 4);
    ImageSurface b(6, 4);
    EXPECT_EQ(test::compareImages(a, b).count, 0);
    a.setPixel(4, 1, 0);
    a.setPixel(1, 3, 0x123456);
    const test::ImageDifference d = test::compareImages(a, b);
    EXPECT_EQ(d.count, 2);
    EXPECT_EQ(test::describe(d, a, b), "2 pixels differ in x 1..4, y 1..3");
    const ImageSurface diff = test::diffImage(a, b);
    EXPECT_EQ(diff.pixel(4, 1), 0x0000FFu);
    EXPECT_EQ(diff.pixel(0, 0), 0x00FFFFFFu);  // white stays white
    EXPECT_TRUE(test::compareImages(ImageSurface(6, 5), b).sizeDiffers);
}

}  // namespace
}  // namespace kel
