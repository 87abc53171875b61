// Pop-up mode in the real Zarvo.exe: the Start button and the Windows key through
// the real zvhook.dll, the notification icon's menu, a missing hook library and a
// hook library that faults.
#include "support/process.h"
#include "support/program_folder.h"
#include "support/stand_in_taskbar.h"
#include "ui/strings.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

namespace {

using testing_support::ProgramFolder;
using testing_support::StandInTaskbar;
using testing_support::ZarvoProcess;

constexpr char kMenu[] =
    "<?xml version=\"1.0\"?>\r\n<Items><item><Run>a.exe</Run><Type>0</Type><Caption>A</Caption></item></Items>\r\n";

// Polls `done`, dispatching this thread's messages meanwhile (the stand-in taskbar
// is a window of the test).
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
    for (DWORD waited = 0;; waited += 20) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        if (done()) return true;
        if (waited >= timeoutMs) return false;
        Sleep(20);
    }
}

void TapWindowsKey() {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = VK_LWIN;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

HWND VisibleMenuOf(DWORD pid) {
    for (HWND w : testing_support::TopLevelWindowsOf(pid))
        if (testing_support::ClassOf(w) == L"#32768" && IsWindowVisible(w)) return w;
    return nullptr;
}

// What the pointer is over, for the message of a hide that did not happen.
std::string PointerReport() {
    POINT p{};
    GetCursorPos(&p);
    const HWND under = WindowFromPoint(p);
    const HWND fg = GetForegroundWindow();
    return "pointer at " + std::to_string(p.x) + "," + std::to_string(p.y) + " over " +
           ui::WideToUtf8(under ? testing_support::ClassOf(under) : L"nothing") + ", foreground " +
           ui::WideToUtf8(fg ? testing_support::ClassOf(fg) : L"none");
}

HWND WineTray() { return FindWindowW(L"__winex11_standalone_tray", nullptr); }

class PopupModeE2E : public ::testing::Test {
protected:
    void SetUp() override {
        SetCursorPos(640, 600);
        folder.WriteUtf16(L"config.ini", L"[General]\r\nHideSplashScreen=1\r\nPosition=5\r\n");
        folder.WriteFile(L"1.xml", kMenu);
    }
    void TearDown() override {
        SetCursorPos(640, 600);
        if (zarvo.IsRunning()) {
            zarvo.Close();
            zarvo.WaitForExit();
        }
    }

    void UseFakeHook() {
        folder.Remove(L"zvhook.dll");
        folder.CopyFileIn(testing_support::TestExeDir() + L"fake_zvhook.dll", L"zvhook.dll");
    }

    std::string HookLog() const { return folder.Exists(L"hook.log") ? folder.ReadFile(L"hook.log") : ""; }

    ProgramFolder folder;
    ZarvoProcess zarvo;
};

TEST_F(PopupModeE2E, StartButtonAndWindowsKeyToggleTheMenuAtThePointer) {
    ASSERT_TRUE(folder.Exists(L"zvhook.dll")) << "the hook library ships beside the program";
    zarvo.Start(folder);
    ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
    const HWND menu = zarvo.WaitForWindow(L"TForm1");
    ASSERT_TRUE(menu);
    // Made after the start: Wine's shell sends notify-icon requests to the first
    // taskbar it finds.
    StandInTaskbar taskbar;
    const auto shown = [menu] { return IsWindowVisible(menu) != FALSE; };
    const auto hidden = [menu] { return !IsWindowVisible(menu); };

    testing_support::PressAt(taskbar.OverBar(), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil(hidden)) << "a press elsewhere hides the menu that start-up popped up; " << PointerReport();

    const POINT start = taskbar.OverStart();
    testing_support::PressAt(start, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil(shown));
    RECT r{};
    GetWindowRect(menu, &r);
    EXPECT_EQ(r.left, start.x);
    EXPECT_EQ(r.bottom, start.y) << "below half the screen the menu opens above the pointer";
    EXPECT_EQ(taskbar.StartPresses(), 0);

    testing_support::PressAt(start, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil(hidden)) << "the Start button toggles; " << PointerReport();

    SetCursorPos(400, 300);
    TapWindowsKey();
    ASSERT_TRUE(PumpUntil(shown));
    GetWindowRect(menu, &r);
    EXPECT_EQ(r.left, 400);
    EXPECT_EQ(r.top, 300);

    testing_support::PressAt(taskbar.OverBar(), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil(hidden)) << PointerReport();
    EXPECT_EQ(taskbar.StartPresses(), 0);
}

TEST_F(PopupModeE2E, TrayIconOffersItsMenuOnARightClickAndCloseRemovesHookAndIcon) {
    UseFakeHook();
    zarvo.Start(folder);
    ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
    HWND tray = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (tray = WineTray()) && IsWindowVisible(tray); }));
    RECT t{};
    GetWindowRect(tray, &t);
    const POINT icon{t.left + 12, t.top + 31};
    const DWORD pid = zarvo.Pid();

    // The left click comes first for the desktop's sake too: a click activates the tray
    // window, and under X11 the focus change it asks for arrives a moment later. Were
    // the first click a right one, that late focus could take the foreground back from
    // the menu just opened and close it; after a settled left click nothing is left
    // in flight.
    testing_support::PressAt(icon, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    EXPECT_FALSE(PumpUntil([&] { return VisibleMenuOf(pid) != nullptr; }, 1000)) << "a left click opens nothing";
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == tray; }));

    testing_support::PressAt(icon, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    HWND popup = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (popup = VisibleMenuOf(pid)) != nullptr; }));
    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(PumpUntil([&] { return VisibleMenuOf(pid) == nullptr; }));

    testing_support::PressAt(icon, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(PumpUntil([&] { return (popup = VisibleMenuOf(pid)) != nullptr; }));
    PostMessageW(popup, WM_KEYDOWN, VK_UP, 0);  // from no selection to the last entry, Close
    PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(zarvo.WaitForExit());
    EXPECT_EQ(zarvo.ExitCode(), 0u);
    EXPECT_EQ(HookLog(), "Hook(1)\r\nHook(0)\r\n");
    EXPECT_NE(folder.ReadText(L"config.ini").find(L"Position=5"), std::wstring::npos);
    EXPECT_TRUE(PumpUntil([] { return !WineTray() || !IsWindowVisible(WineTray()); }))
        << "the icon went with the program's close";
}

