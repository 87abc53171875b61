#include "main_window_fixture.h"

#include "core/window_effects.h"

#include <algorithm>

namespace {

class WindowEffectsTest : public MainWindowTest {
protected:
    void TearDown() override {
        core::SetEffectSleepForTests(nullptr);
        MainWindowTest::TearDown();
    }
};

TEST_F(WindowEffectsTest, HiddenWindowIsShownByTheFirstFrameAndTheBlendIsOpaqueAfterwards) {
    Start();
    std::vector<int> waits;
    core::SetEffectSleepForTests([&](int ms) { waits.push_back(ms); });
    auto& main = Main();
    main.LevelWidths[1] = 40;
    main.SetBounds(0, 0, 40, 60);
    main.Compositor.WorkBitmap->Resize(40, 60);
    main.Compositor.WorkBitmap->Fill(0xFF336699);
    for (int code : {1, 5, 6, 111, 60}) {
        main.Hide();
        main.PlayWindowEffect(main, code);
        EXPECT_TRUE(main.Visible()) << code;
        EXPECT_EQ(main.Compositor.WindowBlend.SourceConstantAlpha, 255) << code;
    }
    // The pointer is off the (empty) opening row: 1, 5 and 6 stop after their first
    // frame without waiting; 111 and 60 wait after each of their frames.
    EXPECT_EQ(std::count(waits.begin(), waits.end(), 10), 16) << "the closing fade's waits";
    EXPECT_EQ(std::count(waits.begin(), waits.end(), 8), 11) << "the closing noise's waits";
}

}  // namespace
