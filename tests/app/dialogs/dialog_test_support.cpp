#include "app/dialogs/dialog_test_support.h"

#include <QApplication>
#include <QPointer>

#include "app/qt_test_environment.h"

namespace kel::test {
QLineEdit* editNamed(const QWidget& root, const char* name) {
    auto* edit = root.findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(edit, nullptr) << "no edit named " << name;
    return edit;
}

void typeInto(const QWidget& root, const char* name, const QString& text) {
    QLineEdit* edit = editNamed(root, name);
    edit->selectAll();
    edit->insert(text);
}

ModalDriver::ModalDriver(std::function<void(QWidget&)> driver) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this, driver = std::move(driver)] {
        const QPointer<QWidget> modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr) << "no modal dialog came up";
        ran_ = true;
        driver(*modal);
        if (modal != nullptr && modal->isVisible()) {
            ADD_FAILURE() << "a modal dialog was left open";
            modal->close();
        }
    });
    timer_.start(0);
}

}  // namespace kel::test
