#pragma once

#include <QString>
#include <array>

class QGridLayout;
class QLineEdit;

namespace kel {

class Vector;

// The grid of labels and number edits inside a dialog's or page's "Properties" box:
// row labels in column 0, column headings centred above the edits.
void addRowLabel(QGridLayout& grid, const QString& text, int row);
void addHeading(QGridLayout& grid, const QString& text, int row, int column);
// An edit wide enough for a fifteen-digit real, named so that it can be found.
QLineEdit* addNumberEdit(QGridLayout& grid, const QString& name, int row, int column);

// Headings "X", "Y", "Z" in row 0 above three rows of three edits. Row i + 1 is labelled
// rows[i].label and its edits are named rows[i].name + "X", "Y", "Z".
struct AxisRow {
    QString label;
    QString name;
};
using AxisEdits = std::array<QLineEdit*, 3>;
std::array<AxisEdits, 3> addAxisRows(QGridLayout& grid, const std::array<AxisRow, 3>& rows);

// The three components of a 3-element vector, as the edits' values.
void copyAxes(const Vector& source, double (&target)[3]);

}  // namespace kel
