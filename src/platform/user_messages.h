#pragma once

#include <string>

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
