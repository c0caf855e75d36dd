#pragma once

#include "app/kel_data_frame.h"

namespace kel {

class ColorChooser;
class UserMessages;

// The left pane of every document window: the scene tree, whose double-clicks open the
// settings dialogs, the colour chooser and the object property sheet. The boxes and the
// chooser must outlive the windows.
KelDataFrame::TreePaneFactory makeTreePaneFactory(UserMessages& messages, ColorChooser& colors);

}  // namespace kel
