#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/read_visitor_base.h"
#include "files/token_reader.h"
#include "files/vertex_id_table.h"

namespace kel {

class Color;
class SceneObject;
class UserMessages;

// Reads a scene file and every object file it names into a SceneBuilder.
//
// Input is checked as it is read. A scene file that is malformed or ends early fails the
// whole read with one message naming the file, the line and what was expected. An object
// file that is missing, not a regular file, malformed or ends early costs only its own
// object: one message, the other objects still load, and the object's record is kept in
// the scene so that a save writes it back. Besides malformed numbers this refuses: vertex
// ids outside 0 to 9,999,999, corner ids that name no vertex of the same file, polygons
// with fewer than 3 corners, and reals that are not finite (inf, nan, or too large for a
// double). Counts are never trusted for allocation: records are read one at a time and
// reading stops at the first that is missing. Object file names may be of any length.
//
// The text of a complaint is put together only when there is one: while reading, the
// reader keeps no more than what is being read (an item and a number) and where.
class ReadVisitor : public ReadVisitorBase {
public:
    // Fills text with the named file; false and a reason when it cannot.
    using FileLoader =
        std::function<bool(const std::string& name, std::string& text, std::string& reason)>;

    static constexpr int kMaxVertexId = 9'999'999;

    explicit ReadVisitor(UserMessages& messages);
    // Opens the scene file at once; check openFailure() for the outcome.
    ReadVisitor(UserMessages& messages, const std::string& fileName);

    // Where files come from: the file system unless replaced (to read from memory).
    void setFileLoader(FileLoader loader) { loader_ = std::move(loader); }

    // Takes in the whole scene file. On failure there is no scene stream and
    // openFailure() says why; nothing is shown, the caller words the message.
    bool open(const std::string& fileName) override;
    const std::string& openFailure() const { return openFailure_; }

    // False when there is no scene file (message 61216) or the scene file is malformed
    // (one message). A missing or malformed object file does not make it fail.
    bool readScene(SceneBuilder& builder) override;
    bool readCamera() override;
    bool readFrustum() override;
    bool readLight() override;
    bool readAmbient() override;
    // False when the object was left out, or when its record in the scene file is bad
    // (sceneFileFailed() tells the two apart).
    bool readObject(int number) override;
    bool readInt(int& value) override;
    bool readDouble(double& value) override;
    bool readPoint(Vector& point) override;
    bool readDirection(Vector& direction) override;
    bool readTransformVector(Vector& part) override;
    bool readVertex(Vertex& vertex) override;
    bool readSurface(Surface& surface) override;
    bool readPolygon(Polygon& polygon) override;
    bool readColor(Color& color);
    // Reads the geometry of the object from text, the contents of the file the object is
    // named after: a mesh (OBJ, OFF, PLY, STL) or a Kel object file. False, with one
    // message shown, when it is malformed.
    bool readGeometry(SceneObject& object, std::string text);

    bool sceneFileFailed() const { return sceneFailed_; }

private:
    // What the next read is for, as the user would call it ("camera up"); with the number
    // of the object, the vertex id or the surface it belongs to.
    enum class Item : std::uint8_t {
        None,
        CameraFrom,
        CameraTo,
        CameraUp,
        FrustumNear,
        FrustumFar,
        FrustumHeight,
        LightIntensity,
        LightColour,
        LightDirection,
        Ambient,
        ObjectCount,
        ObjectFileName,
        ObjectRotation,
        ObjectScaling,
        ObjectTranslation,
        ObjectColour,
        ObjectDiffuse,
        ObjectSpecular,
        ObjectShininess,
        VertexCount,
        VertexId,
        VertexPosition,
        SurfaceCount,
        PolygonCount,
        CornerCount,
        CornerId,
    };

    struct Source {
        std::string name;
        TokenReader tokens;
        bool present = false;
    };

    std::optional<std::string_view> take(Source& source, std::string_view expected);
    // Each read of a number takes the common short form in one pass, inline; anything
    // else (and every complaint) goes to the full parse, kept out of the way.
    bool readIntFrom(Source& source, int& value) {
        return (source.present && source.tokens.nextSmallInt(value)) || readFullInt(source, value);
    }
    bool readCountFrom(Source& source, std::uint32_t& value) {
        std::int32_t small = 0;
        if (source.present) {
            const TokenReader::Mark before = source.tokens.mark();
            if (source.tokens.nextSmallInt(small) && small >= 0) {
                value = static_cast<std::uint32_t>(small);
                return true;
            }
            // A minus sign or a long number: the full parse words the complaint.
            source.tokens.rewind(before);
        }
        return readFullCount(source, value);
    }
    bool readRealFrom(Source& source, double& value) {
        return (source.present && source.tokens.nextShortReal(value)) ||
               readFullReal(source, value);
    }
    [[gnu::noinline]] bool readFullInt(Source& source, int& value);
    [[gnu::noinline]] bool readFullCount(Source& source, std::uint32_t& value);
    [[gnu::noinline]] bool readFullReal(Source& source, double& value);
    [[gnu::noinline]] bool failUnknownCorner(int id);
    bool readTripleFrom(Source& source, Vector& triple);
    bool readObjectRecord(SceneObject& object);
    bool readObjectFile(SceneObject& object);
    // The object's record without its geometry, kept when the object is left out.
    void keepLeftOut(const SceneObject& object);
    void setItem(Item item, std::uint32_t number = 0) {
        item_ = item;
        itemNumber_ = number;
    }
    std::string itemText() const;
    // Records "file, line n: text" unless a failure is already recorded; returns false.
    bool fail(const Source& source, const std::string& text);
    std::string expecting(std::string_view kind) const;
    void reportFailure();

    UserMessages& messages_;
    FileLoader loader_;
    std::string openFailure_;
    Source scene_;
    Source object_;
    SceneBuilder* builder_ = nullptr;
    SceneObject* currentObject_ = nullptr;
    VertexIdTable vertices_;
    std::uint32_t currentSurface_ = 0;
    Item item_ = Item::None;
    std::uint32_t itemNumber_ = 0;
    std::string failure_;
    bool sceneFailed_ = false;
};

}  // namespace kel
