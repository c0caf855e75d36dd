#include "app/dialogs/form_grid.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace kel {

namespace {

// Room for a negative fifteen-digit real such as -0.577350269189626.
int numberEditWidth(const QLineEdit& edit) {
    constexpr int kFrameAndMargins = 14;
    return edit.fontMetrics().horizontalAdvance(QStringLiteral("-0.000000000000000")) +
           kFrameAndMargins;
}

}  // namespace

void addRowLabel(QGridLayout& grid, const QString& text, int row) {
    grid.addWidget(new QLabel(text), row, 0);
}

void addHeading(QGridLayout& grid, const QString& text, int row, int column) {
    grid.addWidget(new QLabel(text), row, column, Qt::AlignHCenter | Qt::AlignBottom);
}

QLineEdit* addNumberEdit(QGridLayout& grid, const QString& name, int row, int column) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setFixedWidth(numberEditWidth(*edit));
    grid.addWidget(edit, row, column);
    return edit;
}

}  // namespace kel
