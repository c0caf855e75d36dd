#pragma once

#include <memory>
#include <string>
#include <utility>

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
    // reported and left out, and the open still succeeds.
    bool onOpenDocument(const std::string& path) override;
    // False, with a message shown, when there is no scene or a file cannot be written.
    // The modified flag does not change.
    bool onSaveDocument(const std::string& path) override;
    // When modified, asks "TITLE has been changed, save it?"; Yes saves to pathName().
    bool onCloseDocument() override;

    std::pair<int, int> documentSize() const { return {kWidth, kHeight}; }
    Scene* scene() const { return scene_.get(); }
    bool isModified() const { return modified_; }
    // Also makes the next render show every polygon again.
    void setModified(bool modified);
    UserMessages& messages() const { return messages_; }

private:
    static constexpr int kWidth = 2000;
    static constexpr int kHeight = 2000;

    UserMessages& messages_;
    // The reader refers to the builder, and the builder to the scene: released in that
    // order (members are destroyed bottom up).
    std::unique_ptr<Scene> scene_;
    std::unique_ptr<DefaultSceneBuilder> builder_;
    std::unique_ptr<ReadVisitor> reader_;
    bool modified_ = false;
};

}  // namespace kel
