#pragma once

#include <memory>
#include <vector>

#include "model/light.h"
#include "render/device_renderer.h"
#include "render/edge_table.h"
#include "render/frame_buffer.h"
#include "render/shading.h"

namespace kel {

// Scan-converts every visible polygon through an edge table into a depth-tested frame
// buffer, then copies the whole buffer to the surface, one row per call. Subclasses say
// how a span is interpolated and coloured.
class ScanlineRenderer : public DeviceRenderer {
public:
    void draw(DrawingSurface& surface, Scene& scene) override;

    // Creates the buffer at the viewport's size, or resets the one kept from the last
    // render.
    void prepareBuffer(const DeviceMapping& mapping);
    // Absent until the first render.
    const FrameBuffer* frameBuffer() const { return buffer_.get(); }

    // The viewport's rows are dealt out in blocks to bands, one thread each, every band
    // taking every polygon in order; a pixel therefore sees the same depth tests in the
    // same order whatever the number of bands. 0 (the default) picks one band per
    // available thread.
    void setBandCount(int bands) { requestedBands_ = bands; }

protected:
    // One row of one polygon between two crossings: the left one is second when its x is
    // smaller, else first. Columns from round(left x) up to, not including, round(right x).
    // Bands call it from several threads at once, each for rows of its own: it may touch
    // nothing but that row of the buffer.
    virtual void fillSpan(int row, const EdgeEntry& first, const EdgeEntry& second,
                          const ShadingInputs& shading) = 0;

    FrameBuffer& buffer() { return *buffer_; }

    // Where a span starts and ends, clipped to the viewport's columns.
    struct Span {
        int xs = 0;          // rounded left column
        int xe = 0;          // rounded right column (excluded)
        double columns = 0;  // xe - xs
        int begin = 0;       // first column drawn (>= 0)
        int end = 0;         // one past the last column drawn (<= width)
    };
    // False when nothing of the span is drawn.
    bool spanOf(const EdgeEntry& left, const EdgeEntry& right, Span& span) const;

private:
    struct Band {
        EdgeTable edges;
        std::vector<const EdgeEntry*> crossings;
    };
    struct ObjectToDraw {
        const SceneObject* object;
        ShadingInputs shading;
    };

    int bandCountFor(int rows) const;
    void drawBand(Band& band, const Vector& light);
    void drawPolygon(Band& band, const Polygon& polygon, const Vector& light,
                     const ShadingInputs& shading);
    void fillRow(Band& band, int row, const ShadingInputs& shading);

    std::unique_ptr<FrameBuffer> buffer_;
    std::vector<Band> bands_;
    std::vector<ObjectToDraw> objects_;
    int requestedBands_ = 0;
};

// Interpolates the light cosine of the corners; no highlight.
class GouraudRenderer : public ScanlineRenderer {
protected:
    void fillSpan(int row, const EdgeEntry& first, const EdgeEntry& second,
                  const ShadingInputs& shading) override;
};

// Interpolates world position and normal and lights every pixel.
class PhongRenderer : public ScanlineRenderer {
protected:
    void fillSpan(int row, const EdgeEntry& first, const EdgeEntry& second,
                  const ShadingInputs& shading) override;
};

}  // namespace kel
