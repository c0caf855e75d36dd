#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/shading.h"

namespace kel {

// Pixels that passed the depth test, gathered over many spans of one object, with what
// the Phong colour needs: where the colour goes, world position and interpolated normal,
// as arrays so that several pixels are coloured at once.
struct PhongPixels {
    static constexpr std::size_t kBatch = 512;  // pixels coloured together, at least

    std::vector<std::size_t> target;  // index of the frame buffer cell
    std::vector<double> wx, wy, wz;   // world position
    std::vector<double> nx, ny, nz;   // normal, not renormalized
    std::vector<double> scratch;      // working space of phongColors
    std::vector<std::uint32_t> color;
    std::size_t count = 0;
    const ShadingInputs* shading = nullptr;  // of the gathered pixels

    // Room for a batch and one more span of up to width pixels.
    void reserve(std::size_t width);
};

// Pixels that passed the depth test in Gouraud spans, gathered over many spans of one
// object with their interpolated cosine, so that several are coloured at once.
struct GouraudPixels {
    static constexpr std::size_t kBatch = 512;  // pixels coloured together, at least

    std::vector<std::size_t> target;  // index of the frame buffer cell
    std::vector<double> cosine;
    std::size_t count = 0;
    const ShadingInputs* shading = nullptr;  // of the gathered pixels

    // Room for a batch and one more span of up to width pixels.
    void reserve(std::size_t width);
};

// What a band's spans gather before colouring.
struct PendingPixels {
    PhongPixels phong;
    GouraudPixels gouraud;
};

// Colours the gathered pixels exactly as gouraudShade does, into colors (indexed by
// target, later pixels last), and empties the list.
void flushGouraudPixels(GouraudPixels& pixels, std::uint32_t* colors);

// The Phong colour of every recorded pixel into color, exactly as phongShade computes it
// after V = E - W (normalized unless zero) and H = (L + V) / |L + V| (none when zero):
// every pixel goes through the same operations in the same order, several at a time
// where the processor can.
void phongColors(PhongPixels& pixels, const ShadingInputs& shading, const LitChannels& lit);

// Colours the gathered pixels into colors (indexed by target, later pixels last) and
// empties the list.
void flushPhongPixels(PhongPixels& pixels, std::uint32_t* colors);

}  // namespace kel
