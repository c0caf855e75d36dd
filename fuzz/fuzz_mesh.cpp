// Feeds arbitrary bytes to one mesh reader (chosen at build time by KEL_FUZZ_FORMAT) and,
// when they parse, builds the object's surfaces from them, as opening the file would.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/mesh/mesh_format.h"
#include "files/mesh/surface_builder.h"
#include "model/polygon.h"
#include "model/scene_object.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kel::MeshData mesh;
    std::string failure;
    if (!kel::readMeshData(kel::MeshFormat::KEL_FUZZ_FORMAT, bytes, "fuzz", mesh, failure)) {
        if (failure.empty()) {
            __builtin_trap();  // every refusal says why
        }
        return 0;
    }
    kel::SceneObject object(1);
    kel::buildMeshObject(mesh, object);
    // Touch what was built, so that a dangling corner shows up under the sanitizers.
    for (const auto& surface : object.surfaces()) {
        for (const auto& polygon : surface->polygons()) {
            if (polygon->vertexCount() < 3) {
                __builtin_trap();
            }
            for (std::size_t j = 0; j < polygon->vertexCount(); ++j) {
                if (polygon->vertexAt(j)->polygons().empty()) {
                    __builtin_trap();
                }
            }
        }
    }
    return 0;
}
