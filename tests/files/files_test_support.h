#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "files/kel_doc.h"
#include "files/read_visitor.h"
#include "files/scene_builder.h"
#include "platform/user_messages.h"

namespace kel::test {

// Records every box instead of showing it; answers every question with `answer`.
struct FakeMessages : UserMessages {
    void showError(const std::string& text) override { errors.push_back(text); }
    bool askYesNo(const std::string& text) override {
        questions.push_back(text);
        return answer;
    }
    std::vector<std::string> errors;
    std::vector<std::string> questions;
    bool answer = false;
};

using MemoryFiles = std::map<std::string, std::string>;

struct ReadResult {
    DefaultSceneBuilder builder;   // still walks the scene after it was taken
    std::unique_ptr<Scene> scene;  // null when the read failed
    FakeMessages messages;
};

// Reads "scene.kel" with every file taken from `files`.
inline std::unique_ptr<ReadResult> readFromMemory(const MemoryFiles& files) {
    auto result = std::make_unique<ReadResult>();
    ReadVisitor reader(result->messages);
    reader.setFileLoader([&files](const std::string& name, std::string& text, std::string& why) {
        const auto found = files.find(name);
        why = "No such file or directory";
        text = found == files.end() ? "" : found->second;
        return found != files.end();
    });
    if (reader.open("scene.kel") && reader.readScene(result->builder)) {
        result->scene = result->builder.takeScene();
    }
    return result;
}

// One triangle, ids 0 1 2, in one surface.
inline const std::string kTriangleObject = "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1\n1\n3 0 1 2\n";
// Unit cube, ids 0..7, each of the six quads its own surface.
inline const std::string kCubeObject =
    "8\n0 0 0 0\n1 1 0 0\n2 1 1 0\n3 0 1 0\n4 0 0 1\n5 1 0 1\n6 1 1 1\n7 0 1 1\n6\n"
    "1 4 0 3 2 1\n1 4 4 5 6 7\n1 4 0 1 5 4\n1 4 2 3 7 6\n1 4 0 4 7 3\n1 4 1 2 6 5\n";

inline std::string sceneHeader(int objectCount) {
    return "0 0 10\n0 0 0\n0 1 0\n1\n100\n0.5\n0.8\n255 255 255\n0 0 1\n0.2\n" +
           std::to_string(objectCount) + "\n";
}

inline std::string objectRecord(const std::string& file) {
    return file + "\n0 0 0\n1 1 1\n0 0 0\n200 100 50\n0.7\n0.3\n10\n";
}

inline MemoryFiles oneObjectScene(const std::string& objectText) {
    return {{"scene.kel", sceneHeader(1) + objectRecord("thing.obj")}, {"thing.obj", objectText}};
}

// A fresh folder made the current directory; both are undone at the end.
class TempDir {
public:
    TempDir() : saved_(std::filesystem::current_path()) {
        std::string pattern = std::filesystem::temp_directory_path() / "kel-files-XXXXXX";
        path_ = mkdtemp(pattern.data()) != nullptr ? pattern : "";
        std::filesystem::current_path(path_);  // throws, failing the test, if there is none
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::current_path(saved_, ec);
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path saved_;
    std::filesystem::path path_;
};

// A document working in a fresh current directory; path() names a file in it.
class DocumentTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return (dir_.path() / name).string(); }

    TempDir dir_;
    FakeMessages messages_;
    CKelDoc doc_{messages_};
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace kel::test
