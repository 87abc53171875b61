// The slides, the housekeeping timer and the event reactions on the real windows,
// with the slide waits recorded instead of slept.
#include "main_window_fixture.h"

#include "core/glass.h"
#include "core/hot_zones.h"
#include "core/motion.h"
#include "core/shell_menu.h"
#include "core/slide_plan.h"
#include "dialogs/about.h"
#include "dialogs/form4.h"
#include "popups/form2.h"

#include <string>
#include <utility>
#include <vector>

namespace {

// Two rows: the window is 36 x (16 + 2 x 36 + 12) = 36 x 100 with the built-in skin.
constexpr char kMenu[] =
    "<?xml version=\"1.0\"?>\r\n<Items><item><Run>a.exe</Run><Type>0</Type><Caption>A</Caption></item>"
    "<item><Run>b.exe</Run><Type>0</Type><Caption>B</Caption></item></Items>\r\n";
// A file, a group and a folder shown as a menu.
constexpr char kGroupMenu[] =
    "<?xml version=\"1.0\"?>\r\n<Items><item><Type>0</Type><Caption>A</Caption></item>"
    "<item><Type>2</Type><Caption>G</Caption><subitem><item><Type>0</Type></item></subitem></item>"
    "<item><Type>1</Type><Caption>F</Caption><Param1>1</Param1></item></Items>\r\n";

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;
constexpr POINT kAway{640, 600};

// A plain window of the test, for the full-screen test and the like.
class TestWindow : public ui::Form {
public:
    TestWindow(RECT r, DWORD exStyle, bool visible) : rect_(r), exStyle_(exStyle), visible_(visible) { Create(); }
    ~TestWindow() override { Destroy(); }

protected:
    void CreateParams(ui::CreateParams& params) override {
        params.className = L"ZarvoMotionTestWindow";
        params.style = WS_POPUP | (visible_ ? WS_VISIBLE : 0);
        params.exStyle = exStyle_ | WS_EX_NOACTIVATE;
        params.x = rect_.left;
        params.y = rect_.top;
        params.width = rect_.right - rect_.left;
        params.height = rect_.bottom - rect_.top;
        params.parent = nullptr;
    }

private:
    RECT rect_;
    DWORD exStyle_;
    bool visible_;
};

class MotionTest : public MainWindowTest {
protected:
    struct Wait {
        int ms;
        int left;
        int top;
        bool animating;
        bool operator==(const Wait&) const = default;
    };

    void SetUp() override {
        MainWindowTest::SetUp();
        SetCursorPos(kAway.x, kAway.y);
        GetAsyncKeyState(VK_LBUTTON);  // forget a press of an earlier test
        ResetGlobals();
        core::SetMotionClockForTests(
            [this](int ms) {
                Record(waits, ms);
                if (onWait) onWait();
            },
            [this](int ms) { Record(sleeps, ms); });
        folder.WriteFile(L"1.xml", kMenu);
    }

    void TearDown() override {
        if (buttonDown_) Button(false);
        if (core::Form1) Main().WinEventHook = nullptr;
        core::SetMotionClockForTests(nullptr, nullptr);
        core::SetDwmLoaderForTests(nullptr);
        core::VistaOrLater = false;
        ResetGlobals();
        MainWindowTest::TearDown();
    }

    static void ResetGlobals() {
        core::Animating = false;
        core::ContextMenuOpen = false;
        core::PopupMode = false;
        core::MainPanelsShown = false;
        core::SubPanelsShown = false;
        core::LastMainPanel = -1;
        core::LastSubPanel = -1;
    }

    void Start(const std::wstring& settings = L"") {
        config += settings;
        MainWindowTest::Start();
        ASSERT_TRUE(core::Form1);
        waits.clear();
        sleeps.clear();
    }

    void Record(std::vector<Wait>& to, int ms) {
        to.push_back(Wait{ms, Main().Left(), Main().Top(), core::Animating});
    }

    core::SlideGeometry Geometry() {
        return core::SlideGeometry{Main().Width(), Main().Height(), kScreenWidth, kScreenHeight};
    }

