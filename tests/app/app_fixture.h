#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/file_chooser.h"
#include "app/kel_app.h"
#include "platform/color_chooser.h"
#include "platform/user_messages.h"

namespace kel::test {

// Records every box; questions take their answers from a queue, then the default.
class FakeMessages : public UserMessages {
  public:
    void showError(const std::string& text) override { errors.push_back(text); }
    bool askYesNo(const std::string& text) override {
        questions.push_back(text);
        if (answers.empty()) {
            return defaultAnswer;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<std::string> errors;
    std::vector<std::string> questions;
    std::deque<bool> answers;
    bool defaultAnswer = false;
};

// File dialogs that return what the test put there.
class FakeFiles : public FileChooser {
  public:
    std::optional<std::string> chooseFileToOpen(QWidget* /*parent*/) override {
        ++openCalls;
        return openAnswer;
    }
    std::optional<std::string> chooseFileToSave(QWidget* /*parent*/,
                                                const std::string& suggested) override {
        suggestions.push_back(suggested);
        return saveAnswer;
    }

    std::optional<std::string> openAnswer;
    std::optional<std::string> saveAnswer;
    int openCalls = 0;
    std::vector<std::string> suggestions;
};

class NoColors : public ColorChooser {
  public:
    bool chooseColor(std::uint8_t&, std::uint8_t&, std::uint8_t&) override { return false; }
};

// A started viewer with its profile in a temporary folder, and a scratch folder holding
// copies of the example scenes (saving writes beside the scene, so never into the
// repository).
class AppTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the application object anew over the same profile, as a second run would.
    void startApp();
    void stopApp();
    CKelApp& app() { return *app_; }
    CMainFrame& mainFrame() { return app_->mainFrame(); }

    // Path of a copy of examples/name in the scratch folder (object files come along).
    std::string example(const std::string& name) const;
    // Path in the scratch folder.
    std::string scratch(const std::string& name) const;

    // What a user sees of the menu bar.
    QStringList menuTitles();
    QMenu& menu(const QString& title);
    // Opens the menu's state as showing it would: enabled and checked marks refreshed.
    QMenu& openMenu(const QString& title);
    QAction& item(const QString& menuTitle, const QString& text);
    // Item texts of a menu in order, "-" for a separator; hidden items left out.
    QStringList itemTexts(const QString& menuTitle);
    // Opens the menu and chooses the item; fails the test if it is disabled.
    void choose(const QString& menuTitle, const QString& text);

    // Lets queued paints and deferred deletions run.
    static void settle();

    FakeMessages messages_;
    FakeFiles files_;
    NoColors colors_;

  private:
    QTemporaryDir profileDir_;
    QTemporaryDir scratchDir_;
    std::filesystem::path savedCurrentPath_;
    std::unique_ptr<CKelApp> app_;
};

}  // namespace kel::test
