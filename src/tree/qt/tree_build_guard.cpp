#include "tree/qt/tree_build_guard.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>

namespace kel {

TreeBuildGuard::TreeBuildGuard(QWidget& widget)
    : widget_(widget), wasUpdating_(widget.updatesEnabled()) {
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    widget_.setUpdatesEnabled(false);
}

TreeBuildGuard::~TreeBuildGuard() {
    widget_.setUpdatesEnabled(wasUpdating_);
    QApplication::restoreOverrideCursor();
}

}  // namespace kel
