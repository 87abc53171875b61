// The about box as the main window's About command shows it, driven from inside its
// modal loop: its place and caption, the links, the pause of the credits, the OK
// button and every way of closing it.
#include "core/main_window_fixture.h"

#include "core/glass.h"
#include "core/launch.h"
#include "dialogs/about.h"
#include "support/modal_steps.h"
#include "support/pixels.h"
#include "support/tooltip_text.h"
#include "ui/application.h"
#include "ui/controls.h"
#include "ui/cursor.h"
#include "ui/glyph_button.h"
#include "ui/images.h"

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Step = std::function<void()>;

class AboutTest : public MainWindowTest {
protected:
    void TearDown() override {
        core::SetShellForTests(std::nullopt);
        core::SetDwmLoaderForTests(nullptr);
        core::VistaOrLater = false;
        MainWindowTest::TearDown();
    }

    void StartWithShell(bool vista) {
        core::VistaOrLater = vista;
        core::ShellFunctions shell;
        shell.execute = [this](const core::ShellCall& call) { opened.push_back(call); };
        shell.beep = [] {};
        shell.playSound = [](const std::wstring&) {};
        core::SetShellForTests(shell);
        Start();
        ASSERT_TRUE(core::About);
    }

    dialogs::TAbout& Box() { return *core::About; }
    bool MainTimerRunning() { return Main().TimerRunning(core::TForm1::kTimer1); }

    // The About command with `steps` run inside the box's loop, one per tick, until
    // one of them closes the box; a box still up after them is closed through OK
    // and counts as a failure.
    void ShowAbout(std::vector<Step> steps) {
        testing_support::ModalSteps modal;
        size_t ran = 0;
        for (Step& step : steps)
            modal.Then([&ran, step = std::move(step)] {
                step();
                ++ran;
            });
        bool leftOpen = false;
        modal.Then([&] {
            leftOpen = Box().Visible();
            if (leftOpen) Box().Button1Click();
        });
        modal.Start();
        Main().AboutMIClick();
        modal.Stop();
        EXPECT_EQ(ran, steps.size()) << "the box closed before its steps, or never showed";
        EXPECT_FALSE(leftOpen) << "the box did not close";
    }

    // Dispatches messages until `done` holds or `timeoutMs` passed; false on time-out.
    static bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
        const ULONGLONG end = GetTickCount64() + timeoutMs;
        while (!done()) {
            if (GetTickCount64() >= end) return false;
            ui::Application::Instance().ProcessMessages();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return true;
    }
    static void PumpFor(DWORD ms) { PumpUntil([] { return false; }, ms); }

    int Offset() { return Box().Scroll().ScrollOffset; }
    void Press(int x, int y) { SendMessageW(Box().Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    void Release(int x, int y) {
        SendMessageW(Box().Handle(), WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }
    POINT LinkMiddle(int link) {
        const RECT r = Box().Links().at(static_cast<size_t>(link)).Bounds;
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    std::vector<core::ShellCall> opened;
};

TEST_F(AboutTest, ShowsTopmostCentredWithTheAboutCommandsCaptionAndGlass) {
    std::vector<core::Margins> glass;
    core::SetDwmLoaderForTests([&glass]() -> std::optional<core::DwmSession> {
        core::DwmSession session;
        session.functions.IsCompositionEnabled = [](BOOL* on) {
            *on = TRUE;
            return S_OK;
        };
        session.functions.ExtendFrameIntoClientArea = [&glass](HWND, const core::Margins& m) {
            glass.push_back(m);
            return S_OK;
        };
        return session;
    });
    StartWithShell(true);
    Main().PopupMenu1.Item(L"AboutMI").Caption = L"Über Zarvo";
    ShowAbout({[&] {
        HWND box = Box().Handle();
        EXPECT_TRUE(IsWindowVisible(box));
        EXPECT_TRUE(GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_TOPMOST);
        RECT client{};
        GetClientRect(box, &client);
        EXPECT_EQ(client.right, 265);
        EXPECT_EQ(client.bottom, 330);
        EXPECT_EQ(Box().Left(), (GetSystemMetrics(SM_CXSCREEN) - Box().Width()) / 2);
        EXPECT_EQ(Box().Top(), (GetSystemMetrics(SM_CYSCREEN) - Box().Height()) / 2);
        wchar_t caption[64] = {};
        GetWindowTextW(box, caption, 64);
        EXPECT_STREQ(caption, L"Über Zarvo");
        EXPECT_EQ(Box().TimerInterval(Box().Timer1.Id()), 42u);
        EXPECT_FALSE(MainTimerRunning());
        ASSERT_FALSE(glass.empty()) << "the box was not activated";
        EXPECT_EQ(glass.back().Left, 0);
        EXPECT_EQ(glass.back().Top, 0);
        EXPECT_EQ(glass.back().Right, 0);
        EXPECT_EQ(glass.back().Bottom, 41);
        Box().Button1Click();
    }});
}

TEST_F(AboutTest, EveryWayOfClosingStopsTheScrollAndGivesTheMainTimerBack) {
    struct Case {
        const char* name;
        std::function<void(HWND box)> close;
        bool mainTimerWasRunning;
    };
    const Case cases[] = {
        {"Esc", [](HWND) { PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); }, true},
        {"Enter", [](HWND) { PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); }, true},
        {"OK", [](HWND box) { SendMessageW(GetDlgItem(box, dialogs::kAboutButton3), BM_CLICK, 0, 0); }, true},
        {"close box", [](HWND box) { PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); }, true},
        {"Alt+F4", [](HWND box) { PostMessageW(box, WM_SYSKEYDOWN, VK_F4, 1 << 29); }, true},
        {"Esc with the main timer off", [](HWND) { PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); }, false},
    };
    StartWithShell(false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.mainTimerWasRunning) Main().StopTimer(core::TForm1::kTimer1);
        ShowAbout({[&] {
            ASSERT_TRUE(PumpUntil([&] { return Offset() > -180; }, 3000)) << "the credits do not scroll";
            ASSERT_TRUE(GetFocus() && (GetFocus() == Box().Handle() || IsChild(Box().Handle(), GetFocus())));
            // Posted: the box's own loop takes the keys, before its next step.
            c.close(Box().Handle());
        }});
        EXPECT_FALSE(Box().Visible());
        EXPECT_FALSE(Box().Timer1.Enabled());
        EXPECT_FALSE(Box().CreditsBitmap()) << "the credits are freed";
        const int offset = Offset();
        PumpFor(150);
        EXPECT_EQ(Offset(), offset) << "nothing scrolls after the close";
        EXPECT_EQ(MainTimerRunning(), c.mainTimerWasRunning);
        if (!c.mainTimerWasRunning) Main().StartTimer(core::TForm1::kTimer1, 300);
    }
}

