// The plain sleeps of ShowDelay and HideGroupDelay: a value from config.ini larger
// than the settings dialog offers must not stop the program from answering.
#include "main_window_fixture.h"

#include "core/motion.h"
#include "popups/form2.h"

#include <vector>

namespace {

class DelaysTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        folder.WriteFile(L"1.xml", "<Items></Items>");
        core::SetMotionClockForTests([](int) {}, [this](int ms) { sleeps.push_back(ms); });
    }
    void TearDown() override {
        core::SetMotionClockForTests(nullptr, nullptr);
        core::Animating = false;
        MainWindowTest::TearDown();
    }

    std::vector<int> sleeps;
};

TEST_F(DelaysTest, ShowDelayAndHideGroupDelayAreSleptForAtMostASecond) {
    Start();
    struct Case {
        int delay;
        int slept;
    };
    const Case cases[] = {{300, 300}, {1000, 1000}, {1001, 1000}, {2147483647, 1000}};
    core::Form2->Show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.delay);
        Main().Settings.HideGroupDelay = c.delay;
        sleeps.clear();
        Main().FormMouseMove(0, 1, 1);  // over the main window while the sub-menu is open
        ASSERT_EQ(sleeps, std::vector<int>{c.slept}) << "HideGroupDelay";

        Main().Settings.ShowDelay = c.delay;
        sleeps.clear();
        Main().SlideIn();
        ASSERT_FALSE(sleeps.empty());
        EXPECT_EQ(sleeps[0], c.slept) << "ShowDelay";
    }
}

}  // namespace
