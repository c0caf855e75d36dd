#include "files/kel_doc.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "files/read_visitor.h"
#include "files/scene_builder.h"
#include "files/write_visitor.h"
#include "model/camera.h"
#include "model/scene.h"
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
    std::error_code ec;
    std::string absolute = std::filesystem::absolute(path, ec).lexically_normal().string();
    if (ec || absolute.empty()) {
        absolute = path;
    }
    FolderChange folder(absolute);

    auto reader = std::make_unique<ReadVisitor>(messages_);
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
    openedCamera_.reset();
    if (scene_->camera() != nullptr) {
        openedCamera_ = poseOf(*scene_->camera());
    }
    if (journal_ != nullptr) {
        journal_->clear();
    }
    return true;
}

bool CKelDoc::onSaveDocument(const std::string& path) {
    if (scene_ == nullptr || builder_ == nullptr) {
        messages_.showError(messageText(MessageId::NoSceneFile));
        return false;
    }
    WriteVisitor writer(messages_, 0);
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
    // A save that was asked for and failed keeps the document open, edits and all.
    return !isModified() ||
           !messages_.askYesNo(formatMessage(messageText(MessageId::SaveChanges), title())) ||
           onSaveDocument(pathName());
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
