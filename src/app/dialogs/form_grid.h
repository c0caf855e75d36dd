#pragma once

#include <QString>
#include <array>
#include <vector>

class QGridLayout;
class QLineEdit;
class QWidget;

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

// The grid's focusable widgets in reading order, row by row and left to right, which is the
// order Tab should visit them in. On the way, each row label with a mnemonic is made the
// buddy of the first edit in its row, so Alt and the letter go to that edit.
std::vector<QWidget*> arrangeKeyboard(QGridLayout& grid);
// Chains the widgets' tab order as given.
void chainTabOrder(const std::vector<QWidget*>& chain);
// Gives the edit the focus with its whole text selected, so typing replaces it.
void focusField(QLineEdit& edit);

// The three components of a 3-element vector, as the edits' values.
void copyAxes(const Vector& source, double (&target)[3]);

}  // namespace kel
