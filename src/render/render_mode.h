#pragma once

#include <memory>
#include <optional>
#include <string>

#include "render/render_pipeline.h"

namespace kel {

// The render mode of a document window; the numbers are the View commands' own.
enum class RenderMode { Wireframe = 1, Gouraud = 2, Phong = 3 };

// "wireframe", "gouraud" or "phong".
[[nodiscard]] std::string renderModeName(RenderMode mode);
[[nodiscard]] std::optional<RenderMode> renderModeFromName(const std::string& name);

// The pipeline that renders in the given mode.
[[nodiscard]] std::unique_ptr<RenderPipeline> makePipeline(RenderMode mode);

// The scene flags as the View commands leave them for a freshly opened scene: no reset,
// back faces culled in the shaded modes, and in wireframe only when asked for.
void applyViewState(Scene& scene, RenderMode mode, bool cullInWireframe);

}  // namespace kel
