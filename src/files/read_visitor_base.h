#pragma once

#include <string>

namespace kel {

class SceneBuilder;
class Vector;
class Vertex;
class Surface;
class Polygon;

// A scene reader: it creates the scene's parts from a file, one operation per part, and
// hands them to a builder. Every operation returns true on success.
class ReadVisitorBase {
public:
    virtual ~ReadVisitorBase() = default;
    ReadVisitorBase(const ReadVisitorBase&) = delete;
    ReadVisitorBase& operator=(const ReadVisitorBase&) = delete;

    // The name given to the last open.
    const std::string& fileName() const { return fileName_; }

    virtual bool open(const std::string& fileName) = 0;
    virtual bool readScene(SceneBuilder& builder) = 0;
    virtual bool readCamera() = 0;
    virtual bool readFrustum() = 0;
    virtual bool readLight() = 0;
    virtual bool readAmbient() = 0;
    // number counts the scene's objects from 1.
    virtual bool readObject(int number) = 0;
    virtual bool readInt(int& value) = 0;
    virtual bool readDouble(double& value) = 0;
    virtual bool readPoint(Vector& point) = 0;
    virtual bool readDirection(Vector& direction) = 0;
    virtual bool readTransformVector(Vector& part) = 0;
    virtual bool readVertex(Vertex& vertex) = 0;
    virtual bool readSurface(Surface& surface) = 0;
    virtual bool readPolygon(Polygon& polygon) = 0;

protected:
    ReadVisitorBase() = default;
    void setFileName(const std::string& fileName) { fileName_ = fileName; }

private:
    std::string fileName_;
};

}  // namespace kel
