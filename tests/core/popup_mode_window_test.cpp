// Pop-up mode on the real windows: the fake hook library in the program folder, the
// notification calls recorded, the "Error!" dialog answered through its seams.
#include "main_window_fixture.h"

#include "core/edit_commands.h"
#include "core/motion.h"
#include "core/mouse_input.h"
#include "core/shell_menu.h"
#include "core/popup_mode.h"
#include "dialogs/form5.h"
#include "popups/form2.h"
#include "support/program_folder.h"
#include "ui/files.h"

#include <functional>
#include <string>
#include <vector>

namespace {

// Two rows: 36 x (16 + 2 x 36 + 12) = 36 x 100 with the built-in skin; three: 136.
constexpr char kTwoRows[] =
    "<?xml version=\"1.0\"?>\r\n<Items><item><Run>a.exe</Run><Type>0</Type><Caption>A</Caption></item>"
    "<item><Run>b.exe</Run><Type>0</Type><Caption>B</Caption></item></Items>\r\n";
constexpr char kThreeRows[] =
    "<?xml version=\"1.0\"?>\r\n<Items><item><Type>0</Type><Caption>A</Caption></item>"
    "<item><Type>0</Type><Caption>B</Caption></item><item><Type>0</Type><Caption>C</Caption></item></Items>\r\n";
constexpr int kTwoRowsHeight = 100;
constexpr int kThreeRowsHeight = 136;
constexpr POINT kAway{640, 600};

struct Notified {
    DWORD message;
    NOTIFYICONDATAW record;
};

// Whether a popup menu came up while `open` ran; a menu that does is closed again.
bool g_menuSeen = false;
void CALLBACK EscapeAnyMenu(HWND, UINT, UINT_PTR, DWORD) {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (!menu || !IsWindowVisible(menu)) return;
    g_menuSeen = true;
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
}
bool MenuShownWhile(const std::function<void()>& open) {
    g_menuSeen = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, &EscapeAnyMenu);
    open();
    // A menu that was opened without blocking would still be up here.
    for (int i = 0; i < 5; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(30);
    }
    KillTimer(nullptr, timer);
    return g_menuSeen;
}

std::vector<uint32_t> IconPixels(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return {};
    BITMAP bm{};
    GetObjectW(info.hbmColor, sizeof(bm), &bm);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = bm.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels(static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight));
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, info.hbmColor, 0, static_cast<UINT>(bm.bmHeight), pixels.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels;
}

bool IconAlive(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

class PopupModeTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SetCursorPos(kAway.x, kAway.y);
        savedVista = core::VistaOrLater;
        core::VistaOrLater = true;
        core::SetMotionClockForTests([](int) {}, [](int) {});
        folder.WriteFile(L"1.xml", kTwoRows);
        folder.WriteFile(L"2.xml", kThreeRows);
        UseHook(L"fake_zvhook.dll");
        config += L"Position=5\r\n";
        core::SetNotifyIconForTests([this](DWORD message, NOTIFYICONDATAW& record) {
            notified.push_back({message, record});
            return TRUE;
        });
        core::SetTaskDialogHandler([this](const core::TaskDialogRequest& request) {
            dialogs.push_back(request);
            return IDIGNORE;
        });
    }

    void TearDown() override {
        if (holder) DestroyWindow(holder);
        MainWindowTest::TearDown();
        core::SetNotifyIconForTests(nullptr);
        core::SetTaskDialogHandler(nullptr);
        core::SetMotionClockForTests(nullptr, nullptr);
        core::VistaOrLater = savedVista;
        core::ContextMenuOpen = false;
        core::PopupMode = false;
        // The program keeps the library for its life; the test must let the folder go.
        for (int i = 0; i < 16; ++i) {
            HMODULE module = GetModuleHandleW(folder.PathOf(L"zvhook.dll").c_str());
            if (!module) break;
            FreeLibrary(module);
        }
    }

    void UseHook(const std::wstring& library) {
        folder.Remove(L"zvhook.dll");
        folder.CopyFileIn(testing_support::TestExeDir() + library, L"zvhook.dll");
    }

    std::vector<std::string> HookLog() const { return folder.ReadLines(L"hook.log"); }

    void Send(UINT msg, LPARAM lp = 0) { SendMessageW(Main().Handle(), msg, 0, lp); }
    // The tray's click gives the shell's foreground to Zarvo. Called straight from a
    // test, the handler would take it from Wine's desktop through the desktop
    // thread's input, and the X11 focus events of that change end the menu at once.
    // A framed window of this thread (Wine gives such windows the X focus) holds the
    // foreground instead, so the handler's call stays within the thread.
    void TakeForegroundAndSettle() {
        holder = CreateWindowExW(0, L"STATIC", L"foreground holder", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700, 100, 200,
                                 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetForegroundWindow(holder);
        for (int i = 0; i < 10; ++i) {
            ui::Application::Instance().ProcessMessages();
            Sleep(20);
        }
        ASSERT_EQ(GetForegroundWindow(), holder);
    }
    // Pops the menu up (or leaves it up) with the pointer at `at`.
    void ShowAt(POINT at) {
        SetCursorPos(at.x, at.y);
        if (Main().Visible()) Send(core::WM_HOOK_SHOWMENU);
        Send(core::WM_HOOK_SHOWMENU);
    }
    void HideMenu() {
        if (Main().Visible()) Send(core::WM_HOOK_SHOWMENU);
    }

    bool savedVista = false;
    HWND holder = nullptr;
    std::vector<Notified> notified;
    std::vector<core::TaskDialogRequest> dialogs;
};

