#include "app/dialogs/property_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kel {

PropertyPage::PropertyPage(const QString& tabTitle, QWidget* parent)
    : QWidget(parent), tabTitle_(tabTitle) {
    new QVBoxLayout(this);
}

void PropertyPage::activate() {
    if (!shown_) {
        shown_ = true;
        loadControls();
    }
}

std::vector<QWidget*> PropertyPage::keyboardChain() {
    return grid_ != nullptr ? arrangeKeyboard(*grid_) : std::vector<QWidget*>{};
}

bool PropertyPage::focusFirstField() {
    for (QWidget* const widget : keyboardChain()) {
        if (auto* const edit = qobject_cast<QLineEdit*>(widget)) {
            focusField(*edit);
            return true;
        }
    }
    return false;
}

QGridLayout& PropertyPage::grid() {
    if (grid_ == nullptr) {
        auto* group = new QGroupBox(QStringLiteral("Properties"), this);
        grid_ = new QGridLayout(group);
        // Pages share the sheet's width; the spare room goes right of the edits.
        constexpr int kColumnAfterEdits = 4;
        grid_->setColumnStretch(kColumnAfterEdits, 1);
        auto* pageLayout = static_cast<QVBoxLayout*>(layout());
        pageLayout->addWidget(group);
        pageLayout->addStretch();
    }
    return *grid_;
}

}  // namespace kel
