#pragma once

#include <QMainWindow>
#include <array>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
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

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createMenus();
    void updateFileMenu();
    void updateViewMenu();
    void updateOptionsMenu();
    void updateWindowMenu();
    void onActiveFrameChanged();
    void updateStatus();
    // Runs command on the active document window, if there is one.
    template <typename Command>
    void onFrame(Command command);

    CKelApp& app_;
    QMdiArea* mdiArea_ = nullptr;
    HelpWindow* helpWindow_ = nullptr;

    QAction* fileClose_ = nullptr;
    QAction* fileSave_ = nullptr;
    QAction* fileSaveAs_ = nullptr;
    QAction* recentPlaceholder_ = nullptr;
    std::array<QAction*, kRecentFileSlots> recentFiles_{};
    QAction* viewPhong_ = nullptr;
    QAction* viewGouraud_ = nullptr;
    QAction* viewWireframe_ = nullptr;
    QAction* viewCulling_ = nullptr;
    QAction* viewReset_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QUndoGroup* undoGroup_ = nullptr;
    QLabel* renderFigures_ = nullptr;
    std::array<QAction*, 4> options_{};
    std::array<QAction*, 5> window_{};
};

}  // namespace kel