TEST_F(PopupModeTest, ShowMessageTogglesTheMenuAtThePointerAboveOrBelowHalfTheScreen) {
    Start();
    ASSERT_TRUE(core::PopupMode);
    ASSERT_TRUE(Main().Visible()) << "start-up pops the menu up";
    Send(core::WM_HOOK_SHOWMENU);
    EXPECT_FALSE(Main().Visible());
    struct Case {
        POINT pointer;
        int top;
    };
    const int half = GetSystemMetrics(SM_CYSCREEN) / 2;
    for (const Case c : {Case{{300, 200}, 200}, Case{{400, half + 100}, half + 100 - kTwoRowsHeight}}) {
        SCOPED_TRACE(c.pointer.y);
        SetCursorPos(c.pointer.x, c.pointer.y);
        Send(core::WM_HOOK_SHOWMENU);
        ASSERT_TRUE(Main().Visible());
        EXPECT_EQ(Main().Left(), c.pointer.x);
        EXPECT_EQ(Main().Top(), c.top);
        Send(core::WM_HOOK_SHOWMENU);
        EXPECT_FALSE(Main().Visible());
    }
}

TEST_F(PopupModeTest, ShowMessageOutsidePopupModeChangesNothingAndLeavesTheAtom) {
    config = L"[General]\r\nHideSplashScreen=1\r\nPosition=0\r\n";
    Start();
    ASSERT_FALSE(core::PopupMode);
    const bool visible = Main().Visible();
    const RECT before{Main().Left(), Main().Top(), Main().Width(), Main().Height()};
    const ATOM atom = GlobalAddAtomW(L"2.xml");
    ASSERT_NE(atom, 0);
    SetCursorPos(300, 200);
    Send(core::WM_HOOK_SHOWMENU, atom);
    EXPECT_EQ(Main().Visible(), visible);
    EXPECT_EQ(core::MenuFileName, L"1.xml");
    const RECT after{Main().Left(), Main().Top(), Main().Width(), Main().Height()};
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(GlobalFindAtomW(L"2.xml"), atom) << "outside pop-up mode the message is ignored whole";
    GlobalDeleteAtom(atom);
    EXPECT_TRUE(notified.empty());
    EXPECT_FALSE(folder.Exists(L"hook.log"));
}