    void MoveTo(const core::SlidePlan& plan) {
        if (plan.vertical) Main().SetTop(*plan.final);
        else Main().SetLeft(*plan.final);
    }

    // The menu slid into its edge, visible.
    void Hidden(int position) {
        Main().Settings.Position = static_cast<std::uint8_t>(position);
        MoveTo(core::PlanSlideOut(position, Geometry(), Main().Skin, 1));
        Main().MenuHidden = true;
        Main().Show();
    }

    // The menu shown at its edge.
    void Shown(int position) {
        Main().Settings.Position = static_cast<std::uint8_t>(position);
        MoveTo(core::PlanSlideIn(position, Geometry(), Main().Skin, 1));
        Main().MenuHidden = false;
        Main().Show();
    }

    // The middle of the part of the main window that lies on the screen.
    POINT OnScreenPart() {
        RECT r{Main().Left(), Main().Top(), Main().Left() + Main().Width(), Main().Top() + Main().Height()};
        RECT screen{0, 0, kScreenWidth, kScreenHeight};
        RECT visible{};
        IntersectRect(&visible, &r, &screen);
        return POINT{(visible.left + visible.right) / 2, (visible.top + visible.bottom) / 2};
    }
    void PointAt(POINT p) { SetCursorPos(p.x, p.y); }

    void Button(bool down) {
        // A press on a foreign window would deactivate the application, whose handler
        // then slides the menu out: away from our windows the press lands on a pad of
        // the test's own.
        if (down && !ui::Form::FromHandle(WindowFromPoint(CursorNow()))) {
            const POINT p = CursorNow();
            pad_ = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"press pad", WS_POPUP | WS_VISIBLE, p.x - 10, p.y - 10,
                                   20, 20, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        }
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
        SendInput(1, &in, sizeof(in));
        buttonDown_ = down;
        // The press and release belong to whatever lies under the pointer; no handler
        // but the timer's is under test here.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
        }
        if (!down && pad_) {
            DestroyWindow(pad_);
            pad_ = nullptr;
        }
    }

    static POINT CursorNow() {
        POINT p{};
        GetCursorPos(&p);
        return p;
    }

