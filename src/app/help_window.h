#pragma once

#include <QTextBrowser>

namespace kel {

// The bundled help, one top-level browser window reused by every help command.
class HelpWindow : public QTextBrowser {
    Q_OBJECT

public:
    static constexpr const char* kIndexPage = "qrc:/kel/help/index.html";
    static constexpr const char* kUsingHelpPage = "qrc:/kel/help/using_help.html";

    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the page and brings the window to the front.
    void showPage(const char* page);
};

}  // namespace kel
