#include "app/kel_data_frame.h"

#include <QCloseEvent>
#include <QSplitter>
#include <algorithm>

#include "app/dialogs/options_commands.h"
#include "app/kel_view.h"
#include "app/split_tracker.h"
#include "files/kel_doc.h"
#include "model/camera.h"
#include "model/scene.h"
#include "model/scene_settings.h"
#include "tree/qt/kel_tree_view.h"

namespace kel {

KelDataFrame::KelDataFrame(std::shared_ptr<CKelDoc> document, UserMessages& messages,
                           const TreePaneFactory& makeTreePane, QWidget* parent)
    : QMdiSubWindow(parent), document_(std::move(document)), messages_(messages) {
    setAttribute(Qt::WA_DeleteOnClose);
    splitter_ = new QSplitter(Qt::Horizontal);
    splitter_->setChildrenCollapsible(false);
    treePane_ = makeTreePane ? makeTreePane(*document_, splitter_) : new QWidget(splitter_);
    splitter_->addWidget(treePane_);
    view_ = new CKelView(*document_, *this, splitter_);
    splitter_->addWidget(view_);
    // The tree keeps its width when the window is resized; the rendered pane takes the rest.
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    treePane_->resize(kTreePaneWidth, kTreePaneHeight);
    setWidget(splitter_);
    splitter_->setSizes({kTreePaneWidth, std::max(0, splitter_->width() - kTreePaneWidth)});
    splitTracker_ = std::make_unique<SplitTracker>(*splitter_);
    connect(view_, &CKelView::rendered, this, &KelDataFrame::statusChanged);
    connect(view_, &CKelView::picked, this, &KelDataFrame::onPicked);
}

KelDataFrame::~KelDataFrame() {
    // The panes are views of the document: they go while it is certainly still there.
    splitTracker_.reset();
    QWidget* const content = widget();
    setWidget(nullptr);
    delete content;
}

void KelDataFrame::closeForClosedDocument() {
    documentClosed_ = true;
    close();
}

void KelDataFrame::closeEvent(QCloseEvent* event) {
    if (!documentClosed_ && closingHandler_ && !closingHandler_(*this)) {
        event->ignore();
        return;
    }
    closing_ = true;
    QMdiSubWindow::closeEvent(event);
}

bool KelDataFrame::hasScene() const {
    return document_->scene() != nullptr;
}

bool KelDataFrame::isCullingChecked() const {
    const Scene* scene = document_->scene();
    return scene != nullptr && scene->cullBackFaces();
}

void KelDataFrame::switchMode(RenderMode mode, bool cull) {
    Scene* scene = document_->scene();
    if (scene == nullptr || renderMode_ == mode) {
        return;
    }
    renderMode_ = mode;
    scene->setCullBackFaces(cull);
    document_->updateAllViews(nullptr);
}

void KelDataFrame::onViewPhong() {
    switchMode(RenderMode::Phong, true);
}

void KelDataFrame::onViewGouraud() {
    switchMode(RenderMode::Gouraud, true);
}

void KelDataFrame::onViewWireframe() {
    switchMode(RenderMode::Wireframe, false);
}

void KelDataFrame::onViewCulling() {
    Scene* scene = document_->scene();
    if (scene == nullptr) {
        return;
    }
    const bool wasCulling = scene->cullBackFaces();
    scene->setCullBackFaces(!wasCulling);
    if (wasCulling) {
        // Polygons culled so far must come back once culling is off.
        scene->setResetVisibility(true);
    }
    document_->updateAllViews(nullptr);
}

bool KelDataFrame::canResetView() const {
    const Scene* scene = document_->scene();
    return scene != nullptr && scene->camera() != nullptr && document_->openedCamera().has_value();
}

void KelDataFrame::onViewResetView() {
    if (!canResetView()) {
        return;
    }
    Scene& scene = *document_->scene();
    const SceneSettings before = captureSettings(scene);
    applyPose(*scene.camera(), *document_->openedCamera());
    document_->updateAllViews(nullptr, 0);
    document_->setModified(true);
    document_->recordEdit("Reset View", before);
}

QString KelDataFrame::renderFigures() const {
    const CKelView::RenderFigures& f = view_->renderFigures();
    return QStringLiteral("%1 vertices, %2 polygons, %3 culled, %4 ms")
        .arg(f.vertices)
        .arg(f.polygons)
        .arg(f.culled)
        .arg(f.milliseconds, 0, 'f', 1);
}

QString KelDataFrame::pickText() const {
    return view_->pickText();
}

void KelDataFrame::onPicked(const PixelStory& story) {
    if (story.kind == PixelStory::Kind::Polygon) {
        if (auto* tree = qobject_cast<KelTreeView*>(treePane_)) {
            tree->revealPolygon(*story.object, *story.polygon);
        }
    }
    emit statusChanged();
}

void KelDataFrame::onOptionsCamera() {
    if (hasScene()) {
        editCamera(this, *document_, messages_);
    }
}

void KelDataFrame::onOptionsFrustum() {
    if (hasScene()) {
        editFrustum(this, *document_, messages_);
    }
}

void KelDataFrame::onOptionsAmbience() {
    if (hasScene()) {
        editAmbient(this, *document_, messages_);
    }
}

void KelDataFrame::onOptionsLight() {
    if (hasScene()) {
        editLight(this, *document_, messages_);
    }
}

void KelDataFrame::onWindowSplit() {
    splitTracker_->start();
}

bool KelDataFrame::isSplitTracking() const {
    return splitTracker_->isTracking();
}

}  // namespace kel
