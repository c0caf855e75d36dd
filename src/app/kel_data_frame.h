#pragma once

#include <QMdiSubWindow>
#include <functional>
#include <memory>

#include "render/pixel_probe.h"
#include "render/render_mode.h"

class QSplitter;

namespace kel {

class CKelDoc;
class CKelView;
class SplitTracker;
class UserMessages;

// A document window: a splitter with the scene tree on the left (150 pixels wide at first)
// and the rendered view taking the rest. It holds its own render mode and answers the View
// and Options commands for its document.
class KelDataFrame : public QMdiSubWindow {
    Q_OBJECT

public:
    static constexpr int kTreePaneWidth = 150;
    static constexpr int kTreePaneHeight = 350;

    // Makes the left pane's view of a document; the pane is parented by the splitter.
    using TreePaneFactory = std::function<QWidget*(CKelDoc&, QWidget* parent)>;
    // Called when the user closes the window, before it goes; false keeps it open.
    using ClosingHandler = std::function<bool(KelDataFrame&)>;

    // The window shares ownership of its document, so the document outlives every view.
    KelDataFrame(std::shared_ptr<CKelDoc> document, UserMessages& messages,
                 const TreePaneFactory& makeTreePane, QWidget* parent = nullptr);
    ~KelDataFrame() override;

    CKelDoc& document() const { return *document_; }
    const std::shared_ptr<CKelDoc>& sharedDocument() const { return document_; }
    RenderMode renderMode() const { return renderMode_; }
    CKelView& renderedView() const { return *view_; }
    QWidget& treePane() const { return *treePane_; }
    QSplitter& splitter() const { return *splitter_; }

    void setClosingHandler(ClosingHandler handler) { closingHandler_ = std::move(handler); }
    // The document is already closed: close the window without telling the handler.
    void closeForClosedDocument();
    // True from the moment the window accepted its close until it is destroyed.
    bool isClosing() const { return closing_; }

    // The View commands. A mode command on the current mode does nothing at all.
    void onViewPhong();
    void onViewGouraud();
    void onViewWireframe();
    void onViewCulling();
    // The check marks of the View menu.
    bool isCullingChecked() const;
    // View > Reset View: the camera the document was opened with, as one more edit.
    void onViewResetView();
    bool canResetView() const;
    // Whether the View and Options commands apply: the document holds a scene.
    bool hasScene() const;

    // The Options commands: each runs its dialog; on OK the dialog updates the views and
    // marks the document modified.
    void onOptionsCamera();
    void onOptionsFrustum();
    void onOptionsAmbience();
    void onOptionsLight();

    // Window > Split: the split bar takes the keyboard; Left and Right move it, Enter
    // keeps the position, Escape puts it back.
    void onWindowSplit();
    bool isSplitTracking() const;

    // What the status bar shows for this window: the counts and time of its view's last
    // render, and its last pick.
    QString renderFigures() const;
    QString pickText() const;

signals:
    void statusChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void switchMode(RenderMode mode, bool cull);
    void onPicked(const PixelStory& story);

    std::shared_ptr<CKelDoc> document_;
    UserMessages& messages_;
    RenderMode renderMode_ = RenderMode::Wireframe;
    QSplitter* splitter_ = nullptr;
    QWidget* treePane_ = nullptr;
    CKelView* view_ = nullptr;
    std::unique_ptr<SplitTracker> splitTracker_;
    ClosingHandler closingHandler_;
    bool closing_ = false;
    bool documentClosed_ = false;
};

}  // namespace kel