TEST_F(AboutTest, NextShowingStartsTheCreditsFromBelowAgain) {
    StartWithShell(false);
    int reached = 0;
    ShowAbout({[&] {
        EXPECT_TRUE(PumpUntil([&] { return Offset() >= -150; }, 5000));
        reached = Offset();
        Box().Button1Click();
    }});
    ShowAbout({[&] {
        EXPECT_LT(Offset(), reached);
        EXPECT_GE(Offset(), -185);
        ASSERT_TRUE(Box().CreditsBitmap());
        EXPECT_EQ(Box().Scroll().CreditsHeight, Box().CreditsBitmap()->Height());
        Box().Button1Click();
    }});
}

TEST_F(AboutTest, PressOnTheCreditsHoldsThemUntilAReleaseAnywhere) {
    StartWithShell(false);
    ShowAbout({[&] {
        ASSERT_TRUE(PumpUntil([&] { return Offset() > -183; }, 3000));
        Press(130, 160);
        EXPECT_TRUE(Box().Scroll().ScrollPaused);
        const int held = Offset();
        PumpFor(300);
        EXPECT_EQ(Offset(), held) << "the credits move while pressed";
        Release(-40, 400);  // outside the area and the box: the press captured the pointer
        EXPECT_FALSE(Box().Scroll().ScrollPaused);
        EXPECT_TRUE(PumpUntil([&] { return Offset() > held; }, 3000)) << "the credits stay held";
        // A press on the header above the area or on a link holds nothing.
        for (POINT p : {POINT{130, 70}, LinkMiddle(0)}) {
            Press(p.x, p.y);
            EXPECT_FALSE(Box().Scroll().ScrollPaused) << p.x << "," << p.y;
            Release(p.x, 320);
        }
        Box().Button1Click();
    }});
    EXPECT_TRUE(opened.empty());
}

TEST_F(AboutTest, ClickOnALinkOpensItsAddressThroughTheShell) {
    StartWithShell(false);
    ShowAbout({[&] {
        const auto& links = Box().Links();
        ASSERT_EQ(links.size(), 3u);
        EXPECT_EQ(links[0].Caption, L"Zarvo Forum");
        EXPECT_EQ(links[1].Caption, L"Zarvo Web - site");
        EXPECT_EQ(links[2].Caption.rfind(L"E-mail: ", 0), 0u);
        for (int link = 0; link < 3; ++link) {
            const POINT p = LinkMiddle(link);
            Press(p.x, p.y);
            Release(p.x, p.y);
        }
        // Pressed on one link and released off it, or on another: no click.
        const POINT first = LinkMiddle(0);
        Press(first.x, first.y);
        Release(first.x, first.y + 60);
        Press(first.x, first.y);
        Release(LinkMiddle(1).x, LinkMiddle(1).y);
        Box().Button1Click();
    }});
    ASSERT_EQ(opened.size(), 3u);
    for (size_t i = 0; i < opened.size(); ++i) {
        EXPECT_EQ(opened[i].verb, L"open");
        EXPECT_EQ(opened[i].file, Box().Links()[i].Hint);
        EXPECT_TRUE(opened[i].parameters.empty());
        EXPECT_TRUE(opened[i].directory.empty());
        EXPECT_EQ(opened[i].show, SW_SHOWNORMAL);
    }
    EXPECT_EQ(opened[0].file.rfind(L"https://", 0), 0u);
    EXPECT_EQ(opened[2].file.rfind(L"mailto:", 0), 0u);
    EXPECT_NE(opened[2].file.find(L"?subject=Zarvo"), std::wstring::npos);
}

