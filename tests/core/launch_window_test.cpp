#include "main_window_fixture.h"

#include "core/launch.h"
#include "dialogs/edit_box.h"
#include "support/marker_log.h"
#include "support/process.h"
#include "ui/files.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

using namespace std::chrono_literals;

// What the click path handed to the shell, from whatever thread it ran on.
struct ShellLog {
    struct Launch {
        core::ShellCall call;
        DWORD thread = 0;
        HRESULT com = E_FAIL;  // CoInitializeEx's answer on that thread at the call
    };
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Launch> launches;
    int beeps = 0;

    size_t Events() const { return launches.size() + static_cast<size_t>(beeps); }
    // True once `count` launches and beeps arrived; waits at most `timeout`.
    bool WaitForEvents(size_t count, std::chrono::milliseconds timeout = 10s) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return Events() >= count; });
    }
    std::vector<Launch> Launches() {
        std::lock_guard lock(mutex);
        return launches;
    }
    void Clear() {
        std::lock_guard lock(mutex);
        launches.clear();
        beeps = 0;
    }
};

// Held by the functions as well: a worker may still be returning from one when the test ends.
core::ShellFunctions Recording(const std::shared_ptr<ShellLog>& log) {
    core::ShellFunctions shell;
    shell.execute = [log](const core::ShellCall& call) {
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (SUCCEEDED(com)) CoUninitialize();
        std::lock_guard lock(log->mutex);
        log->launches.push_back({call, GetCurrentThreadId(), com});
        log->changed.notify_all();
    };
    shell.beep = [log] {
        std::lock_guard lock(log->mutex);
        ++log->beeps;
        log->changed.notify_all();
    };
    shell.playSound = [](const std::wstring&) {};
    return shell;
}

core::TLNItem Item(int type, std::wstring run, std::wstring params = L"", int runVis = 0) {
    core::TLNItem item;
    item.Type = type;
    item.Run = std::move(run);
    item.Params = std::move(params);
    item.RunVis = runVis;
    item.Caption = L"row";
    return item;
}

// A wrongly started launch would arrive within this; a right one does not come.
constexpr auto kNothingComes = 300ms;

class LaunchTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        core::SetShellForTests(Recording(log));
        core::SetPropertiesDialogForTests([this](int level) { propertiesOpened.push_back(level); });
        GetKeyboardState(savedKeys);
    }
    void TearDown() override {
        SetKeyboardState(savedKeys);
        core::PopupMode = false;
        core::SetShellForTests(std::nullopt);
        core::SetPropertiesDialogForTests(nullptr);
        MainWindowTest::TearDown();
    }

    // The main window at a known place with these rows, row `selected` (1-based)
    // hovered and the pointer on it.
    void Rows(std::vector<core::TLNItem> items, int selected) {
        auto& main = Main();
        main.SetTop(200);
        main.ItemLists[1] = std::move(items);
        main.MainItemCount = static_cast<int>(main.ItemLists[1].size());
        main.SelectedIndex[1] = selected;
        PointerAt(main.Top() + main.Skin.HeaderSize + 1);
    }
    void PointerAt(int screenY) { SetCursorPos(Main().Left() + 5, screenY); }

    void SetCtrl(bool down) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }

    std::shared_ptr<ShellLog> log = std::make_shared<ShellLog>();
    std::vector<int> propertiesOpened;
    BYTE savedKeys[256]{};
};

