#include "app/kel_app.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMdiArea>
#include <QSettings>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/about_dialog.h"
#include "app/canonical_path.h"
#include "app/document_watcher.h"
#include "app/file_chooser.h"
#include "app/kel_view.h"
#include "app/main_frame.h"
#include "files/kel_doc.h"
#include "model/scene.h"
#include "platform/user_messages.h"

namespace kel {

namespace {

// Documents keep absolute names: opening a scene moves the current directory.
std::string absolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

// The scene's name with .png, beside the scene; an untitled document's name otherwise.
std::string exportName(const CKelDoc& document) {
    if (document.pathName().empty()) {
        return document.title() + ".png";
    }
    std::filesystem::path path(document.pathName());
    path.replace_extension(".png");
    return path.string();
}

QString recentKey(std::size_t index) {
    return QStringLiteral("File%1").arg(index + 1);
}

}  // namespace

CKelApp::CKelApp(Services services)
    : messages_(services.messages),
      files_(services.files),
      settings_(std::move(services.settings)),
      treePane_(std::move(services.treePane)) {
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
    // Lets the desktop match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(KEL_APP_ID));
    mainFrame_ = std::make_unique<CMainFrame>(*this);
}

CKelApp::~CKelApp() {
    // Windows first: their views leave the documents while the documents are still there.
    mainFrame_.reset();
}

bool CKelApp::initInstance() {
    loadRecentFiles();
    mainFrame_->restoreWindowGeometry(*settings_);
    mainFrame_->show();
    return true;
}

void CKelApp::storeMainWindowGeometry() {
    mainFrame_->storeWindowGeometry(*settings_);
    settings_->sync();
}

KelDataFrame* CKelApp::onFileNew() {
    auto document = std::make_shared<CKelDoc>(messages_);
    if (!document->onNewDocument()) {
        return nullptr;
    }
    document->setTitle(kDocumentName + std::to_string(++untitledCount_));
    documents_.push_back(document);
    return createFrame(document);
}

void CKelApp::onFileOpen() {
    if (const std::optional<std::string> path = files_.chooseFileToOpen(mainFrame_.get())) {
        openDocumentFile(*path);
    }
}

KelDataFrame* CKelApp::openDocumentFile(const std::string& path) {
    if (path.empty()) {
        return nullptr;
    }
    const std::string absolute = absolutePath(path);
    if (CKelDoc* open = findOpenDocument(absolute)) {
        const std::vector<KelDataFrame*> frames = framesOf(*open);
        addRecentFile(open->pathName());
        if (frames.empty()) {
            return nullptr;
        }
        mainFrame_->activateFrame(*frames.front());
        return frames.front();
    }
    auto document = std::make_shared<CKelDoc>(messages_);
    if (!document->onOpenDocument(absolute)) {
        return nullptr;
    }
    // Closing an edited mesh saves it as a scene, under a name the user chooses.
    document->setSceneFileChooser([this](const std::string& suggested) {
        const std::optional<std::string> chosen =
            files_.chooseFileToSave(mainFrame_.get(), suggested);
        return chosen ? std::optional<std::string>(absolutePath(*chosen)) : std::nullopt;
    });
    document->setPathName(absolute);
    documents_.push_back(document);
    addRecentFile(absolute);
    watch(*document);
    return createFrame(document);
}

void CKelApp::onOpenRecentFile(std::size_t index) {
    if (index >= recent_.entries().size()) {
        return;
    }
    const std::string path = recent_.entries()[index];
    if (openDocumentFile(path) == nullptr) {
        // A file that no longer opens leaves the list.
        removeRecentFile(path);
    }
}

void CKelApp::onFileClose() {
    if (KelDataFrame* frame = mainFrame_->activeFrame()) {
        closeDocument(frame->document());
    }
}

bool CKelApp::onFileSave() {
    KelDataFrame* frame = mainFrame_->activeFrame();
    if (frame == nullptr) {
        return false;
    }
    CKelDoc& document = frame->document();
    // An opened mesh is never overwritten with scene text: it needs a scene file name.
    if (document.pathName().empty() || document.needsSceneFileName()) {
        return onFileSaveAs();
    }
    return saveDocument(document, document.pathName());
}

bool CKelApp::onFileSaveAs() {
    KelDataFrame* frame = mainFrame_->activeFrame();
    if (frame == nullptr) {
        return false;
    }
    CKelDoc& document = frame->document();
    if (document.scene() == nullptr) {
        // Nothing to choose a name for: the document says why it cannot save.
        return saveDocument(document, document.pathName());
    }
    const std::string suggested =
        document.pathName().empty() ? document.title() + ".kel" : document.suggestedSceneFileName();
    const std::optional<std::string> path = files_.chooseFileToSave(mainFrame_.get(), suggested);
    return path.has_value() && saveDocument(document, absolutePath(*path));
}

bool CKelApp::saveDocument(CKelDoc& document, const std::string& path) {
    // The document reports its own failures, a missing scene included.
    if (!document.onSaveDocument(path)) {
        return false;
    }
    const bool renamed = path != document.pathName();
    if (renamed) {
        document.setPathName(path);
        updateFrameTitles(document);
        mainFrame_->updateTitle();
    }
    addRecentFile(path);
    // Our own save is no change on disk.
    if (DocumentWatcher* watcher = watcherOf(document)) {
        watcher->remember();
    } else {
        watch(document);
    }
    return true;
}

void CKelApp::watch(CKelDoc& document) {
    auto watcher = std::make_unique<DocumentWatcher>(document);
    connect(watcher.get(), &DocumentWatcher::changedOnDisk, this,
            [this, doc = &document] { reloadDocument(*doc); });
    watchers_.emplace_back(&document, std::move(watcher));
}

DocumentWatcher* CKelApp::watcherOf(const CKelDoc& document) const {
    for (const auto& [watched, watcher] : watchers_) {
        if (watched == &document) {
            return watcher.get();
        }
    }
    return nullptr;
}

bool CKelApp::reloadDocument(CKelDoc& document) {
    const auto it = std::find_if(documents_.begin(), documents_.end(),
                                 [&](const auto& open) { return open.get() == &document; });
    if (it == documents_.end() || document.pathName().empty() || reloading_) {
        return false;
    }
    reloading_ = true;
    const std::shared_ptr<CKelDoc> keep = *it;
    const bool reloaded = reloadFromDisk(document);
    reloading_ = false;
    return reloaded;
}

bool CKelApp::reloadFromDisk(CKelDoc& document) {
    if (document.isModified() &&
        !messages_.askYesNo(formatMessage(
            "%1 has changed on disk. Reload it and lose your changes?", document.title()))) {
        return false;
    }
    const bool culling = document.scene() != nullptr && document.scene()->cullBackFaces();
    if (!document.onOpenDocument(document.pathName())) {
        return false;
    }
    document.scene()->setCullBackFaces(culling);
    document.setModified(false);
    document.updateAllViews(nullptr, 0);
    if (DocumentWatcher* watcher = watcherOf(document)) {
        watcher->remember();
    }
    return true;
}

bool CKelApp::onFileExportImage() {
    KelDataFrame* frame = mainFrame_->activeFrame();
    if (frame == nullptr || !frame->hasScene()) {
        return false;
    }
    const std::string suggested = exportName(frame->document());
    const std::optional<std::string> path = files_.chooseImageToSave(mainFrame_.get(), suggested);
    if (!path) {
        return false;
    }
    std::string error;
    if (!frame->renderedView().exportImage(*path, error)) {
        messages_.showError("Could not export the image to " + *path + ": " + error);
        return false;
    }
    return true;
}

void CKelApp::onEditCopyImage() {
    KelDataFrame* frame = mainFrame_->activeFrame();
    if (frame == nullptr || !frame->hasScene()) {
        return;
    }
    QImage image = frame->renderedView().renderImage();
    if (image.isNull()) {
        return;
    }
    // Other programs take the pixels as they are.
    image.setDevicePixelRatio(1.0);
    QGuiApplication::clipboard()->setImage(image);
}

KelDataFrame* CKelApp::onWindowNew() {
    KelDataFrame* frame = mainFrame_->activeFrame();
    return frame == nullptr ? nullptr : createFrame(frame->sharedDocument());
}

void CKelApp::onAppExit() {
    mainFrame_->close();
}

void CKelApp::onAppAbout() {
    AboutDialog about(mainFrame_.get());
    about.exec();
}

bool CKelApp::closeAllDocuments() {
    const std::vector<std::shared_ptr<CKelDoc>> documents = documents_;
    for (const std::shared_ptr<CKelDoc>& document : documents) {
        if (!closeDocument(*document)) {
            return false;
        }
    }
    return true;
}

bool CKelApp::closeDocument(CKelDoc& document) {
    const auto it = std::find_if(documents_.begin(), documents_.end(),
                                 [&](const auto& open) { return open.get() == &document; });
    if (it == documents_.end()) {
        return true;
    }
    const std::shared_ptr<CKelDoc> keep = *it;
    if (!document.onCloseDocument()) {
        return false;
    }
    forgetDocument(document);
    for (KelDataFrame* frame : framesOf(document)) {
        frame->closeForClosedDocument();
    }
    mainFrame_->updateTitle();
    return true;
}

std::vector<KelDataFrame*> CKelApp::framesOf(const CKelDoc& document) const {
    std::vector<KelDataFrame*> frames;
    for (QMdiSubWindow* window : mainFrame_->mdiArea().subWindowList(QMdiArea::CreationOrder)) {
        auto* frame = qobject_cast<KelDataFrame*>(window);
        if (frame != nullptr && !frame->isClosing() && &frame->document() == &document) {
            frames.push_back(frame);
        }
    }
    return frames;
}

KelDataFrame* CKelApp::createFrame(const std::shared_ptr<CKelDoc>& document) {
    auto* frame = new KelDataFrame(document, messages_, treePane_);
    frame->setClosingHandler([this](KelDataFrame& closing) { return frameClosing(closing); });
    mainFrame_->watchFrame(*frame);
    mainFrame_->mdiArea().addSubWindow(frame);
    frame->show();
    mainFrame_->placeNewFrame(*frame);
    updateFrameTitles(*document);
    mainFrame_->activateFrame(*frame);
    return frame;
}

bool CKelApp::frameClosing(KelDataFrame& frame) {
    CKelDoc& document = frame.document();
    std::vector<KelDataFrame*> others = framesOf(document);
    others.erase(std::remove(others.begin(), others.end(), &frame), others.end());
    if (others.empty()) {
        // The last window of a document closes the document.
        if (!document.onCloseDocument()) {
            return false;
        }
        forgetDocument(document);
    } else {
        updateFrameTitles(document, &frame);
    }
    return true;
}

void CKelApp::updateFrameTitles(const CKelDoc& document, const KelDataFrame* leaving) {
    std::vector<KelDataFrame*> frames = framesOf(document);
    frames.erase(std::remove(frames.begin(), frames.end(), leaving), frames.end());
    const QString title = QString::fromStdString(document.title());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        frames[i]->setWindowTitle(frames.size() == 1 ? title
                                                     : title + QStringLiteral(":%1").arg(i + 1));
    }
}

