// The hint window's sizes and places from values that a skin or config.ini may hold.
#include "popups/hint_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {

using popups::HintSize;

TEST(HintLayout, TheWindowHasPixelsOrNoneAndNeverMoreThanAScreen) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        SIZE extent;
        double shadow;
        SIZE size;
    };
    const Case cases[] = {
        {{40, 16}, 0.5, {40, 16}},   // half to even
        {{40, 16}, 3.5, {40, 20}},
        {{40, 16}, -15.0, {40, 1}},
        {{40, 16}, -16.0, {0, 0}},   // nothing left to show
        {{0, 16}, 2.0, {0, 0}},      // an empty text measures zero wide
        {{40, 0}, 2.0, {0, 0}},
        {{40, 16}, nan, {40, 16}},
        {{40, 16}, inf, {40, 16}},
        {{40, 16}, 1e9, {40, popups::kMaxHintHeight}},
        {{LONG_MAX, 16}, 2.0, {popups::kMaxHintWidth, 18}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.extent.cx << "x" << c.extent.cy << ", shadow " << c.shadow);
        const SIZE size = HintSize(c.extent, c.shadow);
        EXPECT_EQ(size.cx, c.size.cx);
        EXPECT_EQ(size.cy, c.size.cy);
    }
}

TEST(HintLayout, AHintFontSizeOutsideItsRangeTakesTheDefault) {
    struct Case {
        int points;
        int dpi;
        int height;
    };
    for (const Case c : {Case{14, 96, -19}, Case{14, 120, -23}, Case{1, 96, -1}, Case{200, 96, -267},
                         Case{0, 96, -19}, Case{-12, 96, -19}, Case{201, 96, -19}, Case{INT_MAX, 96, -19}}) {
        EXPECT_EQ(popups::HintFontHeight(c.points, c.dpi), c.height) << c.points << " pt at " << c.dpi << " dpi";
    }
}

TEST(HintLayout, AnchorsBesideTheRowWithTheScrollBandOnlyOnTheSubMenuLevels) {
    const popups::LevelWindow window{100, 200, 50};
    struct Case {
        int level;
        int scrollMode;
        POINT at;
    };
    // itemTop 16 and rows of 37: the middle rounds to 18.
    for (const Case c : {Case{1, 0, {100 + 36, 200 + 16 + 18 - 8}}, Case{1, 1, {100 + 36, 200 + 16 + 18 - 8}},
                         Case{2, 0, {150, 226}}, Case{2, 1, {150, 226 + 37}}, Case{3, 1, {150, 226 + 37}}}) {
        const POINT at = popups::HintAnchor(c.level, window, 16, 37, c.scrollMode, 36);
        EXPECT_EQ(at.x, c.at.x) << "level " << c.level << ", scroll " << c.scrollMode;
        EXPECT_EQ(at.y, c.at.y) << "level " << c.level << ", scroll " << c.scrollMode;
    }
    // Placement arithmetic at the ends of the int range saturates instead of wrapping.
    const POINT edge = popups::HintAnchor(2, popups::LevelWindow{INT_MAX, INT_MAX, INT_MAX}, INT_MAX, 37, 1, 0);
    EXPECT_EQ(edge.x, INT_MAX);
    EXPECT_EQ(edge.y, INT_MAX);
    EXPECT_EQ(popups::HintLeft(1, INT_MIN, 100, 36, 0, 0), INT_MIN);
}

}  // namespace