TEST_F(LaunchTest, DoubleClickRunDecidesWhichClickLaunchesAndEachLaunchesOnce) {
    Start();
    for (std::uint8_t doubleClickRun : {1, 0}) {
        log->Clear();
        Main().Settings.DoubleClickRun = doubleClickRun;
        Rows({Item(0, L"C:\\none\\tool.exe", L"-a", 2)}, 1);
        if (doubleClickRun == 1) {
            Main().FormClick();
            EXPECT_FALSE(log->WaitForEvents(1, kNothingComes)) << "a single click launches nothing";
            Main().FormDblClick();
        } else {
            Main().FormDblClick();
            EXPECT_FALSE(log->WaitForEvents(1, kNothingComes)) << "a double click launches nothing";
            Main().FormClick();
        }
        ASSERT_TRUE(log->WaitForEvents(1)) << int(doubleClickRun);
        EXPECT_FALSE(log->WaitForEvents(2, kNothingComes));
        const auto launches = log->Launches();
        ASSERT_EQ(launches.size(), 1u);
        EXPECT_EQ(launches[0].call.file, L"C:\\none\\tool.exe");
        EXPECT_EQ(launches[0].call.parameters, L"-a");
        EXPECT_EQ(launches[0].call.show, SW_SHOWMAXIMIZED);
        EXPECT_EQ(launches[0].call.owner, ui::Application::Instance().Handle());
    }
}

TEST_F(LaunchTest, HeaderClicksDragsAndRowsOutsideTheListLaunchNothing) {
    Start();
    auto& main = Main();
    const core::TLNItem program = Item(0, L"C:\\none\\tool.exe");
    main.Settings.DoubleClickRun = 0;
    Rows({program, program}, 1);
    PointerAt(main.Top() + main.Skin.HeaderSize);  // the header's last line
    main.FormClick();
    main.Settings.DoubleClickRun = 1;
    PointerAt(main.Top() + main.Skin.HeaderSize - 1);
    main.FormDblClick();
    for (int selected : {0, 3, -1}) {
        Rows({program, program}, selected);
        main.FormDblClick();
        main.Settings.DoubleClickRun = 0;
        main.FormClick();
        main.Settings.DoubleClickRun = 1;
    }
    Rows({program, program}, 1);
    main.MainItemCount = 0;  // the list outlived a failed build
    main.FormDblClick();
    main.MainItemCount = 2;
    main.Dragging = true;
    main.Settings.DoubleClickRun = 0;
    main.FormClick();
    EXPECT_FALSE(log->WaitForEvents(1, kNothingComes));

    main.Dragging = false;
    main.FormClick();  // the same row, now a plain click
    EXPECT_TRUE(log->WaitForEvents(1));
}

TEST_F(LaunchTest, GroupsSeparatorsAndRowsWhoseRunIsNoTargetAreNotLaunched) {
    Start();
    auto& main = Main();
    // A double click would hand "1", a temperature or a library name to the shell.
    for (int type : {2, 777, 6, 7, 11}) {
        main.Settings.DoubleClickRun = 1;
        Rows({Item(type, L"1")}, 1);
        main.FormDblClick();
    }
    main.Settings.DoubleClickRun = 0;
    for (int type : {2, 777}) {
        Rows({Item(type, L"C:\\none\\tool.exe")}, 1);
        main.FormClick();
    }
    EXPECT_FALSE(log->WaitForEvents(1, kNothingComes));
    EXPECT_TRUE(propertiesOpened.empty());
}

TEST_F(LaunchTest, EmptyTargetOpensThePropertiesOfFilesAndFoldersAndBeepsForOtherTypes) {
    Start();
    auto& main = Main();
    struct Case {
        int type;
        bool properties;
    };
    for (const Case c : {Case{0, true}, Case{1, true}, Case{3, false}, Case{5, false}}) {
        for (std::uint8_t doubleClickRun : {0, 1}) {
            propertiesOpened.clear();
            log->Clear();
            main.Settings.DoubleClickRun = doubleClickRun;
            Rows({Item(0, L"C:\\a.exe"), Item(c.type, L"")}, 2);
            doubleClickRun ? main.FormDblClick() : main.FormClick();
            if (c.properties) {
                EXPECT_EQ(propertiesOpened, std::vector<int>{1}) << c.type;
                EXPECT_FALSE(log->WaitForEvents(1, kNothingComes)) << c.type;
            } else {
                EXPECT_TRUE(propertiesOpened.empty()) << c.type;
                ASSERT_TRUE(log->WaitForEvents(1)) << c.type;
                EXPECT_TRUE(log->Launches().empty()) << "the one event is the beep";
            }
        }
    }
}

