// The context menu of the sub-menu rows: what it offers for a row of a user group or
// of a folder listing on levels 2 and 3, and the edits it makes on those levels.
#include "core/menu_input_fixture.h"

#include "core/forms.h"
#include "core/shell_menu.h"
#include "popups/form2.h"
#include "popups/form2_menu.h"
#include "support/png_file.h"
#include "ui/handles.h"
#include "ui/strings.h"

#include <functional>
#include <string>
#include <vector>

namespace {

using menu_input::Row;
using Names = std::vector<std::wstring>;

// Drives the context menu with posted keys, as a user's arrow keys would: down until
// the entry `choose` is highlighted, then Enter. With no entry to choose, a click
// away from the menu.
struct MenuDriver {
    std::wstring choose;
    Names entries;  // the menu's texts, read when it first showed
    bool chosen = false;
    bool escaped = false;
    int steps = 0;
};
MenuDriver* g_driver = nullptr;

void CALLBACK DriveMenu(HWND, UINT, UINT_PTR, DWORD) {
    HWND menuWindow = FindWindowW(L"#32768", nullptr);
    if (!g_driver || g_driver->chosen || !menuWindow || !IsWindowVisible(menuWindow)) return;
    auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    std::wstring highlighted;
    const bool first = g_driver->entries.empty();
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        const auto entry = menu_input::ReadMenuEntry(menu, i);
        if (first) g_driver->entries.push_back((entry.type & MFT_SEPARATOR) ? L"-" : entry.text);
        if (entry.state & MFS_HILITE) highlighted = entry.text;
    }
    if (g_driver->choose.empty()) {
        if (g_driver->steps++ == 0) {
            // A click away from the menu, on a window of the test's own.
            SetCursorPos(1100, 950);
            menu_input::SendMouse(MOUSEEVENTF_LEFTDOWN);
            menu_input::SendMouse(MOUSEEVENTF_LEFTUP);
        } else if (g_driver->steps > 20) {
            g_driver->escaped = true;  // the click did not close it
            PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
        }
        return;
    }
    if (highlighted == g_driver->choose) {
        g_driver->chosen = true;
        PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
    } else {
        // An entry the menu lacks ends it unchosen rather than cycling forever.
        PostMessageW(menuWindow, WM_KEYDOWN, ++g_driver->steps > 40 ? VK_ESCAPE : VK_DOWN, 0);
    }
}

core::TLNItem Item(int type, const std::wstring& caption, const std::wstring& run = {},
                   const std::wstring& param1 = {}) {
    core::TLNItem item;
    item.Type = type;
    item.Caption = caption;
    item.Run = run;
    item.Param1 = param1;
    return item;
}

class SubMenuContextMenuTest : public MenuInputTest {
protected:
    void TearDown() override {
        if (core::Form1) Main().MenuEndCleanUp();
        MenuInputTest::TearDown();
    }

    popups::TForm2& Form2() { return *core::Form2; }
    popups::TForm3& Form3() { return *core::Form3; }

    // Messages are handled until `done` holds or five seconds have passed; input
    // sent to the system reaches the queue a little later.
    bool PumpUntil(const std::function<bool()>& done) {
        const ULONGLONG end = GetTickCount64() + 5000;
        while (!done()) {
            if (GetTickCount64() > end) return false;
            ui::Application::Instance().ProcessMessages();
            Sleep(5);
        }
        return true;
    }

    // The pointer on the middle of row `row` (1-based) of a sub-menu window, moved
    // there for real so that the window tracks it.
    bool PointAtSubRow(ui::Form& form, int row) {
        const int level = form.Tag;
        SetCursorPos(form.Left() + 20, form.Top() + Main().DrawnRowTop(level, row - 1) + Main().Skin.ItemSize / 2);
        return PumpUntil([&] { return Main().SelectedIndex[level] == row; });
    }

    // A real right click where the pointer is; the menu it opens is driven to `entry`
    // (none: clicked away).
    MenuDriver RightClickAndChoose(const std::wstring& entry) {
        MenuDriver driver;
        driver.choose = entry;
        g_driver = &driver;
        const UINT_PTR timer = SetTimer(nullptr, 0, 30, &DriveMenu);
        menu_input::SendMouse(MOUSEEVENTF_RIGHTDOWN);
        menu_input::SendMouse(MOUSEEVENTF_RIGHTUP);
        // The release runs the menu's own loop inside; it is over once the hook is gone.
        PumpUntil([&] { return !driver.entries.empty() && Main().WinEventHook == nullptr; });
        KillTimer(nullptr, timer);
        g_driver = nullptr;
        return driver;
    }

