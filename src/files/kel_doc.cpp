#include "files/kel_doc.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <system_error>

#include "files/mesh/fitted_scene.h"
#include "files/mesh/mesh_format.h"
#include "files/read_visitor.h"
#include "files/scene_builder.h"
#include "files/stored_object_name.h"
#include "files/text_file.h"
#include "files/write_visitor.h"
#include "model/camera.h"
#include "model/scene.h"
#include "model/scene_object.h"
#include "platform/user_messages.h"

namespace kel {

namespace {

// Makes the folder part of path (up to its last '/') the current directory for as long as
// it lives, unless kept; a path without a folder leaves it alone. A folder that does not
// exist is not an error here: opening the file then fails and says so. Going back uses a
// descriptor of the folder, so it works even if the old folder was renamed meanwhile.
class FolderChange {
public:
    explicit FolderChange(const std::string& path) {
        const auto slash = path.find_last_of('/');
        if (slash == std::string::npos) {
            return;
        }
        saved_ = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const std::string folder = slash == 0 ? std::string("/") : path.substr(0, slash);
        std::error_code ec;
        std::filesystem::current_path(folder, ec);
    }
    ~FolderChange() {
        if (saved_ >= 0) {
            if (!kept_) {
                (void)::fchdir(saved_);
            }
            ::close(saved_);
        }
    }
    FolderChange(const FolderChange&) = delete;
    FolderChange& operator=(const FolderChange&) = delete;
    void keep() { kept_ = true; }

private:
    int saved_ = -1;
    bool kept_ = false;
};

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".")
           : slash == 0               ? std::string("/")
                                      : path.substr(0, slash);
}

std::string absoluteOf(const std::string& path) {
    std::error_code ec;
    std::string absolute = std::filesystem::absolute(path, ec).lexically_normal().string();
    return ec || absolute.empty() ? path : absolute;
}

bool hasExtension(const std::string& path, const std::string& extension) {
    const auto dot = path.find_last_of("./");
    if (dot == std::string::npos || path[dot] != '.' || path.size() - dot != extension.size()) {
        return false;
    }
    for (std::size_t i = 0; i < extension.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(path[dot + i])) != extension[i]) {
            return false;
        }
    }
    return true;
}

// Every scene file begins with a number (the camera's x). A file named otherwise whose
// text does not is some other kind of file, and the user is told so rather than which
// number is missing.
bool beginsLikeScene(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n\v\f");
    if (first == std::string::npos) {
        return false;
    }
    const char c = text[first];
    return c == '-' || c == '+' || c == '.' || (c >= '0' && c <= '9');
}

constexpr const char* kNotASceneReason =
    "the file is not a Kel scene, and its name does not end in a mesh extension (.obj, .off, "
    ".ply or .stl)";

}  // namespace

CKelDoc::CKelDoc(UserMessages& messages) : messages_(messages) {}

CKelDoc::~CKelDoc() = default;

bool CKelDoc::onNewDocument() {
    return true;
}

bool CKelDoc::onOpenDocument(const std::string& path) {
    // Resolved before the current directory moves, so that a relative path still names
    // the same file, and so that saving later goes there whatever the current directory
    // is by then.
    const std::string absolute = absoluteOf(path);
    FolderChange folder(absolute);
    if (meshFormatOfName(absolute)) {
        const bool opened = openMesh(path, absolute);
        if (opened) {
            folder.keep();
        }
        return opened;
    }
    auto reader = std::make_unique<ReadVisitor>(messages_);
    if (!hasExtension(absolute, ".kel")) {
        reader->setFileLoader(
            [absolute](const std::string& name, std::string& text, std::string& reason) {
                if (!readTextFile(name, text, reason)) {
                    return false;
                }
                if (name == absolute && !beginsLikeScene(text)) {
                    reason = kNotASceneReason;
                    return false;
                }
                return true;
            });
    }
    if (!reader->open(absolute)) {
        // The path may come from an open request: quote a bounded, printable part of it.
        messages_.showError("Cannot open " + printableExcerpt(path) + ": " + reader->openFailure());
        return false;
    }
    // Each open starts from a new, empty scene.
    auto builder = std::make_unique<DefaultSceneBuilder>();
    if (!reader->readScene(*builder)) {
        return false;
    }
    scene_ = builder->takeScene();
    builder_ = std::move(builder);
    reader_ = std::move(reader);
    setPathName(absolute);
    folder.keep();
    sourceFolder_ = folderOf(absolute);
    meshPath_.clear();
    startHistory();
    return true;
}

