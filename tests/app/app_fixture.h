#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMenu>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs/dialog_test_support.h"
#include "app/fake_messages.h"
#include "app/file_chooser.h"
#include "app/kel_app.h"
#include "app/kel_data_frame.h"
#include "app/kel_view.h"
#include "app/main_frame.h"
#include "app/undo_journal.h"
#include "files/kel_doc.h"
#include "model/camera.h"
#include "model/camera_moves.h"
#include "model/scene.h"
#include "render/pixel_probe.h"
#include "render/render_mode.h"

namespace kel::test {

class FakeFiles : public FileChooser {
public:
    std::optional<std::string> chooseFileToOpen(QWidget*) override { return openAnswer; }
    std::optional<std::string> chooseFileToSave(QWidget*, const std::string& suggested) override {
        saveSuggestions.push_back(suggested);
        return saveAnswer;
    }
    std::optional<std::string> chooseImageToSave(QWidget*, const std::string& suggested) override {
        imageSuggestions.push_back(suggested);
        return imageAnswer;
    }
    std::optional<std::string> openAnswer;
    std::optional<std::string> saveAnswer;
    std::vector<std::string> saveSuggestions;
    std::optional<std::string> imageAnswer;
    std::vector<std::string> imageSuggestions;
};

// A started viewer with its profile in a temporary folder and copies of the example
// scenes in a scratch folder (saving writes beside the scene, never into the repository).
class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the application object anew over the same profile, as a second run would.
    void startApp();
    CKelApp& app() { return *app_; }
    CMainFrame& mainFrame() { return app_->mainFrame(); }
    KelDataFrame& open(const std::string& name);
    // Path in the scratch folder (example scenes and their object files are there).
    std::string scratch(const std::string& name) const;
    std::string readScratch(const std::string& name) const;

    // The menu as showing it would leave it: enabled and checked marks refreshed.
    QMenu& openMenu(const QString& title);
    QAction& item(const QString& menuTitle, const QString& text);
    // Visible item texts in order, "-" for a separator; with onlyEnabled, enabled ones.
    QStringList itemTexts(const QString& menuTitle, bool onlyEnabled = false);
    // Chooses the item; fails the test if it is disabled.
    void choose(const QString& menuTitle, const QString& text);
    // Lets queued paints and deferred deletions run.
    static void settle();

    static inline const QString kPhong = QStringLiteral("&Phong\tCtl+P");
    static inline const QString kGouraud = QStringLiteral("&Gouraud\tCtl+G");
    static inline const QString kWireframe = QStringLiteral("&Wireframe\tCtl+W");

    FakeMessages messages_;
    FakeFiles files_;
    ScriptedColorChooser colors_;

private:
    QTemporaryDir profileDir_;
    QTemporaryDir scratchDir_;
    std::string savedCurrentPath_;
    std::unique_ptr<CKelApp> app_;
};

}  // namespace kel::test
