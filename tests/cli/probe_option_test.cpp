#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/render_command.h"
#include "files/kel_doc.h"
#include "platform/user_messages.h"
#include "render/image_surface.h"
#include "render/pixel_probe.h"
#include "render/png_file.h"
#include "render/render_mode.h"
#include "run_kel_render.h"

namespace kel {
namespace {

const std::string kRoom = std::string(KEL_EXAMPLES_DIR) + "/room.kel";

class Silent : public UserMessages {
public:
    void showError(const std::string&) override {}
    bool askYesNo(const std::string&) override { return false; }
};

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(ProbeOptionTest, BadPixelsAreUsageErrors) {
    for (const std::string value :
         {"", "5", "5,", ",5", "a,b", "-1,5", "5,-1", "1,2,3", "99999,1", "1.5,2", " 1,2"}) {
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(runKelRender({kRoom, "--probe", value}, out, err), kExitUsage) << value;
        EXPECT_NE(err.str().find("invalid pixel '" + value + "'"), std::string::npos) << err.str();
        EXPECT_EQ(out.str(), "");
    }
}

// kel-render prints, for each pixel asked for, what the viewer's pick tells: the story of
// the same render, whose colour is the pixel of the PNG it writes.
TEST(ProbeOptionTest, PrintsTheStoryWhoseColourIsThePngPixel) {
    test::KelRenderSandbox sandbox;
    for (const RenderMode mode : {RenderMode::Wireframe, RenderMode::Gouraud, RenderMode::Phong}) {
        const std::string name = renderModeName(mode);
        const std::vector<std::pair<int, int>> pixels = {
            {150, 210}, {60, 250}, {200, 120}, {12, 12}};
        std::vector<std::string> args = {kRoom,     "--mode",   name,       "--size",
                                         "300x280", "--output", "probe.png"};
        for (const auto& [x, y] : pixels) {
            args.push_back("--probe");
            args.push_back(std::to_string(x) + "," + std::to_string(y));
        }
        args.push_back("--probe=3,3");  // the margin: not a pixel of the viewport
        const test::KelRenderRun run = sandbox.run(args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "kel-render: 3,3 is not a pixel of the viewport\n");

        ImageSurface png(0, 0);
        std::string error;
        ASSERT_TRUE(readPng((sandbox.dir / "probe.png").string(), png, error)) << error;

        Silent messages;
        const auto cwd = std::filesystem::current_path();
        CKelDoc document(messages);
        ASSERT_TRUE(document.onOpenDocument(kRoom));
        std::filesystem::current_path(cwd);
        applyViewState(*document.scene(), mode, false);
        ImageSurface image(300, 280);
        makePipeline(mode)->run(image, *document.scene());

        std::vector<std::string> expected;
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            const auto [x, y] = pixels[i];
            const PixelStory story = probePixel(*document.scene(), mode, x, y);
            EXPECT_EQ(story.color, png.pixel(x, y)) << name << " " << x << "," << y;
            if (i > 0) {
                expected.push_back("");
            }
            for (const std::string& line : describePixel(story)) {
                expected.push_back(line);
            }
        }
        expected.push_back("");  // the blank line before the empty story of 3,3
        EXPECT_EQ(linesOf(run.out), expected) << name;
        const std::vector<std::string> lines = linesOf(run.out);
        // In the shaded modes the probes hit polygons (wireframe lines are one pixel thin).
        if (mode == RenderMode::Wireframe) {
            continue;
        }
        EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                               [](const std::string& l) { return l.rfind("polygon: ", 0) == 0; }),
                  lines.end())
            << run.out;
    }
}

}  // namespace
}  // namespace kel
