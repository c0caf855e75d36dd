#include "platform/user_messages.h"

namespace kel {

std::string messageText(MessageId id) {
    switch (id) {
        case MessageId::NoSceneFile:
            return "No scene file is open yet";
        case MessageId::NoObjectFile:
            return "No object file found";
        case MessageId::SaveChanges:
            return "%1 has been changed, save it?";
        case MessageId::FrustumNearFar:
            return "Frustum near plane must be less than far plane.";
        case MessageId::CameraIdentical:
            return "Camera to and from points can not be identical.";
    }
    return {};
}

std::string formatMessage(const std::string& text, const std::string& argument) {
    std::string result = text;
    const auto at = result.find("%1");
    if (at != std::string::npos) {
        result.replace(at, 2, argument);
    }
    return result;
}

std::string printableExcerpt(std::string_view text, std::size_t maxCharacters) {
    std::string shown;
    std::size_t characters = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (characters == maxCharacters) {
            return shown + "...";
        }
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) {
            shown += '?';
            ++i;
        } else {
            // A lead byte and its continuation bytes make one character.
            std::size_t end = i + 1;
            while (c >= 0xC0 && end < text.size() &&
                   (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
                ++end;
            }
            shown.append(text.substr(i, end - i));
            i = end;
        }
        ++characters;
    }
    return shown;
}

}  // namespace kel