TEST_F(LaunchTest, CtrlClickOpensTheContainingFolderAndTheDesktopObjectItsFolder) {
    folder.WriteFile(L"bin\\tool.exe", "x");
    Start();
    auto& main = Main();
    main.Settings.DoubleClickRun = 0;
    const std::wstring tool = folder.PathOf(L"bin\\tool.exe");
    const std::wstring desktop = core::GetDesktopFolder(ui::Application::Instance().Handle());
    struct Case {
        std::wstring run;
        bool ctrl;
        std::wstring file, parameters, directory;
    };
    const Case cases[] = {
        {tool, false, tool, L"-x", folder.PathOf(L"bin\\")},
        {tool, true, folder.PathOf(L"bin\\"), L"", L""},
        {L"::{00021400-0000-0000-C000-000000000046}", false, desktop, L"-x", L""},
    };
    for (const auto& c : cases) {
        const size_t before = log->Events();
        Rows({Item(0, c.run, L"-x")}, 1);
        SetCtrl(c.ctrl);
        main.FormClick();
        SetCtrl(false);  // the state of the click counts, not the worker's
        ASSERT_TRUE(log->WaitForEvents(before + 1)) << c.run;
        const core::ShellCall call = log->Launches().back().call;
        EXPECT_EQ(call.file, c.file) << c.run;
        EXPECT_EQ(call.parameters, c.parameters) << c.run;
        EXPECT_EQ(call.directory, c.directory) << c.run;
    }
}

TEST_F(LaunchTest, PopUpSingleClicksLaunchOnTheGuiThreadAndEveryLaunchHasComReady) {
    Start();
    auto& main = Main();
    const DWORD gui = GetCurrentThreadId();
    struct Case {
        bool popup, doubleClick, onGuiThread;
    };
    for (const Case c : {Case{false, false, false}, Case{true, false, true}, Case{true, true, false}}) {
        const size_t before = log->Events();
        core::PopupMode = c.popup;
        main.Settings.DoubleClickRun = c.doubleClick ? 1 : 0;
        Rows({Item(0, L"C:\\none\\tool.exe")}, 1);
        c.doubleClick ? main.FormDblClick() : main.FormClick();
        ASSERT_TRUE(log->WaitForEvents(before + 1));
        const auto launch = log->Launches().back();
        EXPECT_EQ(launch.thread == gui, c.onGuiThread) << c.popup << c.doubleClick;
        EXPECT_EQ(launch.com, S_FALSE) << "COM already initialised on the launching thread";
    }
}

// Seen from inside the modal loop of the quick-run box.
struct RunBoxSeen {
    bool shown = false, runBoxOpen = false, showHoverIcon = true, animationLoaded = true;
    bool timer1 = true, mainEnabled = true;
    RECT box{};
    int tag = 0;
};
RunBoxSeen* seen = nullptr;

void CALLBACK LookAtRunBox(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto& main = *core::Form1;
    seen->shown = core::EditBox->Visible();
    seen->runBoxOpen = main.Compositor.RunBoxOpen;
    seen->showHoverIcon = main.Compositor.ShowHoverIcon;
    seen->animationLoaded = main.Parts.AnimationLoaded;
    seen->timer1 = main.TimerRunning(core::TForm1::kTimer1);
    seen->mainEnabled = IsWindowEnabled(main.Handle()) != FALSE;
    GetWindowRect(core::EditBox->Handle(), &seen->box);
    seen->tag = core::EditBox->Tag;
    core::EditBox->Close();
}

