#include "app/kel_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "app/kel_data_frame.h"
#include "app/surface_image.h"
#include "app/wait_cursor.h"
#include "files/kel_doc.h"
#include "render/image_surface.h"
#include "render/render_pipeline.h"

namespace kel {

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

QImage CKelView::renderImage() {
    Scene* const scene = document_.scene();
    if (scene == nullptr) {
        return {};
    }
    RenderPipeline* pipeline = nullptr;
    switch (frame_.renderMode()) {
        case RenderMode::Wireframe:
            pipeline = wireframe_.get();
            break;
        case RenderMode::Gouraud:
            pipeline = gouraud_.get();
            break;
        case RenderMode::Phong:
            pipeline = phong_.get();
            break;
    }
    const QSize client = viewport()->size();
    if (pipeline == nullptr || client.isEmpty()) {
        return {};
    }
    const WaitCursor wait;
    ImageSurface surface(client.width(), client.height());
    pipeline->run(surface, *scene);
    ++renderCount_;
    return toQImage(surface);
}

void CKelView::paintEvent(QPaintEvent* /*event*/) {
    const QImage image = renderImage();
    if (image.isNull()) {
        return;
    }
    QPainter painter(viewport());
    painter.drawImage(QPoint(-horizontalScrollBar()->value(), -verticalScrollBar()->value()),
                      image);
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
