#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "files/edit_journal.h"
#include "model/camera_moves.h"
#include "platform/document.h"

namespace kel {

class DefaultSceneBuilder;
class ReadVisitor;
class Scene;
class UserMessages;

// The document of one scene file: it opens the scene (making the file's folder the
// current directory so object files are found beside it), saves it, keeps its own
// modified flag and asks whether to save when closed.
class CKelDoc : public Document {
public:
    explicit CKelDoc(UserMessages& messages);
    ~CKelDoc() override;

    // A new document holds no scene.
    bool onNewDocument() override;
    // False, with one message shown, when the file cannot be read or is malformed; the
    // document then keeps what it held before. Missing or malformed object files are
    // reported and left out, and the open still succeeds. A mesh file (.obj, .off, .ply,
    // .stl, or a Kel object file) opens as a scene of its own that shows the mesh whole.
    bool onOpenDocument(const std::string& path) override;
    // False, with a message shown, when there is no scene, a file cannot be written, the
    // path is the mesh the document shows or names a mesh format, or an object's name
    // cannot be stored (white space). Object names are written relative to the folder of
    // path. The modified flag does not change.
    bool onSaveDocument(const std::string& path) override;
    // When modified, asks "TITLE has been changed, save it?"; Yes saves to pathName(), or,
    // for an opened mesh, to the scene file name the chooser gives (no name: stays open).
    bool onCloseDocument() override;

    // An opened mesh that has not been saved as a scene: saving must ask for a name.
    bool needsSceneFileName() const { return !meshPath_.empty() && pathName() == meshPath_; }
    // NAME.kel beside the mesh NAME.EXT, or the path itself for a scene.
    std::string suggestedSceneFileName() const;
    // Asks for a scene file name to save under, starting at the suggestion.
    using SceneFileChooser =
        std::function<std::optional<std::string>(const std::string& suggested)>;
    void setSceneFileChooser(SceneFileChooser chooser) { chooser_ = std::move(chooser); }

    std::pair<int, int> documentSize() const { return {kWidth, kHeight}; }
    Scene* scene() const { return scene_.get(); }
    bool isModified() const { return modified_; }
    // Also makes the next render show every polygon again.
    void setModified(bool modified);
    UserMessages& messages() const { return messages_; }

    // The camera as the scene file gave it at the last successful open: what Reset View
    // returns to. Nothing for a document without a scene or camera.
    const std::optional<CameraPose>& openedCamera() const { return openedCamera_; }

    // Edits are recorded in the journal, if one is set; the document owns it, so no
    // recorded step outlives the scene it refers to.
    void setJournal(std::unique_ptr<EditJournal> journal) { journal_ = std::move(journal); }
    EditJournal* journal() const { return journal_.get(); }
    // For editors: records one step (see EditJournal); nothing without a journal.
    void recordEdit(const std::string& name, const SceneSettings& before);

private:
    void startHistory();
    static constexpr int kWidth = 2000;
    static constexpr int kHeight = 2000;

    bool openMesh(const std::string& path, const std::string& absolute);
    bool canSaveTo(const std::string& path) const;

    UserMessages& messages_;
    // The reader refers to the builder, and the builder to the scene: released in that
    // order (members are destroyed bottom up).
    std::unique_ptr<Scene> scene_;
    std::unique_ptr<DefaultSceneBuilder> builder_;
    std::unique_ptr<ReadVisitor> reader_;
    bool modified_ = false;
    // The folder object names were resolved against when the scene was read.
    std::string sourceFolder_;
    // The mesh an opened mesh document shows; empty for a scene.
    std::string meshPath_;
    SceneFileChooser chooser_;
    std::optional<CameraPose> openedCamera_;
    // Declared last so that it goes first: its steps refer to this document.
    std::unique_ptr<EditJournal> journal_;
};

}  // namespace kel
