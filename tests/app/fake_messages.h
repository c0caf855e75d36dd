#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/user_messages.h"

namespace kel::test {

// Records every box; questions take their answers from a queue, then No.
class FakeMessages : public UserMessages {
public:
    void showError(const std::string& text) override { errors.push_back(text); }
    bool askYesNo(const std::string& text) override {
        questions.push_back(text);
        const bool answer = !answers.empty() && answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
        return answer;
    }

    std::vector<std::string> errors;
    std::vector<std::string> questions;
    std::deque<bool> answers;
};

}  // namespace kel::test
