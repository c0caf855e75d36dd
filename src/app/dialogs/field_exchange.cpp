#include "app/dialogs/field_exchange.h"

#include <QLineEdit>
#include <cmath>

#include "app/dialogs/number_text.h"
#include "platform/user_messages.h"

namespace kel {

namespace {

QString realRangeMessage(double min, double max) {
    return QStringLiteral("Please enter a number between %1 and %2.")
        .arg(formatReal(min), formatReal(max));
}

QString integerRangeMessage(int min, int max) {
    return QStringLiteral("Please enter an integer between %1 and %2.")
        .arg(formatInteger(min), formatInteger(max));
}

}  // namespace

void FieldExchange::addReal(QLineEdit* edit, double* value) {
    Binding binding;
    binding.edit = edit;
    binding.real = value;
    bindings_.push_back(binding);
}

void FieldExchange::addReal(QLineEdit* edit, double* value, double min, double max) {
    Binding binding;
    binding.edit = edit;
    binding.real = value;
    binding.ranged = true;
    binding.realMin = min;
    binding.realMax = max;
    bindings_.push_back(binding);
}

void FieldExchange::addInteger(QLineEdit* edit, int* value, int min, int max) {
    Binding binding;
    binding.edit = edit;
    binding.integer = value;
    binding.ranged = true;
    binding.integerMin = min;
    binding.integerMax = max;
    bindings_.push_back(binding);
}

void FieldExchange::toControls() const {
    for (const Binding& binding : bindings_) {
        binding.edit->setText(binding.real != nullptr ? formatReal(*binding.real)
                                                      : formatInteger(*binding.integer));
        // A long number shows its leading digits rather than its tail.
        binding.edit->setCursorPosition(0);
    }
}

std::optional<FieldError> FieldExchange::fromControls() {
    for (const Binding& binding : bindings_) {
        if (auto error = read(binding)) {
            return error;
        }
    }
    return std::nullopt;
}

std::optional<FieldError> FieldExchange::read(const Binding& binding) {
    const QString text = binding.edit->text();
    if (binding.real != nullptr) {
        const std::optional<double> value = parseReal(text);
        if (!value) {
            return FieldError{binding.edit, QStringLiteral("Please enter a number.")};
        }
        if (binding.ranged && (*value < binding.realMin || *value > binding.realMax)) {
            return FieldError{binding.edit, realRangeMessage(binding.realMin, binding.realMax)};
        }
        if (!std::isfinite(*value)) {
            return FieldError{
                binding.edit,
                QStringLiteral("The number is too large; please enter a smaller one.")};
        }
        *binding.real = *value;
        return std::nullopt;
    }
    const std::optional<long long> value = parseInteger(text);
    if (!value) {
        return FieldError{binding.edit, QStringLiteral("Please enter an integer.")};
    }
    if (*value < binding.integerMin || *value > binding.integerMax) {
        return FieldError{binding.edit,
                          integerRangeMessage(binding.integerMin, binding.integerMax)};
    }
    *binding.integer = static_cast<int>(*value);
    return std::nullopt;
}

void reportFieldError(const FieldError& error, UserMessages& messages) {
    messages.showError(error.message.toStdString());
    error.edit->setFocus(Qt::OtherFocusReason);
    error.edit->selectAll();
}

}  // namespace kel