// Any process may add the atom: only a plain relative ".xml" file is taken.
TEST_F(PopupModeTest, AtomNamesSwitchTheMenuOnlyToAPlainRelativeXmlFile) {
    folder.WriteFile(L"sub.xml\\inside.txt", "");
    const std::wstring outsideName = L"zarvo-outside-" + std::to_wstring(GetCurrentProcessId()) + L".xml";
    const std::wstring outside = folder.Path() + L"..\\" + outsideName;
    ASSERT_TRUE(ui::WriteFileAtomic(outside, kThreeRows));
    Start();
    struct Case {
        std::wstring name;  // empty: lParam 0
        bool integerAtom;
        const wchar_t* menu;
        int height;
    };
    const Case cases[] = {
        {L"config.ini", false, L"1.xml", kTwoRowsHeight},
        {L"..\\" + outsideName, false, L"1.xml", kTwoRowsHeight},
        {folder.PathOf(L"2.xml"), false, L"1.xml", kTwoRowsHeight},
        {L"sub.xml", false, L"1.xml", kTwoRowsHeight},
        {L"missing.xml", false, L"1.xml", kTwoRowsHeight},
        {L"", false, L"1.xml", kTwoRowsHeight},
        {L"", true, L"1.xml", kTwoRowsHeight},
        {L"2.xml", false, L"2.xml", kThreeRowsHeight},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + (c.integerAtom ? L" (integer atom)" : L""));
        HideMenu();
        ATOM atom = 0;
        if (c.integerAtom) atom = GlobalAddAtomW(L"#4711");
        else if (!c.name.empty()) atom = GlobalAddAtomW(c.name.c_str());
        const bool named = !c.integerAtom && !c.name.empty();
        if (c.integerAtom || named) {
            ASSERT_NE(atom, 0);
        }
        Send(core::WM_HOOK_SHOWMENU, atom);
        EXPECT_TRUE(Main().Visible()) << "the menu pops up in every case";
        EXPECT_EQ(core::MenuFileName, c.menu);
        EXPECT_EQ(Main().Height(), c.height);
        if (named) {
            EXPECT_EQ(GlobalFindAtomW(c.name.c_str()), 0) << "the atom leaked";
        }
    }
    EXPECT_TRUE(boxes.empty()) << "no file but a menu was ever loaded";

    // Hiding takes the atom too, and keeps the menu.
    const ATOM atom = GlobalAddAtomW(L"1.xml");
    Send(core::WM_HOOK_SHOWMENU, atom);
    EXPECT_FALSE(Main().Visible());
    EXPECT_EQ(core::MenuFileName, L"2.xml");
    EXPECT_EQ(GlobalFindAtomW(L"1.xml"), 0);
    DeleteFileW(outside.c_str());
}

TEST_F(PopupModeTest, HideMessageLeavesTheMenuUpWhileAGuardHolds) {
    Start();
    auto& main = Main();
    struct Guard {
        const char* name;
        std::function<void()> apply;
        std::function<void()> undo;
    };
    const Guard guards[] = {
        {"pointer over the main window",
         [&] { SetCursorPos(main.Left() + main.Width() / 2, main.Top() + main.Height() / 2); },
         [] { SetCursorPos(kAway.x, kAway.y); }},
        {"pointer over TForm2",
         [] {
             core::Form2->SetBounds(900, 100, 60, 60);
             core::Form2->Show();
             SetCursorPos(930, 130);
         },
         [] {
             core::Form2->Hide();
             SetCursorPos(kAway.x, kAway.y);
         }},
        {"settings dialog visible", [] { core::Form5->Show(); }, [] { core::Form5->Hide(); }},
        {"plug-in busy", [&] { main.PluginBusy = true; }, [&] { main.PluginBusy = false; }},
        {"context menu's end hook set",
         [&] { main.WinEventHook = reinterpret_cast<HWINEVENTHOOK>(1); }, [&] { main.WinEventHook = nullptr; }},
        {"shell context menu open", [] { core::ContextMenuOpen = true; }, [] { core::ContextMenuOpen = false; }},
    };
    for (const Guard& g : guards) {
        SCOPED_TRACE(g.name);
        ShowAt(POINT{300, 200});
        ASSERT_TRUE(main.Visible());
        g.apply();
        Send(core::WM_HOOK_HIDEMENU);
        EXPECT_TRUE(main.Visible());
        g.undo();
    }
    SetCursorPos(kAway.x, kAway.y);
    Send(core::WM_HOOK_HIDEMENU);
    EXPECT_FALSE(main.Visible()) << "no guard: the menu hides";
}

TEST_F(PopupModeTest, HideMessageOutsidePopupModeSlidesTheMenuOut) {
    config = L"[General]\r\nHideSplashScreen=1\r\nPosition=0\r\nOpenOnClick=1\r\n";
    Start();
    ASSERT_FALSE(core::PopupMode);
    Main().SlideIn();
    ASSERT_FALSE(Main().MenuHidden);
    Send(core::WM_HOOK_HIDEMENU);
    EXPECT_TRUE(Main().MenuHidden);
}

