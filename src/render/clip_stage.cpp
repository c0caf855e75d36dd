#include "render/clip_stage.h"

#include <cmath>

#include "render/scene_walk.h"

namespace kel {

namespace {

constexpr double kTiny = 1e-6;

// The outcode of the first boundary a vertex fails, or 0 when it is inside.
int outcode(const Vector& c) {
    const double x = c.at(0);
    const double y = c.at(1);
    const double z = c.at(2);
    const double w = c.at(3);
    if (-w <= x && x <= w && -w <= y && y <= w && 0.0 <= z && z <= w) {
        return 0;
    }
    if (x < -w) {
        return 8;
    }
    if (x > w) {
        return 2;
    }
    if (y < -w) {
        return 4;
    }
    if (y > w) {
        return 1;
    }
    if (z < 0.0) {
        return 16;
    }
    if (z > w) {
        return 32;
    }
    return 0;  // not reached for finite coordinates
}

bool isFinite(const Vector& c) {
    return std::isfinite(c.at(0)) && std::isfinite(c.at(1)) && std::isfinite(c.at(2)) &&
           std::isfinite(c.at(3));
}

}  // namespace

int ClipStage::classify(Polygon& polygon) {
    bool insideSeen = false;
    bool outsideSeen = false;
    int code = 0;
    for (std::size_t i = 0; i < polygon.vertexCount(); ++i) {
        const Vector& clip = polygon.vertexAt(i)->clipPosition();
        if (!isFinite(clip)) {
            // Corrupt geometry (NaN or infinite) has no place in the volume: drop it.
            polygon.setVisible(false);
            return 1;
        }
        const int vertexCode = outcode(clip);
        if (vertexCode == 0) {
            insideSeen = true;
        } else {
            outsideSeen = true;
            code |= vertexCode;
        }
        if (insideSeen && outsideSeen) {
            return 0;
        }
    }
    if (!outsideSeen) {
        return 1;
    }
    switch (code) {
        case 1:
        case 2:
        case 4:
        case 8:
        case 16:
        case 32:
            polygon.setVisible(false);
            return 1;
        default:
            return 0;
    }
}

bool ClipStage::inside(const Vertex& vertex, double limit, int axis, int sense) {
    const double v = vertex.clipPosition().at(static_cast<std::size_t>(axis));
    return sense == 1 ? v >= limit : v <= limit;
}

std::unique_ptr<Vertex> ClipStage::intersect(const Vertex& a, const Vertex& b, double bound,
                                             int axis) {
    auto r = std::make_unique<Vertex>();
    const Vector& pa = a.clipPosition();
    const Vector& pb = b.clipPosition();
    const std::size_t k = static_cast<std::size_t>(axis);
    const double aw = pa.at(3);
    const double bw = pb.at(3);
    Vector p(0.0, 0.0, 0.0, 0.0);
    bool done = false;
    if (aw != 0.0 && bw != 0.0) {
        Vector ap = pa;
        ap /= aw;
        Vector bp = pb;
        bp /= bw;
        const double d = bp.at(k) - ap.at(k);
        if (std::fabs(d) >= kTiny) {
            const double t = (bound - ap.at(k)) / d;
            for (std::size_t i = 0; i < 4; ++i) {
                p.at(i) = ap.at(i) + (bp.at(i) - ap.at(i)) * t;
            }
            const double w = aw + (bw - aw) * t;
            for (std::size_t i = 0; i < 4; ++i) {
                p.at(i) *= w;
            }
            done = true;
        }
    }
    if (!done) {
        // The division by w is undefined (a corner in the eye plane) or the corners are too
        // close to the boundary to divide by their distance: interpolate the clip positions
        // themselves, where the boundary is where v - bound * w changes sign.
        const double fa = pa.at(k) - bound * aw;
        const double fb = pb.at(k) - bound * bw;
        const double t = fa / (fa - fb);
        for (std::size_t i = 0; i < 4; ++i) {
            p.at(i) = pa.at(i) + (pb.at(i) - pa.at(i)) * t;
        }
    }
    r->setClipPosition(p);
    return r;
}

void ClipStage::clipPlane(const std::vector<const Vertex*>& in, VertexList& out, double bound,
                          int axis, int sense) {
    if (in.empty()) {
        return;
    }
    const Vertex* prev = in.back();
    for (const Vertex* cur : in) {
        const bool curIn = inside(*cur, cur->clipPosition().at(3) * bound, axis, sense);
        const bool prevIn = inside(*prev, prev->clipPosition().at(3) * bound, axis, sense);
        if (curIn && prevIn) {
            out.push_back(std::make_unique<Vertex>(*cur));
        } else if (curIn) {
            out.push_back(intersect(*prev, *cur, bound, axis));
            out.push_back(std::make_unique<Vertex>(*cur));
        } else if (prevIn) {
            out.push_back(intersect(*prev, *cur, bound, axis));
        }
        prev = cur;
    }
}

void ClipStage::runPass(const VertexList& from, VertexList& to, std::vector<const Vertex*>& input,
                        double bound, int axis, int sense) {
    input.clear();
    for (const auto& vertex : from) {
        input.push_back(vertex.get());
    }
    clipPlane(input, to, bound, axis, sense);
}

void ClipStage::clipPolygon(Polygon& polygon, WorkLists& lists) {
    polygon.clearClipped();
    VertexList& a = lists.a;
    VertexList& b = lists.b;
    a.clear();
    lists.input.clear();
    for (std::size_t i = 0; i < polygon.vertexCount(); ++i) {
        lists.input.push_back(polygon.vertexAt(i));
    }
    // z >= 0, y >= -w, z <= w, y <= w, x <= w, x >= -w: the order decides the corners'
    // w where two cuts meet.
    clipPlane(lists.input, a, 0.0, 2, 1);
    runPass(a, b, lists.input, -1.0, 1, 1);
    a.clear();
    runPass(b, a, lists.input, 1.0, 2, -1);
    b.clear();
    runPass(a, b, lists.input, 1.0, 1, -1);
    a.clear();
    runPass(b, a, lists.input, 1.0, 0, -1);
    b.clear();
    runPass(a, b, lists.input, -1.0, 0, 1);
    a.clear();
    if (b.empty()) {
        polygon.setVisible(false);
        return;
    }
    for (std::size_t i = 0; i < b.size(); ++i) {
        polygon.setClippedVertexAt(i, std::move(b[i]));
    }
    polygon.setClippedCount(b.size());
    b.clear();
}

void ClipStage::run(DrawingSurface& /*surface*/, Scene& scene) {
    // Each polygon is classified and clipped on its own, each thread with its own lists.
    workLists_.resize(static_cast<std::size_t>(walk::workerCount()));
    walk::forEachPolygonInParallel(scene, walk::Which::Visible, [this](std::size_t, Polygon& p) {
        if (classify(p) == 0) {
            clipPolygon(p, workLists_[static_cast<std::size_t>(walk::workerIndex())]);
        }
    });
}

}  // namespace kel
