#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/vector.h"
#include "render/render_mode.h"

namespace kel {

class Polygon;
class Scene;
class SceneObject;

// The story of one pixel of a render: which polygon made it, at what depth, with which
// normal and lighting terms, and the colour the renderer wrote there.
struct PixelStory {
    enum class Kind {
        Outside,     // not a pixel of the viewport: nothing to tell
        Background,  // a viewport pixel no polygon drew
        Polygon,
    };
    Kind kind = Kind::Outside;
    RenderMode mode = RenderMode::Wireframe;
    int column = 0;  // in the viewport
    int row = 0;
    std::uint32_t color = 0;  // 0x00BBGGRR, as rendered

    // For Kind::Polygon:
    const SceneObject* object = nullptr;
    const Polygon* polygon = nullptr;
    std::size_t objectIndex = 0;   // in the scene, from 0
    std::size_t surfaceIndex = 0;  // in the object, from 0
    std::size_t polygonIndex = 0;  // in the surface, from 0
    int depth = 0;                 // device depth: the depth buffer's value when shaded
    Vector normal;                 // interpolated, not renormalized (wireframe: the polygon's)
    bool hasPoint = false;
    Vector point;  // where the ray through the pixel's centre meets the polygon's plane

    // Gouraud
    double cosine = 0.0;  // interpolated normal . light direction
    double level = 0.0;   // ambient + cosine x kd x intensity (ambient alone when cosine < 0)
    // Phong, per channel red, green, blue: value = ambient + diffuse + specular
    std::array<double, 3> ambientTerm{};
    std::array<double, 3> diffuseTerm{};
    std::array<double, 3> specularTerm{};
};

// Tells the story of the client-area pixel (x, y) from the state the last render in mode
// left in the scene (device points, visible flags, the fitted viewport): the same
// traversal, edge stepping, span rule and shading as that render, so the colour is the
// rendered pixel's. A pixel outside the viewport, or a scene that was never rendered, is
// Outside. The scene is only read.
PixelStory probePixel(const Scene& scene, RenderMode mode, int x, int y);

// One "key: value" line per fact: "background", or object (number and name), surface and
// polygon (from 0, as the data tree numbers them), colour, depth, normal, point and the
// mode's terms: what matters most first, for a status bar that cuts the text off. Nothing for a
// pixel outside the viewport.
std::vector<std::string> describePixel(const PixelStory& story);

// The distance between two picked points; negative when either has no point.
double pickDistance(const PixelStory& a, const PixelStory& b);

}  // namespace kel
