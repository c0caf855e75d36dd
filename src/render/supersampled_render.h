#pragma once

#include <cstdint>

#include "render/image_surface.h"
#include "render/rgba_image.h"

namespace kel {

class RenderPipeline;
class Scene;

// Largest side of a sampled viewport, in pixels; a larger one is not rendered sampled.
inline constexpr long long kMaxSampledSide = 1 << 16;

// Renders the viewport at factor times its side with the same camera and averages each
// factor x factor block into one pixel, each channel rounded half up. The client area
// around it, the margin and the one-pixel frame, stays as at factor 1, and factor 1 gives
// exactly the pixels of one plain run. The large image is kept for the next render.
class SupersampledRender {
public:
    // factor below 1 counts as 1.
    explicit SupersampledRender(int factor);

    // Erases image to white and renders the scene into its client area. The scene keeps
    // the device points of the large viewport. A viewport whose sampled side would exceed
    // kMaxSampledSide is rendered at factor 1.
    void run(RenderPipeline& pipeline, Scene& scene, ImageSurface& image);

    int factor() const { return factor_; }

private:
    int factor_;
    ImageSurface large_{0, 0};
};

// A thumbnail: the viewport alone, size x size, no frame, rendered at factor times its
// side by a scan-line pipeline. Each pixel's alpha is the share of its factor x factor
// samples that a polygon covered (rounded half up) and its colour the rounded mean of
// those samples alone; a pixel nothing covered is transparent black.
struct Thumbnail {
    RgbaImage image;
    std::uint64_t coveredSamples = 0;
};
// False when the pipeline's renderer has no depth buffer to tell coverage by, or when
// size x factor exceeds kMaxSampledSide.
bool renderThumbnail(RenderPipeline& pipeline, Scene& scene, int size, int factor,
                     Thumbnail& thumbnail);

}  // namespace kel
