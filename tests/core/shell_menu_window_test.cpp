// The shell's own context menu, tracked for real and driven with keys: what it
// offers, what its Copy leaves on the clipboard, the flag and window it keeps while
// it is up, and the launcher's "Context menu" entry that opens it.
#include "menu_input_fixture.h"

#include "core/shell_menu.h"
#include "ui/strings.h"

#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;

// One menu as it was while it showed.
struct ShownMenu {
    Names entries;
    POINT origin{};
    bool flagSet = false;         // ContextMenuOpen
    bool callbackWindow = false;  // a window of the menu object's class existed
};

// Drives the menus that show one after the other: for the n-th, down until its
// choice is highlighted, then Enter; an empty choice (or none) is Escape.
struct MenuDriver {
    Names choices;
    std::function<void()> whileUp;  // once for each menu, while it is up
    std::vector<ShownMenu> menus;
    bool awaitingNew = true;
    int steps = 0;
};
MenuDriver* g_driver = nullptr;

void CALLBACK DriveMenus(HWND, UINT, UINT_PTR, DWORD) {
    HWND menuWindow = FindWindowW(L"#32768", nullptr);
    if (!g_driver || !menuWindow || !IsWindowVisible(menuWindow)) return;
    auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    if (!menu) return;
    MenuDriver& d = *g_driver;
    std::wstring highlighted;
    Names entries;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        const auto entry = menu_input::ReadMenuEntry(menu, i);
        entries.push_back((entry.type & MFT_SEPARATOR) ? L"-" : entry.text);
        if (entry.state & MFS_HILITE) highlighted = entry.text;
    }
    if (d.awaitingNew) {
        // A key posted to a menu is handled before the next tick: a menu seen after
        // one was answered is the next one.
        d.awaitingNew = false;
        d.steps = 0;
        RECT r{};
        GetWindowRect(menuWindow, &r);
        d.menus.push_back({entries, POINT{r.left, r.top}, core::ContextMenuOpen,
                           FindWindowW(core::kMenuCallbackClass, nullptr) != nullptr});
        if (d.whileUp) d.whileUp();
    }
    const size_t index = d.menus.size() - 1;
    const std::wstring choice = index < d.choices.size() ? d.choices[index] : L"";
    WPARAM key = VK_DOWN;
    if (choice.empty() || ++d.steps > 40) key = VK_ESCAPE;  // an entry the menu lacks ends it
    else if (highlighted == choice) key = VK_RETURN;
    if (key != VK_DOWN) d.awaitingNew = true;
    PostMessageW(menuWindow, WM_KEYDOWN, key, 0);
}

// Runs `open`, which shows menus, with the driver answering them.
void Driving(MenuDriver& driver, const std::function<void()>& open) {
    g_driver = &driver;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, &DriveMenus);
    open();
    KillTimer(nullptr, timer);
    g_driver = nullptr;
}

void EmptyClipboard() {
    if (!OpenClipboard(nullptr)) return;
    ::EmptyClipboard();
    CloseClipboard();
}

// The files the clipboard holds as a file drop (CF_HDROP), as another program reads them.
Names ClipboardFiles() {
    Names files;
    if (!OpenClipboard(nullptr)) return files;
    if (auto drop = static_cast<HDROP>(GetClipboardData(CF_HDROP))) {
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring name(DragQueryFileW(drop, i, nullptr, 0), L'\0');
            DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size() + 1));
            files.push_back(name);
        }
    }
    CloseClipboard();
    return files;
}

bool Contains(const Names& names, const std::wstring& name) {
    for (const std::wstring& n : names)
        if (n == name) return true;
    return false;
}

core::TLNItem File(const std::wstring& run) {
    core::TLNItem item;
    item.Type = 0;
    item.Run = run;
    item.Caption = L"f";
    return item;
}

class ShellMenuTest : public MenuInputTest {
protected:
    void SetUp() override {
        MenuInputTest::SetUp();
        EmptyClipboard();
    }
    void TearDown() override {
        // The shell's data object goes while the shell is still there.
        OleSetClipboard(nullptr);
        EmptyClipboard();
        core::ContextMenuOpen = false;
        core::SetMotionClockForTests(nullptr, nullptr);
        MenuInputTest::TearDown();
    }

    // Nothing of the menu is left once it returned.
    static void ExpectClosedCleanly() {
        EXPECT_FALSE(core::ContextMenuOpen);
        EXPECT_EQ(FindWindowW(core::kMenuCallbackClass, nullptr), nullptr);
    }

    const POINT kClientPoint{20, 30};
};

