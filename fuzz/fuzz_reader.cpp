// Feeds arbitrary bytes to the scene reader. The input is split at NUL bytes: the first
// part is the scene file, and the k-th distinct object file name the scene asks for gets
// part k (cycling when there are fewer parts; with none, every object file is missing).

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "files/read_visitor.h"
#include "files/scene_builder.h"
#include "model/scene.h"
#include "platform/user_messages.h"

namespace {

class QuietMessages : public kel::UserMessages {
public:
    void showError(const std::string&) override {}
    bool askYesNo(const std::string&) override { return false; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            parts.emplace_back();
        } else {
            parts.back() += static_cast<char>(data[i]);
        }
    }
    std::map<std::string, std::size_t> assigned;
    QuietMessages messages;
    kel::ReadVisitor reader(messages);
    reader.setFileLoader([&](const std::string& name, std::string& text, std::string& reason) {
        if (name == "scene.kel") {
            text = parts[0];
            return true;
        }
        if (parts.size() < 2) {
            reason = "No such file or directory";
            return false;
        }
        const auto found = assigned.emplace(name, assigned.size()).first;
        text = parts[1 + found->second % (parts.size() - 1)];
        return true;
    });
    kel::DefaultSceneBuilder builder;
    if (reader.open("scene.kel") && reader.readScene(builder)) {
        const auto scene = builder.takeScene();
        // Touch what was built, so that a dangling corner shows up under the sanitizers.
        for (std::size_t i = 0; i < scene->objectCount(); ++i) {
            for (const auto& surface : scene->object(i)->surfaces()) {
                for (const auto& polygon : surface->polygons()) {
                    for (std::size_t j = 0; j < polygon->vertexCount(); ++j) {
                        if (polygon->vertexAt(j)->polygons().empty()) {
                            __builtin_trap();
                        }
                    }
                }
            }
        }
    }
    return 0;
}
