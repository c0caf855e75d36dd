#pragma once

#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "model/visitor.h"

namespace kel {

class Color;
class UserMessages;

// Writes a scene back as text: walked by the builder in the order camera, frustum, light,
// scene, it produces the scene file that ReadVisitor reads. Every object also writes its
// geometry, in the object file format, to "foo" in the current directory; each object
// replaces the file, so it ends up holding the last object's geometry.
//
// Reals are written with the shortest text that reads back as the same double, so a save
// loses no precision. A file that cannot be created, written or closed is remembered as a
// failure (the first one wins) for the caller to report; nothing is shown from here
// except "No scene file is open yet" when writing starts without open.
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
    // Writes the ambient level and the objects, then closes the scene file.
    void visitScene(Scene& scene) override;
    void visitCamera(Camera& camera) override;
    void visitLight(Light& light) override;
    void visitFrustum(Frustum& frustum) override;

    // Creates or empties the file. False (and failed()) when it cannot be created.
    bool open(const std::string& fileName);
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
    void noteFailure(const std::string& file, const std::string& reason);
    void checkStream(std::ofstream& stream, const std::string& file);
    void closeScene();

    UserMessages& messages_;
    int lineEnd_;
    std::string fileName_;
    std::unique_ptr<std::ofstream> out_;
    std::string failedFile_;
    std::string failureReason_;
    ObjectNamer namer_;
};

// The text forms used in both files.
std::string vectorText(const Vector& vector);  // each component followed by one blank
std::string colorText(const Color& color);     // "red green blue"

}  // namespace kel
