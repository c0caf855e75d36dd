#include "app/dialogs/property_sheet.h"

#include <QHBoxLayout>
#include <QPushButton>
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
        shownIndex_ = tabs_->currentIndex();
        currentPage()->activate();
    }
    QDialog::showEvent(event);
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
    page(index)->activate();
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
