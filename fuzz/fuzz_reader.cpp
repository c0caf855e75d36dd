// Feeds arbitrary bytes to the scene reader (input format in fuzz_input.h) and walks what
// was built.

#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "model/scene.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const auto scene = kel::fuzz::readFuzzScene(data, size)) {
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
