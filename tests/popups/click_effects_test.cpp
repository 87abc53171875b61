// The plans of the click effects and the puff, and the schedule that plays them,
// against a fake clock.
#include "popups/click_effects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

using popups::ClickEffectKind;
using popups::ClickEffectPlan;

constexpr int kX = 100;
constexpr int kY = 200;

std::optional<ClickEffectPlan> Plan(ClickEffectKind kind, int iconSize, int zoom, int onMouse = 0,
                                    int screen = 1280) {
    popups::ClickEffectInput input;
    input.iconSize = iconSize;
    input.zoom = zoom;
    input.onMouse = onMouse;
    input.screenExtent = screen;
    return popups::PlanClickEffect(kind, kX, kY, 2, input);
}

struct PlanCase {
    const char* name;
    ClickEffectKind kind;
    int iconSize, zoom, onMouse, screen;
    RECT window;
    size_t frames;
    int totalMs;
};

TEST(ClickEffectPlanTest, WindowFramesAndLengthFollowEffectSizeAndScreen) {
    const PlanCase cases[] = {
        // Zoom 10: glow, bounce and ripple lie exactly on the icon, zoom and roll twice its size.
        {"glow on the icon", ClickEffectKind::Glow, 32, 10, 0, 1280, {100, 200, 132, 232}, 10, 300},
        {"zoom twice the icon", ClickEffectKind::Zoom, 32, 10, 0, 1280, {84, 184, 148, 248}, 9, 165},
        {"roll twice the icon", ClickEffectKind::Roll, 32, 10, 0, 1280, {84, 184, 148, 248}, 24, 360},
        {"bounce on the icon", ClickEffectKind::Bounce, 32, 10, 0, 1280, {100, 200, 132, 232}, 21, 315},
        {"bounce beside a glow hover", ClickEffectKind::Bounce, 32, 10, 1, 1280, {98, 198, 134, 234}, 21, 315},
        {"ripple on the icon", ClickEffectKind::Ripple, 32, 10, 0, 1280, {100, 200, 132, 232}, 10, 300},
        // Larger effects are centred on the icon.
        {"glow at 200 %", ClickEffectKind::Glow, 32, 20, 0, 1280, {84, 184, 148, 248}, 10, 300},
        {"ripple at 250 %", ClickEffectKind::Ripple, 32, 25, 0, 1280, {76, 176, 156, 256}, 10, 300},
        {"zoom with c = 33", ClickEffectKind::Zoom, 33, 10, 0, 1280, {84, 184, 150, 250}, 9, 165},
        {"zoom just fits the screen", ClickEffectKind::Zoom, 32, 10, 0, 64, {84, 184, 148, 248}, 9, 165},
        {"glow at the default Zoom", ClickEffectKind::Glow, 32, 100, 0, 1280, {-44, 56, 276, 376}, 10, 300},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto plan = Plan(c.kind, c.iconSize, c.zoom, c.onMouse, c.screen);
        ASSERT_TRUE(plan);
        EXPECT_EQ(plan->window.left, c.window.left);
        EXPECT_EQ(plan->window.top, c.window.top);
        EXPECT_EQ(plan->window.right, c.window.right);
        EXPECT_EQ(plan->window.bottom, c.window.bottom);
        EXPECT_EQ(plan->frames.size(), c.frames);
        EXPECT_EQ(plan->TotalMs(), c.totalMs);
        for (const auto& frame : plan->frames) {
            EXPECT_EQ(frame.source.X, 96);
            EXPECT_EQ(frame.source.Width, 48);
        }
    }
}

TEST(ClickEffectPlanTest, BadZoomOrAWindowBeyondTheScreenPlaysNothing) {
    const struct {
        const char* name;
        ClickEffectKind kind;
        int iconSize, zoom, onMouse, screen;
    } cases[] = {
        {"Zoom 0", ClickEffectKind::Glow, 32, 0, 0, 1280},
        {"Zoom -5", ClickEffectKind::Ripple, 32, -5, 0, 1280},
        {"Zoom 1000", ClickEffectKind::Glow, 32, 1000, 0, 1280},
        {"Zoom near the int limit", ClickEffectKind::Roll, 32767, 2147483647, 0, 1280},
        {"c rounds to 0", ClickEffectKind::Glow, 1, 1, 0, 1280},
        {"negative icon size", ClickEffectKind::Bounce, -32, 10, 0, 1280},
        {"zoom window 2c beyond the screen", ClickEffectKind::Zoom, 32, 10, 0, 63},
        {"bounce with its glow border beyond the screen", ClickEffectKind::Bounce, 32, 10, 1, 35},
    };
    for (const auto& c : cases) EXPECT_FALSE(Plan(c.kind, c.iconSize, c.zoom, c.onMouse, c.screen)) << c.name;
    EXPECT_TRUE(Plan(ClickEffectKind::Bounce, 32, 10, 0, 35)) << "without the border it fits";
}

