#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/light.h"
#include "render/device_renderer.h"
#include "render/edge_table.h"
#include "render/frame_buffer.h"
#include "render/shading.h"
#include "render/span_kernels.h"
#include "render/span_rule.h"

namespace kel {

// Scan-converts every visible polygon through an edge table into a depth-tested frame
// buffer, then copies the whole buffer to the surface, one row per call. Subclasses say
// how a span is interpolated and coloured.
class ScanlineRenderer : public DeviceRenderer {
public:
    void draw(DrawingSurface& surface, Scene& scene) override;

    // Creates the buffer at the viewport's size, or resizes the one kept from the last
    // render; each band then clears its own rows before drawing them.
    void prepareBuffer(const DeviceMapping& mapping);
    // Absent until the first render.
    const FrameBuffer* frameBuffer() const { return buffer_.get(); }

    // The viewport's rows are dealt out in blocks to bands, drawn on the available
    // threads, every band taking every polygon in order; a pixel therefore sees the same
    // depth tests in the same order whatever the number of bands. 0 (the default) picks
    // two bands per available thread, so that a thread that loses its core to other work
    // holds up the frame by half its share at most.
    void setBandCount(int bands) { requestedBands_ = bands; }

protected:
    // carriesSurface: the spans read world position and normal rather than the cosine.
    explicit ScanlineRenderer(bool carriesSurface) : carriesSurface_(carriesSurface) {}

    // One row of one polygon between two crossings: the left one is second when its x is
    // smaller, else first. Columns from round(left x) up to, not including, round(right x).
    // Bands call it from several threads at once, each for rows of its own: it may touch
    // nothing but that row of the buffer.
    // pixels is working space of the calling band: what the spans gather to colour later.
    virtual void fillSpan(int row, const EdgeEntry& first, const EdgeEntry& second,
                          const ShadingInputs& shading, PendingPixels& pixels) = 0;
    // Stores what fillSpan left pending in pixels; called when a band is done.
    virtual void flushSpans(PendingPixels& /*pixels*/) {}

    // A triangle's rows straight from its three edges (see forEachTriangleRow), each row's
    // span drawn as fillSpan draws it from an edge table. Same threading rule as fillSpan.
    virtual void drawTriangle(const Vertex* const corners[3], const double cosines[3],
                              const RowShare& share, const ShadingInputs& shading,
                              PendingPixels& pixels) = 0;

    FrameBuffer& buffer() { return *buffer_; }

private:
    // A drawable polygon of this render and the index of its object.
    struct DrawItem {
        const Polygon* polygon;
        std::uint32_t object;
    };
    struct Band {
        EdgeTable edges;
        std::size_t index = 0;
        std::vector<const EdgeEntry*> crossings;
        std::vector<double> cosines;  // per corner of the polygon being drawn
        PendingPixels pixels;
    };

    [[nodiscard]] int bandCountFor(int rows) const;
    // Each band's polygons, those that reach its rows, in drawing order.
    void collectDrawList(const Scene& scene, int rows);
    // surface: where the band puts its rows when done, or null when the caller does.
    void drawBand(Band& band, const Vector& light, DrawingSurface* surface,
                  const DeviceMapping& mapping);
    void drawPolygon(Band& band, const Polygon& polygon, const Vector& light,
                     const ShadingInputs& shading);
    void fillRow(Band& band, int row, const ShadingInputs& shading);

    // f(first, end) for each block of the band's rows.
    template <class F>
    void forEachBandBlock(const Band& band, F&& f) const;
    void copyRows(DrawingSurface& surface, const DeviceMapping& mapping, int first, int end) const;

    std::unique_ptr<FrameBuffer> buffer_;
    std::vector<Band> bands_;
    // The polygons that reach each band's rows, gathered in pieces of the scene's polygons
    // on several threads: piece p's list for band b is drawLists_[p * bands + b].
    static constexpr long kDrawListPiece = 4096;
    std::vector<std::vector<DrawItem>> drawLists_;
    std::size_t pieces_ = 0;
    std::vector<ShadingInputs> shading_;  // per object, by index
    int requestedBands_ = 0;
    bool carriesSurface_;
};

// What a shaded renderer adds to the scan conversion: it starts every span, from the edge
// table or straight from a triangle's edges, reading its crossings in place, and hands it
// to Spans::fill, which gathers pixels into its own half of the pending pixels. Spans is the
// derived renderer; Surface says whether its spans read world position and normal (else the
// cosine).
template <class Spans, bool Surface>
class SpanRenderer : public ScanlineRenderer {
protected:
    SpanRenderer() : ScanlineRenderer(Surface) {}

