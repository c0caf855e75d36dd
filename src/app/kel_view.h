#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <memory>
#include <string>
#include <optional>

#include "model/camera_moves.h"
#include "model/scene_settings.h"
#include "platform/document.h"
#include "render/pixel_probe.h"

namespace kel {

class CKelDoc;
class KelDataFrame;
class WireframePipeline;
class GouraudPipeline;
class ImageSurface;
class PhongPipeline;
class RenderPipeline;

// The rendered pane of a document window: scrolls over the document's 2000 x 2000 area and
// renders the scene afresh on every paint, through the pipeline of its window's mode.
//
// Scrolling: the image is rendered for a client area the size of the viewport, as if the
// view were not scrolled, and shown moved up and left by the scroll position, so that the
// logical pixel (x, y) lands at (x - scroll x, y - scroll y); what lies beyond the rendered
// client area is the erased background.
//
// The client area is counted in device pixels: at a device pixel ratio r the scene is
// rendered for a viewport r times as wide and high, and shown pixel for pixel. The view
// keeps its frame buffer between paints and shows it as it is, so a paint allocates and
// converts nothing unless the size changed.
class CKelView : public QAbstractScrollArea, public View {
    Q_OBJECT

public:
    static constexpr int kPageWidth = 400;
    static constexpr int kPageHeight = 600;
    static constexpr int kLineWidth = kPageWidth / 10;
    static constexpr int kLineHeight = kPageHeight / 10;

    // Registers with the document; the frame decides the mode and outlives the view.
    CKelView(CKelDoc& document, const KelDataFrame& frame, QWidget* parent = nullptr);
    ~CKelView() override;

    CKelDoc& document() const { return document_; }

    // Ignores its arguments and repaints the whole view.
    void onUpdate(View* sender, int hint) override;

    // The viewport's size in device pixels: the client area the scene is rendered for.
    QSize deviceClientSize() const;

    // Renders the scene for the current viewport in the window's mode: what a paint shows
    // at scroll position (0, 0), as an image of deviceClientSize() pixels that carries the
    // device pixel ratio. Null for a document without a scene or an empty viewport; the
    // scene's render state changes exactly as in a paint.
    QImage renderImage();
    // The same render written as PNG; false with the reason in error when nothing could be
    // rendered or written.
    bool exportImage(const std::string& path, std::string& error);

    // How many renders paints have run; lets a caller see that an update re-rendered.
    int renderCount() const { return renderCount_; }

    // What the last render counted and how long it took.
    struct RenderFigures {
        std::size_t vertices = 0;
        std::size_t polygons = 0;
        std::size_t culled = 0;  // polygons the render left not visible
        double milliseconds = 0.0;
    };
    const RenderFigures& renderFigures() const { return figures_; }

    // The pixel of the rendered image under a viewport point: scrolled, and scaled by the
    // image's pixels per logical pixel (the device pixel ratio when rendering in device
    // pixels).
    QPoint imagePixelAt(const QPoint& viewportPoint) const;
    // Renders this view afresh (so the scene holds its mode's state) and tells the story of
    // the pixel under the viewport point.
    PixelStory probeAt(const QPoint& viewportPoint);
    // The status text of the last pick ("" before any), and the point it gave.
    const QString& pickText() const { return pickText_; }

signals:
    // After each render, with renderFigures() updated.
    void rendered();
    // A click picked a polygon or the background; outside the viewport nothing is sent.
    void picked(const kel::PixelStory& story);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Renders into the kept frame buffer; null when there is nothing to render.
    const ImageSurface* render();
    RenderPipeline* pipelineOfMode() const;
    enum class DragKind { Orbit, Pan };
    struct Press {
        QPoint at;
        DragKind kind = DragKind::Orbit;
        bool dragging = false;
        bool measure = false;
        CameraPose start;
        SceneSettings before;
    };

    void updateScrollBars();
    void countFigures(double milliseconds);
    void dragTo(const QPoint& point);
    void finishDrag();
    void pick(const QPoint& point, bool measure);
    double imageScale() const;

    CKelDoc& document_;
    const KelDataFrame& frame_;
    // Created and destroyed in this order; each view has its own.
    std::unique_ptr<WireframePipeline> wireframe_;
    std::unique_ptr<GouraudPipeline> gouraud_;
    std::unique_ptr<PhongPipeline> phong_;
    // The frame buffer of the last paint and an image over its pixels, remade on resize.
    std::unique_ptr<ImageSurface> surface_;
    QImage shown_;
    int renderCount_ = 0;
    RenderFigures figures_;
    QSize lastImageSize_;
    std::optional<Press> press_;
    QString pickText_;
    std::optional<Vector> anchor_;  // the point of the last plain pick
};

}  // namespace kel
