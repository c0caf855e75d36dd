#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "render/image_compare.h"
#include "render/image_surface.h"
#include "render/png_file.h"
#include "render/render_mode.h"
#include "render/rgba_png.h"
#include "render/scene_fixtures.h"

namespace kel {
namespace {

using ExampleCase = std::tuple<std::string, RenderMode>;

class ExampleImageTest : public testing::TestWithParam<ExampleCase> {};

// Renders each example as kel-render does at 400 x 400 and compares every pixel with the
// checked-in image. On a mismatch the actual image and a diff (differing pixels in red)
// are written to the build folder. The update-goldens target (KEL_UPDATE_GOLDENS=1)
// writes the checked-in images instead, after a deliberate change only.
TEST_P(ExampleImageTest, MatchesTheExpectedImage) {
    const auto& [name, mode] = GetParam();
    // A bare name is a scene; meshes are opened alone, in the scene fitted to them.
    test::OpenedScene example(name, mode);
    ASSERT_TRUE(example.opened);
    ImageSurface image(400, 400);
    makePipeline(mode)->run(image, example.scene());

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
    const RgbaImage actual = toRgba(image);
    const RgbaImage reference = toRgba(expected);
    const ImageDifference difference = compareImages(actual, reference);
    if (!difference.identical()) {
        const std::filesystem::path out = KEL_GOLDEN_OUTPUT_DIR;
        std::filesystem::create_directories(out);
        const std::string actualPath = (out / (caseName + ".actual.png")).string();
        const std::string diffPath = (out / (caseName + ".diff.png")).string();
        EXPECT_TRUE(writePng(image, actualPath, error)) << error;
        std::vector<std::uint8_t> diff;
        EXPECT_TRUE(encodeRgbaPng(differenceImage(actual, reference), diff, error)) << error;
        std::ofstream(diffPath, std::ios::binary)
            .write(reinterpret_cast<const char*>(diff.data()),
                   static_cast<std::streamsize>(diff.size()));
        ADD_FAILURE() << caseName << ": " << describeDifference(difference, actual, reference)
                      << "see " << actualPath << " and " << diffPath;
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

}  // namespace
}  // namespace kel