    Names Shown() {
        Main().PopupMenu1.OnPopup();  // what each showing does first
        Names shown;
        for (const ui::MenuItem* item : Main().PopupMenu1.Layout()) shown.push_back(item->Name);
        return shown;
    }
    Names Disabled(const Names& shown) {
        Names disabled;
        for (const std::wstring& name : shown) {
            const ui::MenuItem& item = Main().PopupMenu1.Item(name);
            // The preview line is never a command.
            if (!item.Separator && !item.Enabled && name != L"blank1") disabled.push_back(name);
        }
        return disabled;
    }
};

const Names kGroupEntries = {L"FindMI", L"Contextmenu1", L"N4",     L"NewMI",  L"NewGroupMI",
                             L"NewSepMI", L"N15",        L"Cut",    L"Copy1",  L"Paste1",
                             L"DelMI",  L"N8",           L"PropMI"};
const Names kListingEntries = {L"FindMI", L"Contextmenu1"};

// With the preview line, which comes after the separator that ends either list.
Names WithPreview(Names names) {
    if (names.back() != L"PropMI") names.push_back(L"N4");
    names.push_back(L"blank1");
    return names;
}

TEST_F(SubMenuContextMenuTest, SetUpFollowsTheRowTypeTheLevelAndWhetherTheWindowListsAFolder) {
    testing_support::SaveBlankImage(folder.PathOf(L"photo.jpg"), 1000, 500, L"image/jpeg");
    const std::wstring jpg = folder.PathOf(L"photo.jpg");
    const std::wstring upperJpg = folder.PathOf(L"photo.JPG");  // the same file, another extension
    StartWith({{2, "G"}, {1, "F", ui::WideToUtf8(folder.Path()), "", "1"}});

    struct Case {
        const char* name;
        int level;
        bool listing;  // the parent row is a folder shown as a menu
        core::TLNItem item;
        bool clipboard;
        int standardContextMenu;
        popups::RowMenuKind kind;
        Names shown;
        Names disabled;
        SIZE preview;  // 0 x 0: no preview line
    };
    const Case cases[] = {
        {"separator", 2, false, Item(777, L""), false, 1, popups::RowMenuKind::Own, kGroupEntries,
         {L"FindMI", L"Contextmenu1", L"Paste1", L"PropMI"}, {}},
        {"listed entry on level 3", 3, false, Item(55, L"e"), true, 1, popups::RowMenuKind::Own, kGroupEntries,
         {L"PropMI"}, {}},
        {"picture with another case", 2, false, Item(0, L"p", upperJpg), true, 1, popups::RowMenuKind::Own,
         kGroupEntries, {}, {}},
        {"picture", 3, false, Item(0, L"p", jpg), false, 1, popups::RowMenuKind::Own, WithPreview(kGroupEntries),
         {L"Paste1"}, {250, 125}},
        {"listing, own menu", 2, true, Item(55, L"p", jpg), false, 0, popups::RowMenuKind::Own,
         WithPreview(kListingEntries), {}, {250, 125}},
        {"listing on level 3, Explorer menu", 3, true, Item(55, L"p", jpg), false, 1, popups::RowMenuKind::Shell,
         WithPreview(kListingEntries), {}, {250, 125}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        core::TForm1& main = Main();
        // What the main window left behind: its last row disabled these.
        main.PopupMenu1.Item(L"DelMI").Enabled = false;
        main.PopupMenu1.Item(L"Cut").Enabled = false;
        main.ClipboardNode.reset();
        if (c.clipboard) main.ClipboardNode = main.XMLDocument1.Root().ElementAt(0).CloneDeep();
        main.Settings.StandardContextMenu = c.standardContextMenu;
        // Level 1's row 1 is the group, row 2 the folder; level 3 hangs below level 2's
        // row 2, a group or a folder of its own.
        main.SelectedIndex[1] = c.level == 2 && c.listing ? 2 : 1;
        main.ItemLists[2] = {Item(0, L"x"), c.level == 3 && c.listing ? Item(1, L"L", folder.Path(), L"1")
                                                                        : Item(2, L"H")};
        main.SelectedIndex[2] = 2;
        if (c.level == 2) main.ItemLists[2][1] = c.item;
        main.ItemLists[3] = {Item(0, L"y"), c.item};
        main.SelectedIndex[3] = 2;
        // Over the main window: even there the lock entry stays the main window's own.
        SetCursorPos(main.Left() + 5, main.Top() + 5);

        const popups::RowMenuChoice choice = popups::SetUpRowMenu(main, c.level);
        EXPECT_EQ(choice.kind, c.kind);
        EXPECT_EQ(choice.path, c.item.Run);
        EXPECT_EQ(main.PopupMenu1.Tag, c.level - 1);
        EXPECT_NE(main.WinEventHook, nullptr);
        const Names shown = Shown();
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(Disabled(shown), c.disabled);
        const bool preview = c.preview.cx != 0;
        EXPECT_EQ(main.PopupMenu1.Item(L"blank1").Visible, preview);
        if (preview) {
            EXPECT_EQ(main.PreviewWidth, c.preview.cx);
            EXPECT_EQ(main.PreviewHeight, c.preview.cy);
        }
        main.MenuEndCleanUp();
        EXPECT_EQ(main.WinEventHook, nullptr);
        EXPECT_EQ(main.PreviewImage, nullptr);
    }
}

TEST_F(SubMenuContextMenuTest, NoRowUnderThePointerPreparesNothing) {
    StartWith({{2, "G", "", "", "", {{0, "g"}}}});
    core::TForm1& main = Main();
    main.PopupMenu1.Tag = 0;
    main.SelectedIndex[1] = 1;
    main.ItemLists[2] = {Item(0, L"g")};
    main.ScrollMode[2] = 1;
    main.ScrollTop = 1;
    for (int selected : {-1, 0, 1}) {  // the last one maps past the list by the scroll
        main.SelectedIndex[2] = selected;
        EXPECT_EQ(popups::SetUpRowMenu(main, 2).kind, popups::RowMenuKind::None) << selected;
        EXPECT_EQ(main.WinEventHook, nullptr);
        EXPECT_EQ(main.PopupMenu1.Tag, 0);
    }
}

// A listing is written anew at each opening: what an edit put there would be lost,
// what it took out would come back.
TEST_F(SubMenuContextMenuTest, EditCommandsChangeNothingInAListing) {
    const std::string listed = ui::WideToUtf8(folder.Path());
    StartWith({{1, "F", listed, "", "1", {{55, "e1", listed + "a.txt"}, {55, "e2", listed + "b.txt"}}},
               {2, "G", "", "", "", {{0, "g1"}, {1, "L", listed, "", "1", {{55, "l1", listed + "a.txt"}}}}}});
    core::TForm1& main = Main();
    main.Settings.HideWarnings = 1;
    struct Case {
        const char* name;
        int level;
        int row1, row2;
    };
    const Case cases[] = {{"level 2 lists F", 2, 1, -1}, {"level 3 lists L", 3, 2, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        main.ItemLists[2] = {Item(0, L"g1"), Item(1, L"L", folder.Path(), L"1")};
        main.ClipboardNode = main.XMLDocument1.Root().ElementAt(1).CloneDeep();  // G
        const std::string before = folder.ReadFile(L"1.xml");
        for (const wchar_t* command : {L"NewMI", L"NewGroupMI", L"NewSepMI", L"Paste1", L"Cut", L"DelMI"}) {
            main.PopupMenu1.Tag = c.level - 1;
            main.SelectedIndex[1] = c.row1;
            main.SelectedIndex[2] = c.row2;
            main.SelectedIndex[3] = 1;
            if (c.level == 2) main.SelectedIndex[2] = 1;
            main.PopupMenu1.OnCommand(main.PopupMenu1.Item(command));
            EXPECT_EQ(folder.ReadFile(L"1.xml"), before) << ui::WideToUtf8(command);
        }
        ASSERT_TRUE(main.ClipboardNode);
        EXPECT_EQ(main.ClipboardNode->Child(L"Caption").Text(), L"G") << "a refused cut holds nothing new";
        // A listed entry can still be copied, to be pasted into a group.
        main.PopupMenu1.OnCommand(main.PopupMenu1.Item(L"Copy1"));
        EXPECT_EQ(main.ClipboardNode->Child(L"Caption").Text(), c.level == 2 ? L"e1" : L"l1");
    }
}

TEST_F(SubMenuContextMenuTest, RightClickOnASubMenuRowAddsASeparatorToThatLevel) {
    StartWith({{0, "A"},
               {2, "G", "", "", "", {{0, "g1"}, {0, "g2"}, {2, "H", "", "", "", {{0, "h1"}, {0, "h2"}}}}}});
    Hover(2);
    ASSERT_TRUE(Form2().Visible());
    ASSERT_TRUE(PointAtSubRow(Form2(), 2));

    const MenuDriver onLevel2 = RightClickAndChoose(L"New Separator");
    EXPECT_EQ(onLevel2.entries, (Names{L"Find Object", L"Context menu", L"-", L"New item", L"New Group",
                                       L"New Separator", L"-", L"Cut", L"Copy", L"Paste", L"Delete", L"-",
                                       L"Properties"}));
    EXPECT_TRUE(onLevel2.chosen);
    const std::string saved = folder.ReadFile(L"1.xml");
    const size_t g1 = saved.find("<Caption>g1</Caption>");
    const size_t separator = saved.find("<Type>777</Type>");
    const size_t g2 = saved.find("<Caption>g2</Caption>");
    ASSERT_NE(separator, std::string::npos) << saved;
    EXPECT_LT(g1, separator);
    EXPECT_LT(separator, g2) << "in the selected row's place";
    EXPECT_EQ(Main().ItemLists[2].size(), 4u) << "the window was rebuilt";
    EXPECT_EQ(Form2().RowCount, 4);
    EXPECT_TRUE(Form2().Visible());
    EXPECT_EQ(Main().PopupMenu1.Tag, 1);

    // The same on the third level, opened by hovering the group row, now row 4.
    ASSERT_TRUE(PointAtSubRow(Form2(), 4));
    ASSERT_TRUE(PumpUntil([&] { return Form3().Visible(); }));
    ASSERT_TRUE(PointAtSubRow(Form3(), 2));
    const MenuDriver onLevel3 = RightClickAndChoose(L"New Separator");
    EXPECT_TRUE(onLevel3.chosen);
    const std::string again = folder.ReadFile(L"1.xml");
    const size_t h1 = again.find("<Caption>h1</Caption>");
    const size_t second = again.find("<Type>777</Type>", again.find("<Caption>H</Caption>"));
    EXPECT_LT(h1, second);
    EXPECT_LT(second, again.find("<Caption>h2</Caption>")) << again;
    EXPECT_EQ(Main().ItemLists[3].size(), 3u);
    EXPECT_TRUE(Form3().Visible());
    EXPECT_EQ(Main().PopupMenu1.Tag, 2);
}

// The menu opens over a window that a press never activates; it must still show, and
// close on a click elsewhere.
TEST_F(SubMenuContextMenuTest, AClickAwayClosesTheMenuOfASubMenuRowWithoutACommand) {
    StartWith({{2, "G", "", "", "", {{0, "g1"}, {0, "g2"}}}});
    Hover(1);
    ASSERT_TRUE(PointAtSubRow(Form2(), 1));
    HWND pad = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"click pad", WS_POPUP | WS_VISIBLE, 1090, 940, 20, 20,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    const std::string before = folder.ReadFile(L"1.xml");
    const MenuDriver driver = RightClickAndChoose(L"");
    DestroyWindow(pad);
    EXPECT_FALSE(driver.entries.empty()) << "the menu showed";
    EXPECT_FALSE(driver.escaped) << "the click closed it";
    EXPECT_EQ(Main().WinEventHook, nullptr);
    EXPECT_EQ(folder.ReadFile(L"1.xml"), before);
}

// With the Explorer-menu setting a listed entry's right click asks the shell for its
// menu, in the sub-menu window's client coordinates; without it the own menu opens.
TEST_F(SubMenuContextMenuTest, ListedEntryShowsTheShellMenuOnlyWithTheExplorerMenuSetting) {
    core::SetKeepListingsForTests(true);  // the listing is written here
    const std::string listed = ui::WideToUtf8(folder.Path());
    StartWith({{1, "F", listed, "", "1", {{55, "e1", listed + "a.txt"}, {55, "e2", listed + "b.txt"}}}});
    std::vector<core::ShellMenuRequest> asked;
    core::SetShellMenuForTests([&](const core::ShellMenuRequest& request) {
        asked.push_back(request);
        return false;
    });
    ui::ScopeExit restore([] { core::SetShellMenuForTests(nullptr); });
    Hover(1);
    ASSERT_TRUE(Form2().Visible());

    Main().Settings.StandardContextMenu = 1;
    ASSERT_TRUE(PointAtSubRow(Form2(), 2));
    menu_input::SendMouse(MOUSEEVENTF_RIGHTDOWN);
    menu_input::SendMouse(MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(PumpUntil([&] { return !asked.empty(); }));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].window, Form2().Handle());
    EXPECT_EQ(asked[0].path, folder.Path() + L"b.txt");
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(Form2().Handle(), &cursor);
    EXPECT_EQ(asked[0].point.x, cursor.x);
    EXPECT_EQ(asked[0].point.y, cursor.y);
    EXPECT_EQ(Main().WinEventHook, nullptr) << "the own menu's hook does not outlive the shell's menu";

    Main().Settings.StandardContextMenu = 0;
    const MenuDriver driver = RightClickAndChoose(L"");
    EXPECT_EQ(driver.entries, (Names{L"Find Object", L"Context menu"}));
    EXPECT_EQ(asked.size(), 1u);
}

}  // namespace
