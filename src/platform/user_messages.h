#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kel {

// Ids of the texts of the string table.
enum class MessageId {
    NoSceneFile = 61216,
    NoObjectFile = 61217,
    SaveChanges = 61219,
    FrustumNearFar = 61220,
    CameraIdentical = 61221,
};

// The text of a string-table entry, "%1" left in place where the entry has one.
std::string messageText(MessageId id);

// Replaces the first "%1" of text with argument.
std::string formatMessage(const std::string& text, const std::string& argument);

// Text from outside (a path from an open request, a token of a file) as a message may show
// it: at most maxCharacters characters, control characters as '?', "..." when cut. A UTF-8
// sequence is never split.
std::string printableExcerpt(std::string_view text, std::size_t maxCharacters = 200);

// Every box the user sees goes through this interface, so that a test can answer it.
class UserMessages {
public:
    virtual ~UserMessages() = default;
    // A modal box with caption "Kel", an exclamation icon and an OK button.
    virtual void showError(const std::string& text) = 0;
    // A modal question with Yes and No buttons and no icon; true for Yes.
    virtual bool askYesNo(const std::string& text) = 0;
};

}  // namespace kel
