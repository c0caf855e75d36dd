#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/render_command.h"
#include "cli/stderr_user_messages.h"
#include "files/kel_doc.h"
#include "model/scene.h"
#include "render/image_surface.h"
#include "render/png_file.h"
#include "render/render_mode.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string quote(const std::string& s) {
    std::string result = "'";
    for (const char ch : s) {
        result += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    }
    return result + "'";
}

class KelRenderTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("kel_render_test_" + std::to_string(::getpid()) + "_" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // Runs the real executable from inside the test's own directory.
    Outcome run(const std::vector<std::string>& args) const {
        std::string command = "cd " + quote(dir_.string()) + " && " + quote(KEL_RENDER_PATH);
        for (const std::string& arg : args) {
            command += " " + quote(arg);
        }
        command += " >" + quote((dir_ / "stdout.txt").string()) + " 2>" +
                   quote((dir_ / "stderr.txt").string());
        const int raw = std::system(command.c_str());
        Outcome outcome;
        outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        outcome.out = readFile(dir_ / "stdout.txt");
        outcome.err = readFile(dir_ / "stderr.txt");
        return outcome;
    }

    static std::string example(const std::string& name) {
        return std::string(KEL_EXAMPLES_DIR) + "/" + name;
    }

    fs::path dir_;
};

TEST_F(KelRenderTest, UsageErrorsExitTwoWithAMessage) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"--mode", "flat", example("cube.kel")},
                                               {example("cube.kel"), "--size", "big"},
                                               {example("cube.kel"), "--nope"}}) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err.rfind("kel-render: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find("--help"), std::string::npos);
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(KelRenderTest, HelpGoesToStdoutAndExitsZero) {
    const Outcome r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Usage: kel-render SCENE.kel"), std::string::npos);
    EXPECT_EQ(r.err, "");
}

TEST_F(KelRenderTest, UnreadableSceneExitsOneWithTheReadersMessage) {
    const Outcome missing = run({"no-such-scene.kel", "--output", "x.png"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.rfind("kel-render: ", 0), 0u);
    EXPECT_NE(missing.err.find("no-such-scene.kel"), std::string::npos) << missing.err;
    EXPECT_FALSE(fs::exists(dir_ / "x.png"));

    std::ofstream(dir_ / "truncated.kel") << "0 0 -5\n0 0 0\n0 1";
    const Outcome truncated = run({"truncated.kel"});
    EXPECT_EQ(truncated.status, 1);
    EXPECT_NE(truncated.err.find("kel-render: "), std::string::npos);
    EXPECT_NE(truncated.err.find("truncated.kel"), std::string::npos) << truncated.err;
}

TEST_F(KelRenderTest, UnwritableOutputExitsOne) {
    const Outcome r = run({example("cube.kel"), "--output", "missing-dir/out.png"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("kel-render: Could not write missing-dir/out.png"), std::string::npos)
        << r.err;
}

// The image kel-render writes equals the image of an in-process render with the same
// fresh scene state; a relative output path is relative to where kel-render was started,
// not to the scene's folder.
TEST_F(KelRenderTest, OutputEqualsTheInProcessRender) {
    struct Case {
        std::string mode;
        bool cull;
        RenderMode renderMode;
    };
    for (const Case& c :
         {Case{"wireframe", false, RenderMode::Wireframe},
          Case{"wireframe", true, RenderMode::Wireframe},
          Case{"gouraud", false, RenderMode::Gouraud}, Case{"phong", false, RenderMode::Phong}}) {
        std::vector<std::string> args = {example("room.kel"), "--mode",   c.mode,    "--size",
                                         "300x240",           "--output", "room.png"};
        if (c.cull) {
            args.push_back("--cull");
        }
        const Outcome r = run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        ImageSurface written(0, 0);
        std::string error;
        ASSERT_TRUE(readPng((dir_ / "room.png").string(), written, error)) << error;

        const fs::path cwd = fs::current_path();
        std::ostringstream messageText;
        StderrUserMessages messages(messageText);
        CKelDoc document(messages);
        ASSERT_TRUE(document.onOpenDocument(example("room.kel")));
        fs::current_path(cwd);
        applyViewState(*document.scene(), c.renderMode, c.cull);
        ImageSurface expected(300, 240);
        makePipeline(c.renderMode)->run(expected, *document.scene());
        EXPECT_EQ(written.pixels(), expected.pixels()) << c.mode << (c.cull ? " culled" : "");
    }
}

TEST_F(KelRenderTest, FramesPrintTheMedianAndKeepTheImage) {
    const Outcome one = run({example("cube.kel"), "--size", "120x120", "--output", "one.png"});
    EXPECT_EQ(one.err, "");  // no timing unless asked for
    const Outcome many =
        run({example("cube.kel"), "--size", "120x120", "--frames", "3", "--output", "many.png"});
    ASSERT_EQ(one.status, 0);
    ASSERT_EQ(many.status, 0);
    EXPECT_EQ(many.err.rfind("kel-render: 3 frames, median ", 0), 0u) << many.err;
    EXPECT_NE(many.err.find(" ms per frame\n"), std::string::npos);
    EXPECT_EQ(readFile(dir_ / "one.png"), readFile(dir_ / "many.png"));
    const Outcome single = run({example("cube.kel"), "--size", "40x40", "--frames", "1"});
    EXPECT_EQ(single.err.rfind("kel-render: 1 frame, median ", 0), 0u) << single.err;
}

TEST(RunKelRenderTest, InProcessEntryPointReportsUsageErrors) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runKelRender({"--frames", "x", "a.kel"}, out, err), kExitUsage);
    EXPECT_EQ(err.str(),
              "kel-render: invalid frame count 'x' (expected 1 to 100000)\n"
              "Try 'kel-render --help'.\n");
    EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace kel
