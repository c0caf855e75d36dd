#include <gtest/gtest.h>

#include <regex>

#include "run_kel_render.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

// Every example's tree after a default render matches its checked-in text. After a
// deliberate change to an example, regenerate with:
//   kel-render examples/NAME.kel --tree > tests/data/tree/NAME.txt
TEST(TreeOptionTest, EveryExampleMatchesItsExpectedTree) {
    const test::KelRenderSandbox kelRender;
    std::size_t scenes = 0;
    for (const auto& entry : fs::directory_iterator(KEL_EXAMPLES_DIR)) {
        if (entry.path().extension() != ".kel") {
            continue;
        }
        ++scenes;
        const fs::path expected =
            fs::path(KEL_TEST_DATA_DIR) / "tree" / (entry.path().stem().string() + ".txt");
        ASSERT_TRUE(fs::exists(expected)) << "no expected tree for " << entry.path();
        const test::KelRenderRun run = kelRender.run({entry.path(), "--tree"});
        EXPECT_EQ(run.status, 0) << entry.path();
        EXPECT_EQ(run.out, test::readFile(expected)) << entry.path();
    }
    EXPECT_GT(scenes, 0u);
}

TEST(TreeOptionTest, TreeFollowsTheRenderStateAndIsPrintedOnceWhenAsked) {
    const test::KelRenderSandbox kelRender;
    const std::string cube = std::string(KEL_EXAMPLES_DIR) + "/cube.kel";
    // Shaded modes cull the three faces turned away; wireframe only when asked to.
    for (const auto& [mode, cull, culled] :
         {std::tuple{"gouraud", false, 3u}, {"wireframe", false, 0u}, {"wireframe", true, 3u}}) {
        std::vector<std::string> args = {cube, "--mode", mode, "--tree"};
        if (cull) {
            args.push_back("--cull");
        }
        const std::string tree = kelRender.run(args).out;
        const auto count = [&tree](const char* line) {
            const std::regex pattern(std::string("\n {10}") + line + "\n");
            return std::distance(std::sregex_iterator(tree.begin(), tree.end(), pattern), {});
        };
        EXPECT_EQ(count("Not Visible"), culled) << mode << cull;
        EXPECT_EQ(count("Visible"), 6 - culled) << mode << cull;
    }
    EXPECT_EQ(kelRender.run({cube, "--frames", "3", "--tree"}).out,
              kelRender.run({cube, "--tree"}).out);
    EXPECT_EQ(kelRender.run({cube}).out, "");
}

}  // namespace
}  // namespace kel
