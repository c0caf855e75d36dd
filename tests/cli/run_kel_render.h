#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kel::test {

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct KelRenderRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the real kel-render executable inside a fresh directory of the test's own, which
// is removed again at the end of the test.
class KelRenderSandbox {
public:
    KelRenderSandbox() { std::filesystem::create_directories(dir); }
    ~KelRenderSandbox() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    KelRenderRun run(const std::vector<std::string>& args) const {
        const auto quote = [](const std::string& s) {
            std::string result = "'";
            for (const char ch : s) {
                result += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
            }
            return result + "'";
        };
        std::string command("cd ");
        command.append(quote(dir.string())).append(" && ").append(quote(KEL_RENDER_PATH));
        for (const std::string& arg : args) {
            command.append(" ").append(quote(arg));
        }
        command.append(" >").append(quote((dir / "out.txt").string()));
        command.append(" 2>").append(quote((dir / "err.txt").string()));
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(dir / "out.txt"),
                readFile(dir / "err.txt")};
    }

    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        ("kel_cli_test_" + std::to_string(::getpid()) + "_" +
         testing::UnitTest::GetInstance()->current_test_info()->name());
};

}  // namespace kel::test