    bool Topmost() { return (GetWindowLongPtrW(Main().Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

    std::vector<Wait> waits;
    std::vector<Wait> sleeps;
    std::function<void()> onWait;  // runs inside each message-dispatching wait

private:
    bool buttonDown_ = false;
    HWND pad_ = nullptr;
};

TEST_F(MotionTest, SlidesStepFivePixelsWithTheirWaitsAndEndAtTheEdgePositions) {
    Start();
    Main().Settings.SlideInSpeed = 3;
    Main().Settings.SlideOutSpeed = 8;
    for (int position = 0; position <= 3; ++position) {
        SCOPED_TRACE("position " + std::to_string(position));
        Shown(position);
        const core::SlidePlan out = core::PlanSlideOut(position, Geometry(), Main().Skin, 8);
        const int outStart = out.vertical ? Main().Top() : Main().Left();
        waits.clear();
        sleeps.clear();
        Main().SlideOut();
        ASSERT_FALSE(out.waits.empty());
        std::vector<int> outSleeps;
        for (size_t k = 0; k + 1 < out.waits.size(); ++k) {
            outSleeps.push_back(out.waits[k]);
            EXPECT_EQ(out.vertical ? sleeps.at(k).top : sleeps.at(k).left, outStart + out.step * int(k + 1));
            EXPECT_TRUE(sleeps[k].animating);
        }
        EXPECT_EQ(sleeps.size(), outSleeps.size()) << "no sleep after the last step";
        EXPECT_TRUE(waits.empty()) << "the slide-out dispatches nothing";
        EXPECT_EQ(out.vertical ? Main().Top() : Main().Left(), *out.final);
        EXPECT_TRUE(Main().MenuHidden);
        EXPECT_FALSE(core::Animating);

        PointAt(OnScreenPart());
        const core::SlidePlan in = core::PlanSlideIn(position, Geometry(), Main().Skin, 3);
        const int inStart = in.vertical ? Main().Top() : Main().Left();
        sleeps.clear();
        Main().SlideIn();
        ASSERT_EQ(waits.size(), in.waits.size());
        for (size_t k = 0; k < waits.size(); ++k) {
            EXPECT_EQ(waits[k].ms, in.waits[k]);
            EXPECT_EQ(in.vertical ? waits[k].top : waits[k].left, inStart + in.step * int(k + 1));
            EXPECT_TRUE(waits[k].animating);
        }
        EXPECT_EQ(sleeps.size(), 1u) << "the show delay";
        EXPECT_EQ(in.vertical ? Main().Top() : Main().Left(), *in.final);
        EXPECT_FALSE(Main().MenuHidden);
        EXPECT_FALSE(core::Animating);
        EXPECT_EQ(Main().TimerInterval(core::TForm1::kTimer1), 300u);
    }
}

TEST_F(MotionTest, ZeroSpeedsJumpAndANegativeShowDelayDoesNotBlock) {
    Start(L"SlideInSpeed=0\r\nSlideOutSpeed=0\r\nShowDelay=-5\r\n");
    Shown(core::kPositionLeft);
    Main().SlideOut();
    EXPECT_TRUE(sleeps.empty());
    EXPECT_EQ(Main().Left(), 10 - 36);
    PointAt(OnScreenPart());
    Main().SlideIn();
    EXPECT_TRUE(waits.empty());
    ASSERT_EQ(sleeps.size(), 1u);
    EXPECT_EQ(sleeps[0].ms, 0) << "a negative delay is no delay";
    EXPECT_EQ(Main().Left(), 0);
}

TEST_F(MotionTest, SlideInAfterTheShowDelayNeedsThePointerStillThereUnlessOpenedByClick) {
    Start(L"ShowDelay=150\r\n");
    Hidden(core::kPositionLeft);
    Main().SlideIn();  // the pointer is away
    ASSERT_EQ(sleeps.size(), 1u);
    EXPECT_EQ(sleeps[0].ms, 150);
    EXPECT_EQ(Main().Left(), -26);
    EXPECT_TRUE(Main().MenuHidden);
    EXPECT_FALSE(core::Animating);

    sleeps.clear();
    Main().Settings.OpenOnClick = 1;
    Main().SlideIn();
    EXPECT_TRUE(sleeps.empty());
    EXPECT_EQ(Main().Left(), 0);
    EXPECT_FALSE(Main().MenuHidden);

    Main().SetLeft(50);  // already shown: nothing moves
    Main().SlideIn();
    EXPECT_EQ(Main().Left(), 50);
}

TEST_F(MotionTest, PopupShowsAtThePointAndHidesWithoutSliding) {
    Start();
    core::PopupMode = true;
    Main().StopTimer(core::TForm1::kTimer1);
    core::Form2->Show();
    Main().PopupPoint = POINT{300, 700};  // below the middle: the menu opens above
    Main().SlideIn();
    EXPECT_EQ(Main().Left(), 300);
    EXPECT_EQ(Main().Top(), 700 - 100);
    EXPECT_FALSE(core::Form2->Visible());
    Main().PopupPoint = POINT{300, 200};
    Main().SlideIn();
    EXPECT_EQ(Main().Top(), 200);
    EXPECT_TRUE(waits.empty());
    EXPECT_TRUE(sleeps.empty()) << "no show delay in pop-up mode";
    EXPECT_FALSE(Main().TimerRunning(core::TForm1::kTimer1));
    EXPECT_FALSE(core::Animating);

    Main().Show();
    Main().SlideOut();
    EXPECT_FALSE(Main().Visible());
    EXPECT_EQ(Main().Left(), 300);
    EXPECT_EQ(Main().Top(), 200);
    EXPECT_FALSE(Main().MenuHidden);
    EXPECT_TRUE(core::Animating) << "the hidden pop-up stays inert until it pops up again";
    Main().SlideIn();
    EXPECT_FALSE(core::Animating);
}

TEST_F(MotionTest, OneShotMenuAsksForItsCloseOnceAndIsNotShownAgain) {
    folder.WriteFile(L"extra.xml", kMenu);
    core::SetFirstArgumentForTests(L"extra.xml");
    Start();
    ASSERT_TRUE(core::PopupMode);
    Main().Show();
    const int left = Main().Left();
    const int top = Main().Top();
    Main().SlideOut();
    Main().SlideOut();
    Main().Timer1Timer();
    EXPECT_FALSE(Main().Visible());
    EXPECT_EQ(Main().Left(), left);
    EXPECT_EQ(Main().Top(), top);
    int closes = 0;
    MSG msg;
    while (PeekMessageW(&msg, Main().Handle(), WM_CLOSE, WM_CLOSE, PM_REMOVE)) ++closes;
    EXPECT_EQ(closes, 1);
    CloseMainWindow();
    EXPECT_TRUE(ui::Application::Instance().Terminated());
}

TEST_F(MotionTest, WindowClosedDuringASlideInWaitEndsTheSlide) {
    Start();
    Hidden(core::kPositionLeft);
    PointAt(OnScreenPart());
    onWait = [this] { DestroyWindow(Main().Handle()); };
    Main().SlideIn();
    EXPECT_EQ(waits.size(), 1u);
    EXPECT_EQ(Main().Handle(), nullptr);
    EXPECT_TRUE(Main().MenuHidden) << "the slide did not finish";
    EXPECT_FALSE(core::Animating);
}

TEST_F(MotionTest, DesktopWindowNeverMoves) {
    Start(L"PlaceZVOnDesktop=1\r\nRollOutOnMouseOut=1\r\n");
    ASSERT_TRUE(Main().Settings.PlaceZVOnDesktop);
    Main().Show();
    core::Form2->Show();
    const int left = Main().Left();
    const int top = Main().Top();
    Main().SlideOut();
    EXPECT_FALSE(core::Form2->Visible()) << "the sub-menu and the hint still hide";
    PointAt(OnScreenPart());
    Main().SlideIn();
    PointAt(kAway);
    Main().Timer1Timer();
    SendMessageW(Main().Handle(), WM_DISPLAYCHANGE, 24, MAKELPARAM(kScreenWidth, kScreenHeight));
    SendMessageW(Main().Handle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(Main().Left(), left);
    EXPECT_EQ(Main().Top(), top);
    EXPECT_FALSE(Main().MenuHidden);
    EXPECT_TRUE(waits.empty());
}

TEST_F(MotionTest, VisibleTopmostScreenSizedWindowHidesTheMenuAndSlowsTheTimer) {
    Start();
    ASSERT_FALSE(core::IsFullScreenAppActive()) << "the test needs a desktop without one";
    {
        TestWindow plain(RECT{0, 0, kScreenWidth, kScreenHeight}, 0, true);
        TestWindow hidden(RECT{0, 0, kScreenWidth, kScreenHeight}, WS_EX_TOPMOST, false);
        TestWindow smaller(RECT{0, 0, kScreenWidth, kScreenHeight - 1}, WS_EX_TOPMOST, true);
        EXPECT_FALSE(core::IsFullScreenAppActive());
    }
    Main().Show();
    {
        // Off to the side: only the size counts.
        TestWindow fullScreen(RECT{40, 40, 40 + kScreenWidth, 40 + kScreenHeight}, WS_EX_TOPMOST, true);
        Main().Timer1Timer();
        EXPECT_FALSE(Main().Visible());
        EXPECT_EQ(Main().TimerInterval(core::TForm1::kTimer1), 5000u);
    }
    Main().Timer1Timer();
    EXPECT_EQ(Main().TimerInterval(core::TForm1::kTimer1), 300u);
}

TEST_F(MotionTest, PressOnTheTabSlidesInAndShowsTheHotZonesUnlessLocked) {
    Start();
    struct Case {
        const char* name;
        bool tab;
        bool locked;
        POINT offset;  // from the window's top-right corner
        bool slides;
    };
    const Case cases[] = {
        {"no tab: anywhere on the strip", false, false, {-5, 70}, true},
        {"locked", false, true, {-5, 70}, false},
        {"on the tab", true, false, {-5, 40}, true},
        {"beside the tab", true, false, {-5, 70}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Main().Parts.TabEnabled = c.tab;
        Main().Skin.TabWidth = 12;
        Main().Skin.TabY = 30;
        Main().Skin.TabHalfHeight = 20;
        Main().Skin.LeftEdgeSize = c.tab ? 12 : 10;  // the tab replaces the edge
        Main().Settings.lock = c.locked;
        Main().ShowHotZones(false);
        Hidden(core::kPositionLeft);
        const int hiddenLeft = Main().Left();
        PointAt(POINT{Main().Left() + Main().Width() + c.offset.x, Main().Top() + c.offset.y});
        Button(true);
        Main().Timer1Timer();
        Button(false);
        EXPECT_EQ(Main().Left(), c.slides ? 0 : hiddenLeft);
        EXPECT_EQ(core::MainPanelsShown, c.slides);
        if (c.locked) {
            Main().SlideIn();  // pointing at the strip still opens a locked menu
            EXPECT_EQ(Main().Left(), 0);
        }
    }
}

TEST_F(MotionTest, HiddenFromScreenTheWindowShowsOnlyWhileThePointerIsAtTheEdge) {
    Start(L"HideFromScreen=1\r\n");
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int middle = (work.top + work.bottom) / 2;
    struct Case {
        int position;
        int edgeX;
    };
    for (const Case c : {Case{core::kPositionLeft, work.left + 1}, Case{core::kPositionRight, work.right - 2}}) {
        SCOPED_TRACE(c.position);
        Hidden(c.position);
        PointAt(kAway);
        Main().Timer1Timer();
        EXPECT_FALSE(Main().Visible());
        PointAt(POINT{c.edgeX, middle});
        Main().Timer1Timer();
        EXPECT_TRUE(Main().Visible());
    }
}

TEST_F(MotionTest, RollOutOnMouseOutOnlyWhenNothingHoldsTheMenu) {
    Start();
    struct Case {
        const char* name;
        std::function<void()> arrange;
        bool rollsOut;
    };
    const Case cases[] = {
        {"pointer away", [] {}, true},
        {"setting off", [this] { Main().Settings.RollOutOnMouseOut = 0; }, false},
        {"pointer inside", [this] { PointAt(OnScreenPart()); }, false},
        {"shell context menu open", [] { core::ContextMenuOpen = true; }, false},
        {"main context menu open", [this] { Main().WinEventHook = reinterpret_cast<HWINEVENTHOOK>(1); }, false},
        {"left button held", [this] { Button(true); }, false},
        {"properties dialog shown", [] { core::Form4->Show(); }, false},
        {"plug-in busy", [this] { Main().PluginBusy = true; }, false},
        {"weather update running", [] { core::Animating = true; }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Main().Settings.RollOutOnMouseOut = 1;
        Shown(core::kPositionLeft);
        Main().SelectedIndex[1] = 1;
        PointAt(kAway);
        c.arrange();
        Main().Timer1Timer();
        EXPECT_EQ(Main().MenuHidden, c.rollsOut);
        EXPECT_EQ(Main().Left(), c.rollsOut ? -26 : 0);
        EXPECT_EQ(Main().SelectedIndex[1], c.rollsOut ? -1 : 1);
        Button(false);
        core::Form4->Hide();
        core::ContextMenuOpen = false;
        core::Animating = false;
        Main().WinEventHook = nullptr;
        Main().PluginBusy = false;
    }
}

TEST_F(MotionTest, HiddenWindowIsGluedToItsEdgeShownAndKeptOnTop) {
    Start();
    Hidden(core::kPositionLeft);
    Main().Hide();
    Main().SetLeft(-30);
    SetWindowPos(Main().Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Main().Timer1Timer();
    EXPECT_EQ(Main().Left(), -26);
    EXPECT_TRUE(Main().Visible());
    EXPECT_TRUE(Topmost());

    Hidden(core::kPositionRight);
    Main().SetLeft(kScreenWidth - 3);
    Main().Timer1Timer();
    EXPECT_EQ(Main().Left(), kScreenWidth - 10);

    Hidden(core::kPositionBottom);
    Main().SetTop(kScreenHeight - 30);
    Main().Timer1Timer();
    EXPECT_EQ(Main().Top(), kScreenHeight - 30) << "the bottom edge is not glued";
}

TEST_F(MotionTest, DeactivationSlidesOutUnlessADialogOrThePointerHoldsIt) {
    Start();
    Shown(core::kPositionLeft);
    Main().Dragging = true;
    core::Form4->Show();
    SendMessageW(Main().Handle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(Main().MenuHidden);
    EXPECT_TRUE(Main().Dragging);
    core::Form4->Hide();

    core::About->Show();
    SetWindowPos(Main().Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(Main().Handle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_TRUE(Topmost()) << "put back on top even with the about box up";
    EXPECT_FALSE(Main().MenuHidden);
    core::About->Hide();

    PointAt(OnScreenPart());
    SendMessageW(Main().Handle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(Main().MenuHidden);
    EXPECT_FALSE(Main().Dragging);

    PointAt(kAway);
    SendMessageW(Main().Handle(), WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_FALSE(Main().MenuHidden) << "activation is no deactivation";
    SendMessageW(Main().Handle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_TRUE(Main().MenuHidden);

    Shown(core::kPositionLeft);
    SendMessageW(Main().Handle(), WM_DISPLAYCHANGE, 24, MAKELPARAM(kScreenWidth, kScreenHeight));
    EXPECT_TRUE(Main().MenuHidden);
    EXPECT_EQ(Main().Left(), -26);
}

TEST_F(MotionTest, ScrollingStopsWithTheLastRowShownAndAtTheTop) {
    Start();
    Main().ItemLists[2].assign(10, core::TLNItem{});
    Main().ScrollMode[2] = 1;
    Main().ShowCount = 8;
    Main().ScrollTop = 0;
    Main().MenuHidden = false;
    std::vector<int> tops;
    for (int i = 0; i < 4; ++i) {
        core::ScrollMenu(*core::Form2, false);
        tops.push_back(Main().ScrollTop);
    }
    EXPECT_EQ(tops, (std::vector<int>{1, 2, 2, 2})) << "rows 2 .. 9 show the last one";
    EXPECT_EQ(core::ScrollState, 1);
    EXPECT_FALSE(core::RedrawOnly);
    EXPECT_TRUE(Main().TimerRunning(core::TForm1::kScrolltimer));
    tops.clear();
    for (int i = 0; i < 3; ++i) {
        core::ScrollMenu(*core::Form2, true);
        tops.push_back(Main().ScrollTop);
    }
    EXPECT_EQ(tops, (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(core::ScrollState, 0);

    Main().ScrollMode[2] = 0;  // a level that does not scroll
    core::ScrollMenu(*core::Form2, false);
    core::ScrollMenu(Main(), false);
    EXPECT_EQ(Main().ScrollTop, 0);

    Main().ScrolltimerTimer();  // the button is up: the repeat ends
    EXPECT_FALSE(Main().TimerRunning(core::TForm1::kScrolltimer));
    Main().ScrollMode[2] = 1;
    core::ScrollMenu(*core::Form2, false);
    Main().MenuHidden = true;
    Main().ScrolltimerTimer();
    EXPECT_FALSE(Main().TimerRunning(core::TForm1::kScrolltimer));
}

TEST_F(MotionTest, ScrollingHighlightsTheShownRowUnderThePointer) {
    Start();
    core::TForm1& main = Main();
    // Header 16, rows 36; two separators lie above the rows shown.
    main.ItemLists[2].assign(7, core::TLNItem{});
    main.ItemLists[2][0].Type = 777;
    main.ItemLists[2][1].Type = 777;
    main.ScrollMode[2] = 1;
    main.ShowCount = 3;
    main.ScrollTop = 1;
    main.LevelWidths[2] = main.Skin.SkinWidth;
    popups::TForm2& form = *core::Form2;
    form.SetBounds(300, 150, main.Skin.SkinWidth, 16 + 5 * 36 + 12);
    PointAt({310, 150 + 16 + 36 + 36 + 18});  // the second row shown, below the up arrow
    core::ScrollMenu(form, false);
    ASSERT_EQ(main.ScrollTop, 2);
    const RECT second{300, 150 + 16 + 2 * 36, 300 + main.Skin.SkinWidth, 150 + 16 + 3 * 36};
    EXPECT_TRUE(EqualRect(&main.SelectedRowRect, &second))
        << main.SelectedRowRect.top << ".." << main.SelectedRowRect.bottom;
}

TEST_F(MotionTest, TimerOpensTheSubMenuOfTheHotZoneUnderThePointerOnce) {
    folder.WriteFile(L"1.xml", kGroupMenu);
    Start();
    ASSERT_EQ(Main().ItemLists[1].size(), 3u);
    Main().Skin.LeftSpace = 4;
    Shown(core::kPositionLeft);
    Main().SetTop(200);
    core::MainPanels.clear();
    for (int row : {1, 2})
        core::MainPanels.push_back(
            std::make_unique<core::TMouseControl>(Main(), row, 0, Main().ItemTop(1, row), 36, 36));
    Main().ShowHotZones(true);

    PointAt(POINT{10, 200 + 16 + 72 + 10});  // the folder row
    Main().Timer1Timer();
    EXPECT_EQ(Main().SelectedIndex[1], 3);
    EXPECT_EQ(core::LastMainPanel, 1);
    EXPECT_EQ(Main().ScrollMode[2], 0) << "a listing of ShowCount + 1 rows or fewer is shown whole";
    EXPECT_EQ(core::Form2->Top(), 200 + 88 - 16);
    EXPECT_EQ(core::Form2->Left(), 36 - 4);

    PointAt(POINT{10, 200 + 16 + 36 + 10});  // the group row
    Main().Timer1Timer();
    EXPECT_EQ(Main().SelectedIndex[1], 2);
    EXPECT_EQ(Main().ScrollMode[2], 0);
    EXPECT_EQ(core::Form2->Top(), 200 + 52 - 16);

    Main().SelectedIndex[1] = -1;
    Main().Timer1Timer();  // the same panel again: entered already
    EXPECT_EQ(Main().SelectedIndex[1], -1);

    core::TMouseControl beyond(Main(), 7, 0, 0, 1, 1);
    Main().HotZoneEnter(beyond);  // a row the list does not have
    EXPECT_EQ(Main().SelectedIndex[1], -1);

    Main().Settings.Position = core::kPositionRight;
    core::TMouseControl group(Main(), 1, 0, 0, 1, 1);
    Main().HotZoneEnter(group);
    EXPECT_EQ(core::Form2->Left(), kScreenWidth - 36 - core::Form2->Width() + 4);
}

TEST_F(MotionTest, SlideInBlursTheMenuAsShownEvenWithATabSkin) {
    std::vector<bool> hiddenAtBlur;
    core::VistaOrLater = true;
    core::SetDwmLoaderForTests([&hiddenAtBlur]() -> std::optional<core::DwmSession> {
        core::DwmSession s;
        s.functions.IsCompositionEnabled = [](BOOL* on) {
            *on = TRUE;
            return S_OK;
        };
        s.functions.ExtendFrameIntoClientArea = [](HWND, const core::Margins&) { return S_OK; };
        s.functions.EnableBlurBehindWindow = [&hiddenAtBlur](HWND, DWORD, BOOL, HRGN, BOOL) {
            hiddenAtBlur.push_back(core::Form1->MenuHidden);
            return S_OK;
        };
        return s;
    });
    Start();
    Main().Parts.TabEnabled = true;
    Main().Parts.BlurEnabled = true;
    Hidden(core::kPositionLeft);
    PointAt(OnScreenPart());
    hiddenAtBlur.clear();
    Main().SlideIn();
    EXPECT_EQ(hiddenAtBlur, (std::vector<bool>{false})) << "the blur of the shown menu, not the tab's";
    EXPECT_FALSE(Main().MenuHidden);
    PointAt(kAway);
    Main().SlideOut();
    EXPECT_EQ(hiddenAtBlur, (std::vector<bool>{false, true})) << "the tab's after the slide-out";
}

}  // namespace
