// The real zvhook.dll in this process: real input through SendInput, a "TForm1"
// window of the test that records what the library posts, and the stand-in taskbar.
#include "core/foreign_calls.h"
#include "core/popup_mode.h"
#include "support/program_folder.h"
#include "support/stand_in_taskbar.h"
#include "ui/handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using testing_support::StandInTaskbar;

struct Posted {
    UINT msg;
    LPARAM lp;
};

std::vector<Posted>& Received() {
    static std::vector<Posted> received;
    return received;
}

LRESULT CALLBACK RecordHookMessages(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == core::WM_HOOK_SHOWMENU || msg == core::WM_HOOK_HIDEMENU) Received().push_back({msg, lp});
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// The window the library posts to: the class name of Zarvo's main window, hidden.
class FakeMainWindow {
public:
    FakeMainWindow() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &RecordHookMessages;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TForm1";
        RegisterClassExW(&wc);
        hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"TForm1", L"Zarvo", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    }
    ~FakeMainWindow() {
        DestroyWindow(hwnd_);
        UnregisterClassW(L"TForm1", GetModuleHandleW(nullptr));
    }
    HWND Handle() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

void Pump(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        const DWORD now = GetTickCount();
        if (static_cast<LONG>(end - now) <= 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
    }
}

void Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof(in));
}

class ZvHookTest : public ::testing::Test {
protected:
    void SetUp() override {
        Received().clear();
        library.Reset(LoadLibraryW((testing_support::TestExeDir() + L"zvhook.dll").c_str()));
        ASSERT_TRUE(library);
        hook = reinterpret_cast<core::HookFunction>(reinterpret_cast<void*>(GetProcAddress(library.Get(), "Hook")));
        ASSERT_TRUE(hook);
    }
    void TearDown() override {
        if (hook) hook(0);
        SetCursorPos(640, 600);
    }

    // Runs the input, then a right press on the bar as a barrier: the library handles
    // input in order, so once the barrier's hide message is here every message of
    // the input before it is too. Returns what the input alone posted.
    std::vector<Posted> PostedFor(const std::function<void()>& input) {
        Received().clear();
        input();
        testing_support::PressAt(taskbar.OverBar(), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
        for (int i = 0; i < 100 && (Received().empty() || Received().back().msg != core::WM_HOOK_HIDEMENU); ++i)
            Pump(20);
        Pump(50);
        EXPECT_FALSE(Received().empty()) << "the barrier's hide message never came";
        std::vector<Posted> posted = Received();
        if (!posted.empty()) posted.pop_back();
        return posted;
    }

    FakeMainWindow main;
    StandInTaskbar taskbar;
    ui::UniqueModule library;
    core::HookFunction hook = nullptr;
};

int Count(const std::vector<Posted>& posted, UINT msg) {
    int n = 0;
    for (const Posted& p : posted) n += p.msg == msg;
    return n;
}

TEST_F(ZvHookTest, StartButtonWindowsKeyAndOtherPressesPostTheirMessages) {
    hook(1);
    Pump(50);
    struct Case {
        const char* name;
        std::function<void()> input;
        int shows;
        int hides;
    };
    const Case cases[] = {
        {"lone Windows key", [] { Key(VK_LWIN, false); Key(VK_LWIN, true); }, 1, 0},
        {"Win+E",
         [] {
             Key(VK_LWIN, false);
             Key('E', false);
             Key('E', true);
             Key(VK_LWIN, true);
         },
         0, 0},
        {"left press on Start", [this] { testing_support::PressAt(taskbar.OverStart(), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }, 1, 0},
        {"left press elsewhere", [this] { testing_support::PressAt(taskbar.OverBar(), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }, 0, 1},
        {"right press elsewhere", [this] { testing_support::PressAt(taskbar.OverBar(), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP); }, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Posted> posted = PostedFor(c.input);
        EXPECT_EQ(Count(posted, core::WM_HOOK_SHOWMENU), c.shows);
        EXPECT_EQ(Count(posted, core::WM_HOOK_HIDEMENU), c.hides);
        for (const Posted& p : posted) EXPECT_EQ(p.lp, 0);
    }
    EXPECT_EQ(taskbar.StartPresses(), 0) << "the press on Start and its release are swallowed";
}

TEST_F(ZvHookTest, SecondStartWatchesOnceAndStopLeavesInputAlone) {
    hook(1);
    hook(1);
    Pump(50);
    const auto lone = [] {
        Key(VK_RWIN, false);
        Key(VK_RWIN, true);
    };
    EXPECT_EQ(Count(PostedFor(lone), core::WM_HOOK_SHOWMENU), 1);

    hook(0);
    hook(0);
    Received().clear();
    lone();
    testing_support::PressAt(taskbar.OverStart(), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    testing_support::PressAt(taskbar.OverBar(), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    // No barrier can come from a stopped library: the button's own press is the one.
    for (int i = 0; i < 100 && taskbar.StartPresses() == 0; ++i) Pump(20);
    Pump(100);
    EXPECT_TRUE(Received().empty());
    EXPECT_EQ(taskbar.StartPresses(), 1);
}

}  // namespace
