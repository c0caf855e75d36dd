#include "app/qt_user_messages.h"

#include <QMessageBox>
#include <QString>

namespace kel {

namespace {
const QString kCaption = QStringLiteral("Kel");
}

void QtUserMessages::showError(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, kCaption, QString::fromStdString(text), QMessageBox::Ok,
                    parent_);
    box.exec();
}

bool QtUserMessages::askYesNo(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, kCaption, QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace kel