void CKelApp::forgetDocument(const CKelDoc& document) {
    watchers_.erase(std::remove_if(watchers_.begin(), watchers_.end(),
                                   [&](const auto& entry) { return entry.first == &document; }),
                    watchers_.end());
    documents_.erase(std::remove_if(documents_.begin(), documents_.end(),
                                    [&](const auto& open) { return open.get() == &document; }),
                     documents_.end());
}

CKelDoc* CKelApp::findOpenDocument(const std::string& path) const {
    const std::string wanted = canonicalPath(path);
    if (wanted.empty()) {
        return nullptr;
    }
    for (const std::shared_ptr<CKelDoc>& document : documents_) {
        if (!document->pathName().empty() && canonicalPath(document->pathName()) == wanted) {
            return document.get();
        }
    }
    return nullptr;
}

void CKelApp::addRecentFile(const std::string& path) {
    recent_.add(path);
    storeRecentFiles();
}

void CKelApp::removeRecentFile(const std::string& path) {
    recent_.remove(path);
    storeRecentFiles();
}

void CKelApp::loadRecentFiles() {
    std::vector<std::string> paths;
    settings_->beginGroup(QString::fromLatin1(kRecentGroup));
    for (std::size_t i = 0; i < recent_.capacity(); ++i) {
        paths.push_back(settings_->value(recentKey(i)).toString().toStdString());
    }
    settings_->endGroup();
    recent_.assign(paths);
}

void CKelApp::storeRecentFiles() {
    settings_->beginGroup(QString::fromLatin1(kRecentGroup));
    settings_->remove(QString());
    const std::vector<std::string>& entries = recent_.entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        settings_->setValue(recentKey(i), QString::fromStdString(entries[i]));
    }
    settings_->endGroup();
    settings_->sync();
}

}  // namespace kel
