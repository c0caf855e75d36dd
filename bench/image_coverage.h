#pragma once

#include <cstdint>
#include <string>

namespace kel {
class ImageSurface;
}

namespace kel::bench {

// How two renders of one scene agree: which viewport pixels each covers (anything not
// the white background) and how far apart their colours are where both cover.
struct Coverage {
    std::int64_t first = 0;   // pixels the first image covers
    std::int64_t second = 0;  // pixels the second image covers
    std::int64_t both = 0;
    double meanChannelDifference = 0.0;  // over the pixels both cover, 0..255
    std::int64_t farApart = 0;           // pixels both cover with a channel 32 or more apart

    // Pixels exactly one image covers, as a share of those the first covers.
    double mismatchShare() const;
};

// Compares the square viewport side x side at (margin, margin) of both images.
// Both must hold that square; returns false (with the reason) when one does not.
bool compareCoverage(const ImageSurface& first, const ImageSurface& second, int margin, int side,
                     Coverage& result, std::string& error);

}  // namespace kel::bench
