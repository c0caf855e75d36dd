#include "peer_geometry.h"

#include <unordered_map>

#include "model/matrix.h"
#include "model/polygon.h"
#include "model/scene.h"
#include "model/scene_object.h"
#include "model/vertex.h"

namespace kel::bench {

namespace {

constexpr double kByteToFraction = 0.00392156862745098;

// The object colour scaled channel by channel by the light colour, truncated as the
// scan-line renderer does, then as a fraction.
std::array<float, 3> litColorOf(const SceneObject& object, const Scene& scene) {
    const Color light = scene.light() != nullptr ? scene.light()->color() : Color();
    const auto lit = [](std::uint8_t objectChannel, std::uint8_t lightChannel) {
        const double scaled = objectChannel * (lightChannel * kByteToFraction);
        return static_cast<float>(static_cast<int>(scaled) / 255.0);
    };
    const Color& c = object.color();
    return {lit(c.red(), light.red()), lit(c.green(), light.green()), lit(c.blue(), light.blue())};
}

void computeWorldAndNormals(SceneObject& object) {
    for (std::size_t i = 0; i < object.vertexCount(); ++i) {
        Vertex& v = *object.vertexAt(i);
        v.setWorldPosition(v.modelPosition() * object.modelingTransform());
    }
    for (const auto& surface : object.surfaces()) {
        for (const auto& polygon : surface->polygons()) {
            if (polygon->vertexCount() >= 3) {
                polygon->computeNormal();
            }
        }
    }
    for (const auto& surface : object.surfaces()) {
        for (const auto& polygon : surface->polygons()) {
            if (polygon->vertexCount() >= 3) {
                polygon->computeVertexNormals();
            }
        }
    }
}

class BatchBuilder {
public:
    explicit BatchBuilder(PeerBatch& batch) : batch_(batch) {}

    void addPolygon(const Polygon& polygon) {
        const std::size_t k = polygon.vertexCount();
        if (k < 3) {
            return;
        }
        for (std::size_t j = 0; j < k; ++j) {
            if (polygon.vertexAt(j) == nullptr) {
                return;
            }
        }
        const std::uint32_t first = index(*polygon.vertexAt(0));
        for (std::size_t j = 1; j + 1 < k; ++j) {
            batch_.triangles.insert(batch_.triangles.end(), {first, index(*polygon.vertexAt(j)),
                                                             index(*polygon.vertexAt(j + 1))});
        }
    }

private:
    std::uint32_t index(const Vertex& v) {
        const auto [it, added] =
            indices_.try_emplace(&v, static_cast<std::uint32_t>(batch_.vertices.size() / 6));
        if (added) {
            const Vector& p = v.worldPosition();
            const Vector& n = v.normal();
            batch_.vertices.insert(
                batch_.vertices.end(),
                {static_cast<float>(p.x()), static_cast<float>(p.y()), static_cast<float>(p.z()),
                 static_cast<float>(n.x()), static_cast<float>(n.y()), static_cast<float>(n.z())});
        }
        return it->second;
    }

    PeerBatch& batch_;
    std::unordered_map<const Vertex*, std::uint32_t> indices_;
};

}  // namespace

std::vector<PeerBatch> buildPeerBatches(Scene& scene) {
    std::vector<PeerBatch> batches;
    for (std::size_t i = 0; i < scene.objectCount(); ++i) {
        SceneObject& object = *scene.object(i);
        computeWorldAndNormals(object);
        PeerBatch batch;
        batch.litColor = litColorOf(object, scene);
        batch.diffuse = static_cast<float>(object.diffuse());
        batch.specular = static_cast<float>(object.specular());
        batch.shininess = object.shininess();
        BatchBuilder builder(batch);
        for (const auto& surface : object.surfaces()) {
            for (const auto& polygon : surface->polygons()) {
                builder.addPolygon(*polygon);
            }
        }
        if (!batch.triangles.empty()) {
            batches.push_back(std::move(batch));
        }
    }
    return batches;
}

}  // namespace kel::bench
