#include "app/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QUndoGroup>
#include <QUrl>
#include <algorithm>

#include "app/help_window.h"
#include "app/kel_app.h"
#include "app/kel_data_frame.h"
#include "app/kel_view.h"
#include "app/recent_file_list.h"
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
    resize(1000, 720);
}

CMainFrame::~CMainFrame() {
    // The area tells of activations while it destroys its windows; nobody listens by then.
    disconnect(mdiArea_, nullptr, this, nullptr);
}

KelDataFrame* CMainFrame::activeFrame() const {
    auto* frame = qobject_cast<KelDataFrame*>(mdiArea_->currentSubWindow());
    return frame != nullptr && !frame->isClosing() ? frame : nullptr;
}

void CMainFrame::activateFrame(KelDataFrame& frame) {
    if (frame.isMinimized()) {
        frame.showNormal();
    }
    mdiArea_->setActiveSubWindow(&frame);
    frame.raise();
    updateTitle();
}

void CMainFrame::updateTitle() {
    const KelDataFrame* frame = activeFrame();
    setWindowTitle(frame == nullptr
                       ? QString()
                       : QStringLiteral(" - ") + QString::fromStdString(frame->document().title()));
}

template <typename Command>
void CMainFrame::onFrame(Command command) {
    if (KelDataFrame* frame = activeFrame()) {
        (frame->*command)();
    }
}

