#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "files/kel_doc.h"
#include "platform/user_messages.h"
#include "render/image_surface.h"
#include "render/png_file.h"
#include "render/render_mode.h"
#include "render/scanline_renderer.h"

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
// checked-in image. After a deliberate change, regenerate them with kel-render:
//   --size 400x400 --mode MODE --output tests/data/render/NAME_MODE.png
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
    auto pipeline = makePipeline(mode);
    ImageSurface image(400, 400);
    pipeline->run(image, *document.scene());

    const std::string expectedPath = std::string(KEL_TEST_DATA_DIR) + "/render/" +
                                     name.substr(0, name.find('.')) + "_" + renderModeName(mode) +
                                     ".png";
    std::string error;
    ImageSurface expected(0, 0);
    ASSERT_TRUE(readPng(expectedPath, expected, error)) << expectedPath << ": " << error;
    EXPECT_TRUE(image.pixels() == expected.pixels()) << "pixels differ from " << expectedPath;

    // Repeated paints, with the state the first one left, give the same image, whether the
    // shaded modes draw their rows serially or split into bands drawn in parallel.
    auto* scanline = dynamic_cast<ScanlineRenderer*>(pipeline->renderer());
    for (const int bands : {1, 3, 7}) {
        if (scanline != nullptr) {
            scanline->setBandCount(bands);
        }
        ImageSurface again(400, 400);
        pipeline->run(again, *document.scene());
        EXPECT_TRUE(again.pixels() == expected.pixels()) << bands << " bands";
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