TEST_F(ShellMenuTest, ChosenCopyPutsTheTargetOnTheClipboardAndEscapeChoosesNothing) {
    const std::wstring foreign = L"\u0444\u0430\u0439\u043B \u6587\u4EF6.txt";  // outside code page 1252
    folder.WriteFile(L"docs\\a.txt", "x");
    folder.WriteFile(L"docs\\" + foreign, "x");
    StartWith({{0, "A"}});
    struct Case {
        const char* name;
        std::wstring path;
        std::wstring choice;  // empty: Escape
        bool explore;  // a folder's menu offers Explore as well
    };
    const Case cases[] = {
        {"file", folder.PathOf(L"docs\\a.txt"), L"&Copy", false},
        {"folder", folder.PathOf(L"docs"), L"&Copy", true},
        {"name outside the code page", folder.PathOf(L"docs\\" + foreign), L"&Copy", false},
        {"file, dismissed", folder.PathOf(L"docs\\a.txt"), L"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmptyClipboard();
        MenuDriver driver;
        driver.choices = {c.choice};
        bool done = false;
        Driving(driver, [&] { done = core::ShowShellContextMenu(Main().Handle(), c.path, kClientPoint); });
        ASSERT_EQ(driver.menus.size(), 1u);
        const ShownMenu& shown = driver.menus[0];
        // Only by text: the shell's identifiers and order are its own.
        EXPECT_TRUE(Contains(shown.entries, L"&Copy"));
        EXPECT_EQ(Contains(shown.entries, L"E&xplore"), c.explore);
        EXPECT_TRUE(shown.flagSet);
        EXPECT_TRUE(shown.callbackWindow);
        POINT screen = kClientPoint;
        ClientToScreen(Main().Handle(), &screen);
        EXPECT_EQ(shown.origin.x, screen.x);
        EXPECT_EQ(shown.origin.y, screen.y);

        EXPECT_EQ(done, !c.choice.empty());
        EXPECT_EQ(ClipboardFiles(), c.choice.empty() ? Names{} : Names{c.path});
        ExpectClosedCleanly();
    }
}

TEST_F(ShellMenuTest, MissingPathShowsNoMenu) {
    StartWith({{0, "A"}});
    MenuDriver driver;
    bool done = true;
    Driving(driver,
            [&] { done = core::ShowShellContextMenu(Main().Handle(), folder.PathOf(L"gone.txt"), kClientPoint); });
    EXPECT_FALSE(done);
    EXPECT_TRUE(driver.menus.empty());
    ExpectClosedCleanly();
}

TEST_F(ShellMenuTest, ContextMenuEntryShowsTheShellMenuOfTheSelectedItemWhereThePopupShowed) {
    folder.WriteFile(L"docs\\report.txt", "x");
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"}) folder.WriteFile(std::wstring(L"docs\\") + name, "x");
    const std::wstring report = folder.PathOf(L"docs\\report.txt");
    // Saved relative to the program's drive, as the properties dialog stores targets.
    StartWith({{0, "A", ui::WideToUtf8(L"%DISK%" + report.substr(2))}, {0, "B"}});

    // A right click on the main window's row, "Context menu", then the shell's Copy.
    Hover(1);
    SetCursorPos(Main().Left() + 5, Main().Top() + RowY(1));
    MenuDriver onRow;
    onRow.choices = {L"Context menu", L"&Copy"};
    Driving(onRow, [&] { Main().FormMouseUp(ui::MouseButton::Right, 0, 10, RowY(1)); });
    ASSERT_EQ(onRow.menus.size(), 2u);
    EXPECT_FALSE(onRow.menus[0].flagSet) << "the launcher's own menu is no shell menu";
    EXPECT_TRUE(onRow.menus[1].flagSet);
    EXPECT_EQ(onRow.menus[1].origin.x, onRow.menus[0].origin.x);
    EXPECT_EQ(onRow.menus[1].origin.y, onRow.menus[0].origin.y);
    EXPECT_EQ(ClipboardFiles(), Names{report});
    ExpectClosedCleanly();

    // A scrolled second level: visible row 2 shows entry 3 of the list.
    EmptyClipboard();
    core::TForm1& main = Main();
    main.ItemLists[2] = {File(folder.PathOf(L"docs\\a.txt")), File(folder.PathOf(L"docs\\b.txt")),
                         File(folder.PathOf(L"docs\\c.txt"))};
    main.ScrollMode[2] = 1;
    main.ScrollTop = 1;
    main.SelectedIndex[2] = 2;
    main.SetPopupItemsVisible(true, 2);
    main.PopupMenu1.Item(L"Contextmenu1").Enabled = true;
    main.PopupMenu1.Tag = 1;
    MenuDriver onLevel2;
    onLevel2.choices = {L"Context menu", L"&Copy"};
    Driving(onLevel2, [&] { main.PopupMenu1.Popup(main.Left() + 30, main.Top() + 40); });
    ASSERT_EQ(onLevel2.menus.size(), 2u);
    EXPECT_EQ(onLevel2.menus[1].origin.x, main.Left() + 30);
    EXPECT_EQ(onLevel2.menus[1].origin.y, main.Top() + 40);
    EXPECT_EQ(ClipboardFiles(), Names{folder.PathOf(L"docs\\c.txt")});
    ExpectClosedCleanly();
}

TEST_F(ShellMenuTest, LauncherStaysOutWhileTheShellMenuIsOpenAndRollsOutAfterwards) {
    folder.WriteFile(L"a.txt", "x");
    config += L"RollOutOnMouseOut=1\r\n";
    core::SetMotionClockForTests([](int) {}, [](int) {});
    StartWith({{0, "A"}});
    ASSERT_FALSE(Main().MenuHidden);
    SetCursorPos(1100, 950);  // away from every menu window
    bool hiddenWhileUp = true;
    MenuDriver driver;
    driver.whileUp = [&] {
        Main().Timer1Timer();
        hiddenWhileUp = Main().MenuHidden;
    };
    Driving(driver, [&] { core::ShowShellContextMenu(Main().Handle(), folder.PathOf(L"a.txt"), kClientPoint); });
    ASSERT_EQ(driver.menus.size(), 1u);
    EXPECT_FALSE(hiddenWhileUp);
    Main().Timer1Timer();
    EXPECT_TRUE(Main().MenuHidden);
}

}  // namespace
