#pragma once

#include <string>

#include "model/scene_settings.h"

namespace kel {

// Where a document's edits are recorded so that they can be taken back. An editor calls
// record after it changed the scene, updated the views and marked the document, with the
// name of the step ("Camera", "Orbit") and the settings as they were before.
class EditJournal {
public:
    virtual ~EditJournal() = default;
    virtual void record(const std::string& name, const SceneSettings& before) = 0;
    // The scene was replaced (a reload): earlier steps no longer apply.
    virtual void clear() = 0;
};

}  // namespace kel
