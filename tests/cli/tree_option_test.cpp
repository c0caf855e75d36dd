#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kel {
namespace {

namespace fs = std::filesystem;

std::string shellQuoted(const std::string& s) {
    std::string result = "'";
    for (const char ch : s) {
        result += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    }
    return result + "'";
}

struct TreeRun {
    int status = -1;
    std::string out;
};

// Runs kel-render with the arguments and keeps what it printed on stdout.
TreeRun runKelRender(const std::vector<std::string>& args) {
    std::string command = shellQuoted(KEL_RENDER_PATH);
    for (const std::string& arg : args) {
        command += " " + shellQuoted(arg);
    }
    command += " 2>/dev/null";
    TreeRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.out.append(buffer, got);
    }
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::size_t countOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// Every example's tree after a default render matches its checked-in text. After a
// deliberate change to an example, regenerate with:
//   kel-render examples/NAME.kel --tree > tests/data/tree/NAME.txt
TEST(TreeOptionTest, EveryExampleMatchesItsExpectedTree) {
    std::vector<fs::path> scenes;
    for (const auto& entry : fs::directory_iterator(KEL_EXAMPLES_DIR)) {
        if (entry.path().extension() == ".kel") {
            scenes.push_back(entry.path());
        }
    }
    ASSERT_FALSE(scenes.empty());
    for (const fs::path& scene : scenes) {
        const fs::path expected =
            fs::path(KEL_TEST_DATA_DIR) / "tree" / (scene.stem().string() + ".txt");
        ASSERT_TRUE(fs::exists(expected)) << "no expected tree for " << scene;
        const TreeRun run = runKelRender({scene.string(), "--tree"});
        EXPECT_EQ(run.status, 0) << scene;
        EXPECT_EQ(run.out, readFile(expected)) << scene;
    }
}

TEST(TreeOptionTest, TreeFollowsTheRenderStateAndIsPrintedOnceWhenAsked) {
    const std::string cube = std::string(KEL_EXAMPLES_DIR) + "/cube.kel";
    const std::string culled = "\n          Not Visible\n";
    const std::string kept = "\n          Visible\n";
    // Phong culls the three faces turned away; wireframe keeps them unless asked to cull.
    const TreeRun shaded = runKelRender({cube, "--tree"});
    EXPECT_EQ(countOf(shaded.out, culled), 3u);
    EXPECT_EQ(countOf(shaded.out, kept), 3u);
    const TreeRun outline = runKelRender({cube, "--mode", "wireframe", "--tree"});
    EXPECT_EQ(countOf(outline.out, culled), 0u);
    EXPECT_EQ(countOf(outline.out, kept), 6u);
    const TreeRun outlineCulled = runKelRender({cube, "--mode", "wireframe", "--cull", "--tree"});
    EXPECT_EQ(countOf(outlineCulled.out, culled), 3u);
    const TreeRun repeated = runKelRender({cube, "--frames", "3", "--tree"});
    EXPECT_EQ(repeated.status, 0);
    EXPECT_EQ(repeated.out, shaded.out);
    EXPECT_EQ(runKelRender({cube}).out, "");
    EXPECT_EQ(runKelRender({cube, "--tree=yes"}).status, 2);
    const TreeRun unreadable = runKelRender({"/nonexistent/none.kel", "--tree"});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_EQ(unreadable.out, "");
}

}  // namespace
}  // namespace kel
