#include "platform/document.h"

#include <algorithm>

namespace kel {

void Document::setPathName(const std::string& path) {
    pathName_ = path;
    const auto slash = path.find_last_of('/');
    title_ = slash == std::string::npos ? path : path.substr(slash + 1);
}

void Document::addView(View* view) {
    if (std::find(views_.begin(), views_.end(), view) == views_.end()) {
        views_.push_back(view);
    }
}

void Document::removeView(View* view) {
    views_.erase(std::remove(views_.begin(), views_.end(), view), views_.end());
}

void Document::updateAllViews(View* sender, int hint) {
    // A view may remove itself while being updated; walk a copy.
    const std::vector<View*> views = views_;
    for (View* view : views) {
        view->onUpdate(sender, hint);
    }
}

}  // namespace kel
