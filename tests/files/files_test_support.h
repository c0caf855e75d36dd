#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "files/read_visitor.h"
#include "files/scene_builder.h"
#include "model/scene.h"
#include "platform/user_messages.h"

namespace kel::test {

// Records every box instead of showing it; answers questions from a script.
class FakeMessages : public UserMessages {
  public:
    void showError(const std::string& text) override { errors.push_back(text); }
    bool askYesNo(const std::string& text) override {
        questions.push_back(text);
        return answer;
    }

    std::vector<std::string> errors;
    std::vector<std::string> questions;
    bool answer = false;
};

// Files held in memory, for the reader's loader.
using MemoryFiles = std::map<std::string, std::string>;

inline ReadVisitor::FileLoader memoryLoader(const MemoryFiles& files) {
    return [&files](const std::string& name, std::string& text, std::string& reason) {
        const auto found = files.find(name);
        if (found == files.end()) {
            reason = "No such file or directory";
            return false;
        }
        text = found->second;
        return true;
    };
}

// Reads "scene.kel" from files; the scene is null when the read failed.
struct ReadResult {
    std::unique_ptr<Scene> scene;
    FakeMessages messages;
};

inline std::unique_ptr<ReadResult> readFromMemory(const MemoryFiles& files) {
    auto result = std::make_unique<ReadResult>();
    ReadVisitor reader(result->messages);
    reader.setFileLoader(memoryLoader(files));
    DefaultSceneBuilder builder;
    if (reader.open("scene.kel") && reader.readScene(builder)) {
        result->scene = builder.takeScene();
    }
    return result;
}

// The header of a scene file up to and including the object count.
inline std::string sceneHeader(int objectCount) {
    return "0 0 10\n0 0 0\n0 1 0\n1\n100\n0.5\n0.8\n255 255 255\n0 0 1\n0.2\n" +
           std::to_string(objectCount) + "\n";
}

// One object record naming file, with identity transform parts.
inline std::string objectRecord(const std::string& file) {
    return file + "\n0 0 0\n1 1 1\n0 0 0\n200 100 50\n0.7\n0.3\n10\n";
}

// A scene of one object whose object file holds objectText.
inline MemoryFiles oneObjectScene(const std::string& objectText) {
    return {{"scene.kel", sceneHeader(1) + objectRecord("thing.obj")}, {"thing.obj", objectText}};
}

// A fresh folder under the temporary directory, removed with everything in it.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kel-files-XXXXXX");
        if (mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// Puts the current directory back when a test is done with it.
class CurrentDirGuard {
  public:
    CurrentDirGuard() : saved_(std::filesystem::current_path()) {}
    ~CurrentDirGuard() {
        std::error_code ec;
        std::filesystem::current_path(saved_, ec);
    }
    CurrentDirGuard(const CurrentDirGuard&) = delete;
    CurrentDirGuard& operator=(const CurrentDirGuard&) = delete;

  private:
    std::filesystem::path saved_;
};

inline void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace kel::test
