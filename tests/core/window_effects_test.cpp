#include "core/window_effects.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using core::EffectFrame;

std::string Describe(const EffectFrame& f) {
    if (f.direct) return "direct@" + std::to_string(f.alpha);
    return std::to_string(f.x) + "," + std::to_string(f.y) + "," + std::to_string(f.width) + "," +
           std::to_string(f.height) + "@" + std::to_string(f.alpha);
}

// Plays a plan against a recorded clock.
struct Recording {
    std::vector<std::string> shown;
    std::vector<int> waits;
    std::vector<int> wholeAlphas;
    int frames = 0;
};

struct World {
    bool onRow = true;
    std::optional<bool> settings = false;
    bool mainWindow = false;
    bool popup = false;
};

Recording Play(int code, const core::EffectInput& input, const World& world = {}) {
    Recording r;
    auto plan = core::PlanEffect(code, input);
    EXPECT_TRUE(plan.has_value()) << code;
    if (!plan) return r;
    core::EffectPlayer player;
    player.showFrame = [&](const EffectFrame& f) { r.shown.push_back(Describe(f)); };
    player.showWhole = [&](std::uint8_t a) { r.wholeAlphas.push_back(a); };
    player.sleep = [&](int ms) { r.waits.push_back(ms); };
    player.pointerOnOpeningRow = [&] { return world.onRow; };
    player.settingsVisible = [&] { return world.settings; };
    player.mainWindow = world.mainWindow;
    player.popupMode = world.popup;
    r.frames = core::PlayEffect(*plan, player);
    return r;
}

core::EffectInput Input(int position, int bt = 100) {
    core::EffectInput in;
    in.levelWidth = 100;
    in.workWidth = 120;
    in.height = 50;
    in.position = position;
    in.backgroundTransparent = bt;
    return in;
}

TEST(WindowEffects, FramesTargetsAlphasAndWaitsPerCode) {
    struct Case {
        int code;
        int position;
        size_t frames;
        std::string first, last;
        int wait;
        std::vector<int> whole;
    };
    const Case cases[] = {
        {1, 0, 16, "direct@0", "direct@255", 10, {}},
        {10, 0, 16, "direct@255", "direct@0", 5, {}},
        {2, 0, 11, "0,0,100,0@255", "0,0,100,50@255", 10, {255}},
        {2, 1, 11, "20,0,100,0@255", "20,0,100,50@255", 10, {255}},  // anchored at the right edge
        {3, 0, 11, "0,0,0,0@255", "0,0,100,50@255", 10, {255}},
        {3, 1, 11, "120,0,0,0@255", "20,0,100,50@255", 10, {255}},
        {2, 2, 11, "0,0,0,0@255", "0,0,0,0@255", 10, {255}},  // other edges: empty, then the whole window
        {20, 1, 11, "20,0,100,50@255", "20,0,100,0@255", 5, {}},
        {30, 1, 11, "20,0,100,50@255", "120,0,0,0@255", 5, {}},
        {30, 3, 11, "0,0,0,0@255", "0,0,0,0@255", 5, {}},
        {4, 0, 10, "10,10,80,30@23", "1,1,98,48@230", 10, {255}},
        {40, 0, 10, "0,0,100,50@232", "9,9,82,32@25", 5, {}},
        {5, 0, 11, "50,0,0,50@0", "0,0,100,50@230", 10, {253}},
        {50, 0, 11, "0,0,100,50@230", "50,0,0,50@0", 5, {}},
        {6, 0, 11, "0,0,100,50@0", "1000,0,-1900,50@230", 16, {253}},  // mirrored
        {60, 0, 11, "0,0,100,50@230", "-1000,0,100,50@0", 8, {}},
        {111, 0, 16, "direct@255", "direct@0", 10, {0}},
    };
    for (const Case& c : cases) {
        const Recording r = Play(c.code, Input(c.position));
        const std::string name = std::to_string(c.code) + " at " + std::to_string(c.position);
        ASSERT_EQ(r.shown.size(), c.frames) << name;
        EXPECT_EQ(r.shown.front(), c.first) << name;
        EXPECT_EQ(r.shown.back(), c.last) << name;
        EXPECT_EQ(r.waits, std::vector<int>(c.frames, c.wait)) << name;
        EXPECT_EQ(r.wholeAlphas, c.whole) << name;
    }
}