TEST_F(LaunchTest, QuickRunRowOpensTheBoxOverItsRowsAndHandsTheHoverStateBack) {
    Start();
    auto& main = Main();
    main.Parts.AnimationLoaded = true;
    ASSERT_TRUE(main.TimerRunning(core::TForm1::kTimer1));
    Rows({Item(0, L"C:\\a.exe"), Item(6, L"1")}, 2);
    RunBoxSeen look;
    seen = &look;
    SetTimer(nullptr, 0, 1, &LookAtRunBox);
    main.FormClick();  // returns when the box has closed
    seen = nullptr;

    EXPECT_TRUE(look.shown);
    EXPECT_TRUE(look.runBoxOpen);
    EXPECT_FALSE(look.showHoverIcon);
    EXPECT_FALSE(look.animationLoaded);
    EXPECT_FALSE(look.timer1);
    EXPECT_FALSE(look.mainEnabled) << "modal";
    EXPECT_EQ(look.tag, 1);
    const auto& skin = main.Skin;
    EXPECT_EQ(look.box.left, main.Left());
    EXPECT_EQ(look.box.top, main.Top() + skin.HeaderSize);
    EXPECT_EQ(look.box.bottom - look.box.top, 2 * skin.ItemSize) << "down to the bottom of the clicked row";

    EXPECT_FALSE(core::EditBox->Visible());
    EXPECT_FALSE(main.Compositor.RunBoxOpen);
    EXPECT_TRUE(main.Compositor.ShowHoverIcon);
    EXPECT_TRUE(main.Parts.AnimationLoaded);
    EXPECT_TRUE(main.TimerRunning(core::TForm1::kTimer1));
    EXPECT_TRUE(IsWindowEnabled(main.Handle()));
    EXPECT_FALSE(log->WaitForEvents(1, kNothingComes)) << "a quick-run row is never launched";
}

TEST_F(LaunchTest, PluginRowWithoutItsPluginKeepsTheRowAndRecordsItsRectangle) {
    folder.WriteFile(L"1.xml",
                     "<Items><item><Run>a.exe</Run><Type>0</Type><Caption>A</Caption></item>"
                     "<item><Run>none.dll</Run><Type>11</Type><Caption>P</Caption></item></Items>");
    Start();
    auto& main = Main();
    ASSERT_EQ(main.MainItemCount, 2);
    const std::string menu = folder.ReadFile(L"1.xml");
    main.SelectedIndex[1] = 2;
    PointerAt(main.Top() + main.Skin.HeaderSize + 1);
    main.FormClick();
    const int top = main.Top() + main.ItemTop(1, 1);
    const RECT& r = main.PluginItemRect;
    EXPECT_EQ(r.left, main.Left());
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, main.Left() + main.Width());
    EXPECT_EQ(r.bottom, top + main.Skin.ItemSize);
    EXPECT_EQ(main.ItemLists[1][1].Caption, L"P");
    EXPECT_EQ(folder.ReadFile(L"1.xml"), menu);
    EXPECT_FALSE(log->WaitForEvents(1, kNothingComes));
}

TEST_F(LaunchTest, RevealOpensFoldersAndSelectsFilesInExplorer) {
    folder.WriteFile(L"docs\\a, b.txt", "x");
    Start();
    const std::wstring docs = folder.PathOf(L"docs");
    const std::wstring file = folder.PathOf(L"docs\\a, b.txt");
    const std::wstring onDisk = L"%DISK%" + file.substr(2);
    struct Case {
        std::wstring path;
        int type;
        std::wstring file, parameters;  // empty file: nothing opened
    };
    const Case cases[] = {
        {docs, 0, docs, L""},
        {file, 0, L"Explorer.exe", L"/n,/select,\"" + file + L"\""},
        {onDisk, 1, L"Explorer.exe", L"/n,/select,\"" + file + L"\""},
        {docs, 55, L"Explorer.exe", L"/n,/select,\"" + docs + L"\""},
        {folder.PathOf(L"gone"), 55, L"Explorer.exe", L"/n,/select,\"" + folder.PathOf(L"gone") + L"\""},
        {folder.PathOf(L"gone"), 0, L"", L""},
    };
    for (const auto& c : cases) {
        log->Clear();
        Main().RevealInExplorer(c.path, c.type);
        const auto launches = log->Launches();  // on the calling thread: already there
        if (c.file.empty()) {
            EXPECT_TRUE(launches.empty()) << c.path;
            continue;
        }
        ASSERT_EQ(launches.size(), 1u) << c.path;
        EXPECT_EQ(launches[0].call.verb, L"open");
        EXPECT_EQ(launches[0].call.file, c.file) << c.path;
        EXPECT_EQ(launches[0].call.parameters, c.parameters) << c.path;
        EXPECT_EQ(launches[0].call.show, SW_SHOWNORMAL);
    }
}

