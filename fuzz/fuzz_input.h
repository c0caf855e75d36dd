#pragma once

// The fuzzers' input format: bytes split at NUL. The first part is the scene file, and the
// k-th distinct object file name the scene asks for gets part k (cycling when there are
// fewer parts; with none, every object file is missing).

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "files/read_visitor.h"
#include "files/scene_builder.h"
#include "model/scene.h"
#include "platform/user_messages.h"

namespace kel::fuzz {

class QuietMessages : public UserMessages {
public:
    void showError(const std::string&) override {}
    bool askYesNo(const std::string&) override { return false; }
};

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : parts_(1) {
        for (std::size_t i = 0; i < size; ++i) {
            if (data[i] == 0) {
                parts_.emplace_back();
            } else {
                parts_.back() += static_cast<char>(data[i]);
            }
        }
    }

    // Makes reader take its files from the input; the scene is "scene.kel".
    void attach(ReadVisitor& reader) {
        reader.setFileLoader(
            [this](const std::string& name, std::string& text, std::string& reason) {
                if (name == "scene.kel") {
                    text = parts_[0];
                    return true;
                }
                if (parts_.size() < 2) {
                    reason = "No such file or directory";
                    return false;
                }
                const auto found = assigned_.emplace(name, assigned_.size()).first;
                text = parts_[1 + found->second % (parts_.size() - 1)];
                return true;
            });
    }

    const std::string& scene() const { return parts_[0]; }

private:
    std::vector<std::string> parts_;
    std::map<std::string, std::size_t> assigned_;
};

// The scene the reader builds from the input, or null when it refuses the input.
inline std::unique_ptr<Scene> readFuzzScene(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    QuietMessages messages;
    ReadVisitor reader(messages);
    input.attach(reader);
    DefaultSceneBuilder builder;
    if (!reader.open("scene.kel") || !reader.readScene(builder)) {
        return nullptr;
    }
    return builder.takeScene();
}

}  // namespace kel::fuzz
