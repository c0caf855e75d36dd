#pragma once

#include "platform/user_messages.h"

class QWidget;

namespace kel {

// The user's message boxes: caption "Kel", exclamation icon and OK for errors, Yes and
// No without an icon for the one question.
class QtUserMessages : public UserMessages {
public:
    explicit QtUserMessages(QWidget* parent = nullptr) : parent_(parent) {}

    // The window the boxes are modal to; null makes them application-modal.
    void setParent(QWidget* parent) { parent_ = parent; }

    void showError(const std::string& text) override;
    bool askYesNo(const std::string& text) override;

private:
    QWidget* parent_;
};

}  // namespace kel
