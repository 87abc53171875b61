#include "core/slide_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using core::kNoWait;

core::SlideGeometry Window(int width, int height) { return core::SlideGeometry{width, height, 1280, 1024}; }

TEST(SlidePlan, SlideInWaitsGrowWithTheSineOfTheStepAndSpeed) {
    core::SkinMetrics skin;  // edge 10, no margins
    struct Case {
        int width;
        int speed;
        std::vector<int> waits;
    };
    const Case cases[] = {
        {36, 3, {0, 1, 2, 3}},                // d 26: n 5, four steps
        {45, 8, {0, 2, 5, 7, 9, 10}},         // d 35: n 7
        {22, 3, {0}},                         // d 12: n Round(2.4) = 2, one step that waits 0 ms
        {20, 3, {0}},                         // d 10: n 2
        {17, 3, {}},                          // d 7: n 1, no step
        {36, 0, {}},                          // speed 0: no animation
        {5, 3, {}},                           // a window narrower than its edge
        {110, 30, {0, 3, 6, 9, 12, 15, 18, 21, 23, 26, 29, 31, 34, 36, 39, 41, 43, 45, 47}},  // d 100: n 20
    };
    for (const Case& c : cases) {
        const core::SlidePlan plan = core::PlanSlideIn(core::kPositionLeft, Window(c.width, 100), skin, c.speed);
        EXPECT_EQ(plan.waits, c.waits) << "width " << c.width << " speed " << c.speed;
        EXPECT_EQ(plan.step, 5);
        EXPECT_EQ(plan.final, 0) << "the jump to the shown position comes in every case";
    }
}

TEST(SlidePlan, SlideOutSleepsAfterEveryStepButTheLastAndNeedsThreeSteps) {
    core::SkinMetrics skin;
    struct Case {
        int width;
        int speed;
        std::vector<int> waits;
    };
    const Case cases[] = {
        {25, 3, {1, 2, kNoWait}},           // d 25: n 5, steps i = 1 .. 3
        {35, 8, {2, 5, 7, 9, kNoWait}},     // n 7
        {15, 3, {kNoWait}},                 // n 3: one step, no sleep after it
        {12, 3, {}},                        // n 2: no step
        {35, 0, {}},                        // speed 0
    };
    for (const Case& c : cases) {
        const core::SlidePlan plan = core::PlanSlideOut(core::kPositionLeft, Window(c.width, 100), skin, c.speed);
        EXPECT_EQ(plan.waits, c.waits) << "width " << c.width << " speed " << c.speed;
        EXPECT_EQ(plan.step, -5);
        EXPECT_EQ(plan.final, 10 - c.width);
    }
}

// Every metric differs, so each formula shows which ones it takes.
core::SkinMetrics DistinctMetrics() {
    core::SkinMetrics skin;
    skin.MainLeftSpace = 1;
    skin.MainRightSpace = 12;
    skin.MainTopSpace = 3;
    skin.MainBottomSpace = 4;
    skin.LeftEdgeSize = 6;
    skin.RightEdgeSize = 7;
    skin.TopEdgeSize = 8;
    skin.BottomEdgeSize = 19;
    return skin;
}

TEST(SlidePlan, EachEdgeSlidesItsOwnDistanceAndDirectionToItsShownPosition) {
    const core::SkinMetrics skin = DistinctMetrics();
    struct Case {
        int position;
        bool vertical;
        int step;
        size_t steps;
        int final;
    };
    const Case cases[] = {
        {core::kPositionLeft, false, 5, 18, -1},                // d 100-1-6 = 93: n 19
        {core::kPositionRight, false, -5, 15, 1280 - 100 + 12},  // d 100-12-7 = 81: n 16
        {core::kPositionBottom, true, -5, 37, 1024 - 200 + 4},  // d 200-3-8 = 189: n 38 (top metrics)
        {core::kPositionTop, true, 5, 37, -3},                  // the same distance
    };
    for (const Case& c : cases) {
        const core::SlidePlan plan = core::PlanSlideIn(c.position, Window(100, 200), skin, 5);
        EXPECT_EQ(plan.vertical, c.vertical) << c.position;
        EXPECT_EQ(plan.step, c.step) << c.position;
        EXPECT_EQ(plan.waits.size(), c.steps) << c.position;
        EXPECT_EQ(plan.final, c.final) << c.position;
    }
}

TEST(SlidePlan, EachEdgeSlidesOutToWhereItsEdgeSizeStaysOnScreen) {
    const core::SkinMetrics skin = DistinctMetrics();
    struct Case {
        int position;
        bool vertical;
        int step;
        size_t steps;
        int final;
    };
    const Case cases[] = {
        {core::kPositionLeft, false, -5, 18, 6 - 100},     // d 100-1 = 99: n 20
        {core::kPositionRight, false, 5, 18, 1280 - 7},    // the same distance
        {core::kPositionBottom, true, 5, 36, 1024 - 19},   // d 200-1-8 = 191: n 38
        {core::kPositionTop, true, -5, 34, 8 - 200},       // d 200-1-19 = 180: n 36
    };
    for (const Case& c : cases) {
        const core::SlidePlan plan = core::PlanSlideOut(c.position, Window(100, 200), skin, 5);
        EXPECT_EQ(plan.vertical, c.vertical) << c.position;
        EXPECT_EQ(plan.step, c.step) << c.position;
        EXPECT_EQ(plan.waits.size(), c.steps) << c.position;
        EXPECT_EQ(plan.final, c.final) << c.position;
    }
}

