#pragma once

#include <QDialog>

#include "app/dialogs/field_exchange.h"
#include "app/dialogs/form_grid.h"

class QGridLayout;
class QLineEdit;
class QPushButton;

namespace kel {

class UserMessages;

// What the four scene settings dialogs share: a "Properties" group box holding a grid
// of labels and edits, "OK" (default) and "Cancel" beside it, and the exchange. The
// first exchange, when the dialog opens, copies the model's values into the dialog's
// fields and shows them; every later one, on OK, reads the edits back and, when all of
// them are valid, applies the fields to the model object.
class SettingsDialog : public QDialog {
    Q_OBJECT

public:
    // True once the opening exchange has run, that is once the dialog has been shown.
    bool isInitialised() const { return initialised_; }

    // Runs the opening exchange or a storing one, by the initialised flag. False when a
    // field was refused: its message was shown, it has the focus and the model is as it
    // was. A refused cross-field check is not a refused field: it returns true.
    bool exchange();

    // OK: closes only when the exchange accepted every field.
    void accept() override;

    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

protected:
    SettingsDialog(const QString& title, UserMessages& messages, QWidget* parent);

    // Called before the opening exchange.
    virtual void loadFromModel() = 0;
    // Called after a storing exchange accepted every field.
    virtual void applyToModel() = 0;

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    FieldExchange& fields() { return fields_; }
    UserMessages& messages() { return messages_; }

    QGridLayout& grid() { return *grid_; }
    // Grid helpers: a label, a centred column heading, and a number edit named for tests.
    void addRowLabel(const QString& text, int row) { kel::addRowLabel(*grid_, text, row); }
    void addHeading(const QString& text, int row, int column) {
        kel::addHeading(*grid_, text, row, column);
    }
    QLineEdit* addEdit(const QString& name, int row, int column) {
        return addNumberEdit(*grid_, name, row, column);
    }

private:
    // Tab follows the form, then OK and Cancel; the first field has the focus.
    void arrangeFocus();

    UserMessages& messages_;
    FieldExchange fields_;
    QGridLayout* grid_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    bool initialised_ = false;
};

}  // namespace kel