TEST(ClickEffectPlanTest, GlowGainsRiseAndFall) {
    const auto plan = Plan(ClickEffectKind::Glow, 32, 10);
    ASSERT_TRUE(plan);
    std::vector<int> gains;
    for (const auto& frame : plan->frames) gains.push_back(frame.glow);
    EXPECT_EQ(gains, (std::vector<int>{0, 1, 2, 3, 4, 4, 3, 2, 1, 0}));
}

TEST(ClickEffectPlanTest, ZoomGrowsPastTwiceTheSizeAndIsClippedNotRefused) {
    const auto plan = Plan(ClickEffectKind::Zoom, 33, 10);  // step RoundEven(5.5) = 6
    ASSERT_TRUE(plan);
    std::vector<float> sides, offsets;
    std::vector<int> waits;
    for (const auto& frame : plan->frames) {
        sides.push_back(frame.target.Width);
        offsets.push_back(frame.target.X);
        waits.push_back(frame.waitMs);
        EXPECT_EQ(frame.target.X, frame.target.Y);
    }
    EXPECT_EQ(sides, (std::vector<float>{39, 45, 51, 57, 63, 69, 60, 54, 48}));
    // p = RoundEven((66 - s) / 2): 13.5 -> 14, -1.5 -> -2.
    EXPECT_EQ(offsets, (std::vector<float>{14, 10, 8, 4, 2, -2, 3, 6, 9}));
    EXPECT_EQ(waits, (std::vector<int>{15, 15, 15, 15, 15, 15, 25, 25, 25}));
}

TEST(ClickEffectPlanTest, RollTurnsFifteenDegreesAFrameToAFullTurn) {
    const auto plan = Plan(ClickEffectKind::Roll, 32, 10);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->frames[0].angle, 15);
    EXPECT_EQ(plan->frames[5].angle, 90);
    EXPECT_EQ(plan->frames.back().angle, 360);
    for (const auto& frame : plan->frames) {
        EXPECT_EQ(frame.target.X, 16);
        EXPECT_EQ(frame.target.Width, 32);
    }
}

TEST(ClickEffectPlanTest, BounceRisesFirstAndEndsAtItsStart) {
    for (int onMouse : {0, 1}) {
        SCOPED_TRACE("OnMouse " + std::to_string(onMouse));
        const auto plan = Plan(ClickEffectKind::Bounce, 32, 10, onMouse);
        ASSERT_TRUE(plan);
        EXPECT_TRUE(plan->drawOnce);
        const int start = plan->window.top;
        const int side = plan->Width();
        EXPECT_LT(plan->frames.front().window.y, start);
        EXPECT_EQ(plan->frames.back().window.y, start);
        LONG highest = start;
        for (const auto& frame : plan->frames) {
            EXPECT_EQ(frame.window.x, plan->window.left);
            EXPECT_EQ(frame.target.Width, side);
            highest = std::min(highest, frame.window.y);
        }
        // The rising half's offsets are all negative, so the top is reached at i = -1.
        EXPECT_EQ(plan->frames[9].window.y, highest);
        // Each frame's step, RoundEven(sin(i / 10) x side / 6) for i = -10 .. 10: the
        // rising half, then its mirror image.
        std::vector<int> rising = onMouse == 0 ? std::vector<int>{-4, -4, -4, -3, -3, -3, -2, -2, -1, -1, 0}
                                               : std::vector<int>{-5, -5, -4, -4, -3, -3, -2, -2, -1, -1, 0};
        EXPECT_EQ(side, onMouse == 0 ? 32 : 36);
        std::vector<int> steps;
        LONG previous = start;
        for (const auto& frame : plan->frames) {
            steps.push_back(static_cast<int>(frame.window.y - previous));
            previous = frame.window.y;
        }
        std::vector<int> expected = rising;
        for (int i = 9; i >= 0; --i) expected.push_back(-rising[static_cast<size_t>(i)]);
        EXPECT_EQ(steps, expected);
    }
}

TEST(ClickEffectPlanTest, RippleRingsWidenAndTheLastFrameHasNone) {
    const auto plan = Plan(ClickEffectKind::Ripple, 32, 10);  // k = 26 / 18
    ASSERT_TRUE(plan);
    EXPECT_TRUE(plan->antiAlias);
    const float k = 26.0f / 18.0f;
    ASSERT_EQ(plan->frames[0].rings.size(), 3u);
    EXPECT_FLOAT_EQ(plan->frames[0].rings[0].inset, 13 * k);
    EXPECT_EQ(plan->frames[0].rings[0].alpha, 50);
    EXPECT_FLOAT_EQ(plan->frames[0].rings[1].inset, 11 * k);
    EXPECT_EQ(plan->frames[0].rings[1].alpha, 150);
    EXPECT_FLOAT_EQ(plan->frames[0].rings[2].inset, 9 * k);
    EXPECT_EQ(plan->frames[0].rings[2].alpha, 255);
    EXPECT_FLOAT_EQ(plan->frames[8].rings[2].inset, k);
    EXPECT_TRUE(plan->frames.back().rings.empty());
}