TEST_F(PopupModeTest, PluginDoneEnablesTheThreeWindowsAndClearsBusy) {
    Start();
    for (HWND w : {Main().Handle(), core::Form2->Handle(), core::Form3->Handle()}) EnableWindow(w, FALSE);
    Main().PluginBusy = true;
    Send(core::WM_PLUGIN_DONE);
    for (HWND w : {Main().Handle(), core::Form2->Handle(), core::Form3->Handle()}) EXPECT_TRUE(IsWindowEnabled(w));
    EXPECT_FALSE(Main().PluginBusy);
}

// A start-up dialog dispatches messages before the menu and the later windows exist.
TEST_F(PopupModeTest, MessagesFromOutsideWaitForTheEndOfStartUp) {
    folder.WriteFile(L"1.xml", "<Items><item><Caption>cut off");
    bool shownDuringStartUp = true;
    bool menuDuringStartUp = true;
    answer = [&](const ui::MessageBoxRequest&) {
        menuDuringStartUp = MenuShownWhile([&] {
            PostMessageW(Main().Handle(), core::WM_HOOK_SHOWMENU, 0, 0);
            PostMessageW(Main().Handle(), core::WM_TRAYNOTIFY, 1, WM_RBUTTONUP);
            PostMessageW(Main().Handle(), core::WM_HOOK_HIDEMENU, 0, 0);
            ui::Application::Instance().ProcessMessages();
        });
        shownDuringStartUp = Main().Visible();
        return IDNO;
    };
    Start();
    ASSERT_EQ(boxes.size(), 1u) << "the restore question";
    EXPECT_FALSE(shownDuringStartUp);
    EXPECT_FALSE(menuDuringStartUp);

    ASSERT_TRUE(Main().Visible());
    Send(core::WM_HOOK_SHOWMENU);
    EXPECT_FALSE(Main().Visible()) << "after start-up the messages act";
    TakeForegroundAndSettle();
    EXPECT_TRUE(MenuShownWhile([&] { Send(core::WM_TRAYNOTIFY, WM_RBUTTONUP); }));
}

TEST_F(PopupModeTest, TrayRightReleaseOpensTheShortMenuUnlessAModalFormIsUp) {
    Start();
    EXPECT_FALSE(MenuShownWhile([&] { Send(core::WM_TRAYNOTIFY, WM_LBUTTONUP); }));
    EXPECT_FALSE(MenuShownWhile([&] { Send(core::WM_TRAYNOTIFY, WM_RBUTTONDOWN); }));
    // The icon is the way to the commands while the menu is down. (With the menu up,
    // Wine cannot give the layered main window the X focus here, and the desktop
    // takes the foreground back; the end-to-end test right-clicks the real icon.)
    HideMenu();
    TakeForegroundAndSettle();
    EXPECT_TRUE(MenuShownWhile([&] { Send(core::WM_TRAYNOTIFY, WM_RBUTTONUP); }));
    for (const wchar_t* name : {L"NewMI", L"DelMI", L"FindMI"}) EXPECT_FALSE(Main().PopupMenu1.Item(name).Visible) << name;
    for (const wchar_t* name : {L"SettingsMI", L"AboutMI", L"CloseMI"}) EXPECT_TRUE(Main().PopupMenu1.Item(name).Visible) << name;

    core::Form5->Show();
    EXPECT_FALSE(MenuShownWhile([&] { Send(core::WM_TRAYNOTIFY, WM_RBUTTONUP); }))
        << "a visible modal form is never re-entered";
    EXPECT_EQ(GetForegroundWindow(), core::Form5->Handle());
    core::Form5->Hide();
}