TEST_F(LaunchTest, FindObjectRevealsTheSelectedItemOfItsLevelCountingTheScroll) {
    folder.WriteFile(L"docs\\a.txt", "x");
    folder.WriteFile(L"docs\\b.txt", "x");
    Start();
    auto& main = Main();
    const std::wstring a = folder.PathOf(L"docs\\a.txt");
    const std::wstring b = folder.PathOf(L"docs\\b.txt");
    Rows({Item(0, a), Item(0, b)}, 2);
    main.FindMIClick();
    main.ItemLists[2] = {Item(55, a), Item(55, a), Item(55, b)};
    main.ScrollMode[2] = 1;
    main.ScrollTop = 1;
    main.SelectedIndex[2] = 2;  // the second visible row: item 2 of the list
    core::RevealSelectedItem(main, 2);
    for (int selected : {-1, 0, 3}) {
        main.SelectedIndex[2] = selected;
        core::RevealSelectedItem(main, 2);
    }
    const auto launches = log->Launches();
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[0].call.parameters, L"/n,/select,\"" + b + L"\"");
    EXPECT_EQ(launches[1].call.parameters, L"/n,/select,\"" + b + L"\"");
}

TEST_F(LaunchTest, ClickStartsTheRealProgramOnceWithItsShowCommandParametersAndFolder) {
    folder.CopyFileIn(testing_support::MarkerExePath(), L"bin\\marker.exe");
    const std::wstring marker = folder.PathOf(L"bin\\marker.exe");
    Start();
    core::SetShellForTests(std::nullopt);
    Main().Settings.DoubleClickRun = 0;
    Rows({Item(0, marker, L"one \"two words\"", 1)}, 1);
    Main().FormClick();

    const std::wstring logFile = folder.PathOf(L"bin\\marker.log");
    const auto records = testing_support::WaitForMarkerLog(logFile, 1);
    ASSERT_EQ(records.size(), 1u);
    const auto args = testing_support::SplitCommandLine(records[0].commandLine);
    EXPECT_EQ(std::vector<std::wstring>(args.begin() + std::min<size_t>(1, args.size()), args.end()),
              (std::vector<std::wstring>{L"one", L"two words"}))
        << records[0].commandLine;
    EXPECT_EQ(ui::IncludeTrailingBackslash(records[0].currentDir), folder.PathOf(L"bin\\"));
    EXPECT_TRUE(records[0].startFlags & STARTF_USESHOWWINDOW);
    EXPECT_EQ(records[0].showWindow, SW_SHOWMINIMIZED) << "RunVis 1 + 1";
    EXPECT_EQ(testing_support::WaitForMarkerLog(logFile, 2, 1500).size(), 1u) << "started once";
}

TEST_F(LaunchTest, ForceForegroundRefusesNonWindowsAndRestoresTopmostAndTheLockTimeout) {
    Start();
    auto& main = Main();
    UINT original = 0;
    const bool haveTimeout = SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &original, 0) != FALSE;
    const auto setTimeout = [](UINT ms) {
        SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(ms)), 0);
    };
    setTimeout(12345);

    EXPECT_FALSE(main.ForceForeground(nullptr));
    HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_FALSE(main.ForceForeground(gone));

    testing_support::TestWindow plain;
    EXPECT_TRUE(main.ForceForeground(plain.Handle()));
    EXPECT_EQ(GetForegroundWindow(), plain.Handle());
    EXPECT_FALSE(GetWindowLongPtrW(plain.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    ASSERT_TRUE(GetWindowLongPtrW(main.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    main.ForceForeground(main.Handle());
    EXPECT_TRUE(GetWindowLongPtrW(main.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) << "the menu stays on top";

    UINT after = 0;
    if (haveTimeout && SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &after, 0)) {
        EXPECT_EQ(after, 12345u);
    }
    setTimeout(original);
}

}  // namespace
