#include "tree/scene_tree_builder.h"

#include <string>
#include <utility>

#include "model/camera.h"
#include "model/light.h"
#include "model/scene.h"
#include "model/scene_object.h"
#include "tree/value_format.h"

namespace kel {

namespace {

using Nodes = std::vector<TreeNode>;

TreeNode valueItem(TreeItemKind kind, std::string text) {
    TreeNode node;
    node.text = std::move(text);
    node.data.kind = kind;
    return node;
}

// An expandable item; its record is completed by the caller.
TreeNode branchItem(TreeItemKind kind, std::string text) {
    TreeNode node = valueItem(kind, std::move(text));
    node.expandable = true;
    return node;
}

// A labelled item whose values are made with it.
TreeNode labelled(TreeItemKind kind, const char* label, Nodes values) {
    TreeNode node = branchItem(kind, label);
    node.children = std::move(values);
    return node;
}

Nodes pointValue(const Vector& v) {
    return {valueItem(TreeItemKind::VectorValue, tree_format::point(v))};
}

Nodes realValue(double value) {
    return {valueItem(TreeItemKind::RealValue, tree_format::real(value))};
}

Nodes matrixRows(const Matrix& matrix) {
    const Matrix copy = matrix;
    Nodes rows;
    for (std::size_t i = 0; i < 4; ++i) {
        rows.push_back(valueItem(TreeItemKind::VectorValue, tree_format::matrixRow(copy.row(i))));
    }
    return rows;
}

Nodes withScene(Nodes nodes, Scene* scene) {
    for (TreeNode& node : nodes) {
        node.data.scene = scene;
    }
    return nodes;
}

Nodes cameraChildren(Scene& scene) {
    const Camera* camera = scene.camera();
    if (camera == nullptr) {
        return {};
    }
    return withScene(
        {
            labelled(TreeItemKind::CameraFrom, "From", pointValue(camera->from())),
            labelled(TreeItemKind::CameraTo, "To", pointValue(camera->to())),
            labelled(TreeItemKind::CameraApproxUp, "Approx. Up", pointValue(camera->approxUp())),
            labelled(TreeItemKind::CameraNormal, "Normal", pointValue(camera->normal())),
            labelled(TreeItemKind::CameraActualUp, "Actual Up", pointValue(camera->actualUp())),
            labelled(TreeItemKind::CameraU, "U", pointValue(camera->right())),
            labelled(TreeItemKind::ViewTransform, "View Transform",
                     matrixRows(camera->viewTransform())),
        },
        &scene);
}

Nodes frustumChildren(Scene& scene) {
    const Frustum* frustum = scene.frustum();
    if (frustum == nullptr) {
        return {};
    }
    return withScene(
        {
            labelled(TreeItemKind::FrustumNear, "Near", realValue(frustum->nearPlane())),
            labelled(TreeItemKind::FrustumFar, "Far", realValue(frustum->farPlane())),
            labelled(TreeItemKind::FrustumHeight, "Height", realValue(frustum->height())),
            labelled(TreeItemKind::PerspectiveTransform, "Perspective Transform",
                     matrixRows(frustum->perspectiveTransform())),
        },
        &scene);
}

Nodes lightChildren(Scene& scene) {
    const Light* light = scene.light();
    if (light == nullptr) {
        return {};
    }
    TreeNode colorValue =
        valueItem(TreeItemKind::LightColorValue, tree_format::color(light->color()));
    colorValue.data.scene = &scene;
    Nodes nodes = withScene(
        {
            labelled(TreeItemKind::LightDirection, "Direction", pointValue(light->direction())),
            labelled(TreeItemKind::LightIntensity, "Intensity", realValue(light->intensity())),
            labelled(TreeItemKind::LightColor, "Color", {std::move(colorValue)}),
        },
        &scene);
    for (TreeNode& node : nodes) {
        node.expandOnInsert = true;
    }
    return nodes;
}

Nodes ambientChildren(const Scene& scene) {
    return {valueItem(TreeItemKind::AmbientValue, tree_format::real(scene.ambient()))};
}

Nodes objectItems(const Scene& scene) {
    Nodes nodes;
    for (std::size_t i = 0; i < scene.objectCount(); ++i) {
        SceneObject* object = scene.object(i);
        if (object == nullptr) {
            continue;
        }
        TreeNode node = branchItem(TreeItemKind::Object, object->name());
        node.data.object = object;
        nodes.push_back(std::move(node));
    }
    return nodes;
}

Nodes objectChildren(SceneObject& object) {
    TreeNode colorValue =
        valueItem(TreeItemKind::ObjectColorValue, tree_format::color(object.color()));
    colorValue.data.object = &object;
    Nodes nodes{
        labelled(TreeItemKind::ObjectRotation, "Rotation", pointValue(object.rotation())),
        labelled(TreeItemKind::ObjectScaling, "Scaling", pointValue(object.scaling())),
        labelled(TreeItemKind::ObjectTranslation, "Translation", pointValue(object.translation())),
        labelled(TreeItemKind::ObjectColor, "Color", {std::move(colorValue)}),
        labelled(TreeItemKind::ObjectDiffuse, "Diffuse", realValue(object.diffuse())),
        labelled(TreeItemKind::ObjectSpecular, "Specular", realValue(object.specular())),
        labelled(TreeItemKind::ObjectShininess, "Shininess",
                 {valueItem(TreeItemKind::IntegerValue, tree_format::integer(object.shininess()))}),
        labelled(TreeItemKind::ModelingTransform, "Modeling Transform",
                 matrixRows(object.modelingTransform())),
        branchItem(TreeItemKind::Vertices, "Vertices"),
        branchItem(TreeItemKind::Surfaces, "Surfaces"),
    };
    for (TreeNode& node : nodes) {
        node.data.object = &object;
    }
    return nodes;
}

Nodes vertexItems(SceneObject& object) {
    Nodes nodes;
    nodes.reserve(object.vertexCount());
    for (std::size_t i = 0; i < object.vertexCount(); ++i) {
        const Vertex* vertex = object.vertexAt(i);
        if (vertex == nullptr) {
            continue;
        }
        TreeNode node = valueItem(TreeItemKind::VertexValue, tree_format::vertex(*vertex));
        node.data.object = &object;
        nodes.push_back(std::move(node));
    }
    return nodes;
}

Nodes surfaceItems(const SceneObject& object) {
    Nodes nodes;
    nodes.reserve(object.surfaceCount());
    int number = 0;
    for (const auto& surface : object.surfaces()) {
        TreeNode node = branchItem(TreeItemKind::Surface, "Surface " + std::to_string(number));
        node.data.surface = surface.get();
        node.data.index = number;
        nodes.push_back(std::move(node));
        ++number;
    }
    return nodes;
}

Nodes polygonItems(const Surface& surface) {
    Nodes nodes;
    nodes.reserve(surface.polygonCount());
    int number = 0;
    for (const auto& polygon : surface.polygons()) {
        TreeNode node = branchItem(TreeItemKind::Polygon, "Polygon " + std::to_string(number));
        node.data.polygon = polygon;
        nodes.push_back(std::move(node));
        ++number;
    }
    return nodes;
}

Nodes polygonChildren(const Polygon& polygon) {
    return {
        labelled(TreeItemKind::PolygonVertices, "Vertices",
                 {valueItem(TreeItemKind::CornerIdsValue, tree_format::cornerIds(polygon))}),
        labelled(TreeItemKind::PolygonNormal, "Normal", pointValue(polygon.normal())),
        valueItem(TreeItemKind::PolygonVisibility, polygon.visible() ? "Visible" : "Not Visible"),
    };
}

}  // namespace

Nodes SceneTreeBuilder::rootItems() {
    return {
        branchItem(TreeItemKind::Camera, "Camera"),   branchItem(TreeItemKind::Frustum, "Frustum"),
        branchItem(TreeItemKind::Light, "Light"),     branchItem(TreeItemKind::Ambient, "Ambient"),
        branchItem(TreeItemKind::Objects, "Objects"),
    };
}

Nodes SceneTreeBuilder::childrenOf(const TreeItemData& item, Scene* scene) {
    if (scene == nullptr) {
        return {};
    }
    switch (item.kind) {
        case TreeItemKind::Camera:
            return cameraChildren(*scene);
        case TreeItemKind::Frustum:
            return frustumChildren(*scene);
        case TreeItemKind::Light:
            return lightChildren(*scene);
        case TreeItemKind::Ambient:
            return ambientChildren(*scene);
        case TreeItemKind::Objects:
            return objectItems(*scene);
        case TreeItemKind::Object:
            return item.object != nullptr ? objectChildren(*item.object) : Nodes{};
        case TreeItemKind::Vertices:
            return item.object != nullptr ? vertexItems(*item.object) : Nodes{};
        case TreeItemKind::Surfaces:
            return item.object != nullptr ? surfaceItems(*item.object) : Nodes{};
        case TreeItemKind::Surface:
            return item.surface != nullptr ? polygonItems(*item.surface) : Nodes{};
        case TreeItemKind::Polygon:
            return item.polygon != nullptr ? polygonChildren(*item.polygon) : Nodes{};
        default:
            return {};
    }
}

}  // namespace kel