TEST(WindowEffects, VistaStepFollowsTheTransparencyAndNeverWraps) {
    struct Case { int bt; std::string first, last; };
    for (const Case& c : {Case{10, "10,10,80,30@3", "1,1,98,48@30"}, Case{100, "10,10,80,30@23", "1,1,98,48@230"},
                         Case{200, "10,10,80,30@46", "1,1,98,48@255"}}) {
        const Recording r = Play(4, Input(0, c.bt));
        EXPECT_EQ(r.shown.front(), c.first) << c.bt;
        EXPECT_EQ(r.shown.back(), c.last) << c.bt;
        const Recording closing = Play(40, Input(0, c.bt));
        EXPECT_EQ(closing.shown.back().substr(closing.shown.back().find('@')),
                  c.bt == 200 ? "@0" : c.bt == 10 ? "@225" : "@25")
            << c.bt;
    }
}

TEST(WindowEffects, StopRulesWhenThePointerLeavesTheOpeningRow) {
    World off;
    off.onRow = false;
    // Opening effects stop after their first frame; the final update still shows the
    // window (23 x 1 for the centre effect).
    EXPECT_EQ(Play(2, Input(0), off).frames, 1);
    EXPECT_EQ(Play(2, Input(0), off).wholeAlphas, std::vector<int>{255});
    EXPECT_EQ(Play(5, Input(0), off).wholeAlphas, std::vector<int>{23});
    EXPECT_EQ(Play(1, Input(0), off).frames, 1);
    // Closing codes always wait, Vista never stops, and goes on without waits.
    EXPECT_EQ(Play(20, Input(0), off).waits.size(), 11u);
    const Recording vista = Play(4, Input(0), off);
    EXPECT_EQ(vista.frames, 10);
    EXPECT_TRUE(vista.waits.empty());
    World mainOff = off;
    mainOff.mainWindow = true;
    EXPECT_EQ(Play(4, Input(0), mainOff).waits.size(), 10u) << "the main window always waits in Vista";
    // The fade also goes on while the settings dialog shows, and before it exists
    // every frame follows at once.
    World settings = off;
    settings.settings = true;
    EXPECT_EQ(Play(1, Input(0), settings).frames, 16);
    World startup = off;
    startup.settings = std::nullopt;
    const Recording early = Play(1, Input(0), startup);
    EXPECT_EQ(early.frames, 16);
    EXPECT_TRUE(early.waits.empty());
    EXPECT_EQ(Play(111, Input(0), off).frames, 16) << "the closing fade has no condition";
}

TEST(WindowEffects, PopupMainWindowRollShowsTheFirstFrameOnly) {
    World popup;
    popup.onRow = false;
    popup.mainWindow = true;
    popup.popup = true;
    const Recording roll = Play(3, Input(0), popup);
    EXPECT_EQ(roll.frames, 1);
    EXPECT_EQ(roll.wholeAlphas, std::vector<int>{255});
    EXPECT_EQ(Play(6, Input(0), popup).frames, 11) << "other effects go on for the pop-up main window";
}

TEST(WindowEffects, OnlyTheAnimationCodesArePlanned) {
    for (int code : {0, 7, 11, 15, 70, 110, 112, -1}) {
        EXPECT_FALSE(core::IsEffectCode(code)) << code;
        EXPECT_FALSE(core::PlanEffect(code, Input(0)).has_value()) << code;
    }
    for (int code : {1, 2, 3, 4, 5, 6, 10, 20, 30, 40, 50, 60, 111}) EXPECT_TRUE(core::IsEffectCode(code)) << code;
}

}  // namespace