TEST(SlidePlan, APositionWithoutAnEdgeNeitherStepsNorMoves) {
    for (int position : {4, 5, 200}) {
        EXPECT_TRUE(core::PlanSlideIn(position, Window(100, 200), core::SkinMetrics{}, 5).waits.empty());
        EXPECT_FALSE(core::PlanSlideIn(position, Window(100, 200), core::SkinMetrics{}, 5).final);
        EXPECT_FALSE(core::PlanSlideOut(position, Window(100, 200), core::SkinMetrics{}, 5).final);
    }
}

TEST(SlidePlan, PopupOpensAboveAPointBelowTheMiddleWithHalvesToEven) {
    core::SkinMetrics skin;
    skin.MainLeftSpace = 5;
    skin.MainTopSpace = 7;
    skin.MainBottomSpace = 11;
    struct Case {
        int y;
        int screenHeight;
        int top;
    };
    const int h = 300;
    const Case cases[] = {
        {513, 1025, 513 - h + 11},  // middle Round(512.5) = 512: strictly below, above the point
        {512, 1025, 512 - 7},       // at the middle: below the point
        {514, 1027, 514 - 7},       // middle Round(513.5) = 514
        {515, 1027, 515 - h + 11},
        {513, 1024, 513 - h + 11},
        {0, 1024, -7},
    };
    for (const Case& c : cases) {
        const POINT p = core::PopupPlacement(POINT{400, c.y}, h, c.screenHeight, skin);
        EXPECT_EQ(p.y, c.top) << c.y << " on " << c.screenHeight;
        EXPECT_EQ(p.x, 395);
    }
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

TEST(SlidePlan, TabRectanglePerEdge) {
    core::SkinMetrics skin;
    skin.TabWidth = 12;
    skin.TabY = 30;
    skin.TabHalfHeight = 20;
    skin.VerticalTabHalfHeight = 15;
    const RECT window{100, 200, 136, 380};  // L 100, T 200, W 36, H 180
    EXPECT_EQ(Describe(core::TabRectangle(core::kPositionLeft, window, skin)), "124,230,136,250");
    EXPECT_EQ(Describe(core::TabRectangle(core::kPositionRight, window, skin)), "100,230,112,250");
    EXPECT_EQ(Describe(core::TabRectangle(core::kPositionBottom, window, skin)), "100,200,136,215");
    EXPECT_EQ(Describe(core::TabRectangle(core::kPositionTop, window, skin)), "100,365,136,380");
    EXPECT_EQ(Describe(core::TabRectangle(5, window, skin)), "0,0,0,0");
    // Right and bottom edges lie outside.
    EXPECT_TRUE(core::PointIn(RECT{124, 230, 136, 250}, POINT{124, 230}));
    EXPECT_FALSE(core::PointIn(RECT{124, 230, 136, 250}, POINT{136, 240}));
    EXPECT_FALSE(core::PointIn(RECT{124, 230, 136, 250}, POINT{130, 250}));
}

TEST(SlidePlan, HideFromScreenStripIsThreePixelsOfTheWorkAreaAtTheEdge) {
    const RECT work{0, 30, 1280, 994};
    EXPECT_EQ(Describe(core::HideFromScreenStrip(core::kPositionLeft, work)), "0,30,3,994");
    EXPECT_EQ(Describe(core::HideFromScreenStrip(core::kPositionRight, work)), "1277,30,1280,994");
    EXPECT_EQ(Describe(core::HideFromScreenStrip(core::kPositionBottom, work)), "0,991,1280,994");
    EXPECT_EQ(Describe(core::HideFromScreenStrip(core::kPositionTop, work)), "0,30,1280,33");
}

TEST(SlidePlan, HiddenWindowIsGluedToTheLeftRightAndTabbedTopEdge) {
    core::SkinMetrics skin;
    skin.LeftEdgeSize = 6;
    skin.RightEdgeSize = 7;
    skin.TabWidth = 12;
    skin.VerticalTabHalfHeight = 15;
    struct Case {
        int position;
        bool tab;
        bool glued;
        bool vertical;
        int value;
    };
    const Case cases[] = {
        {core::kPositionLeft, false, true, false, -(36 - 6)},
        {core::kPositionLeft, true, true, false, -(36 - 12)},
        {core::kPositionRight, false, true, false, 1280 - 7},
        {core::kPositionRight, true, true, false, 1280 - 12},
        {core::kPositionTop, true, true, true, -(180 - 15)},
        {core::kPositionTop, false, false, false, 0},
        {core::kPositionBottom, true, false, false, 0},
        {core::kPositionBottom, false, false, false, 0},
    };
    for (const Case& c : cases) {
        const auto glue = core::GlueToEdge(c.position, c.tab, 36, 180, 1280, skin);
        ASSERT_EQ(glue.has_value(), c.glued) << c.position << " tab " << c.tab;
        if (!glue) continue;
        EXPECT_EQ(glue->vertical, c.vertical) << c.position;
        EXPECT_EQ(glue->value, c.value) << c.position << " tab " << c.tab;
    }
}

}  // namespace