void CMainFrame::createMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    connect(addItem(*file, "&New\tCtrl+N"), &QAction::triggered, this,
            [this] { app_.onFileNew(); });
    connect(addItem(*file, "&Open...\tCtrl+O"), &QAction::triggered, this,
            [this] { app_.onFileOpen(); });
    fileClose_ = addItem(*file, "&Close");
    connect(fileClose_, &QAction::triggered, this, [this] { app_.onFileClose(); });
    fileSave_ = addItem(*file, "&Save\tCtrl+S");
    connect(fileSave_, &QAction::triggered, this, [this] { app_.onFileSave(); });
    fileSaveAs_ = addItem(*file, "Save &As...");
    connect(fileSaveAs_, &QAction::triggered, this, [this] { app_.onFileSaveAs(); });
    file->addSeparator();
    recentPlaceholder_ = addItem(*file, "Recent File");
    for (std::size_t i = 0; i < recentFiles_.size(); ++i) {
        recentFiles_[i] = file->addAction(QString());
        connect(recentFiles_[i], &QAction::triggered, this,
                [this, i] { app_.onOpenRecentFile(i); });
    }
    file->addSeparator();
    connect(addItem(*file, "E&xit"), &QAction::triggered, this, [this] { app_.onAppExit(); });
    connect(file, &QMenu::aboutToShow, this, [this] { updateFileMenu(); });

    // Undo and Redo name the step they take back or do again, and bind real keys. No
    // component handles the other Edit commands: they stay disabled.
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setSeparatorsCollapsible(false);
    undo_ = undoGroup_->createUndoAction(this, QStringLiteral("&Undo"));
    undo_->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    redo_ = undoGroup_->createRedoAction(this, QStringLiteral("&Redo"));
    redo_->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
    edit->addAction(undo_);
    edit->addAction(redo_);
    edit->addSeparator();
    for (const char* text : {"Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V"}) {
        addItem(*edit, text)->setEnabled(false);
    }

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    viewPhong_ = addItem(*view, "&Phong\tCtl+P");
    viewGouraud_ = addItem(*view, "&Gouraud\tCtl+G");
    viewWireframe_ = addItem(*view, "&Wireframe\tCtl+W");
    viewCulling_ = addItem(*view, "&Do Culling\tCtl+D");
    for (QAction* action : {viewPhong_, viewGouraud_, viewWireframe_, viewCulling_}) {
        action->setCheckable(true);
    }
    // The mark follows the window's state, not the click: updateViewMenu sets it.
    connect(viewPhong_, &QAction::triggered, this, [this] { onFrame(&KelDataFrame::onViewPhong); });
    connect(viewGouraud_, &QAction::triggered, this,
            [this] { onFrame(&KelDataFrame::onViewGouraud); });
    connect(viewWireframe_, &QAction::triggered, this,
            [this] { onFrame(&KelDataFrame::onViewWireframe); });
    connect(viewCulling_, &QAction::triggered, this,
            [this] { onFrame(&KelDataFrame::onViewCulling); });
    view->addSeparator();
    viewReset_ = addItem(*view, "&Reset View");
    connect(viewReset_, &QAction::triggered, this,
            [this] { onFrame(&KelDataFrame::onViewResetView); });
    connect(view, &QMenu::aboutToShow, this, [this] { updateViewMenu(); });

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options_ = {addItem(*options, "&Camera...\tCtl+M"), addItem(*options, "Frustum...\tCtl+F"),
                addItem(*options, "&Ambience...\tCtl+I"), addItem(*options, "&Light...\tCtl+G")};
    connect(options_[0], &QAction::triggered, this,
            [this] { onFrame(&KelDataFrame::onOptionsCamera); });
    connect(options_[1], &QAction::triggered, this,
            [this] { onFrame(&KelDataFrame::onOptionsFrustum); });
    connect(options_[2], &QAction::triggered, this,
            [this] { onFrame(&KelDataFrame::onOptionsAmbience); });
    connect(options_[3], &QAction::triggered, this,
            [this] { onFrame(&KelDataFrame::onOptionsLight); });
    connect(options, &QMenu::aboutToShow, this, [this] { updateOptionsMenu(); });

    QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
    window_ = {addItem(*window, "&New Window"), addItem(*window, "&Cascade"),
               addItem(*window, "&Tile"), addItem(*window, "&Arrange Icons"),
               addItem(*window, "S&plit")};
    connect(window_[0], &QAction::triggered, this, [this] { app_.onWindowNew(); });
    connect(window_[1], &QAction::triggered, mdiArea_, &QMdiArea::cascadeSubWindows);
    connect(window_[2], &QAction::triggered, mdiArea_, &QMdiArea::tileSubWindows);
    connect(window_[3], &QAction::triggered, this, [this] { arrangeIcons(); });
    connect(window_[4], &QAction::triggered, this,
            [this] { onFrame(&KelDataFrame::onWindowSplit); });
    connect(window, &QMenu::aboutToShow, this, [this] { updateWindowMenu(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    connect(addItem(*help, "&Index"), &QAction::triggered, this, [this] { onHelpIndex(); });
    connect(addItem(*help, "&Using Help"), &QAction::triggered, this, [this] { onHelpUsing(); });
    help->addSeparator();
    connect(addItem(*help, "&About Kel..."), &QAction::triggered, this,
            [this] { app_.onAppAbout(); });

    // Menus open in their initial state too, before any menu has been shown.
    updateFileMenu();
    updateViewMenu();
    updateOptionsMenu();
    updateWindowMenu();
}

void CMainFrame::updateFileMenu() {
    const bool hasFrame = activeFrame() != nullptr;
    for (QAction* action : {fileClose_, fileSave_, fileSaveAs_}) {
        action->setEnabled(hasFrame);
    }
    const std::vector<std::string>& recent = app_.recentFiles().entries();
    recentPlaceholder_->setVisible(recent.empty());
    recentPlaceholder_->setEnabled(false);
    for (std::size_t i = 0; i < recentFiles_.size(); ++i) {
        const bool used = i < recent.size();
        recentFiles_[i]->setVisible(used);
        recentFiles_[i]->setText(used ? QString::fromStdString(recentFileMenuText(i, recent[i]))
                                      : QString());
    }
}

void CMainFrame::updateViewMenu() {
    const KelDataFrame* frame = activeFrame();
    const bool enabled = frame != nullptr && frame->hasScene();
    const RenderMode mode = frame != nullptr ? frame->renderMode() : RenderMode::Wireframe;
    for (QAction* action : {viewPhong_, viewGouraud_, viewWireframe_, viewCulling_}) {
        action->setEnabled(enabled);
    }
    viewPhong_->setChecked(enabled && mode == RenderMode::Phong);
    viewGouraud_->setChecked(enabled && mode == RenderMode::Gouraud);
    viewWireframe_->setChecked(enabled && mode == RenderMode::Wireframe);
    viewCulling_->setChecked(enabled && frame->isCullingChecked());
    viewReset_->setEnabled(enabled && frame->canResetView());
}

void CMainFrame::updateOptionsMenu() {
    const KelDataFrame* frame = activeFrame();
    const bool enabled = frame != nullptr && frame->hasScene();
    for (QAction* action : options_) {
        action->setEnabled(enabled);
    }
}

void CMainFrame::updateWindowMenu() {
    const bool hasFrame = activeFrame() != nullptr;
    for (QAction* action : window_) {
        action->setEnabled(hasFrame);
    }
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
    if (helpWindow_ == nullptr) {
        helpWindow_ = new HelpWindow(this);
    }
    helpWindow_->showPage(HelpWindow::kIndexPage);
}

void CMainFrame::onHelpUsing() {
    if (helpWindow_ == nullptr) {
        helpWindow_ = new HelpWindow(this);
    }
    helpWindow_->showPage(HelpWindow::kUsingHelpPage);
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

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!app_.closeAllDocuments()) {
        event->ignore();  // a document whose save failed stays, and so does the program
        return;
    }
    if (helpWindow_ != nullptr) {
        helpWindow_->close();
    }
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
