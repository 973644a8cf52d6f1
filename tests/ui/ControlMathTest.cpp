#include <gtest/gtest.h>

#include "ui/layout/ControlMath.h"

namespace qx::layout {
namespace {

struct SliderCase {
    int min, max;
    double fraction;  // of the usable track (track minus thumb)
    int expected;
};

TEST(SliderPosition, ClickPlacesFollowTheFormulaAndTheSnapRule) {
    const SliderCase cases[] = {
        {1, 5, 0.96, 5},                         // 4.84 > 4.75 snaps to the maximum
        {1, 20, 0.96, 19},                       // no snap outside the three short ranges
        {1, 5, 0.93, 4},                         // 4.72 stays below the threshold
        {1, 3, 0.94, 3},                         // 2.88 > 2.87
        {1, 3, 0.93, 2},                         // 2.86
        {1, 10, 0.98, 10},                       // 9.82 > 9.75
        {1, 10, 0.96, 9},                        // 9.64
        {0, 255, 0.5, 127}, {0, 255, 1.5, 255},  // past the end: clamped
        {0, 255, -0.2, 0},                       // before the start: clamped
    };
    const int left = 0, right = 210, thumb = 10;  // usable span 200
    for (const auto& c : cases) {
        const int x = left + static_cast<int>(c.fraction * (right - thumb - left));
        EXPECT_EQ(SliderPositionAt(c.min, c.max, x, left, right, thumb), c.expected)
            << c.min << "-" << c.max << " at " << c.fraction;
    }
}

TEST(SliderPosition, DegenerateTrackOrRangeGivesTheMinimum) {
    EXPECT_EQ(SliderPositionAt(3, 9, 50, 0, 10, 10), 3);
    EXPECT_EQ(SliderPositionAt(4, 4, 50, 0, 100, 10), 4);
    EXPECT_EQ(SliderThumbLeft(0, 10, 5, 20, 20, 10), 20);
}

TEST(ScrollGeometry, ThumbSizeAndPlace) {
    // 100 items, 10 per page, bar 200 x 18: track 164, thumb 164*10/100 = 16.
    auto g = ComputeScrollGeometry(200, 18, 0, 99, 10, 0);
    EXPECT_EQ(g.arrow, 18);
    EXPECT_EQ(g.track, 164);
    ASSERT_TRUE(g.hasThumb);
    EXPECT_EQ(g.thumbLength, 16);
    EXPECT_EQ(g.thumbStart, 18);
    g = ComputeScrollGeometry(200, 18, 0, 99, 10, 91);  // last position
    EXPECT_EQ(g.thumbStart, 18 + 164 - 16);
    g = ComputeScrollGeometry(200, 18, 0, 9999, 10, 0);  // tiny page: at least 6
    EXPECT_EQ(g.thumbLength, kMinThumb);
}

TEST(ScrollGeometry, NoThumbForShortTrackOrNothingToScroll) {
    auto g = ComputeScrollGeometry(30, 18, 0, 99, 10, 0);  // shorter than two arrows
    EXPECT_EQ(g.arrow, 15);
    EXPECT_FALSE(g.hasThumb);
    g = ComputeScrollGeometry(40, 18, 0, 99, 10, 0);  // track 4 < 6
    EXPECT_FALSE(g.hasThumb);
    g = ComputeScrollGeometry(200, 18, 0, 9, 11, 0);  // page covers it all
    EXPECT_FALSE(g.hasThumb);
}

TEST(ScrollGeometry, DraggedThumbMapsBackToPositions) {
    const auto g = ComputeScrollGeometry(200, 18, 0, 99, 10, 0);
    EXPECT_EQ(ScrollPositionForThumb(g, 0, 99, 10, g.arrow), 0);
    EXPECT_EQ(ScrollPositionForThumb(g, 0, 99, 10, g.arrow + g.track - g.thumbLength), 90);
    EXPECT_EQ(ScrollPositionForThumb(g, 0, 99, 10, 10000), 90);
    EXPECT_EQ(ScrollPositionForThumb(g, 0, 99, 10, -50), 0);
}

}  // namespace
}  // namespace qx::layout
