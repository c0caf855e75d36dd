#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <vector>

class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMenu;
class QSettings;
class QUndoGroup;

namespace kel {

class CKelApp;
class HelpWindow;
class KelDataFrame;

// The main window: the menu bar over an MDI area of document windows and a status bar
// (the active view's counts and render time on the right, its last pick on the left). Its
// own title is empty, so the title bar shows " - " and the active document's name, and
// nothing while no document is active.
//
// The menu items carry their shortcut texts after a tab as labels only: no key is bound.
// Only Edit > Undo (Ctrl+Z) and Redo (Ctrl+Shift+Z) have real keys. Enabled and checked
// states are set each time a menu is about to show.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    static constexpr std::size_t kRecentFileSlots = 4;
    // The size the window opens at when it has no stored geometry and the screen allows.
    static constexpr int kDefaultWidth = 1000;
    static constexpr int kDefaultHeight = 720;
    static constexpr const char* kGeometryKey = "Main Window/geometry";

    explicit CMainFrame(CKelApp& app);
    ~CMainFrame() override;

    QMdiArea& mdiArea() const { return *mdiArea_; }
    // The document window the commands go to, or null.
    KelDataFrame* activeFrame() const;
    // Makes frame the active document window and refreshes the title.
    void activateFrame(KelDataFrame& frame);
    void updateTitle();
    // The undo stacks of the documents; the active window's is the one Undo and Redo use.
    QUndoGroup& undoGroup() const { return *undoGroup_; }
    // Shows the frame's render figures and pick in the status bar while it is active.
    void watchFrame(KelDataFrame& frame);
    QAction& undoAction() const { return *undo_; }
    QAction& redoAction() const { return *redo_; }

    void onHelpIndex();
    void onHelpUsing();
    HelpWindow* helpWindow() const { return helpWindow_; }

    // Arranges the minimised document windows in a row along the bottom of the area.
    void arrangeIcons();
    // Cascades the document windows from the top-left of the area, each at the size a new
    // window gets, the active one last and on top.
    void cascade();
    // Puts a new document window in the next cascade slot at the size of a new window.
    void placeNewFrame(KelDataFrame& frame);
    // Window > Next Window and Previous Window: activation order, wrapping around.
    void activateNextFrame();
    void activatePreviousFrame();

    // The open document windows in creation order, as the Window menu lists them.
    std::vector<KelDataFrame*> frames() const;

    // The stored geometry if there is one, else the default size; either way inside the
    // available area of the screen.
    void restoreWindowGeometry(const QSettings& settings);
    void storeWindowGeometry(QSettings& settings) const;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // When an item can be chosen: always, never, with a document window, with a scene.
    enum class Availability { Always, Never, Frame, Scene };
    // One row of a menu table; an entry without text is a separator.
    struct MenuEntry {
        MenuEntry() = default;
        MenuEntry(const char* itemText, std::function<void()> command,
                  Availability when = Availability::Always, std::function<bool()> mark = {})
            : text(itemText),
              run(std::move(command)),
              availability(when),
              checked(std::move(mark)) {}

        const char* text = nullptr;
        std::function<void()> run;
        Availability availability = Availability::Always;
        std::function<bool()> checked;  // set for an item with a check mark
    };
    struct MenuItem {
        QAction* action = nullptr;
        Availability availability = Availability::Always;
        std::function<bool()> checked;
    };

    void createMenus();
    QMenu* addMenu(const char* title);
    void addEntries(QMenu& menu, const std::vector<MenuEntry>& entries);
    void addRecentFileSlots(QMenu& menu);
    // Sets every table item's enabled and checked state.
    void updateItems();
    void updateRecentFiles();
    void updateWindowList();
    bool isAvailable(Availability availability) const;
    void onActiveFrameChanged();
    void updateStatus();
    // Runs command on the active document window, if there is one.
    std::function<void()> onFrame(void (KelDataFrame::*command)());
    // The title the window should have: " - " and the active document's name, or nothing.
    QString expectedTitle() const;
    HelpWindow& ensureHelpWindow();

    CKelApp& app_;
    QMdiArea* mdiArea_ = nullptr;
    HelpWindow* helpWindow_ = nullptr;
    std::vector<MenuItem> items_;
    QAction* recentPlaceholder_ = nullptr;
    std::array<QAction*, kRecentFileSlots> recentFiles_{};
    QMenu* windowMenu_ = nullptr;
    QActionGroup* windowGroup_ = nullptr;
    std::vector<QAction*> windowList_;
    bool enforcingTitle_ = false;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QUndoGroup* undoGroup_ = nullptr;
    QLabel* renderFigures_ = nullptr;
};

}  // namespace kel
