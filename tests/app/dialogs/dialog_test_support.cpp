#include "app/dialogs/dialog_test_support.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTabBar>

namespace kel::test {

namespace {

// One QApplication for the whole run, on the offscreen platform unless told otherwise.
class QtApplicationEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[13] = "test_dialogs";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace

QLineEdit* editNamed(const QWidget& root, const char* name) {
    auto* edit = root.findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(edit, nullptr) << "no edit named " << name;
    return edit;
}

void typeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    edit->insert(text);
}

void typeInto(const QWidget& root, const char* name, const QString& text) {
    typeInto(editNamed(root, name), text);
}

void clickTab(QTabWidget& tabs, int index) {
    QTabBar* const bar = tabs.tabBar();
    const QPointF at = bar->tabRect(index).center();
    const QPointF global = bar->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(bar, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(bar, &release);
}

ModalDriver::ModalDriver(std::function<void(QWidget&)> driver) : driver_(std::move(driver)) {
    QObject::connect(pollTimer_.get(), &QTimer::timeout, [this] {
        QWidget* const modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) {
            return;
        }
        pollTimer_->stop();
        ran_ = true;
        dialog_ = modal;
        watchdog_->start();
        driver_(*modal);
    });
    QObject::connect(watchdog_.get(), &QTimer::timeout, [this] {
        if (dialog_ != nullptr && dialog_->isVisible()) {
            ADD_FAILURE() << "a modal dialog was left open";
            dialog_->close();
        }
    });
    watchdog_->setSingleShot(true);
    watchdog_->setInterval(5000);
    pollTimer_->start(10);
}

}  // namespace kel::test
