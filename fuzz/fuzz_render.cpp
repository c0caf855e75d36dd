// Reads arbitrary bytes as a scene (input format in fuzz_input.h), renders it in the three
// modes at odd client sizes, with and without culling, and builds the whole data tree: what
// the viewer does with a hostile scene after opening it.

#include <cstddef>
#include <cstdint>
#include <sstream>

#include "fuzz_input.h"
#include "model/scene.h"
#include "render/image_surface.h"
#include "render/render_mode.h"
#include "tree/tree_text.h"

namespace {

struct Size {
    int width;
    int height;
};

// Smaller than the margins, one pixel, and odd sizes on both sides of square.
constexpr Size kSizes[] = {{1, 1}, {13, 7}, {37, 61}, {101, 23}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto scene = kel::fuzz::readFuzzScene(data, size);
    if (scene == nullptr) {
        return 0;
    }
    const Size& client = kSizes[size % std::size(kSizes)];
    for (const kel::RenderMode mode :
         {kel::RenderMode::Wireframe, kel::RenderMode::Gouraud, kel::RenderMode::Phong}) {
        kel::applyViewState(*scene, mode, (size & 1) != 0);
        kel::ImageSurface image(client.width, client.height);
        const auto pipeline = kel::makePipeline(mode);
        pipeline->run(image, *scene);
        // A second paint after an edit resets visibility, as the viewer's repaint does.
        scene->setResetVisibility(true);
        pipeline->run(image, *scene);
        scene->setResetVisibility(false);
    }
    std::ostringstream tree;
    kel::writeTreeText(tree, scene.get());
    return 0;
}
