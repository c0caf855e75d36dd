#pragma once

#include <QString>
#include <optional>
#include <vector>

class QLineEdit;

namespace kel {

class UserMessages;

// Why a field was refused: the edit to focus and the message for the user.
struct FieldError {
    QLineEdit* edit = nullptr;
    QString message;
};

// Moves values between a dialog's own copies and its edit controls, in the order the
// fields were added. Reading back parses each text and checks its inclusive range; the
// first field that fails stops the exchange, the fields before it keep their new values.
// The exchange points at members of its owner, so it is neither copied nor moved.
class FieldExchange {
public:
    FieldExchange() = default;
    FieldExchange(const FieldExchange&) = delete;
    FieldExchange& operator=(const FieldExchange&) = delete;

    // Any finite real.
    void addReal(QLineEdit* edit, double* value);
    // A finite real from min to max.
    void addReal(QLineEdit* edit, double* value, double min, double max);
    // An integer from min to max.
    void addInteger(QLineEdit* edit, int* value, int min, int max);

    // Values to controls.
    void toControls() const;
    // Controls to values; nothing when every field was accepted.
    std::optional<FieldError> fromControls();

private:
    struct Binding {
        QLineEdit* edit = nullptr;
        double* real = nullptr;  // set for a real field
        int* integer = nullptr;  // set for an integer field
        bool ranged = false;
        double realMin = 0.0;
        double realMax = 0.0;
        int integerMin = 0;
        int integerMax = 0;
    };
    std::optional<FieldError> read(const Binding& binding);

    std::vector<Binding> bindings_;
};

// Shows the message, then puts the focus on the refused field with its text selected.
void reportFieldError(const FieldError& error, UserMessages& messages);

}  // namespace kel
