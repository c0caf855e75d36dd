#include "app/kel_view.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>

#include "app/kel_data_frame.h"
#include "app/wait_cursor.h"
#include "files/kel_doc.h"
#include "model/camera.h"
#include "model/device_mapping.h"
#include "model/polygon.h"
#include "model/scene.h"
#include "model/scene_object.h"
#include "render/image_surface.h"
#include "render/png_file.h"
#include "render/render_pipeline.h"

namespace kel {

namespace {

// An opaque surface's pixel 0xFFBBGGRR is, in memory, the bytes R, G, B, 0xFF.
static_assert(std::endian::native == std::endian::little,
              "the frame buffer is shown as byte-ordered RGBX");
constexpr QImage::Format kSurfaceFormat = QImage::Format_RGBX8888;

}  // namespace

CKelView::CKelView(CKelDoc& document, const KelDataFrame& frame, QWidget* parent)
    : QAbstractScrollArea(parent),
      document_(document),
      frame_(frame),
      wireframe_(std::make_unique<WireframePipeline>()),
      gouraud_(std::make_unique<GouraudPipeline>()),
      phong_(std::make_unique<PhongPipeline>()) {
    // The erased background of a wireframe image is the window's.
    viewport()->setAutoFillBackground(true);
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(palette);
    setFocusPolicy(Qt::NoFocus);
    updateScrollBars();
    document_.addView(this);
}

CKelView::~CKelView() {
    document_.removeView(this);
    wireframe_.reset();
    gouraud_.reset();
    phong_.reset();
}

void CKelView::onUpdate(View* /*sender*/, int /*hint*/) {
    viewport()->update();
}

RenderPipeline* CKelView::pipelineOfMode() const {
    switch (frame_.renderMode()) {
        case RenderMode::Wireframe:
            return wireframe_.get();
        case RenderMode::Gouraud:
            return gouraud_.get();
        case RenderMode::Phong:
            return phong_.get();
    }
    return nullptr;
}

QSize CKelView::deviceClientSize() const {
    const qreal ratio = devicePixelRatioF();
    const QSize logical = viewport()->size();
    return {qRound(logical.width() * ratio), qRound(logical.height() * ratio)};
}

const ImageSurface* CKelView::render() {
    Scene* const scene = document_.scene();
    RenderPipeline* const pipeline = pipelineOfMode();
    const QSize client = deviceClientSize();
    if (scene == nullptr || pipeline == nullptr || client.isEmpty()) {
        return nullptr;
    }
    // A drag renders many frames in a row: no wait cursor flickering through them.
    std::optional<WaitCursor> wait;
    if (!press_ || !press_->dragging) {
        wait.emplace();
    }
    if (surface_ == nullptr || surface_->width() != client.width() ||
        surface_->height() != client.height()) {
        surface_ = std::make_unique<ImageSurface>(client.width(), client.height(),
                                                  ImageSurface::HighByte::Opaque);
        shown_ =
            QImage(reinterpret_cast<const uchar*>(surface_->pixels().data()), client.width(),
                   client.height(), static_cast<qsizetype>(client.width()) * 4, kSurfaceFormat);
    } else {
        surface_->fill(ImageSurface::kWhite);
    }
    shown_.setDevicePixelRatio(devicePixelRatioF());
    const auto start = std::chrono::steady_clock::now();
    pipeline->run(*surface_, *scene);
    const auto stop = std::chrono::steady_clock::now();
    ++renderCount_;
    lastImageSize_ = client;  // device pixels, when HiDPI
    countFigures(std::chrono::duration<double, std::milli>(stop - start).count());
    return surface_.get();
}

QImage CKelView::renderImage() {
    if (render() == nullptr) {
        return {};
    }
    QImage image = shown_.copy();
    image.setDevicePixelRatio(shown_.devicePixelRatio());
    return image;
}

bool CKelView::exportImage(const std::string& path, std::string& error) {
    const ImageSurface* const surface = render();
    if (surface == nullptr) {
        error = document_.scene() == nullptr ? "the document holds no scene"
                                             : "the view has no room to draw in";
        return false;
    }
    return writePng(*surface, path, error);
}

void CKelView::countFigures(double milliseconds) {
    const Scene* scene = document_.scene();
    figures_ = RenderFigures{};
    figures_.milliseconds = milliseconds;
    for (std::size_t i = 0; scene != nullptr && i < scene->objectCount(); ++i) {
        const SceneObject& object = *scene->object(i);
        figures_.vertices += object.vertexCount();
        for (const auto& surface : object.surfaces()) {
            for (const auto& polygon : surface->polygons()) {
                ++figures_.polygons;
                figures_.culled += polygon->visible() ? 0 : 1;
            }
        }
    }
    emit rendered();
}

double CKelView::imageScale() const {
    const int logical = viewport()->width();
    return logical > 0 && !lastImageSize_.isEmpty()
               ? static_cast<double>(lastImageSize_.width()) / logical
               : 1.0;
}

QPoint CKelView::imagePixelAt(const QPoint& viewportPoint) const {
    const double scale = imageScale();
    const double x = (viewportPoint.x() + horizontalScrollBar()->value()) * scale;
    const double y = (viewportPoint.y() + verticalScrollBar()->value()) * scale;
    return {static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))};
}

PixelStory CKelView::probeAt(const QPoint& viewportPoint) {
    const Scene* scene = document_.scene();
    if (scene == nullptr || render() == nullptr) {
        return {};
    }
    viewport()->update();
    const QPoint pixel = imagePixelAt(viewportPoint);
    return probePixel(*scene, frame_.renderMode(), pixel.x(), pixel.y());
}

