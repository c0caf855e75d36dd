#pragma once

#include <array>
#include <memory>

#include "render/render_stage.h"

namespace kel {

// Seven stages run in order over one scene: reset (only while the scene's
// resetVisibility flag is set), model, normal, cull, view, clip and the renderer.
// Any position may be empty.
class RenderPipeline {
public:
    RenderPipeline();
    RenderPipeline(const RenderPipeline&) = delete;
    RenderPipeline& operator=(const RenderPipeline&) = delete;
    virtual ~RenderPipeline() = default;

    virtual void run(DrawingSurface& surface, Scene& scene);

    // Each setter destroys the stage at its position and returns the new one.
    RenderStage* setResetStage(std::unique_ptr<RenderStage> stage) {
        return put(0, std::move(stage));
    }
    RenderStage* setModelStage(std::unique_ptr<RenderStage> stage) {
        return put(1, std::move(stage));
    }
    RenderStage* setNormalStage(std::unique_ptr<RenderStage> stage) {
        return put(2, std::move(stage));
    }
    RenderStage* setCullStage(std::unique_ptr<RenderStage> stage) {
        return put(3, std::move(stage));
    }
    RenderStage* setViewStage(std::unique_ptr<RenderStage> stage) {
        return put(4, std::move(stage));
    }
    RenderStage* setClipStage(std::unique_ptr<RenderStage> stage) {
        return put(5, std::move(stage));
    }
    RenderStage* setRenderer(std::unique_ptr<RenderStage> stage) {
        return put(6, std::move(stage));
    }

    RenderStage* renderer() const { return stages_[6].get(); }

private:
    RenderStage* put(std::size_t position, std::unique_ptr<RenderStage> stage);

    std::array<std::unique_ptr<RenderStage>, 7> stages_;
};

// Mode 1: outlines; culls only while the scene asks for it.
class WireframePipeline : public RenderPipeline {
public:
    WireframePipeline();
};

// Mode 2: smooth shading from the corners' light cosines.
class GouraudPipeline : public RenderPipeline {
public:
    GouraudPipeline();
};

// Mode 3: per-pixel lighting with a highlight.
class PhongPipeline : public RenderPipeline {
public:
    PhongPipeline();
};

}  // namespace kel
