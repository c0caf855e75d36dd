#include "app/main_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QUndoGroup>
#include <QUrl>
#include <algorithm>

#include "app/help_window.h"
#include "app/kel_app.h"
#include "app/kel_data_frame.h"
#include "app/kel_view.h"
#include "app/recent_file_list.h"
#include "app/window_placement.h"
#include "app/undo_journal.h"
#include "files/kel_doc.h"

namespace kel {

namespace {

// Text only: the part after the tab shows as a shortcut label and binds nothing.
QAction* addItem(QMenu& menu, const char* text) {
    return menu.addAction(QString::fromLatin1(text));
}

std::vector<std::string> localFiles(const QMimeData* data) {
    std::vector<std::string> files;
    if (data == nullptr || !data->hasUrls()) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            files.push_back(url.toLocalFile().toStdString());
        }
    }
    return files;
}

}  // namespace

CMainFrame::CMainFrame(CKelApp& app) : app_(app) {
    setWindowTitle(QString());
    setWindowIcon(QIcon(QStringLiteral(":/kel/kel.png")));
    mdiArea_ = new QMdiArea;
    setCentralWidget(mdiArea_);
    setAcceptDrops(true);
    undoGroup_ = new QUndoGroup(this);
    createMenus();
    renderFigures_ = new QLabel(this);
    statusBar()->addPermanentWidget(renderFigures_);
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this] { onActiveFrameChanged(); });
    resize(kDefaultWidth, kDefaultHeight);
}

CMainFrame::~CMainFrame() {
    // The area tells of activations while it destroys its windows; nobody listens by then.
    disconnect(mdiArea_, nullptr, this, nullptr);
}

KelDataFrame* CMainFrame::activeFrame() const {
    auto* frame = qobject_cast<KelDataFrame*>(mdiArea_->currentSubWindow());
    return frame != nullptr && !frame->isClosing() ? frame : nullptr;
}

std::vector<KelDataFrame*> CMainFrame::frames() const {
    std::vector<KelDataFrame*> result;
    for (QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        auto* frame = qobject_cast<KelDataFrame*>(window);
        if (frame != nullptr && !frame->isClosing()) {
            result.push_back(frame);
        }
    }
    return result;
}

void CMainFrame::activateFrame(KelDataFrame& frame) {
    if (frame.isMinimized()) {
        frame.showNormal();
    }
    mdiArea_->setActiveSubWindow(&frame);
    frame.raise();
    updateTitle();
}

QString CMainFrame::expectedTitle() const {
    const KelDataFrame* frame = activeFrame();
    return frame == nullptr
               ? QString()
               : QStringLiteral(" - ") + QString::fromStdString(frame->document().title());
}

void CMainFrame::updateTitle() {
    enforcingTitle_ = true;
    setWindowTitle(expectedTitle());
    enforcingTitle_ = false;
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // A maximised document window writes its own name into the main window's title;
    // the title shows the active document's name once, maximised or not.
    if (event->type() == QEvent::WindowTitleChange && !enforcingTitle_ && mdiArea_ != nullptr &&
        windowTitle() != expectedTitle()) {
        updateTitle();
    }
}

std::function<void()> CMainFrame::onFrame(void (KelDataFrame::*command)()) {
    return [this, command] {
        if (KelDataFrame* frame = activeFrame()) {
            (frame->*command)();
        }
    };
}

QMenu* CMainFrame::addMenu(const char* title) {
    QMenu* menu = menuBar()->addMenu(QString::fromLatin1(title));
    // Items are refreshed as the menu opens: their state follows the active window.
    connect(menu, &QMenu::aboutToShow, this, [this] {
        updateItems();
        updateRecentFiles();
        updateWindowList();
    });
    return menu;
}

void CMainFrame::addEntries(QMenu& menu, const std::vector<MenuEntry>& entries) {
    for (const MenuEntry& entry : entries) {
        if (entry.text == nullptr) {
            menu.addSeparator();
            continue;
        }
        QAction* action = addItem(menu, entry.text);
        // The mark follows the window's state, not the click: updateItems sets it.
        action->setCheckable(static_cast<bool>(entry.checked));
        if (entry.run) {
            connect(action, &QAction::triggered, this, entry.run);
        }
        items_.push_back({action, entry.availability, entry.checked});
    }
}

