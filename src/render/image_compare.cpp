#include "render/image_compare.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace kel {

namespace {

// Largest difference of one channel between two pixels; 0 when they are equal.
int channelDifference(const std::uint8_t* a, const std::uint8_t* b) {
    int largest = 0;
    for (std::size_t c = 0; c < RgbaImage::kChannels; ++c) {
        largest = std::max(largest, std::abs(int{a[c]} - int{b[c]}));
    }
    return largest;
}

std::string sizeText(const RgbaImage& image) {
    return std::to_string(image.width()) + "x" + std::to_string(image.height());
}

// c over white by alpha a, then three quarters of the way to white; halves round up.
std::uint8_t faded(std::uint8_t c, std::uint8_t a) {
    const int over = (2 * (int{c} * a + 255 * (255 - a)) + 255) / 510;
    return static_cast<std::uint8_t>((over + 3 * 255 + 2) / 4);
}

}  // namespace

ImageDifference compareImages(const RgbaImage& image, const RgbaImage& reference) {
    ImageDifference result;
    result.sameSize = image.width() == reference.width() && image.height() == reference.height();
    const int width = std::min(image.width(), reference.width());
    const int height = std::min(image.height(), reference.height());
    result.sharedPixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int d = channelDifference(image.pixel(x, y), reference.pixel(x, y));
            if (d == 0) {
                continue;
            }
            if (result.differing == 0) {
                result.left = result.right = x;
                result.top = result.bottom = y;
            }
            ++result.differing;
            result.largestChannel = std::max(result.largestChannel, d);
            result.left = std::min(result.left, x);
            result.right = std::max(result.right, x);
            result.top = std::min(result.top, y);
            result.bottom = std::max(result.bottom, y);
        }
    }
    return result;
}

std::string describeDifference(const ImageDifference& difference, const RgbaImage& image,
                               const RgbaImage& reference) {
    std::ostringstream out;
    if (!difference.sameSize) {
        out << "the image is " << sizeText(image) << " pixels, the reference "
            << sizeText(reference) << "\n";
    }
    if (difference.differing > 0) {
        out << difference.differing << " of " << difference.sharedPixels
            << (difference.sameSize ? " pixels" : " shared pixels") << " differ, by at most "
            << difference.largestChannel << " in a channel, within x " << difference.left << ".."
            << difference.right << ", y " << difference.top << ".." << difference.bottom << "\n";
    } else if (!difference.sameSize) {
        out << "the " << difference.sharedPixels << " shared pixels are the same\n";
    }
    return out.str();
}

RgbaImage differenceImage(const RgbaImage& image, const RgbaImage& reference) {
    RgbaImage result(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const std::uint8_t* source = image.pixel(x, y);
            std::uint8_t* target = result.pixel(x, y);
            const bool covered = x < reference.width() && y < reference.height();
            if (!covered || channelDifference(source, reference.pixel(x, y)) != 0) {
                target[0] = 255;
                target[1] = 0;
                target[2] = 0;
            } else {
                for (std::size_t c = 0; c < 3; ++c) {
                    target[c] = faded(source[c], source[3]);
                }
            }
            target[3] = 255;
        }
    }
    return result;
}

}  // namespace kel
