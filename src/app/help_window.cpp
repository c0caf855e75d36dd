#include "app/help_window.h"

#include <QIcon>
#include <QUrl>

namespace kel {

HelpWindow::HelpWindow(QWidget* parent) : QTextBrowser(parent) {
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("Kel Help"));
    setWindowIcon(QIcon(QStringLiteral(":/kel/kel.png")));
    setOpenExternalLinks(false);
    resize(640, 560);
}

void HelpWindow::showPage(const char* page) {
    setSource(QUrl(QString::fromLatin1(page)));
    show();
    raise();
    activateWindow();
}

}  // namespace kel
