#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/color_chooser.h"
#include "platform/user_messages.h"

namespace kel::test {

// Records every box instead of showing it.
class RecordingMessages : public UserMessages {
  public:
    void showError(const std::string& text) override { errors.push_back(text); }
    bool askYesNo(const std::string&) override { return false; }

    std::vector<std::string> errors;
};

// Records the colour it is opened with; answers with a fixed colour, or cancels.
class ScriptedColorChooser : public ColorChooser {
  public:
    bool chooseColor(std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) override {
        offered.push_back({red, green, blue});
        if (confirm) {
            red = answer[0];
            green = answer[1];
            blue = answer[2];
        }
        return confirm;
    }

    bool confirm = true;
    std::array<std::uint8_t, 3> answer{0, 0, 0};
    std::vector<std::array<std::uint8_t, 3>> offered;
};

// The edit with the given object name inside root; fails the test when there is none.
QLineEdit* editNamed(const QWidget& root, const char* name);
// Replaces an edit's text as a user would.
void typeInto(QLineEdit* edit, const QString& text);
void typeInto(const QWidget& root, const char* name, const QString& text);
// Clicks a tab on the tab bar of a widget on show.
void clickTab(QTabWidget& tabs, int index);

// While this object lives, driver runs once on the first modal dialog that comes on
// show (the one opened by exec() in the code under test). A dialog still open some
// seconds later is closed and the test fails, so a broken driver cannot hang the run.
class ModalDriver {
  public:
    explicit ModalDriver(std::function<void(QWidget&)> driver);
    bool ran() const { return ran_; }

  private:
    std::function<void(QWidget&)> driver_;
    std::unique_ptr<QTimer> pollTimer_ = std::make_unique<QTimer>();
    std::unique_ptr<QTimer> watchdog_ = std::make_unique<QTimer>();
    QPointer<QWidget> dialog_;
    bool ran_ = false;
};

}  // namespace kel::test