    // Defined with the spans, out of line, so that no other file needs them.
    void fillSpan(int row, const EdgeEntry& first, const EdgeEntry& second,
                  const ShadingInputs& shading, PendingPixels& pixels) override;
    void drawTriangle(const Vertex* const corners[3], const double cosines[3],
                      const RowShare& share, const ShadingInputs& shading,
                      PendingPixels& pixels) override;
    void flushSpans(PendingPixels& pixels) override {
        Spans::flush(Spans::pending(pixels), buffer().colorRow(0));
    }

    // Where a span writes: its columns, its row of depths and the index of its row's first
    // frame buffer cell.
    struct SpanRow {
        SpanColumns columns;
        std::uint16_t* depths = nullptr;
        std::size_t rowStart = 0;
    };

    // Everything a span's pixels need before the first: where it writes, the values at the
    // first column drawn and their steps per column.
    struct SpanStart {
        SpanRow row;
        Interpolated<Surface> at;
        Interpolated<Surface> step;
    };

    // The start of a span between two crossings. False when the span draws nothing.
    template <class Crossing>
    [[nodiscard]] bool prepareSpan(int row, const Crossing& first, const Crossing& second,
                                   SpanStart& start) {
        SpanRow& span = start.row;
        if (!spanColumns(first.x, second.x, buffer().width(), span.columns)) {
            return false;
        }
        Interpolated<Surface> right;
        loadPairs(span.columns.secondLeft ? second : first, start.at);
        loadPairs(span.columns.secondLeft ? first : second, right);
        for (int p = 0; p < Interpolated<Surface>::kPairs; ++p) {
            startSpan(span.columns, right.pairs[p], start.at.pairs[p], start.step.pairs[p]);
        }
        span.depths = buffer().depthRow(row);
        span.rowStart = static_cast<std::size_t>(row) * static_cast<std::size_t>(buffer().width());
        return true;
    }

private:
    // Makes room for a span's pixels: the gathered ones are coloured first when they are
    // another object's or a full batch.
    template <class Pending>
    void makeRoom(const ShadingInputs& shading, Pending& pixels) {
        if (pixels.shading != &shading || pixels.count >= Pending::kBatch) {
            Spans::flush(pixels, buffer().colorRow(0));
            pixels.shading = &shading;
        }
    }

    // One span between two crossings: its start, room for its pixels, then its pixels.
    template <class Crossing, class Pending>
    __attribute__((always_inline)) void span(int row, const Crossing& first, const Crossing& second,
                                             const ShadingInputs& shading, Pending& pixels) {
        SpanStart start;
        if (prepareSpan(row, first, second, start)) {
            makeRoom(shading, pixels);
            self().fill(start, pixels);
        }
    }

    Spans& self() { return static_cast<Spans&>(*this); }
};

// Interpolates the light cosine of the corners; no highlight.
class GouraudRenderer : public SpanRenderer<GouraudRenderer, false> {
private:
    friend class SpanRenderer<GouraudRenderer, false>;
    static GouraudPixels& pending(PendingPixels& pixels) { return pixels.gouraud; }
    static void flush(GouraudPixels& pixels, std::uint32_t* colors) {
        flushGouraudPixels(pixels, colors);
    }
    void fill(const SpanStart& start, GouraudPixels& pixels);
};

// Interpolates world position and normal and lights every pixel.
class PhongRenderer : public SpanRenderer<PhongRenderer, true> {
private:
    friend class SpanRenderer<PhongRenderer, true>;
    static PhongPixels& pending(PendingPixels& pixels) { return pixels.phong; }
    static void flush(PhongPixels& pixels, std::uint32_t* colors) {
        flushPhongPixels(pixels, colors);
    }
    void fill(const SpanStart& start, PhongPixels& pixels);
};

// The spans are defined, and these instantiated, with the renderers' code.
extern template class SpanRenderer<GouraudRenderer, false>;
extern template class SpanRenderer<PhongRenderer, true>;

}  // namespace kel
