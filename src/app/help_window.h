#pragma once

#include <QTextBrowser>

namespace kel {

// The bundled help, one top-level browser window reused by every help command.
class HelpWindow : public QTextBrowser {
    Q_OBJECT

public:
    static constexpr const char* kIndexPage = "qrc:/kel/help/index.html";
    static constexpr const char* kUsingHelpPage = "qrc:/kel/help/using_help.html";

    static constexpr int kWidth = 640;
    static constexpr int kHeight = 560;

    // Escape closes the window.
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the page and brings the window to the front; a window not on show yet opens
    // centred over its parent, inside the screen's available area.
    void showPage(const char* page);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void placeOverParent();
};

}  // namespace kel