void CMainFrame::addRecentFileSlots(QMenu& menu) {
    recentPlaceholder_ = addItem(menu, "Recent File");
    recentPlaceholder_->setEnabled(false);
    for (std::size_t i = 0; i < recentFiles_.size(); ++i) {
        recentFiles_[i] = menu.addAction(QString());
        connect(recentFiles_[i], &QAction::triggered, this,
                [this, i] { app_.onOpenRecentFile(i); });
    }
}

void CMainFrame::createMenus() {
    using A = Availability;
    const auto frame = [this] { return activeFrame(); };
    const auto modeIs = [frame](RenderMode mode) {
        return [frame, mode] { return frame() != nullptr && frame()->renderMode() == mode; };
    };

    QMenu* file = addMenu("&File");
    addEntries(*file, {
                          {"&New\tCtrl+N", [this] { app_.onFileNew(); }},
                          {"&Open...\tCtrl+O", [this] { app_.onFileOpen(); }},
                          {"&Close", [this] { app_.onFileClose(); }, A::Frame},
                          {"&Save\tCtrl+S", [this] { app_.onFileSave(); }, A::Frame},
                          {"Save &As...", [this] { app_.onFileSaveAs(); }, A::Frame},
                          {"&Export Image...", [this] { app_.onFileExportImage(); }, A::Scene},
                          {},
                      });
    addRecentFileSlots(*file);
    addEntries(*file, {{}, {"E&xit", [this] { app_.onAppExit(); }}});

    // No component handles Cut, Copy and Paste: they stay disabled.
    // Undo and Redo name the step they take back or do again, and bind real keys.
    QMenu* edit = addMenu("&Edit");
    edit->setSeparatorsCollapsible(false);
    undo_ = undoGroup_->createUndoAction(this, QStringLiteral("&Undo"));
    undo_->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    redo_ = undoGroup_->createRedoAction(this, QStringLiteral("&Redo"));
    redo_->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
    edit->addAction(undo_);
    edit->addAction(redo_);
    addEntries(*edit, {
                          {},
                          {"Cu&t\tCtrl+X", {}, A::Never},
                          {"&Copy\tCtrl+C", {}, A::Never},
                          {"&Paste\tCtrl+V", {}, A::Never},
                          {"Copy &Image", [this] { app_.onEditCopyImage(); }, A::Scene},
                      });

    addEntries(*addMenu("&View"),
               {
                   {"&Phong\tCtl+P", onFrame(&KelDataFrame::onViewPhong), A::Scene,
                    modeIs(RenderMode::Phong)},
                   {"&Gouraud\tCtl+G", onFrame(&KelDataFrame::onViewGouraud), A::Scene,
                    modeIs(RenderMode::Gouraud)},
                   {"&Wireframe\tCtl+W", onFrame(&KelDataFrame::onViewWireframe), A::Scene,
                    modeIs(RenderMode::Wireframe)},
                   {"&Do Culling\tCtl+D", onFrame(&KelDataFrame::onViewCulling), A::Scene,
                    [frame] { return frame() != nullptr && frame()->isCullingChecked(); }},
                   {},
                   {"&Reset View", onFrame(&KelDataFrame::onViewResetView), A::Scene},
               });

    addEntries(*addMenu("&Options"),
               {
                   {"&Camera...\tCtl+M", onFrame(&KelDataFrame::onOptionsCamera), A::Scene},
                   {"Frustum...\tCtl+F", onFrame(&KelDataFrame::onOptionsFrustum), A::Scene},
                   {"&Ambience...\tCtl+I", onFrame(&KelDataFrame::onOptionsAmbience), A::Scene},
                   {"&Light...\tCtl+G", onFrame(&KelDataFrame::onOptionsLight), A::Scene},
               });

    windowMenu_ = addMenu("&Window");
    windowGroup_ = new QActionGroup(windowMenu_);
    windowGroup_->setExclusive(true);
    addEntries(*windowMenu_,
               {
                   {"&New Window", [this] { app_.onWindowNew(); }, A::Frame},
                   {"&Cascade", [this] { cascade(); }, A::Frame},
                   {"&Tile", [this] { mdiArea_->tileSubWindows(); }, A::Frame},
                   {"&Arrange Icons", [this] { arrangeIcons(); }, A::Frame},
                   {"S&plit", onFrame(&KelDataFrame::onWindowSplit), A::Frame},
                   {},
                   {"Ne&xt Window", [this] { activateNextFrame(); }, A::Frame},
                   {"Pre&vious Window", [this] { activatePreviousFrame(); }, A::Frame},
               });

    addEntries(*addMenu("&Help"), {
                                      {"&Index", [this] { onHelpIndex(); }},
                                      {"&Using Help", [this] { onHelpUsing(); }},
                                      {},
                                      {"&About Kel...", [this] { app_.onAppAbout(); }},
                                  });

    // Menus open in their initial state too, before any menu has been shown.
    updateItems();
    updateRecentFiles();
    updateWindowList();
}

