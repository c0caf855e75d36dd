#include "app/dialogs/property_sheet.h"

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

void PropertySheet::keyPressEvent(QKeyEvent* event) {
    // Ctrl+Tab and Ctrl+PgDn go to the next page, with Shift or PgUp to the previous one,
    // wherever the focus is; leaving a page still checks its fields.
    const int count = pageCount();
    const bool control = (event->modifiers() & Qt::ControlModifier) != 0;
    int step = 0;
    if (control && (event->key() == Qt::Key_Tab || event->key() == Qt::Key_PageDown)) {
        step = 1;
    } else if (control && (event->key() == Qt::Key_Backtab || event->key() == Qt::Key_PageUp)) {
        step = -1;
    }
    if (step != 0 && count > 0) {
        tabs_->setCurrentIndex((tabs_->currentIndex() + step + count) % count);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
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
