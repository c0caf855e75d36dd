#pragma once

#include <memory>
#include <vector>

#include "render/render_stage.h"

namespace kel {

// Clips every visible polygon against the view volume -w <= x <= w, -w <= y <= w,
// 0 <= z <= w (bounds inclusive), one boundary after the other. The result becomes the
// polygon's clipped corner list; a polygon with nothing left becomes invisible.
class ClipStage : public RenderStage {
public:
    using VertexList = std::vector<std::unique_ptr<Vertex>>;

    void run(DrawingSurface& surface, Scene& scene) override;

    // 1 when nothing more is to be done (wholly inside, or rejected because every corner
    // fails the same boundary first or a corner is not finite, which also makes it
    // invisible); 0 when it must be clipped.
    [[nodiscard]] static int classify(Polygon& polygon);

    // Appends to out the part of the closed polygon in that lies on the kept side of one
    // boundary: element axis (0, 1, 2 for x, y, z) compared with w x bound, kept when
    // >= for sense 1 and <= otherwise.
    static void clipPlane(const std::vector<const Vertex*>& in, VertexList& out, double bound,
                          int axis, int sense);
    [[nodiscard]] static bool inside(const Vertex& vertex, double limit, int axis, int sense);
    // A new vertex on the boundary between a and b. Only its clip position is set.
    [[nodiscard]] static std::unique_ptr<Vertex> intersect(const Vertex& a, const Vertex& b,
                                                           double bound, int axis);

private:
    // Work lists of one thread, reused for every polygon so that only the vertices are
    // allocated.
    struct WorkLists {
        VertexList a;
        VertexList b;
        std::vector<const Vertex*> input;
    };
    static void clipPolygon(Polygon& polygon, WorkLists& lists);
    static void runPass(const VertexList& from, VertexList& to, std::vector<const Vertex*>& input,
                        double bound, int axis, int sense);

    std::vector<WorkLists> workLists_;
};

}  // namespace kel
