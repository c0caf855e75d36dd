#pragma once

#include <optional>
#include <string>

class QWidget;

namespace kel {

// The file dialogs of File > Open and File > Save As, behind an interface a test replaces.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The scene or mesh file to open, or nothing when the user cancels.
    virtual std::optional<std::string> chooseFileToOpen(QWidget* parent) = 0;
    // The name to save under, starting at `suggested`, or nothing when the user cancels.
    virtual std::optional<std::string> chooseFileToSave(QWidget* parent,
                                                        const std::string& suggested) = 0;
    // The PNG file File > Export Image writes, starting at `suggested`, or nothing.
    virtual std::optional<std::string> chooseImageToSave(QWidget* parent,
                                                         const std::string& suggested) = 0;
};

// The filter of the save dialog: scenes are saved as scene files only.
inline constexpr const char* kKelFileFilter = "Kel Files (*.kel)";
// The filters of the open dialog: scenes and meshes together first, then each format.
inline constexpr const char* kOpenFileFilter =
    "Scenes and meshes (*.kel *.obj *.off *.ply *.stl);;"
    "Kel Files (*.kel);;"
    "Wavefront OBJ (*.obj);;"
    "Object File Format (*.off);;"
    "Polygon File Format (*.ply);;"
    "STL (*.stl);;"
    "All files (*)";

// The filter of the export dialog.
inline constexpr const char* kPngFileFilter = "PNG Images (*.png)";

// Qt's file dialogs: open offers scenes and meshes, save scene files, export PNG images.
class QtFileChooser : public FileChooser {
public:
    std::optional<std::string> chooseFileToOpen(QWidget* parent) override;
    std::optional<std::string> chooseFileToSave(QWidget* parent,
                                                const std::string& suggested) override;
    std::optional<std::string> chooseImageToSave(QWidget* parent,
                                                 const std::string& suggested) override;
};

}  // namespace kel
