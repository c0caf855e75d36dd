#pragma once

#include <iosfwd>
#include <string>

#include "platform/user_messages.h"

namespace kel {

// Message boxes of a program without windows: each text becomes one line on a stream
// (stderr in kel-render), prefixed "kel-render: ". Questions are answered No.
class StderrUserMessages : public UserMessages {
public:
    explicit StderrUserMessages(std::ostream& out);

    void showError(const std::string& text) override;
    bool askYesNo(const std::string& text) override;

    int shownCount() const { return shown_; }

private:
    std::ostream& out_;
    int shown_ = 0;
};

}  // namespace kel
