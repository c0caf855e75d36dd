#include "app/kel_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <bit>

#include "app/kel_data_frame.h"
#include "app/wait_cursor.h"
#include "files/kel_doc.h"
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
    const WaitCursor wait;
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
    pipeline->run(*surface_, *scene);
    ++renderCount_;
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
