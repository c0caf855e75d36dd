#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/png_input.h"
#include "cli/stderr_user_messages.h"
#include "files/files_test_support.h"
#include "files/kel_doc.h"
#include "render/render_mode.h"

namespace kel::test {

// The text in single quotes, for the shell.
inline std::string quoted(const std::string& s) {
    std::string result = "'";
    for (const char ch : s) {
        result += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    }
    return result + "'";
}

struct KelRenderRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the real kel-render executable inside a fresh directory of the test's own, which
// is removed again at the end of the test. The shell runs `prefix` (a ulimit) first; stdout
// goes to `stdoutTarget`, and only out.txt is read back.
class KelRenderSandbox {
public:
    KelRenderSandbox() { std::filesystem::create_directories(dir); }
    ~KelRenderSandbox() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    KelRenderRun run(const std::vector<std::string>& args, const std::string& prefix = "",
                     const std::string& stdoutTarget = "out.txt") const {
        std::string command =
            "cd " + quoted(dir.string()) + " && " + prefix + " " + quoted(KEL_RENDER_PATH);
        for (const std::string& arg : args) {
            command.append(" ").append(quoted(arg));
        }
        command.append(" >").append(stdoutTarget).append(" 2>err.txt");
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1,
                stdoutTarget == "out.txt" ? readFile(dir / "out.txt") : "",
                readFile(dir / "err.txt")};
    }

    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        ("kel_cli_test_" + std::to_string(::getpid()) + "_" +
         testing::UnitTest::GetInstance()->current_test_info()->name());
};

inline RgbaImage readImage(const std::filesystem::path& path) {
    RgbaImage image;
    std::string error;
    EXPECT_TRUE(readPngFile(path.string(), image, error)) << path << ": " << error;
    return image;
}

// A scene opened in this process as kel-render opens it, in the fresh view state of the
// mode; the working directory is given back.
struct InProcessScene {
    InProcessScene(const std::string& path, RenderMode mode, bool cull = false) {
        const std::filesystem::path cwd = std::filesystem::current_path();
        opened = document.onOpenDocument(path);
        std::filesystem::current_path(cwd);
        EXPECT_TRUE(opened) << path;
        if (opened) {
            applyViewState(*document.scene(), mode, cull);
        }
    }
    Scene& scene() { return *document.scene(); }

    StderrUserMessages messages{std::cerr};
    CKelDoc document{messages};
    bool opened = false;
};

}  // namespace kel::test
