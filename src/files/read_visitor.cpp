#include "files/read_visitor.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>

#include "files/mesh/mesh_format.h"
#include "files/number_parsing.h"
#include "files/scene_builder.h"
#include "files/text_file.h"
#include "model/camera.h"
#include "model/color.h"
#include "model/light.h"
#include "model/polygon.h"
#include "model/scene_object.h"
#include "model/vector.h"
#include "model/vertex.h"
#include "platform/user_messages.h"

namespace kel {

namespace {

constexpr std::size_t kShownTokenLength = 32;

// A token as it can be shown in a message box: quoted, shortened, control bytes masked.
std::string quoted(std::string_view token) {
    std::string shown = "\"";
    for (std::size_t i = 0; i < token.size() && i < kShownTokenLength; ++i) {
        const auto c = static_cast<unsigned char>(token[i]);
        shown += (c < 0x20 || c == 0x7F) ? '?' : static_cast<char>(c);
    }
    if (token.size() > kShownTokenLength) {
        shown += "...";
    }
    return shown + "\"";
}

}  // namespace

ReadVisitor::ReadVisitor(UserMessages& messages) : messages_(messages), loader_(readTextFile) {}

ReadVisitor::ReadVisitor(UserMessages& messages, const std::string& fileName)
    : ReadVisitor(messages) {
    open(fileName);
}

bool ReadVisitor::open(const std::string& fileName) {
    scene_ = Source{};
    openFailure_.clear();
    setFileName(fileName);
    std::string text;
    if (!loader_(fileName, text, openFailure_)) {
        return false;
    }
    scene_ = Source{displayName(fileName), TokenReader(std::move(text)), true};
    return true;
}

std::string ReadVisitor::itemText() const {
    // What the user calls each item; '#' stands for its number.
    struct Name {
        Item item;
        std::string_view text;
    };
    static constexpr Name kNames[] = {
        {Item::CameraFrom, "camera from"},
        {Item::CameraTo, "camera to"},
        {Item::CameraUp, "camera up"},
        {Item::FrustumNear, "frustum near plane"},
        {Item::FrustumFar, "frustum far plane"},
        {Item::FrustumHeight, "frustum height"},
        {Item::LightIntensity, "light intensity"},
        {Item::LightColour, "light colour"},
        {Item::LightDirection, "light direction"},
        {Item::Ambient, "ambient light"},
        {Item::ObjectCount, "object count"},
        {Item::ObjectFileName, "object # file name"},
        {Item::ObjectRotation, "object # rotation"},
        {Item::ObjectScaling, "object # scaling"},
        {Item::ObjectTranslation, "object # translation"},
        {Item::ObjectColour, "object # colour"},
        {Item::ObjectDiffuse, "object # diffuse"},
        {Item::ObjectSpecular, "object # specular"},
        {Item::ObjectShininess, "object # shininess"},
        {Item::VertexCount, "vertex count"},
        {Item::VertexId, "vertex id"},
        {Item::VertexPosition, "position of vertex #"},
        {Item::SurfaceCount, "surface count"},
        {Item::PolygonCount, "polygon count of surface #"},
        {Item::CornerCount, "corner count, surface #"},
        {Item::CornerId, "corner vertex id, surface #"},
    };
    const auto named = std::find_if(std::begin(kNames), std::end(kNames),
                                    [this](const Name& name) { return name.item == item_; });
    if (named == std::end(kNames)) {
        return {};  // Item::None
    }
    const std::string_view text = named->text;
    const std::size_t number = text.find('#');
    if (number == std::string_view::npos) {
        return std::string(text);
    }
    return std::string(text.substr(0, number)) + std::to_string(itemNumber_) +
           std::string(text.substr(number + 1));
}

std::string ReadVisitor::expecting(std::string_view kind) const {
    std::string text = "expected ";
    text += kind;
    const std::string item = itemText();
    if (!item.empty()) {
        text += " (" + item + ")";
    }
    return text;
}

bool ReadVisitor::fail(const Source& source, const std::string& text) {
    if (failure_.empty()) {
        // An object file name may be of any length: the message shows a bounded part.
        failure_ = printableExcerpt(source.name) + ", line " +
                   std::to_string(source.tokens.line()) + ": " + text;
    }
    if (&source == &scene_) {
        sceneFailed_ = true;
    }
    return false;
}

void ReadVisitor::reportFailure() {
    if (!failure_.empty()) {
        messages_.showError(failure_);
        failure_.clear();
    }
}

std::optional<std::string_view> ReadVisitor::take(Source& source, std::string_view expected) {
    if (!source.present) {
        return std::nullopt;
    }
    auto token = source.tokens.next();
    if (!token) {
        fail(source, expecting(expected) + ", found the end of the file");
    }
    return token;
}

bool ReadVisitor::readFullInt(Source& source, int& value) {
    static constexpr std::string_view kKind = "a whole number";
    const auto token = take(source, kKind);
    if (!token) {
        return false;
    }
    std::int32_t parsed = 0;
    if (!parseInt(*token, parsed)) {
        return fail(source, expecting(kKind) + ", found " + quoted(*token));
    }
    value = parsed;
    return true;
}

bool ReadVisitor::readFullCount(Source& source, std::uint32_t& value) {
    static constexpr std::string_view kKind = "a count (0 to 4294967295)";
    const auto token = take(source, kKind);
    if (!token) {
        return false;
    }
    if (!parseUnsigned(*token, UINT32_MAX, value)) {
        return fail(source, expecting(kKind) + ", found " + quoted(*token));
    }
    return true;
}

bool ReadVisitor::readFullReal(Source& source, double& value) {
    static constexpr std::string_view kKind = "a real number";
    const auto token = take(source, kKind);
    if (!token) {
        return false;
    }
    switch (parseReal(*token, value)) {
        case RealParse::Ok:
            return true;
        case RealParse::NotANumber:
            return fail(source, expecting(kKind) + ", found " + quoted(*token));
        case RealParse::OutOfRange:
            return fail(source,
                        expecting(kKind) + ", found " + quoted(*token) + ", which is out of range");
        case RealParse::NotFinite:
            return fail(source, expecting("a finite real number") + ", found " + quoted(*token));
    }
    return false;
}

bool ReadVisitor::readTripleFrom(Source& source, Vector& triple) {
    for (std::size_t i = 0; i < 3; ++i) {
        double component = 0.0;
        if (!readRealFrom(source, component)) {
            return false;
        }
        triple.at(i) = component;
    }
    return true;
}

bool ReadVisitor::readInt(int& value) {
    return readIntFrom(scene_, value);
}

bool ReadVisitor::readDouble(double& value) {
    return readRealFrom(scene_, value);
}

bool ReadVisitor::readPoint(Vector& point) {
    return readTripleFrom(scene_, point);
}

bool ReadVisitor::readDirection(Vector& direction) {
    return readTripleFrom(scene_, direction);
}

bool ReadVisitor::readTransformVector(Vector& part) {
    return readTripleFrom(scene_, part);
}

bool ReadVisitor::readColor(Color& color) {
    static constexpr std::string_view kKind = "a colour component (0 to 65535)";
    std::uint32_t channels[3] = {0, 0, 0};
    for (std::uint32_t& channel : channels) {
        const auto token = take(scene_, kKind);
        if (!token) {
            return false;
        }
        if (!parseUnsigned(*token, UINT16_MAX, channel)) {
            return fail(scene_, expecting(kKind) + ", found " + quoted(*token));
        }
    }
    // Only the low 8 bits of each are kept: 300 is read as 44.
    color.set(static_cast<std::uint8_t>(channels[0] & 0xFFu),
              static_cast<std::uint8_t>(channels[1] & 0xFFu),
              static_cast<std::uint8_t>(channels[2] & 0xFFu));
    return true;
}

bool ReadVisitor::readScene(SceneBuilder& builder) {
    if (!scene_.present) {
        messages_.showError(messageText(MessageId::NoSceneFile));
        return false;
    }
    builder_ = &builder;
    sceneFailed_ = false;
    failure_.clear();
    int objectCount = 0;
    const bool headerRead = readCamera() && readFrustum() && readLight() && readAmbient();
    setItem(Item::ObjectCount);
    if (!headerRead || !readInt(objectCount)) {
        reportFailure();
        return false;
    }
    // A 64-bit counter: the loop must end even for a count of INT_MAX.
    bool read = true;
    for (std::int64_t i = 1; read && i <= objectCount; ++i) {
        readObject(static_cast<int>(i));
        if (sceneFailed_) {
            reportFailure();
            read = false;
        }
    }
    // The last object file's text and the id table would otherwise stay for as long as
    // the document keeps this reader: as much again as the mesh's file. Swapped out, not
    // assigned over: a string assigned an empty one keeps its buffer.
    Source released;
    std::swap(object_, released);
    vertices_.release();
    return read;
}

bool ReadVisitor::readCamera() {
    if (builder_ == nullptr) {
        return false;
    }
    Vector from;
    Vector to;
    Vector up;
    setItem(Item::CameraFrom);
    if (!readPoint(from)) {
        return false;
    }
    setItem(Item::CameraTo);
    if (!readPoint(to)) {
        return false;
    }
    setItem(Item::CameraUp);
    if (!readDirection(up)) {
        return false;
    }
    auto camera = std::make_unique<Camera>();
    camera->set(from, to, up);
    builder_->setCamera(std::move(camera));
    return true;
}

bool ReadVisitor::readFrustum() {
    if (builder_ == nullptr) {
        return false;
    }
    double nearPlane = 0.0;
    double farPlane = 0.0;
    double height = 0.0;
    setItem(Item::FrustumNear);
    if (!readDouble(nearPlane)) {
        return false;
    }
    setItem(Item::FrustumFar);
    if (!readDouble(farPlane)) {
        return false;
    }
    setItem(Item::FrustumHeight);
    if (!readDouble(height)) {
        return false;
    }
    auto frustum = std::make_unique<Frustum>();
    frustum->set(nearPlane, farPlane, height);
    builder_->setFrustum(std::move(frustum));
    return true;
}

bool ReadVisitor::readLight() {
    if (builder_ == nullptr) {
        return false;
    }
    auto light = std::make_unique<Light>();
    double intensity = 0.0;
    setItem(Item::LightIntensity);
    if (!readDouble(intensity)) {
        return false;
    }
    light->setIntensity(intensity);
    Color color;
    setItem(Item::LightColour);
    if (!readColor(color)) {
        return false;
    }
    light->setColor(color);
    Vector direction;
    setItem(Item::LightDirection);
    if (!readDirection(direction)) {
        return false;
    }
    light->setDirection(direction);
    builder_->setLight(std::move(light));
    return true;
}

bool ReadVisitor::readAmbient() {
    if (builder_ == nullptr) {
        return false;
    }
    double ambient = 0.0;
    setItem(Item::Ambient);
    if (!readDouble(ambient)) {
        return false;
    }
    builder_->setAmbient(ambient);
    return true;
}

bool ReadVisitor::readObject(int number) {
    if (builder_ == nullptr || !scene_.present) {
        return false;
    }
    sceneFailed_ = false;
    auto object = std::make_unique<SceneObject>(number);
    if (!readObjectRecord(*object)) {
        return false;
    }
    // The record is consumed; from here on a failure costs only this object.
    object_ = Source{};
    std::string text;
    std::string reason;
    if (!loader_(object->name(), text, reason)) {
        messages_.showError(messageText(MessageId::NoObjectFile));
        keepLeftOut(*object);
        return false;
    }
    if (!readGeometry(*object, std::move(text))) {
        keepLeftOut(*object);
        return false;
    }
    builder_->addObject(std::move(object));
    return true;
}

bool ReadVisitor::readObjectRecord(SceneObject& object) {
    const auto number = static_cast<std::uint32_t>(object.number());
    setItem(Item::ObjectFileName, number);
    const auto name = take(scene_, "an object file name");
    if (!name) {
        return false;
    }
    object.setName(std::string(*name));

    Vector rotation;
    Vector scaling;
    Vector translation;
    setItem(Item::ObjectRotation, number);
    if (!readTransformVector(rotation)) {
        return false;
    }
    setItem(Item::ObjectScaling, number);
    if (!readTransformVector(scaling)) {
        return false;
    }
    setItem(Item::ObjectTranslation, number);
    if (!readTransformVector(translation)) {
        return false;
    }
    object.setRotation(rotation);
    object.setScaling(scaling);
    object.setTranslation(translation);
    object.computeModelingTransform();

    Color color;
    double diffuse = 0.0;
    double specular = 0.0;
    int shininess = 0;
    setItem(Item::ObjectColour, number);
    if (!readColor(color)) {
        return false;
    }
    setItem(Item::ObjectDiffuse, number);
    if (!readDouble(diffuse)) {
        return false;
    }
    setItem(Item::ObjectSpecular, number);
    if (!readDouble(specular)) {
        return false;
    }
    setItem(Item::ObjectShininess, number);
    if (!readInt(shininess)) {
        return false;
    }
    object.setColor(color);
    object.setDiffuse(diffuse);
    object.setSpecular(specular);
    object.setShininess(shininess);
    return true;
}

void ReadVisitor::keepLeftOut(const SceneObject& object) {
    auto record = std::make_unique<SceneObject>(object.number());
    record->setName(object.name());
    record->setRotation(object.rotation());
    record->setScaling(object.scaling());
    record->setTranslation(object.translation());
    record->computeModelingTransform();
    record->setColor(object.color());
    record->setDiffuse(object.diffuse());
    record->setSpecular(object.specular());
    record->setShininess(object.shininess());
    builder_->keepLeftOutObject(std::move(record));
}

bool ReadVisitor::readGeometry(SceneObject& object, std::string text) {
    // A mesh file is read by its own reader; a Kel object file (which may end in .obj
    // too) by this one.
    if (const auto format = geometryFormatOf(object.name(), text)) {
        std::string failure;
        if (!readMeshObject(*format, text, object.name(), object, failure)) {
            messages_.showError(failure);
            return false;
        }
        return true;
    }
    object_ = Source{object.name(), TokenReader(std::move(text)), true};
    const bool read = readObjectFile(object);
    currentObject_ = nullptr;
    if (!read) {
        reportFailure();
    }
    return read;
}

bool ReadVisitor::readObjectFile(SceneObject& object) {
    currentObject_ = &object;
    vertices_.reset(object_.tokens.size());

    std::uint32_t vertexCount = 0;
    setItem(Item::VertexCount);
    if (!readCountFrom(object_, vertexCount)) {
        return false;
    }
    vertices_.expect(vertexCount);
    for (std::uint32_t j = 0; j < vertexCount; ++j) {
        // Read in place; should the read fail, the object is dropped with it.
        Vertex& added = object.addVertex();
        if (!readVertex(added)) {
            return false;
        }
        vertices_.entry(static_cast<std::uint32_t>(added.id())).vertex = &added;
    }

    std::uint32_t surfaceCount = 0;
    setItem(Item::SurfaceCount);
    if (!readCountFrom(object_, surfaceCount)) {
        return false;
    }
    for (std::uint32_t s = 1; s <= surfaceCount && s != 0; ++s) {
        currentSurface_ = s;
        auto surface = std::make_unique<Surface>();
        Surface& added = *surface;
        // Owned by the object from the start, so a failure part-way leaves nothing behind.
        object.addSurface(std::move(surface));
        if (!readSurface(added)) {
            return false;
        }
    }
    return true;
}

bool ReadVisitor::readVertex(Vertex& vertex) {
    if (!object_.present) {
        return false;
    }
    int id = 0;
    setItem(Item::VertexId);
    if (!readIntFrom(object_, id)) {
        return false;
    }
    if (id < 0 || id > kMaxVertexId) {
        return fail(object_, "vertex id " + std::to_string(id) + " is out of range (0 to " +
                                 std::to_string(kMaxVertexId) + ")");
    }
    Vector position;
    setItem(Item::VertexPosition, static_cast<std::uint32_t>(id));
    if (!readTripleFrom(object_, position)) {
        return false;
    }
    vertex.setId(id);
    vertex.setModelPosition(position);
    return true;
}

bool ReadVisitor::readSurface(Surface& surface) {
    if (!object_.present) {
        return false;
    }
    std::uint32_t polygonCount = 0;
    setItem(Item::PolygonCount, currentSurface_);
    if (!readCountFrom(object_, polygonCount)) {
        return false;
    }
    for (std::uint32_t k = 0; k < polygonCount; ++k) {
        // Owned by the surface from the start, as the surface is by its object.
        if (!readPolygon(surface.addPolygon())) {
            return false;
        }
    }
    return true;
}

bool ReadVisitor::readPolygon(Polygon& polygon) {
    if (!object_.present || currentObject_ == nullptr) {
        return false;
    }
    std::uint32_t cornerCount = 0;
    setItem(Item::CornerCount, currentSurface_);
    if (!readCountFrom(object_, cornerCount)) {
        return false;
    }
    // Fewer corners make no area and no normal; the renderers need three.
    if (cornerCount < 3) {
        return fail(object_, "a polygon needs at least 3 corners, found " +
                                 std::to_string(cornerCount) + " (surface " +
                                 std::to_string(currentSurface_) + ")");
    }
    // Each corner id takes at least two bytes of the file: a count beyond that is a lie.
    polygon.reserveVertices(std::min<std::size_t>(cornerCount, object_.tokens.size() / 2));
    setItem(Item::CornerId, currentSurface_);
    for (std::uint32_t j = 0; j < cornerCount; ++j) {
        int id = 0;
        if (!readIntFrom(object_, id)) {
            return false;
        }
        VertexIdTable::Entry* entry =
            id < 0 ? nullptr : vertices_.find(static_cast<std::uint32_t>(id));
        if (entry == nullptr) {
            return failUnknownCorner(id);
        }
        if (entry->surfaceMark == 0) {
            entry->surfaceMark = currentSurface_;
        } else if (entry->surfaceMark != currentSurface_) {
            // No vertex is shared between surfaces, so normals are never averaged across
            // the edge between two of them: this surface gets its own copy.
            Vertex& copy = currentObject_->insertVertexAtFront(*entry->vertex);
            copy.clearPolygons();
            entry->vertex = &copy;
            entry->surfaceMark = currentSurface_;
        }
        polygon.setVertexAt(j, entry->vertex);
        entry->vertex->addPolygon(&polygon);
    }
    polygon.setVertexCount(cornerCount);
    return true;
}

bool ReadVisitor::failUnknownCorner(int id) {
    return fail(object_, "corner id " + std::to_string(id) +
                             " names no vertex of this file (surface " +
                             std::to_string(currentSurface_) + ")");
}

}  // namespace kel
