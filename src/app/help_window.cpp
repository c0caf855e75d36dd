#include "app/help_window.h"

#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QScreen>
#include <QUrl>

#include "app/window_placement.h"

namespace kel {

HelpWindow::HelpWindow(QWidget* parent) : QTextBrowser(parent) {
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("Kel Help"));
    setWindowIcon(QIcon(QStringLiteral(":/kel/kel.png")));
    setOpenExternalLinks(false);
    resize(kWidth, kHeight);
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    // A help window is dismissed like a dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QTextBrowser::keyPressEvent(event);
}

void HelpWindow::showPage(const char* page) {
    setSource(QUrl(QString::fromLatin1(page)));
    if (!isVisible()) {
        placeOverParent();
    }
    show();
    raise();
    activateWindow();
}

void HelpWindow::placeOverParent() {
    const QWidget* const owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    const QScreen* const where =
        owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    if (where == nullptr) {
        return;
    }
    // Room for the title bar and borders the window manager adds.
    const QRect available = where->availableGeometry().adjusted(8, 40, -8, -8);
    setGeometry(placeOnScreen(QSize(kWidth, kHeight), available,
                              owner != nullptr ? owner->geometry() : QRect()));
}

}  // namespace kel