void CKelView::pick(const QPoint& point, bool measure) {
    const PixelStory story = probeAt(point);
    if (story.kind == PixelStory::Kind::Outside) {
        return;  // a click beside the image tells nothing and changes nothing
    }
    QStringList parts;
    for (const std::string& line : describePixel(story)) {
        parts << QString::fromStdString(line);
    }
    if (measure && anchor_ && story.hasPoint) {
        PixelStory first;
        first.hasPoint = true;
        first.point = *anchor_;
        parts.prepend(QStringLiteral("distance: %1").arg(pickDistance(first, story), 0, 'g', 6));
    } else if (!measure || !anchor_) {
        // A plain click, or a Ctrl+click with nothing to measure from, starts anew.
        anchor_.reset();
        if (story.hasPoint) {
            anchor_ = story.point;
        }
    }
    pickText_ = parts.join(QStringLiteral(", "));
    emit picked(story);
}

void CKelView::mousePressEvent(QMouseEvent* event) {
    Scene* scene = document_.scene();
    const bool left = event->button() == Qt::LeftButton;
    if (scene == nullptr || scene->camera() == nullptr ||
        (!left && event->button() != Qt::MiddleButton) || press_) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    Press press;
    press.at = event->position().toPoint();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    press.kind = !left || (modifiers & Qt::ShiftModifier) ? DragKind::Pan : DragKind::Orbit;
    press.measure = left && (modifiers & Qt::ControlModifier);
    press.start = poseOf(*scene->camera());
    press.before = captureSettings(*scene);
    if (!scene->deviceMapping()->fitted()) {
        renderImage();  // a pan needs the viewport's size, known once it has rendered
    }
    press_ = press;
    event->accept();
}

void CKelView::mouseMoveEvent(QMouseEvent* event) {
    if (!press_) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    if (!press_->dragging &&
        (point - press_->at).manhattanLength() < QApplication::startDragDistance()) {
        return;
    }
    if (!press_->dragging) {
        press_->dragging = true;
        // Polygons culled under the first camera must come back under the next ones.
        document_.scene()->setResetVisibility(true);
    }
    dragTo(point);
    event->accept();
}

void CKelView::dragTo(const QPoint& point) {
    Scene* scene = document_.scene();
    if (scene == nullptr || scene->camera() == nullptr) {
        return;
    }
    const QPoint delta = point - press_->at;
    std::optional<CameraPose> pose;
    if (press_->kind == DragKind::Orbit) {
        pose = orbitPose(press_->start, delta.x(), delta.y());
    } else if (const Frustum* frustum = scene->frustum();
               frustum != nullptr && frustum->nearPlane() != 0.0) {
        const double scale = imageScale();
        pose = panPose(press_->start, delta.x() * scale, delta.y() * scale,
                       frustum->height() / frustum->nearPlane(), scene->deviceMapping()->side());
    }
    // A move the camera cannot take keeps the last good one.
    if (pose) {
        applyPose(*scene->camera(), *pose);
        viewport()->update();
    }
}

void CKelView::mouseReleaseEvent(QMouseEvent* event) {
    if (!press_) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    const bool pickRelease = event->button() == Qt::LeftButton;
    if (press_->dragging) {
        finishDrag();
    } else if (pickRelease && press_->kind != DragKind::Pan) {
        const bool measure = press_->measure;
        press_.reset();
        pick(event->position().toPoint(), measure);
    }
    press_.reset();
    event->accept();
}

void CKelView::finishDrag() {
    const Press press = *press_;
    press_.reset();
    const Scene* scene = document_.scene();
    if (scene == nullptr || scene->camera() == nullptr) {
        return;
    }
    // The release is one edit of the document's camera, as the Camera dialog's OK is.
    document_.updateAllViews(nullptr, 0);
    document_.setModified(true);
    document_.recordEdit(press.kind == DragKind::Orbit ? "Orbit" : "Pan", press.before);
}

void CKelView::wheelEvent(QWheelEvent* event) {
    Scene* scene = document_.scene();
    if (!(event->modifiers() & Qt::ControlModifier) || scene == nullptr ||
        scene->camera() == nullptr) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    event->accept();
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0.0 || press_) {
        return;
    }
    const SceneSettings before = captureSettings(*scene);
    const std::optional<CameraPose> pose = dollyPose(poseOf(*scene->camera()), notches);
    if (!pose) {
        return;
    }
    applyPose(*scene->camera(), *pose);
    document_.updateAllViews(nullptr, 0);
    document_.setModified(true);
    document_.recordEdit("Dolly", before);
}

void CKelView::paintEvent(QPaintEvent* /*event*/) {
    if (render() == nullptr) {
        return;
    }
    QPainter painter(viewport());
    painter.drawImage(QPoint(-horizontalScrollBar()->value(), -verticalScrollBar()->value()),
                      shown_);
}

void CKelView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void CKelView::scrollContentsBy(int /*dx*/, int /*dy*/) {
    // Every scroll position is a fresh render; nothing is moved.
    viewport()->update();
}

void CKelView::updateScrollBars() {
    const auto [width, height] = document_.documentSize();
    const QSize client = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, width - client.width()));
    horizontalScrollBar()->setPageStep(kPageWidth);
    horizontalScrollBar()->setSingleStep(kLineWidth);
    verticalScrollBar()->setRange(0, std::max(0, height - client.height()));
    verticalScrollBar()->setPageStep(kPageHeight);
    verticalScrollBar()->setSingleStep(kLineHeight);
}

}  // namespace kel