TEST_F(PopupModeTest, HookIsInstalledOnceAndRemovedAtCloseWithTheIcon) {
    Start();
    EXPECT_EQ(HookLog(), (std::vector<std::string>{"Hook(1)"}));
    EXPECT_TRUE(Main().HookInstalled);
    const HMODULE module = Main().HookModule;
    Main().InstallHook();
    EXPECT_EQ(HookLog(), (std::vector<std::string>{"Hook(1)"}));
    Main().RemoveHook();
    Main().RemoveHook();
    Main().InstallHook();
    EXPECT_EQ(HookLog(), (std::vector<std::string>{"Hook(1)", "Hook(0)", "Hook(1)"}));
    EXPECT_EQ(Main().HookModule, module);
    EXPECT_TRUE(dialogs.empty());

    notified.clear();
    CloseMainWindow();
    EXPECT_EQ(HookLog(), (std::vector<std::string>{"Hook(1)", "Hook(0)", "Hook(1)", "Hook(0)"}));
    ASSERT_EQ(notified.size(), 1u);
    EXPECT_EQ(notified[0].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_NE(folder.ReadText(L"config.ini").find(L"Position=5"), std::wstring::npos);

    // One load, one reference: the library goes with a single release.
    core::DestroyForms();
    const HMODULE loaded = GetModuleHandleW(folder.PathOf(L"zvhook.dll").c_str());
    ASSERT_EQ(loaded, module);
    FreeLibrary(loaded);
    EXPECT_EQ(GetModuleHandleW(folder.PathOf(L"zvhook.dll").c_str()), nullptr);
}

TEST_F(PopupModeTest, MissingLibraryOrExportShowsErrorAndLeavesNothingToRemove) {
    struct Case {
        const wchar_t* library;  // null: none in the folder
        bool vista;
    };
    for (const Case c : {Case{nullptr, true}, Case{L"fake_zvhook_without_export.dll", true}, Case{nullptr, false}}) {
        SCOPED_TRACE(c.library ? c.library : L"no library");
        SCOPED_TRACE(c.vista);
        folder.Remove(L"zvhook.dll");
        if (c.library) UseHook(c.library);
        core::VistaOrLater = c.vista;
        dialogs.clear();
        boxes.clear();
        Start();
        EXPECT_FALSE(Main().HookInstalled);
        if (c.vista) {
            ASSERT_EQ(dialogs.size(), 1u);
            EXPECT_EQ(dialogs[0].title, L"Error");
            EXPECT_EQ(dialogs[0].content, L"Error!");
            EXPECT_EQ(dialogs[0].icon, core::kIconError);
            EXPECT_TRUE(boxes.empty());
        } else {
            EXPECT_TRUE(dialogs.empty());
            EXPECT_EQ(boxes, (std::vector<std::wstring>{L"Error!"}));
        }
        EXPECT_TRUE(Main().Visible()) << "the program goes on";
        Main().RemoveHook();
        CloseMainWindow();
        EXPECT_FALSE(folder.Exists(L"hook.log")) << "nothing was called";
        core::DestroyForms();
        ui::Application::Instance().ResetForTests();
        for (int i = 0; i < 4; ++i)
            if (HMODULE m = GetModuleHandleW(folder.PathOf(L"zvhook.dll").c_str())) FreeLibrary(m);
    }
}

TEST_F(PopupModeTest, TrayIconSendsTheRecordWithAPictureAndDestroysTheOldOne) {
    Start();
    ASSERT_EQ(notified.size(), 1u);
    const Notified& added = notified[0];
    EXPECT_EQ(added.message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(added.record.cbSize, static_cast<DWORD>(NOTIFYICONDATAW_V2_SIZE));
    EXPECT_EQ(added.record.hWnd, Main().Handle());
    EXPECT_EQ(added.record.uID, 1u);
    EXPECT_EQ(added.record.uFlags, 7u);
    EXPECT_EQ(added.record.uCallbackMessage, 1025u);
    EXPECT_STREQ(added.record.szTip, L"Zarvo");
    EXPECT_TRUE(IconAlive(added.record.hIcon)) << "no tray.ico: the program's icon";

    for (int operation : {0, 4}) Main().TrayIcon(operation);
    EXPECT_EQ(notified.size(), 1u) << "other operations send nothing";

    folder.CopyFileIn(testing_support::DistDir() + L"tray.ico", L"tray.ico");
    const struct {
        int operation;
        DWORD message;
    } cases[] = {{3, NIM_MODIFY}, {2, NIM_DELETE}, {1, NIM_ADD}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operation);
        const HICON previous = notified.back().record.hIcon;
        Main().TrayIcon(c.operation);
        ASSERT_EQ(notified.back().message, c.message);
        const HICON icon = notified.back().record.hIcon;
        EXPECT_TRUE(IconAlive(icon));
        EXPECT_FALSE(IconAlive(previous)) << "the previous picture is destroyed";
        const HICON fromFile = static_cast<HICON>(LoadImageW(nullptr, folder.PathOf(L"tray.ico").c_str(), IMAGE_ICON,
                                                             GetSystemMetrics(SM_CXSMICON),
                                                             GetSystemMetrics(SM_CYSMICON), LR_LOADFROMFILE));
        EXPECT_EQ(IconPixels(icon), IconPixels(fromFile)) << "tray.ico at the small-icon size";
        DestroyIcon(fromFile);
    }
}

}  // namespace