TEST_F(PopupModeE2E, MissingHookLibraryShowsErrorAndTheProgramGoesOn) {
    folder.Remove(L"zvhook.dll");
    zarvo.Start(folder);
    const HWND dialog = zarvo.WaitForDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(ZarvoProcess::ClassOf(dialog), L"#32770");
    wchar_t title[64] = L"";
    GetWindowTextW(dialog, title, 64);
    EXPECT_STREQ(title, L"Error");
    EXPECT_NE(zarvo.DialogText(dialog).find(L"Error!"), std::wstring::npos);
    zarvo.ClickDialogButton(dialog, IDIGNORE);
    ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
    zarvo.Close();
    ASSERT_TRUE(zarvo.WaitForExit());
    EXPECT_EQ(zarvo.ExitCode(), 0u);
}

TEST_F(PopupModeE2E, AFaultingHookLibraryEndsTheProgramWithAFailureAndNoDialog) {
    UseFakeHook();
    folder.WriteFile(L"hook.fault", "");
    zarvo.Start(folder);
    EXPECT_EQ(zarvo.WaitForDialog(10000), nullptr) << "neither a message nor a crash dialog";
    ASSERT_TRUE(zarvo.WaitForExit(10000));
    EXPECT_NE(zarvo.ExitCode(), 0u);
    EXPECT_EQ(HookLog(), "Hook(1)\r\n");
}

}  // namespace