bool CMainFrame::isAvailable(Availability availability) const {
    switch (availability) {
        case Availability::Always:
            return true;
        case Availability::Never:
            return false;
        case Availability::Frame:
            return activeFrame() != nullptr;
        case Availability::Scene:
            return activeFrame() != nullptr && activeFrame()->hasScene();
    }
    return false;
}

void CMainFrame::updateItems() {
    for (const MenuItem& item : items_) {
        const bool enabled = isAvailable(item.availability);
        item.action->setEnabled(enabled);
        if (item.checked) {
            item.action->setChecked(enabled && item.checked());
        }
    }
}

void CMainFrame::updateRecentFiles() {
    const std::vector<std::string>& recent = app_.recentFiles().entries();
    recentPlaceholder_->setVisible(recent.empty());
    for (std::size_t i = 0; i < recentFiles_.size(); ++i) {
        const bool used = i < recent.size();
        recentFiles_[i]->setVisible(used);
        recentFiles_[i]->setText(used ? QString::fromStdString(recentFileMenuText(i, recent[i]))
                                      : QString());
    }
}

void CMainFrame::updateWindowList() {
    for (QAction* action : windowList_) {
        windowMenu_->removeAction(action);
        delete action;
    }
    windowList_.clear();
    const std::vector<KelDataFrame*> open = frames();
    if (open.empty()) {
        return;
    }
    windowList_.push_back(windowMenu_->addSeparator());
    const KelDataFrame* const active = activeFrame();
    for (std::size_t i = 0; i < open.size(); ++i) {
        // The first nine get a digit to press.
        const QString number =
            i < 9 ? QStringLiteral("&%1 ").arg(i + 1) : QStringLiteral("%1 ").arg(i + 1);
        QAction* action = windowMenu_->addAction(number + open[i]->windowTitle());
        action->setCheckable(true);
        action->setActionGroup(windowGroup_);  // shown as one choice among the windows
        action->setChecked(open[i] == active);
        QPointer<KelDataFrame> target(open[i]);
        connect(action, &QAction::triggered, this, [this, target] {
            if (target != nullptr && !target->isClosing()) {
                activateFrame(*target);
            }
        });
        windowList_.push_back(action);
    }
}

void CMainFrame::activateNextFrame() {
    mdiArea_->activateNextSubWindow();
    updateTitle();
}

void CMainFrame::activatePreviousFrame() {
    mdiArea_->activatePreviousSubWindow();
    updateTitle();
}

HelpWindow& CMainFrame::ensureHelpWindow() {
    if (helpWindow_ == nullptr) {
        helpWindow_ = new HelpWindow(this);
    }
    return *helpWindow_;
}

void CMainFrame::watchFrame(KelDataFrame& frame) {
    undoGroup_->addStack(&undoStackOf(frame.document()));
    connect(&frame, &KelDataFrame::statusChanged, this, [this, &frame] {
        if (activeFrame() == &frame) {
            updateStatus();
        }
    });
}

void CMainFrame::onActiveFrameChanged() {
    updateTitle();
    KelDataFrame* frame = activeFrame();
    undoGroup_->setActiveStack(frame != nullptr ? &undoStackOf(frame->document()) : nullptr);
    updateStatus();
}

