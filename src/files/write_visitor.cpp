#include "files/write_visitor.h"

#include <iostream>

#include "files/real_format.h"
#include "model/camera.h"
#include "model/color.h"
#include "model/light.h"
#include "model/matrix.h"
#include "model/polygon.h"
#include "model/scene.h"
#include "model/scene_object.h"
#include "model/vector.h"
#include "model/vertex.h"
#include "platform/user_messages.h"

namespace kel {

std::string vectorText(const Vector& vector) {
    std::string text;
    for (std::size_t i = 0; i < vector.size(); ++i) {
        text += formatReal(vector.at(i));
        text += ' ';
    }
    return text;
}

std::string colorText(const Color& color) {
    return std::to_string(color.red()) + ' ' + std::to_string(color.green()) + ' ' +
           std::to_string(color.blue());
}

WriteVisitor::WriteVisitor(UserMessages& messages, int lineEnd)
    : messages_(messages), lineEnd_(lineEnd) {}

WriteVisitor::~WriteVisitor() = default;

bool WriteVisitor::open(const std::string& fileName) {
    out_.reset();
    sceneText_.clear();
    objectText_.clear();
    objectWritten_ = false;
    fileName_ = fileName;
    auto file = std::make_unique<AtomicFile>();
    std::string reason;
    if (!file->open(fileName, true, reason)) {
        noteFailure(fileName, reason);
        return false;
    }
    out_ = std::move(file);
    return true;
}

bool WriteVisitor::isOpen() {
    if (out_ == nullptr) {
        messages_.showError(messageText(MessageId::NoSceneFile));
        return false;
    }
    return true;
}

void WriteVisitor::noteFailure(const std::string& file, const std::string& reason) {
    if (failedFile_.empty()) {
        failedFile_ = file;
        failureReason_ = reason;
    }
}

void WriteVisitor::writeLine(const std::string& line) {
    if (out_ == nullptr) {
        return;
    }
    sceneText_ += line;
    sceneText_ += '\n';
}

void WriteVisitor::closeScene() {
    if (out_ == nullptr) {
        return;
    }
    const std::unique_ptr<AtomicFile> scene = std::move(out_);
    std::string reason;
    if (!scene->write(sceneText_, reason) || !scene->finish(reason)) {
        noteFailure(fileName_, reason);
        return;
    }
    const std::string fooName = kObjectOutputName;
    AtomicFile foo;
    if (objectWritten_ && (!foo.open(fooName, true, reason) || !foo.write(objectText_, reason) ||
                           !foo.finish(reason))) {
        noteFailure(fooName, reason);
        return;
    }
    if (!scene->replace(reason)) {
        noteFailure(fileName_, reason);
        return;
    }
    if (objectWritten_ && !foo.replace(reason)) {
        noteFailure(fooName, reason);
    }
}

void WriteVisitor::visitCamera(Camera& camera) {
    if (!isOpen()) {
        return;
    }
    writeLine(vectorText(camera.from()));
    writeLine(vectorText(camera.to()));
    writeLine(vectorText(camera.approxUp()));
}

void WriteVisitor::visitFrustum(Frustum& frustum) {
    if (!isOpen()) {
        return;
    }
    writeLine(formatReal(frustum.nearPlane()));
    writeLine(formatReal(frustum.farPlane()));
    writeLine(formatReal(frustum.height()));
}

void WriteVisitor::visitLight(Light& light) {
    if (!isOpen()) {
        return;
    }
    writeLine(formatReal(light.intensity()));
    writeLine(colorText(light.color()));
    writeLine(vectorText(light.direction()));
}

void WriteVisitor::visitScene(Scene& scene) {
    if (!isOpen()) {
        return;
    }
    const auto& leftOut = scene.leftOutObjects();
    writeLine(formatReal(scene.ambient()));
    writeLine(std::to_string(scene.objectCount() + leftOut.size()));
    auto kept = leftOut.begin();
    for (std::size_t i = 0; i <= scene.objectCount(); ++i) {
        // Left-out records go back where they were: before the object that followed them.
        for (; kept != leftOut.end() && (kept->position <= i || i == scene.objectCount()); ++kept) {
            writeRecord(*kept->record);
        }
        if (i < scene.objectCount()) {
            scene.object(i)->accept(*this);
        }
    }
    closeScene();
}

void WriteVisitor::writeRecord(const SceneObject& object) {
    writeLine(namer_ ? namer_(object) : object.name());
    writeLine(vectorText(object.rotation()));
    writeLine(vectorText(object.scaling()));
    writeLine(vectorText(object.translation()));
    writeLine(colorText(object.color()));
    writeLine(formatReal(object.diffuse()));
    writeLine(formatReal(object.specular()));
    writeLine(std::to_string(object.shininess()));
}

void WriteVisitor::visitObject(SceneObject& object) {
    if (out_ == nullptr) {
        return;
    }
    writeRecord(object);
    // Every object replaces the object output, so only the last one's geometry is kept.
    std::string& text = objectText_;
    text = std::to_string(object.vertexCount()) + '\n';
    for (std::size_t i = 0; i < object.vertexCount(); ++i) {
        const Vertex& vertex = *object.vertexAt(i);
        text += std::to_string(vertex.id()) + ' ' + vectorText(vertex.modelPosition()) + '\n';
    }
    text += std::to_string(object.surfaceCount()) + '\n';
    for (const auto& surface : object.surfaces()) {
        text += ' ' + std::to_string(surface->polygonCount()) + '\n';
        for (const auto& polygon : surface->polygons()) {
            text += "  " + std::to_string(polygon->vertexCount()) + "\n  ";
            for (std::size_t j = 0; j < polygon->vertexCount(); ++j) {
                text += std::to_string(polygon->vertexAt(j)->id()) + ' ';
            }
            text += '\n';
        }
    }
    objectWritten_ = true;
}

void WriteVisitor::visitTuple(Vector& tuple) {
    for (std::size_t i = 0; i < tuple.size(); ++i) {
        std::cout << formatRealShort(tuple.at(i)) << ' ';
    }
    if (lineEnd_ != 0) {
        std::cout << '\n';
    }
}

void WriteVisitor::visitMatrix(Matrix& matrix) {
    for (std::size_t r = 0; r < matrix.rowCount(); ++r) {
        const Vector& row = matrix.row(r);
        for (std::size_t c = 0; c < row.size(); ++c) {
            std::cout << formatRealShort(row.at(c)) << ' ';
        }
        std::cout << '\n';
    }
    if (lineEnd_ != 0) {
        std::cout << '\n';
    }
}

}  // namespace kel
