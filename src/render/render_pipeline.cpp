#include "render/render_pipeline.h"

#include "render/clip_stage.h"
#include "render/device_renderer.h"
#include "render/geometry_stages.h"
#include "render/scanline_renderer.h"
#include "render/wireframe_renderer.h"

namespace kel {

RenderPipeline::RenderPipeline() {
    setResetStage(std::make_unique<ResetVisibilityStage>());
    setModelStage(std::make_unique<ModelTransformStage>());
    setNormalStage(std::make_unique<NormalStage>());
    setCullStage(std::make_unique<CullStage>());
    setViewStage(std::make_unique<ViewProjectionStage>());
    setClipStage(std::make_unique<ClipStage>());
    setRenderer(std::make_unique<DeviceRenderer>());
}

RenderStage* RenderPipeline::put(std::size_t position, std::unique_ptr<RenderStage> stage) {
    stages_[position] = std::move(stage);
    return stages_[position].get();
}

void RenderPipeline::run(DrawingSurface& surface, Scene& scene) {
    if (scene.resetVisibility() && stages_[0]) {
        stages_[0]->run(surface, scene);
    }
    for (std::size_t i = 1; i < stages_.size(); ++i) {
        if (stages_[i]) {
            stages_[i]->run(surface, scene);
        }
    }
}

WireframePipeline::WireframePipeline() {
    setCullStage(std::make_unique<OptionalCullStage>());
    setRenderer(std::make_unique<WireframeRenderer>());
}

GouraudPipeline::GouraudPipeline() {
    setRenderer(std::make_unique<GouraudRenderer>());
}

PhongPipeline::PhongPipeline() {
    setRenderer(std::make_unique<PhongRenderer>());
}

}  // namespace kel
