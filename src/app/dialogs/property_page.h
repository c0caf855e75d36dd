#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "app/dialogs/field_exchange.h"
#include "app/dialogs/form_grid.h"

class QGridLayout;
class QLineEdit;

namespace kel {

// One tab of a property sheet. A page holds its own copies of the values it shows; the
// sheet fills the edits from them the first time the page is shown and reads the edits
// back when the user leaves the page or confirms the sheet.
class PropertyPage : public QWidget {
    Q_OBJECT

public:
    const QString& tabTitle() const { return tabTitle_; }

    // Called by the sheet whenever the page comes on show: the first time, the fields
    // move into the edits.
    void activate();
    bool hasBeenShown() const { return shown_; }

    // The page's focusable widgets in the order Tab visits them; sets the row labels'
    // buddies on the way.
    std::vector<QWidget*> keyboardChain();
    // Puts the focus on the first field, its text selected; false for a page without one.
    bool focusFirstField();

    // Edits to fields; the refused field, if any. Fields before it keep their new values.
    std::optional<FieldError> storeControls() { return fields_.fromControls(); }

protected:
    explicit PropertyPage(const QString& tabTitle, QWidget* parent = nullptr);

    FieldExchange& fields() { return fields_; }
    // Fields to edits, as on the first show.
    void loadControls() const { fields_.toControls(); }

    // The grid inside the page's "Properties" group box, made on first use.
    QGridLayout& grid();
    void addRowLabel(const QString& text, int row) { kel::addRowLabel(grid(), text, row); }
    void addHeading(const QString& text, int row, int column) {
        kel::addHeading(grid(), text, row, column);
    }
    QLineEdit* addEdit(const QString& name, int row, int column) {
        return addNumberEdit(grid(), name, row, column);
    }

private:
    QString tabTitle_;
    FieldExchange fields_;
    QGridLayout* grid_ = nullptr;
    bool shown_ = false;
};

}  // namespace kel
