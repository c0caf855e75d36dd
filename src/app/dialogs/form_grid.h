#pragma once

class QGridLayout;
class QLineEdit;
class QString;

namespace kel {

// The grid of labels and number edits inside a dialog's or page's "Properties" box:
// row labels in column 0, column headings centred above the edits.
void addRowLabel(QGridLayout& grid, const QString& text, int row);
void addHeading(QGridLayout& grid, const QString& text, int row, int column);
// An edit wide enough for a fifteen-digit real, named so that it can be found.
QLineEdit* addNumberEdit(QGridLayout& grid, const QString& name, int row, int column);

}  // namespace kel
