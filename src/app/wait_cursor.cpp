#include "app/wait_cursor.h"

#include <QApplication>
#include <QCursor>

namespace kel {

WaitCursor::WaitCursor() {
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

WaitCursor::~WaitCursor() {
    QApplication::restoreOverrideCursor();
}

}  // namespace kel
