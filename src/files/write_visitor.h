#pragma once

#include <functional>
#include <memory>
#include <string>

#include "model/visitor.h"
#include "platform/atomic_file.h"

namespace kel {

class Color;
class SceneObject;
class UserMessages;

// Writes a scene back as text: walked by the builder in the order camera, frustum, light,
// scene, it produces the scene file that ReadVisitor reads. Every object also writes its
// geometry, in the object file format, to "foo" in the current directory; each object
// replaces the file, so it ends up holding the last object's geometry.
//
// Nothing replaces an old file until both are complete: the scene file and "foo" are
// gathered in memory, written to temporaries beside their targets and flushed to the disk,
// and only then renamed over the old files. A save that fails part-way (a full disk, a
// file-size limit) leaves both old files as they were.
//
// Reals are written with the shortest text that reads back as the same double, so a save
// loses no precision. A file that cannot be created, written or closed is remembered as a
// failure (the first one wins) for the caller to report; nothing is shown from here
// except "No scene file is open yet" when writing starts without open. Records of objects
// the reader left out are written back in their places, without geometry.
class WriteVisitor : public Visitor {
public:
    // lineEnd non-zero: the diagnostic visitTuple and visitMatrix end with an extra line.
    explicit WriteVisitor(UserMessages& messages, int lineEnd = 0);
    ~WriteVisitor() override;

    // Diagnostics to standard output ("%g " per element); the save path does not use them.
    void visitTuple(Vector& tuple) override;
    void visitMatrix(Matrix& matrix) override;

    void visitPolygon(Polygon&) override {}
    void visitSurface(Surface&) override {}
    void visitObject(SceneObject& object) override;
    // Writes the ambient level and the objects, then puts both files in place.
    void visitScene(Scene& scene) override;
    void visitCamera(Camera& camera) override;
    void visitLight(Light& light) override;
    void visitFrustum(Frustum& frustum) override;

    // Starts the file (the old one stays until the scene is complete). False (and
    // failed()) when it cannot be created.
    [[nodiscard]] bool open(const std::string& fileName);
    // True once open was called; otherwise shows "No scene file is open yet".
    bool isOpen();
    const std::string& fileName() const { return fileName_; }

    bool failed() const { return !failedFile_.empty(); }
    // The file that could not be written ("foo" for the object output) and why.
    const std::string& failedFile() const { return failedFile_; }
    const std::string& failureReason() const { return failureReason_; }

    // The name of the object output file.
    static constexpr const char* kObjectOutputName = "foo";

    // What an object record names as its file; the object's own name unless set (a scene
    // saved in another folder names its objects relative to that folder).
    using ObjectNamer = std::function<std::string(const SceneObject&)>;
    void setObjectNamer(ObjectNamer namer) { namer_ = std::move(namer); }

private:
    void writeLine(const std::string& line);
    void writeRecord(const SceneObject& object);
    void noteFailure(const std::string& file, const std::string& reason);
    // Writes both gathered files and, when both are complete, replaces the old ones.
    void closeScene();

    UserMessages& messages_;
    int lineEnd_;
    std::string fileName_;
    std::unique_ptr<AtomicFile> out_;
    std::string sceneText_;
    std::string objectText_;
    bool objectWritten_ = false;
    std::string failedFile_;
    std::string failureReason_;
    ObjectNamer namer_;
};

// The text forms used in both files.
std::string vectorText(const Vector& vector);  // each component followed by one blank
std::string colorText(const Color& color);     // "red green blue"

}  // namespace kel
