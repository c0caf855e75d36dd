#include "app/split_tracker.h"

#include <QEvent>
#include <QKeyEvent>
#include <QSplitter>
#include <algorithm>

namespace kel {

SplitTracker::SplitTracker(QSplitter& splitter) : splitter_(splitter) {}

SplitTracker::~SplitTracker() {
    if (QSplitterHandle* handle = splitter_.handle(1)) {
        handle->removeEventFilter(this);
    }
}

void SplitTracker::start() {
    QSplitterHandle* handle = splitter_.handle(1);
    if (handle == nullptr || tracking_) {
        return;
    }
    savedSizes_ = splitter_.sizes();
    tracking_ = true;
    handle->installEventFilter(this);
    handle->setFocusPolicy(Qt::StrongFocus);
    handle->setFocus(Qt::OtherFocusReason);
}

bool SplitTracker::eventFilter(QObject* watched, QEvent* event) {
    if (!tracking_ || watched != splitter_.handle(1)) {
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::FocusOut) {
        finish(true);
        return false;
    }
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Left:
            moveBy(-kStep);
            return true;
        case Qt::Key_Right:
            moveBy(kStep);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            finish(true);
            return true;
        case Qt::Key_Escape:
            finish(false);
            return true;
        default:
            return true;  // the bar takes no other keys while it moves
    }
}

void SplitTracker::moveBy(int dx) {
    const QList<int> sizes = splitter_.sizes();
    if (sizes.size() != 2) {
        return;
    }
    const int total = sizes[0] + sizes[1];
    const int left = std::clamp(sizes[0] + dx, 0, total);
    splitter_.setSizes({left, total - left});
}

void SplitTracker::finish(bool keep) {
    tracking_ = false;
    QSplitterHandle* handle = splitter_.handle(1);
    if (handle != nullptr) {
        handle->removeEventFilter(this);
        handle->setFocusPolicy(Qt::NoFocus);
    }
    if (!keep) {
        splitter_.setSizes(savedSizes_);
    }
}

}  // namespace kel
