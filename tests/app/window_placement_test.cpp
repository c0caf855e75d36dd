#include "app/window_placement.h"

#include <gtest/gtest.h>

namespace kel {
namespace {

const DocumentWindowShape kShape{QMargins(4, 24, 4, 4), 150, 6};

TEST(WindowPlacementTest, NewWindowsAreInsideTheAreaWithASquareImagePane) {
    const QSize areas[] = {{1600, 950}, {800, 500}, {1000, 1400}, {640, 400}};
    for (const QSize area : areas) {
        for (int slot = 0; slot < 2 * (kCascadeDepth + 1); ++slot) {
            SCOPED_TRACE(QStringLiteral("%1x%2 slot %3")
                             .arg(area.width())
                             .arg(area.height())
                             .arg(slot)
                             .toStdString());
            const QRect rect = documentWindowRect(area, kShape, slot);
            EXPECT_TRUE(QRect(QPoint(0, 0), area).contains(rect));
            const int paneWidth = rect.width() - 4 - 150 - 6 - 4;
            const int paneHeight = rect.height() - 24 - 4;
            EXPECT_EQ(paneWidth, paneHeight);
            // Slots step down and right by a title bar, and start over after the last.
            const int step = slot % (kCascadeDepth + 1) * cascadeStep(kShape);
            EXPECT_EQ(rect.topLeft(), QPoint(step, step));
        }
    }
    // On a 1600 x 950 area the height decides: 950 - 4 steps of 24 - 28 of frame.
    EXPECT_EQ(documentWindowRect({1600, 950}, kShape, 0).size(), QSize(4 + 150 + 6 + 826 + 4, 854));
    // Narrow and tall: the width decides.
    EXPECT_EQ(documentWindowRect({1000, 1400}, kShape, 0).width(), 1000 - 4 * 24);
}

TEST(WindowPlacementTest, AnAreaTooSmallForTheSmallestWindowShowsItsTopLeft) {
    const QRect rect = documentWindowRect({200, 100}, kShape, 3);
    EXPECT_EQ(rect.topLeft(), QPoint(0, 0));
    EXPECT_EQ(rect.height(), 24 + kMinImageSide + 4);
    EXPECT_EQ(documentWindowRect({200, 100}, kShape, -5).topLeft(), QPoint(0, 0));
}

TEST(WindowPlacementTest, TopLevelWindowsAreShrunkAndMovedOntoTheScreen) {
    const QRect screen(0, 0, 1600, 1000);
    const struct {
        QSize wanted;
        QRect over;
        QRect expected;
    } cases[] = {
        {{1000, 720}, QRect(), QRect(300, 140, 1000, 720)},
        // What a scale factor of 2 made of the default: larger than the screen.
        {{2000, 1440}, QRect(), QRect(0, 0, 1600, 1000)},
        // Centred over its parent, but kept off the bottom and right edges.
        {{640, 560}, QRect(1200, 700, 400, 300), QRect(960, 440, 640, 560)},
        {{640, 560}, QRect(-900, -900, 100, 100), QRect(0, 0, 640, 560)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(placeOnScreen(c.wanted, screen, c.over), c.expected);
    }
    // A screen that does not start at the origin.
    EXPECT_EQ(placeOnScreen({3000, 100}, QRect(1600, 30, 1280, 994)), QRect(1600, 477, 1280, 100));
}

}  // namespace
}  // namespace kel