void CMainFrame::updateStatus() {
    const KelDataFrame* frame = activeFrame();
    renderFigures_->setText(frame != nullptr ? frame->renderFigures() : QString());
    if (frame != nullptr) {
        statusBar()->showMessage(frame->pickText());
    } else {
        statusBar()->clearMessage();
    }
}

void CMainFrame::onHelpIndex() {
    ensureHelpWindow().showPage(HelpWindow::kIndexPage);
}

void CMainFrame::onHelpUsing() {
    ensureHelpWindow().showPage(HelpWindow::kUsingHelpPage);
}

void CMainFrame::arrangeIcons() {
    const int areaWidth = mdiArea_->viewport()->width();
    int x = 0;
    int bottom = mdiArea_->viewport()->height();
    int rowHeight = 0;
    for (QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized()) {
            continue;
        }
        const QSize size = window->size();
        if (x > 0 && x + size.width() > areaWidth) {
            // The row is full: start the next one above it.
            x = 0;
            bottom -= rowHeight;
            rowHeight = 0;
        }
        window->move(x, bottom - size.height());
        x += size.width();
        rowHeight = std::max(rowHeight, size.height());
    }
}

namespace {

DocumentWindowShape shapeOf(const KelDataFrame& frame) {
    return {frame.contentsMargins(), KelDataFrame::kTreePaneWidth, frame.splitter().handleWidth()};
}

}  // namespace

void CMainFrame::placeNewFrame(KelDataFrame& frame) {
    if (frame.isMaximized()) {
        return;  // it fills the area like the others
    }
    int slot = 0;
    for (const KelDataFrame* other : frames()) {
        slot += other != &frame && !other->isMinimized() ? 1 : 0;
    }
    frame.setGeometry(documentWindowRect(mdiArea_->viewport()->size(), shapeOf(frame), slot));
}

void CMainFrame::cascade() {
    // Bottom of the stack first, so the active window takes the last slot, on top.
    int slot = 0;
    for (QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::StackingOrder)) {
        auto* frame = qobject_cast<KelDataFrame*>(window);
        if (frame == nullptr || frame->isClosing() || frame->isMinimized()) {
            continue;
        }
        if (frame->isMaximized()) {
            frame->showNormal();
        }
        frame->setGeometry(
            documentWindowRect(mdiArea_->viewport()->size(), shapeOf(*frame), slot++));
        frame->raise();
    }
}

void CMainFrame::restoreWindowGeometry(const QSettings& settings) {
    const QRect available = screen()->availableGeometry();
    // Room for the title bar and borders the window manager adds.
    const QSize room = available.size() - QSize(16, 48);
    const QByteArray stored = settings.value(QString::fromLatin1(kGeometryKey)).toByteArray();
    if (stored.isEmpty() || !restoreGeometry(stored)) {
        setGeometry(placeOnScreen(QSize(kDefaultWidth, kDefaultHeight).boundedTo(room), available));
        return;
    }
    // Stored on a larger screen, or under another scale factor: brought back inside.
    const QRect restored = geometry();
    if (!isMaximized() && !isFullScreen() &&
        (!available.contains(restored) || restored.width() > room.width() ||
         restored.height() > room.height())) {
        setGeometry(placeOnScreen(restored.size().boundedTo(room), available, restored));
    }
}

void CMainFrame::storeWindowGeometry(QSettings& settings) const {
    settings.setValue(QString::fromLatin1(kGeometryKey), saveGeometry());
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!app_.closeAllDocuments()) {
        event->ignore();  // a document whose save failed stays, and so does the program
        return;
    }
    if (helpWindow_ != nullptr) {
        helpWindow_->close();
    }
    app_.storeMainWindowGeometry();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!localFiles(event->mimeData()).empty()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const std::vector<std::string> files = localFiles(event->mimeData());
    if (files.empty()) {
        return;
    }
    event->acceptProposedAction();
    activateWindow();
    for (const std::string& path : files) {
        app_.openDocumentFile(path);
    }
}

}  // namespace kel
