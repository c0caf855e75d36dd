#pragma once

#include <QUndoStack>

#include "files/edit_journal.h"

namespace kel {

class CKelDoc;

// A document's edits on a QUndoStack: each step holds the scene settings before and after
// it. Undo and redo put one of them back and then do what every edit does: update all
// views and mark the document modified (which makes the next render show every polygon
// again, so polygons culled under one camera are never left hidden under another).
class UndoJournal : public EditJournal {
public:
    explicit UndoJournal(CKelDoc& document) : document_(document) {}

    void record(const std::string& name, const SceneSettings& before) override;
    void clear() override { stack_.clear(); }

    QUndoStack& stack() { return stack_; }

private:
    CKelDoc& document_;
    QUndoStack stack_;
};

// Gives the document a journal if it has none yet, and returns its stack.
QUndoStack& undoStackOf(CKelDoc& document);

}  // namespace kel
