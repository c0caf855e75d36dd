#include "app/dialogs/property_sheet.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/dialogs/property_page.h"

namespace kel {

PropertySheet::PropertySheet(const QString& caption, UserMessages& messages, QWidget* parent)
    : QDialog(parent), messages_(messages) {
    setWindowTitle(caption);

    tabs_ = new QTabWidget(this);
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    connect(okButton_, &QPushButton::clicked, this, &PropertySheet::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &PropertySheet::reject);
    connect(tabs_, &QTabWidget::currentChanged, this, &PropertySheet::onCurrentChanged);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);
}

void PropertySheet::addPage(PropertyPage* page) {
    tabs_->addTab(page, page->tabTitle());
}

int PropertySheet::pageCount() const {
    return tabs_->count();
}

PropertyPage* PropertySheet::page(int index) const {
    return static_cast<PropertyPage*>(tabs_->widget(index));
}

PropertyPage* PropertySheet::currentPage() const {
    return static_cast<PropertyPage*>(tabs_->currentWidget());
}

void PropertySheet::accept() {
    if (storeCurrentPage()) {
        QDialog::accept();
    }
}

void PropertySheet::showEvent(QShowEvent* event) {
    // Installed last, so it sees keys before filters installed earlier.
    qApp->installEventFilter(this);
    if (shownIndex_ < 0 && tabs_->currentIndex() >= 0) {
        arrangeTabOrder();
        shownIndex_ = tabs_->currentIndex();
        showPage(*currentPage());
    }
    QDialog::showEvent(event);
}

void PropertySheet::arrangeTabOrder() {
    // Hidden pages drop out of the chain by themselves, so one chain serves every tab.
    std::vector<QWidget*> chain{tabs_->tabBar()};
    for (int i = 0; i < pageCount(); ++i) {
        const std::vector<QWidget*> fields = page(i)->keyboardChain();
        chain.insert(chain.end(), fields.begin(), fields.end());
    }
    chain.push_back(okButton_);
    chain.push_back(cancelButton_);
    chainTabOrder(chain);
}

void PropertySheet::showPage(PropertyPage& shown) {
    shown.activate();
    if (!shown.focusFirstField()) {
        tabs_->tabBar()->setFocus(Qt::TabFocusReason);
    }
}

int PropertySheet::pageStep(const QKeyEvent& event) {
    // Ctrl+Tab and Ctrl+PgDn go to the next page, Ctrl+Shift+Tab and Ctrl+PgUp back.
    if ((event.modifiers() & Qt::ControlModifier) == 0) {
        return 0;
    }
    switch (event.key()) {
        case Qt::Key_Tab:
            return (event.modifiers() & Qt::ShiftModifier) != 0 ? -1 : 1;
        case Qt::Key_PageDown:
            return 1;
        case Qt::Key_Backtab:
        case Qt::Key_PageUp:
            return -1;
        default:
            return 0;
    }
}

void PropertySheet::stepPage(int step) {
    const int count = pageCount();
    if (count > 0) {
        // Leaving a page still checks its fields.
        tabs_->setCurrentIndex((tabs_->currentIndex() + step % count + count) % count);
    }
}

void PropertySheet::keyPressEvent(QKeyEvent* event) {
    if (const int step = pageStep(*event)) {
        stepPage(step);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool PropertySheet::eventFilter(QObject* watched, QEvent* event) {
    // A document area takes Ctrl+Tab application-wide to switch its windows; in the sheet
    // it switches pages, wherever the focus is.
    if (event->type() == QEvent::KeyPress) {
        auto* const widget = qobject_cast<QWidget*>(watched);
        const auto* const key = static_cast<QKeyEvent*>(event);
        const bool tabKey = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (widget != nullptr && (widget == this || isAncestorOf(widget)) && tabKey) {
            if (const int step = pageStep(*key)) {
                stepPage(step);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PropertySheet::hideEvent(QHideEvent* event) {
    qApp->removeEventFilter(this);
    QDialog::hideEvent(event);
}

void PropertySheet::onCurrentChanged(int index) {
    // A tab picked before the sheet opens is simply where it opens.
    if (revertingTab_ || shownIndex_ < 0) {
        return;
    }
    if (auto error = page(shownIndex_)->storeControls()) {
        // The tab widget has already switched; go back before anything is painted, then
        // complain, so the refused field is on show when it gets the focus.
        revertingTab_ = true;
        tabs_->setCurrentIndex(shownIndex_);
        revertingTab_ = false;
        reportFieldError(*error, messages_);
        return;
    }
    shownIndex_ = index;
    showPage(*page(index));
}

bool PropertySheet::storeCurrentPage() {
    if (shownIndex_ < 0) {
        return true;
    }
    if (auto error = page(shownIndex_)->storeControls()) {
        reportFieldError(*error, messages_);
        return false;
    }
    return true;
}

}  // namespace kel
