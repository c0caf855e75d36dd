#include "app/undo_journal.h"

#include <QUndoCommand>
#include <memory>

#include "files/kel_doc.h"
#include "model/scene.h"

namespace kel {

namespace {

// Turns of the wheel come as many small dollies: consecutive ones make one step.
constexpr int kDollyId = 1;

class SceneEditCommand : public QUndoCommand {
public:
    SceneEditCommand(CKelDoc& document, const std::string& name, SceneSettings before,
                     SceneSettings after)
        : QUndoCommand(QString::fromStdString(name)),
          document_(document),
          before_(std::move(before)),
          after_(std::move(after)),
          id_(name == "Dolly" ? kDollyId : -1) {}

    void undo() override { put(before_); }
    void redo() override {
        // The edit has already happened when the step is pushed.
        if (pushed_) {
            put(after_);
        }
        pushed_ = true;
    }
    int id() const override { return id_; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const SceneEditCommand*>(other);
        after_ = next->after_;
        return true;
    }

private:
    void put(const SceneSettings& settings) {
        Scene* scene = document_.scene();
        if (scene == nullptr || !restoreSettings(*scene, settings)) {
            return;
        }
        document_.updateAllViews(nullptr, 0);
        document_.setModified(true);
    }

    CKelDoc& document_;
    SceneSettings before_;
    SceneSettings after_;
    int id_;
    bool pushed_ = false;
};

}  // namespace

void UndoJournal::record(const std::string& name, const SceneSettings& before) {
    const Scene* scene = document_.scene();
    if (scene == nullptr) {
        return;
    }
    stack_.push(new SceneEditCommand(document_, name, before, captureSettings(*scene)));
}

QUndoStack& undoStackOf(CKelDoc& document) {
    auto* journal = dynamic_cast<UndoJournal*>(document.journal());
    if (journal == nullptr) {
        auto made = std::make_unique<UndoJournal>(document);
        journal = made.get();
        document.setJournal(std::move(made));
    }
    return journal->stack();
}

}  // namespace kel
