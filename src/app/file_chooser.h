#pragma once

#include <optional>
#include <string>

class QWidget;

namespace kel {

// The file dialogs of File > Open and File > Save As, behind an interface a test replaces.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The scene file to open, or nothing when the user cancels.
    virtual std::optional<std::string> chooseFileToOpen(QWidget* parent) = 0;
    // The name to save under, starting at `suggested`, or nothing when the user cancels.
    virtual std::optional<std::string> chooseFileToSave(QWidget* parent,
                                                        const std::string& suggested) = 0;
    // The PNG file File > Export Image writes, starting at `suggested`, or nothing.
    virtual std::optional<std::string> chooseImageToSave(QWidget* parent,
                                                         const std::string& suggested) = 0;
};

// The filter both dialogs show.
inline constexpr const char* kKelFileFilter = "Kel Files (*.kel)";

// The filter of the export dialog.
inline constexpr const char* kPngFileFilter = "PNG Images (*.png)";

// Qt's file dialogs, filtered to scene files (and PNG images for the export).
class QtFileChooser : public FileChooser {
public:
    std::optional<std::string> chooseFileToOpen(QWidget* parent) override;
    std::optional<std::string> chooseFileToSave(QWidget* parent,
                                                const std::string& suggested) override;
    std::optional<std::string> chooseImageToSave(QWidget* parent,
                                                 const std::string& suggested) override;
};

}  // namespace kel