TEST_F(AboutTest, LinksAreBlueAndShowTheHandOverThem) {
    config += L"UseHandCursor=1\r\n";
    StartWithShell(false);
    ASSERT_EQ(ui::HandPointCursor(), LoadCursorW(nullptr, IDC_HAND));
    ShowAbout({[&] {
        // Ink of the labels' blue inside each link's bounds.
        for (const dialogs::AboutLink& link : Box().Links()) {
            int blue = 0;
            for (int y = link.Bounds.top; y < link.Bounds.bottom; ++y)
                for (int x = link.Bounds.left; x < link.Bounds.right; ++x)
                    blue += (Box().Panel().Pixel(x, y) & 0xFFFFFF) == 0x0066CC;  // RGB(0, 0x66, 0xCC) as a DIB holds it
            EXPECT_GT(blue, 5) << std::string(link.Caption.begin(), link.Caption.end());
        }
        const POINT link = LinkMiddle(1);
        POINT screen = link;
        ClientToScreen(Box().Handle(), &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageW(Box().Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Box().Handle()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), ui::HandPointCursor());
        SetCursorPos(screen.x, screen.y - 120);
        SendMessageW(Box().Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Box().Handle()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_NE(GetCursor(), ui::HandPointCursor());
        Box().Button1Click();
    }});
}

// Credits first, then the fade strip over the area's bottom, the header over its top
// and the links last, all into Panel2's back buffer.
TEST_F(AboutTest, PanelDrawsTheCreditsUnderTheFadeAndTheHeader) {
    StartWithShell(false);
    auto header = ui::LoadImageResource(L"ABOUT_HEADER");
    ASSERT_TRUE(header);
    // Rows of a bitmap with a pixel near the credits' grey.
    auto greyRows = [](const ui::Dib& dib, int top, int bottom) {
        int rows = 0;
        for (int y = top; y < bottom; ++y) {
            bool grey = false;
            for (int x = 0; x < dib.Width(); ++x)
                grey = grey || testing_support::PixelNear(dib.Pixel(x, y) | 0xFF000000, 0xFF808080, 12);
            rows += grey;
        }
        return rows;
    };
    ShowAbout({[&] {
        Box().Timer1.Stop();
        // An offset that puts a line of text at the area's bottom, under the fade.
        const ui::Dib* credits = Box().CreditsBitmap();
        ASSERT_TRUE(credits);
        int target = 0;
        while (target + 185 < credits->Height() && greyRows(*credits, target + 172, target + 185) == 0) ++target;
        ASSERT_LT(target + 185, credits->Height());
        while (Offset() <= target) Box().Timer1Timer();
        const ui::Dib& panel = Box().Panel();
        EXPECT_GT(greyRows(panel, 100, 200), 20) << "the credits show in the middle of the area";
        EXPECT_EQ(greyRows(panel, 236, 249), 0) << "the fade covers the area's bottom";
        for (POINT p : {POINT{200, 10}, POINT{40, 50}}) {
            const Gdiplus::ARGB expected = testing_support::PixelAt(*header, p.x, p.y);
            EXPECT_TRUE(testing_support::PixelNear(panel.Pixel(p.x, p.y) | 0xFF000000, expected, 2))
                << p.x << "," << p.y;
        }
        Box().Button1Click();
    }});
}

TEST_F(AboutTest, OkButtonIsGlyphOnlyWithItsTooltipFromVistaOn) {
    StartWithShell(true);
    HWND ok = Box().Button3();
    ASSERT_TRUE(ok);
    EXPECT_TRUE(ui::GlyphOnly(ok));
    EXPECT_EQ(ui::ControlText(ok), L"");
    EXPECT_EQ(testing_support::TooltipText(ok), L"OK");
}

TEST_F(AboutTest, OkButtonKeepsItsCaptionBeforeVista) {
    StartWithShell(false);
    HWND ok = Box().Button3();
    ASSERT_TRUE(ok);
    EXPECT_FALSE(ui::GlyphOnly(ok));
    EXPECT_EQ(ui::ControlText(ok), L"OK");
    EXPECT_FALSE(ui::GlyphButtonTooltip(ok));
}

}  // namespace