// A new scene: View > Reset View goes back to its camera, and no step refers to the old one.
void CKelDoc::startHistory() {
    openedCamera_.reset();
    if (scene_->camera() != nullptr) {
        openedCamera_ = poseOf(*scene_->camera());
    }
    if (journal_ != nullptr) {
        journal_->clear();
    }
}

bool CKelDoc::openMesh(const std::string& path, const std::string& absolute) {
    std::string text;
    std::string reason;
    if (!readTextFile(absolute, text, reason)) {
        messages_.showError("Cannot open " + printableExcerpt(path) + ": " + reason);
        return false;
    }
    auto reader = std::make_unique<ReadVisitor>(messages_);
    auto builder = std::make_unique<DefaultSceneBuilder>();
    // Named as a scene beside it would name it: the current directory is its folder.
    auto object = std::make_unique<SceneObject>(1);
    object->setName(displayName(absolute));
    setFittedMaterial(*object);
    if (!reader->readGeometry(*object, std::move(text))) {
        return false;
    }
    std::string problem;
    if (!fitSceneToObject(*object, *builder, problem)) {
        messages_.showError("Cannot show " + path + ": " + problem);
        return false;
    }
    builder->addObject(std::move(object));
    scene_ = builder->takeScene();
    builder_ = std::move(builder);
    reader_ = std::move(reader);
    setPathName(absolute);
    sourceFolder_ = folderOf(absolute);
    meshPath_ = absolute;
    startHistory();
    return true;
}

std::string CKelDoc::suggestedSceneFileName() const {
    if (!needsSceneFileName()) {
        return pathName();
    }
    const auto dot = meshPath_.find_last_of('.');
    return meshPath_.substr(0, dot) + ".kel";
}

bool CKelDoc::canSaveTo(const std::string& path) const {
    const std::string absolute = absoluteOf(path);
    if (!meshPath_.empty() && absolute == meshPath_) {
        messages_.showError("Cannot save " + path +
                            ": it is the mesh this scene shows; save the scene as a .kel file");
        return false;
    }
    if (meshFormatOfName(absolute)) {
        messages_.showError("Cannot save " + path +
                            ": a scene saved under a mesh extension (.obj, .off, .ply, .stl) "
                            "would open as a mesh; save it as a .kel file");
        return false;
    }
    return true;
}

bool CKelDoc::onSaveDocument(const std::string& path) {
    if (scene_ == nullptr || builder_ == nullptr) {
        messages_.showError(messageText(MessageId::NoSceneFile));
        return false;
    }
    if (!canSaveTo(path)) {
        return false;
    }
    // Names are checked before anything is written, so a refused save loses nothing.
    const std::string sceneFolder = folderOf(absoluteOf(path));
    for (std::size_t i = 0; i < scene_->objectCount(); ++i) {
        const std::string name =
            storedObjectName(scene_->object(i)->name(), sourceFolder_, sceneFolder);
        if (!canStoreName(name)) {
            messages_.showError("Cannot save " + path + ": the object file name \"" + name +
                                "\" contains white space, which a scene file cannot hold; "
                                "rename the file");
            return false;
        }
    }
    WriteVisitor writer(messages_, 0);
    writer.setObjectNamer([this, sceneFolder](const SceneObject& object) {
        return storedObjectName(object.name(), sourceFolder_, sceneFolder);
    });
    if (writer.open(path)) {
        builder_->writeScene(writer);
    }
    if (writer.failed()) {
        messages_.showError("Could not save " + writer.failedFile() + ": " +
                            writer.failureReason());
        return false;
    }
    return true;
}

bool CKelDoc::onCloseDocument() {
    if (!isModified() ||
        !messages_.askYesNo(formatMessage(messageText(MessageId::SaveChanges), title()))) {
        return true;
    }
    if (!needsSceneFileName()) {
        // A save that was asked for and failed keeps the document open, edits and all.
        return onSaveDocument(pathName());
    }
    // Scene text never goes over the mesh: it needs a name of its own.
    const std::optional<std::string> chosen =
        chooser_ ? chooser_(suggestedSceneFileName()) : std::nullopt;
    if (!chosen || !onSaveDocument(*chosen)) {
        return false;
    }
    setPathName(absoluteOf(*chosen));
    return true;
}

void CKelDoc::recordEdit(const std::string& name, const SceneSettings& before) {
    if (journal_ != nullptr) {
        journal_->record(name, before);
    }
}

void CKelDoc::setModified(bool modified) {
    modified_ = modified;
    if (scene_ != nullptr) {
        scene_->setResetVisibility(modified);
    }
}

}  // namespace kel
