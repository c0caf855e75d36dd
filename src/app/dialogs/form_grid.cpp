#include "app/dialogs/form_grid.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "model/vector.h"

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

std::array<AxisEdits, 3> addAxisRows(QGridLayout& grid, const std::array<AxisRow, 3>& rows) {
    const std::array<QString, 3> axes = {QStringLiteral("X"), QStringLiteral("Y"),
                                         QStringLiteral("Z")};
    for (int column = 0; column < 3; ++column) {
        addHeading(grid, axes[column], 0, column + 1);
    }
    std::array<AxisEdits, 3> edits{};
    for (int row = 0; row < 3; ++row) {
        addRowLabel(grid, rows[row].label, row + 1);
        for (int column = 0; column < 3; ++column) {
            edits[row][column] =
                addNumberEdit(grid, rows[row].name + axes[column], row + 1, column + 1);
        }
    }
    return edits;
}

std::vector<QWidget*> arrangeKeyboard(QGridLayout& grid) {
    std::vector<QWidget*> chain;
    for (int row = 0; row < grid.rowCount(); ++row) {
        QLabel* label = nullptr;
        bool buddyFound = false;
        for (int column = 0; column < grid.columnCount(); ++column) {
            const QLayoutItem* const item = grid.itemAtPosition(row, column);
            QWidget* const widget = item != nullptr ? item->widget() : nullptr;
            if (widget == nullptr) {
                continue;
            }
            if (auto* const asLabel = qobject_cast<QLabel*>(widget)) {
                label = label != nullptr ? label : asLabel;
                continue;
            }
            if (widget->focusPolicy() & Qt::TabFocus) {
                chain.push_back(widget);
            }
            if (!buddyFound && label != nullptr && qobject_cast<QLineEdit*>(widget) != nullptr &&
                label->text().contains(QLatin1Char('&'))) {
                label->setBuddy(widget);
                buddyFound = true;
            }
        }
    }
    return chain;
}

void chainTabOrder(const std::vector<QWidget*>& chain) {
    for (std::size_t i = 1; i < chain.size(); ++i) {
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    }
}

void focusField(QLineEdit& edit) {
    edit.setFocus(Qt::TabFocusReason);
    edit.selectAll();
}

void copyAxes(const Vector& source, double (&target)[3]) {
    target[0] = source.x();
    target[1] = source.y();
    target[2] = source.z();
}

}  // namespace kel
