#include "main_window_fixture.h"

#include "core/hot_zones.h"
#include "ui/mouse_hover.h"

namespace {

// A plain visible top-level window to lay panels over: the real menu window is
// layered and not drawn before a skin is loaded.
class Host : public ui::Form {
public:
    Host() { Create(); }
    ~Host() override { Destroy(); }

protected:
    void CreateParams(ui::CreateParams& params) override {
        params.className = L"ZarvoTestHost";
        params.style = WS_POPUP | WS_VISIBLE;
        params.exStyle = WS_EX_TOPMOST | WS_EX_NOACTIVATE;
        params.x = 300;
        params.y = 300;
        params.width = 120;
        params.height = 120;
        params.parent = nullptr;
    }
};

class HotZonesTest : public MainWindowTest {
protected:
    void Hover(int x, int y) {
        SetCursorPos(x, y);
        ui::Application::Instance().ProcessMessages();
        ui::TrackMouseHover();
    }
    void TearDown() override {
        ui::ResetMouseHover();
        MainWindowTest::TearDown();
    }
};

TEST_F(HotZonesTest, PanelReportsEnterAndLeaveByPositionEvenUnderAnotherWindowsCapture) {
    Host host;
    std::vector<std::string> events;
    core::TMouseControl panel(host, 3, 0, 40, 120, 36);
    panel.OnMouseEnter = [&](core::TMouseControl& sender) { events.push_back("enter " + std::to_string(sender.Tag)); };
    panel.OnMouseLeave = [&](core::TMouseControl&) { events.push_back("leave"); };
    Hover(350, 310);  // over the host, above the hidden panel
    EXPECT_TRUE(events.empty()) << "a hidden panel is not entered";

    panel.Show();
    SetCapture(host.Handle());
    Hover(350, 350);
    Hover(350, 360);  // moving inside does not enter again
    Hover(350, 310);
    ReleaseCapture();
    EXPECT_EQ(events, (std::vector<std::string>{"enter 3", "leave"}));
}

TEST_F(HotZonesTest, PanelWithoutHandlersAndShowHotZonesWithoutPanels) {
    Host host;
    core::TMouseControl panel(host, 0, 0, 0, 120, 36);
    panel.Show();
    Hover(350, 310);  // no handler assigned: nothing happens
    Hover(350, 380);

    Start();
    core::MainPanels.clear();
    core::LastMainPanel = 4;
    Main().ShowHotZones(true);
    EXPECT_EQ(core::LastMainPanel, -1);
    EXPECT_TRUE(core::MainPanelsShown);
}

TEST_F(HotZonesTest, ShowHotZonesShowsAndHidesEveryPanel) {
    Start();
    core::MainPanels.clear();
    for (int row = 0; row < 2; ++row)
        core::MainPanels.push_back(std::make_unique<core::TMouseControl>(Main(), row, 0, 16 + 36 * row, 36, 36));
    Main().ShowHotZones(true);
    for (auto& panel : core::MainPanels) EXPECT_TRUE(GetWindowLongPtrW(panel->Handle(), GWL_STYLE) & WS_VISIBLE);
    Main().ShowHotZones(false);
    for (auto& panel : core::MainPanels) EXPECT_FALSE(GetWindowLongPtrW(panel->Handle(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(core::MainPanelsShown);
}

TEST_F(HotZonesTest, CursorInFormExcludesTheRightAndBottomEdges) {
    Host host;
    struct Case { int x, y; bool inside; };
    for (const Case c : {Case{300, 300, true}, Case{419, 419, true}, Case{420, 350, false},
                         Case{350, 420, false}, Case{299, 350, false}}) {
        SetCursorPos(c.x, c.y);
        EXPECT_EQ(core::TForm1::CursorInForm(host), c.inside) << c.x << "," << c.y;
    }
    SetCursorPos(350, 350);
    ShowWindow(host.Handle(), SW_HIDE);
    EXPECT_FALSE(core::TForm1::CursorInForm(host)) << "a hidden form holds no pointer";
}

}  // namespace
