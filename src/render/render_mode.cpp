#include "render/render_mode.h"

namespace kel {

std::string renderModeName(RenderMode mode) {
    switch (mode) {
        case RenderMode::Wireframe:
            return "wireframe";
        case RenderMode::Gouraud:
            return "gouraud";
        case RenderMode::Phong:
            return "phong";
    }
    return {};
}

std::optional<RenderMode> renderModeFromName(const std::string& name) {
    for (const RenderMode mode : {RenderMode::Wireframe, RenderMode::Gouraud, RenderMode::Phong}) {
        if (renderModeName(mode) == name) {
            return mode;
        }
    }
    return std::nullopt;
}

std::unique_ptr<RenderPipeline> makePipeline(RenderMode mode) {
    switch (mode) {
        case RenderMode::Wireframe:
            return std::make_unique<WireframePipeline>();
        case RenderMode::Gouraud:
            return std::make_unique<GouraudPipeline>();
        case RenderMode::Phong:
            return std::make_unique<PhongPipeline>();
    }
    return nullptr;
}

void applyViewState(Scene& scene, RenderMode mode, bool cullInWireframe) {
    scene.setResetVisibility(false);
    scene.setCullBackFaces(mode != RenderMode::Wireframe || cullInWireframe);
}

}  // namespace kel
