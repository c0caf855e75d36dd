#pragma once

namespace kel {

// What a tree item shows. The numbers are fixed: they decide which items build children
// on expansion and which editor a double-click opens.
enum class TreeItemKind : int {
    None = 0,
    Camera = 1,
    CameraTo = 2,
    CameraFrom = 3,
    CameraApproxUp = 4,
    CameraNormal = 5,
    CameraActualUp = 6,
    CameraU = 7,
    ViewTransform = 8,
    Frustum = 9,
    FrustumNear = 10,
    FrustumFar = 11,
    FrustumHeight = 12,
    PerspectiveTransform = 13,
    Light = 14,
    LightColor = 15,
    LightColorValue = 16,
    LightDirection = 17,
    LightIntensity = 18,
    ObjectColorValue = 19,
    Ambient = 20,
    AmbientValue = 21,
    ObjectSpecular = 22,
    ObjectDiffuse = 23,
    ObjectShininess = 24,
    PolygonVertices = 25,
    PolygonNormal = 26,
    PolygonVisibility = 27,
    Object = 28,
    Objects = 29,
    ObjectColor = 30,
    ObjectRotation = 31,
    ObjectScaling = 32,
    ObjectTranslation = 33,
    ModelingTransform = 34,
    Polygon = 35,
    Surfaces = 36,
    Vertices = 37,
    VertexValue = 38,
    CornerIdsValue = 39,
    Surface = 40,
    VectorValue = 41,
    IntegerValue = 42,
    RealValue = 43,
};

// Kinds whose children are made on the item's own first expansion, from the scene as it
// is then. Every other expandable item gets its children when it is itself made.
bool buildsChildrenOnExpansion(TreeItemKind kind);

}  // namespace kel
