#include "cli/stderr_user_messages.h"

#include <ostream>

namespace kel {

StderrUserMessages::StderrUserMessages(std::ostream& out) : out_(out) {}

void StderrUserMessages::showError(const std::string& text) {
    out_ << "kel-render: " << text << '\n';
    ++shown_;
}

bool StderrUserMessages::askYesNo(const std::string& text) {
    out_ << "kel-render: " << text << " (answered No)\n";
    ++shown_;
    return false;
}

}  // namespace kel
