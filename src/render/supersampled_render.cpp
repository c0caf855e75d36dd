#include "render/supersampled_render.h"

#include <tbb/task_arena.h>

#include <algorithm>
#include <vector>

#include "model/device_mapping.h"
#include "model/scene.h"
#include "render/device_renderer.h"
#include "render/frame_buffer.h"
#include "render/render_pipeline.h"
#include "render/scanline_renderer.h"

namespace kel {

namespace {

// Sums of one output row's blocks, per channel: R, G, B interleaved.
void sumBlockRow(const ImageSurface& large, int top, int factor, int columns,
                 std::vector<std::uint32_t>& sums) {
    std::fill(sums.begin(), sums.end(), 0u);
    for (int j = 0; j < factor; ++j) {
        const int y = top + j;
        for (int x = 0; x < columns; ++x) {
            const int left = kViewportMargin + x * factor;
            std::uint32_t* sum = &sums[static_cast<std::size_t>(x) * 3];
            for (int i = 0; i < factor; ++i) {
                const std::uint32_t color = large.pixel(left + i, y);
                sum[0] += color & 0xFFu;
                sum[1] += (color >> 8) & 0xFFu;
                sum[2] += (color >> 16) & 0xFFu;
            }
        }
    }
}

// The mean of count values whose sum is given, halves rounded up.
std::uint32_t roundedMean(std::uint32_t sum, std::uint32_t count) {
    return (2 * sum + count) / (2 * count);
}

}  // namespace

SupersampledRender::SupersampledRender(int factor) : factor_(std::max(factor, 1)) {}

void SupersampledRender::run(RenderPipeline& pipeline, Scene& scene, ImageSurface& image) {
    image.fill(ImageSurface::kWhite);
    DeviceMapping mapping;
    mapping.fit(image.clientRect(), kViewportMargin);
    if (factor_ == 1 || mapping.side() <= 0 ||
        static_cast<long long>(mapping.side()) * factor_ > kMaxSampledSide) {
        pipeline.run(image, scene);
        return;
    }
    const int side = mapping.side();
    const int largeSide = side * factor_ + 2 * kViewportMargin;
    if (large_.width() != largeSide) {
        large_ = ImageSurface(largeSide, largeSide);
    } else {
        large_.fill(ImageSurface::kWhite);
    }
    pipeline.run(large_, scene);

    mapping.drawFrame(image);
    const std::uint32_t samples = static_cast<std::uint32_t>(factor_ * factor_);
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(side) * 3);
    std::vector<std::uint32_t> row(static_cast<std::size_t>(side));
    for (int y = 0; y < side; ++y) {
        sumBlockRow(large_, kViewportMargin + y * factor_, factor_, side, sums);
        for (int x = 0; x < side; ++x) {
            const std::uint32_t* sum = &sums[static_cast<std::size_t>(x) * 3];
            row[static_cast<std::size_t>(x)] = roundedMean(sum[0], samples) |
                                               (roundedMean(sum[1], samples) << 8) |
                                               (roundedMean(sum[2], samples) << 16);
        }
        image.setPixelRow(kViewportMargin, kViewportMargin + y, row.data(), side);
    }
}

bool renderThumbnail(RenderPipeline& pipeline, Scene& scene, int size, int factor,
                     Thumbnail& thumbnail) {
    factor = std::max(factor, 1);
    size = std::max(size, 1);
    if (static_cast<long long>(size) * factor > kMaxSampledSide) {
        return false;
    }
    const int largeSide = size * factor + 2 * kViewportMargin;
    ImageSurface large(largeSide, largeSide);
    // Thumbnailers run beside the file manager, often several at once, and a thumbnail is
    // small: spare threads would only wait for each other. The image does not depend on the
    // thread count.
    tbb::task_arena oneThread(1);
    oneThread.execute([&] { pipeline.run(large, scene); });
    const auto* renderer = dynamic_cast<const ScanlineRenderer*>(pipeline.renderer());
    const FrameBuffer* buffer = renderer != nullptr ? renderer->frameBuffer() : nullptr;
    if (buffer == nullptr || buffer->width() != size * factor) {
        return false;
    }
    Thumbnail result;
    result.image = RgbaImage(size, size);
    const std::uint32_t samples = static_cast<std::uint32_t>(factor * factor);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            std::uint32_t sum[3] = {0, 0, 0};
            std::uint32_t covered = 0;
            for (int j = 0; j < factor; ++j) {
                for (int i = 0; i < factor; ++i) {
                    const int bx = x * factor + i;
                    const int by = y * factor + j;
                    if (buffer->depthAt(bx, by) >= FrameBuffer::kClearDepth) {
                        continue;
                    }
                    const std::uint32_t color =
                        large.pixel(kViewportMargin + bx, kViewportMargin + by);
                    sum[0] += color & 0xFFu;
                    sum[1] += (color >> 8) & 0xFFu;
                    sum[2] += (color >> 16) & 0xFFu;
                    ++covered;
                }
            }
            if (covered == 0) {
                continue;
            }
            std::uint8_t* pixel = result.image.pixel(x, y);
            for (int c = 0; c < 3; ++c) {
                pixel[c] = static_cast<std::uint8_t>(roundedMean(sum[c], covered));
            }
            pixel[3] = static_cast<std::uint8_t>(roundedMean(covered * 255, samples));
            result.coveredSamples += covered;
        }
    }
    thumbnail = std::move(result);
    return true;
}

}  // namespace kel
