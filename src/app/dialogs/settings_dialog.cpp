#include "app/dialogs/settings_dialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kel {

SettingsDialog::SettingsDialog(const QString& title, UserMessages& messages, QWidget* parent)
    : QDialog(parent), messages_(messages) {
    setWindowTitle(title);

    auto* group = new QGroupBox(QStringLiteral("Properties"), this);
    grid_ = new QGridLayout(group);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    connect(okButton_, &QPushButton::clicked, this, &SettingsDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &SettingsDialog::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
}

bool SettingsDialog::exchange() {
    if (!initialised_) {
        loadFromModel();
        fields_.toControls();
        initialised_ = true;
        return true;
    }
    if (const auto error = fields_.fromControls()) {
        reportFieldError(*error, messages_);
        return false;
    }
    applyToModel();
    return true;
}

void SettingsDialog::accept() {
    if (exchange()) {
        QDialog::accept();
    }
}

void SettingsDialog::showEvent(QShowEvent* event) {
    // Installed last, so it sees keys before filters installed earlier.
    qApp->installEventFilter(this);
    if (!initialised_) {
        exchange();
        arrangeFocus();
    }
    QDialog::showEvent(event);
}

void SettingsDialog::hideEvent(QHideEvent* event) {
    qApp->removeEventFilter(this);
    QDialog::hideEvent(event);
}

bool SettingsDialog::eventFilter(QObject* watched, QEvent* event) {
    // A document area takes Ctrl+Tab application-wide to switch its windows; behind a
    // modal dialog nothing may switch.
    if (event->type() == QEvent::KeyPress) {
        auto* const widget = qobject_cast<QWidget*>(watched);
        const auto* const key = static_cast<QKeyEvent*>(event);
        if (widget != nullptr && (widget == this || isAncestorOf(widget)) &&
            (key->modifiers() & Qt::ControlModifier) != 0 &&
            (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void SettingsDialog::arrangeFocus() {
    std::vector<QWidget*> chain = arrangeKeyboard(*grid_);
    chain.push_back(okButton_);
    chain.push_back(cancelButton_);
    chainTabOrder(chain);
    // Enter presses OK from any field; only a button that has the focus takes it over.
    if (auto* const first = qobject_cast<QLineEdit*>(chain.front())) {
        focusField(*first);
    }
}

}  // namespace kel
