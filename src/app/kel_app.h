#pragma once

#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "app/kel_data_frame.h"
#include "app/recent_file_list.h"

class QSettings;

namespace kel {

class CKelDoc;
class CMainFrame;
class DocumentWatcher;
class FileChooser;
class UserMessages;

// The application object: the one document type, the open documents, the recent-file
// list and the File, Window > New Window and About commands. It creates the main window at
// start-up. Qt allows one QApplication per process, so that object stays with main() and
// this one holds the application's own state; the caption of every box is its name, "Kel".
class CKelApp : public QObject {
    Q_OBJECT

public:
    // What the application gets from outside: boxes, file dialogs and the profile are
    // replaceable so that a test answers them. A null tree factory leaves the left pane
    // empty.
    struct Services {
        UserMessages& messages;
        FileChooser& files;
        std::unique_ptr<QSettings> settings;
        KelDataFrame::TreePaneFactory treePane;
    };

    static constexpr const char* kApplicationName = "Kel";
    static constexpr const char* kDocumentName = "Kel";
    static constexpr const char* kRecentGroup = "Recent File List";

    explicit CKelApp(Services services);
    ~CKelApp() override;

    // Loads the recent-file list and shows the main window, with no document open.
    bool initInstance();
    CMainFrame& mainFrame() const { return *mainFrame_; }

    // File > New: an untitled document without a scene, titled Kel1, Kel2, ...
    KelDataFrame* onFileNew();
    // File > Open: asks for a file and opens it.
    void onFileOpen();
    // Opens path as File > Open does after its dialog: a file already open is brought to
    // the front, one that cannot be read is reported and makes no window. Returns the
    // window showing the file, or null.
    KelDataFrame* openDocumentFile(const std::string& path);
    void onOpenRecentFile(std::size_t index);
    void onFileClose();
    bool onFileSave();
    bool onFileSaveAs();
    // File > Export Image: writes the active view's image, in device pixels, as PNG to a
    // file the user names. True when it was written; a failure is reported.
    bool onFileExportImage();
    // Edit > Copy Image: the active view's image onto the clipboard.
    void onEditCopyImage();
    // Another window on the active document, starting in wireframe.
    KelDataFrame* onWindowNew();
    void onAppExit();
    void onAppAbout();

    // Reads the document's scene file again after it changed on disk: at once when it has
    // no unsaved edits, else only when the user agrees to lose them. Each window keeps its
    // render mode and the scene its culling choice; the undo steps go. False when nothing
    // was reloaded (declined, or the file no longer reads, which is reported).
    bool reloadDocument(CKelDoc& document);
    // The watcher of an open document's files, or null.
    DocumentWatcher* watcherOf(const CKelDoc& document) const;

    // Closes every document; each modified one asks whether to save.
    bool closeAllDocuments();
    // Asks about saving if modified, then closes all windows of the document.
    bool closeDocument(CKelDoc& document);

    // Remembers where the main window is, for the next run.
    void storeMainWindowGeometry();

    const RecentFileList& recentFiles() const { return recent_; }
    const std::vector<std::shared_ptr<CKelDoc>>& documents() const { return documents_; }
    // The open (not closing) windows of a document, in creation order.
    std::vector<KelDataFrame*> framesOf(const CKelDoc& document) const;

private:
    KelDataFrame* createFrame(const std::shared_ptr<CKelDoc>& document);
    bool frameClosing(KelDataFrame& frame);
    void updateFrameTitles(const CKelDoc& document, const KelDataFrame* leaving = nullptr);
    void forgetDocument(const CKelDoc& document);
    void watch(CKelDoc& document);
    bool reloadFromDisk(CKelDoc& document);
    CKelDoc* findOpenDocument(const std::string& path) const;
    bool saveDocument(CKelDoc& document, const std::string& path);
    void addRecentFile(const std::string& path);
    void removeRecentFile(const std::string& path);
    void loadRecentFiles();
    void storeRecentFiles();

    UserMessages& messages_;
    FileChooser& files_;
    std::unique_ptr<QSettings> settings_;
    KelDataFrame::TreePaneFactory treePane_;
    RecentFileList recent_;
    std::vector<std::shared_ptr<CKelDoc>> documents_;
    std::vector<std::pair<const CKelDoc*, std::unique_ptr<DocumentWatcher>>> watchers_;
    int untitledCount_ = 0;
    bool reloading_ = false;  // a reload question is open: later notices wait for it
    std::unique_ptr<CMainFrame> mainFrame_;
};

}  // namespace kel
