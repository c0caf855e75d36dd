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

}  // namespace kel