TEST(ClickEffectPlanTest, PuffIsCentredAndStepsDownThePicture) {
    const auto plan = popups::PlanPoof(500, 300, 64, 1280);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->window.left, 468);
    EXPECT_EQ(plan->window.top, 268);
    EXPECT_EQ(plan->Width(), 64);
    EXPECT_EQ(plan->Height(), 64);
    ASSERT_EQ(plan->frames.size(), 5u);
    EXPECT_EQ(plan->TotalMs(), 250);
    for (size_t i = 0; i < plan->frames.size(); ++i) {
        EXPECT_EQ(plan->frames[i].source.Y, 64.0f * i);
        EXPECT_EQ(plan->frames[i].source.Height, 64);
        EXPECT_EQ(plan->frames[i].target.Width, 64);
    }
    const auto odd = popups::PlanPoof(500, 300, 65, 1280);  // RoundEven(32.5) = 32
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->window.left, 468);
    EXPECT_FALSE(popups::PlanPoof(500, 300, 0, 1280));
    EXPECT_FALSE(popups::PlanPoof(500, 300, 1281, 1280));
}

// A clock that only moves when the player sleeps or a frame "draws".
struct FakeClock {
    double now = 0;
    std::vector<int> sleeps;
    popups::EffectClock Clock() {
        return {[this] { return now; }, [this](int ms) {
                    sleeps.push_back(ms);
                    now += ms;
                }};
    }
};

const ClickEffectKind kKinds[] = {ClickEffectKind::Glow, ClickEffectKind::Zoom, ClickEffectKind::Roll,
                                  ClickEffectKind::Bounce, ClickEffectKind::Ripple};

TEST(EffectScheduleTest, DrawingTimeComesOffTheWaitsAndEveryFrameShows) {
    for (ClickEffectKind kind : kKinds) {
        const auto plan = Plan(kind, 32, 10);
        ASSERT_TRUE(plan);
        FakeClock fake;
        std::vector<size_t> shown;
        const auto run = popups::PlayEffectFrames(*plan, fake.Clock(), [&](size_t i) {
            shown.push_back(i);
            fake.now += 2;
            return true;
        });
        SCOPED_TRACE(static_cast<int>(kind));
        EXPECT_EQ(run.shown, static_cast<int>(plan->frames.size()));
        EXPECT_EQ(run.skipped, 0);
        EXPECT_EQ(shown.size(), plan->frames.size());
        ASSERT_EQ(fake.sleeps.size(), plan->frames.size());
        for (size_t i = 0; i < plan->frames.size(); ++i) EXPECT_EQ(fake.sleeps[i], plan->frames[i].waitMs - 2);
        EXPECT_EQ(fake.now, plan->TotalMs());
    }
}

TEST(EffectScheduleTest, SlowFramesAreSkippedButTheLastShowsAndTheEndStaysNearTheSchedule) {
    auto plans = std::vector<ClickEffectPlan>{};
    for (ClickEffectKind kind : kKinds) plans.push_back(*Plan(kind, 32, 10));
    plans.push_back(*popups::PlanPoof(0, 0, 64, 1280));
    for (const ClickEffectPlan& plan : plans) {
        SCOPED_TRACE(std::to_string(plan.frames.size()) + " frames");
        FakeClock fake;
        std::vector<size_t> shown;
        const auto run = popups::PlayEffectFrames(plan, fake.Clock(), [&](size_t i) {
            shown.push_back(i);
            fake.now += 40;
            return true;
        });
        EXPECT_EQ(run.shown + run.skipped, static_cast<int>(plan.frames.size()));
        if (plan.frames[0].waitMs < 40) {
            EXPECT_GT(run.skipped, 0);
        }
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown.front(), 0u);
        EXPECT_EQ(shown.back(), plan.frames.size() - 1);
        EXPECT_GE(fake.now, plan.TotalMs());
        EXPECT_LE(fake.now, plan.TotalMs() + 40);
    }
}

TEST(EffectScheduleTest, CoarseSleepsDoNotAddUp) {
    // Sleeps that end on the next 15.6 ms tick, as a default timer resolution gives.
    const auto plan = Plan(ClickEffectKind::Roll, 32, 10);
    ASSERT_TRUE(plan);
    double now = 0;
    popups::EffectClock coarse{[&] { return now; }, [&](int ms) { now = (static_cast<int>((now + ms) / 15.6) + 1) * 15.6; }};
    const auto run = popups::PlayEffectFrames(*plan, coarse, [](size_t) { return true; });
    EXPECT_EQ(run.skipped, 0) << "the ticks are late by less than a slot";
    EXPECT_GE(now, plan->TotalMs());
    EXPECT_LE(now, plan->TotalMs() + 15.6 + 1e-9);
}

TEST(EffectScheduleTest, AStoppedFrameEndsThePlay) {
    const auto plan = Plan(ClickEffectKind::Glow, 32, 10);
    ASSERT_TRUE(plan);
    FakeClock fake;
    std::vector<size_t> shown;
    const auto run = popups::PlayEffectFrames(*plan, fake.Clock(), [&](size_t i) {
        shown.push_back(i);
        return i < 3;
    });
    EXPECT_TRUE(run.stopped);
    EXPECT_EQ(shown, (std::vector<size_t>{0, 1, 2, 3}));
    EXPECT_EQ(fake.sleeps.size(), 3u);
}

}  // namespace
