#include "menu_input_fixture.h"

#include "support/png_file.h"
#include "ui/strings.h"

#include <functional>

namespace {

using Names = std::vector<std::wstring>;

struct ShownEntry {
    std::wstring text;  // "-" for a separator, "[owner-drawn]" for the preview line
    bool grayed;
    bool checked;
    SIZE size;
};

// What the menu looked like while it was up, and the main window's state then.
struct Snapshot {
    std::vector<ShownEntry> entries;
    bool hookSet = false;
    bool previewLine = false;
    int previewWidth = 0;
    int previewHeight = 0;
};

Snapshot* g_snapshot = nullptr;

void CALLBACK ReadMenuAndEscape(HWND, UINT, UINT_PTR, DWORD) {
    HWND menuWindow = FindWindowW(L"#32768", nullptr);
    if (!menuWindow || !IsWindowVisible(menuWindow) || !g_snapshot) return;
    if (g_snapshot->entries.empty()) {
        auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            const auto info = menu_input::ReadMenuEntry(menu, i);
            std::wstring shown = (info.type & MFT_SEPARATOR)   ? L"-"
                                 : (info.type & MFT_OWNERDRAW) ? L"[owner-drawn]"
                                                               : info.text;
            RECT r{};
            GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &r);
            g_snapshot->entries.push_back({shown, (info.state & MFS_GRAYED) != 0, (info.state & MFS_CHECKED) != 0,
                                           SIZE{r.right - r.left, r.bottom - r.top}});
        }
        const core::TForm1& main = *core::Form1;
        g_snapshot->hookSet = main.WinEventHook != nullptr;
        g_snapshot->previewLine = main.PopupMenu1.Item(L"blank1").Visible;
        g_snapshot->previewWidth = main.PreviewWidth;
        g_snapshot->previewHeight = main.PreviewHeight;
    }
    // Posted keys drive the menu's own loop.
    PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
}

// Runs `open`, which shows the context menu; reads it once it is up, dismisses it.
Snapshot WhileTheMenuIsUp(const std::function<void()>& open) {
    Snapshot snapshot;
    g_snapshot = &snapshot;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, &ReadMenuAndEscape);
    open();
    KillTimer(nullptr, timer);
    g_snapshot = nullptr;
    return snapshot;
}

std::vector<std::wstring> Texts(const Snapshot& snapshot) {
    std::vector<std::wstring> texts;
    for (const ShownEntry& entry : snapshot.entries) texts.push_back(entry.text);
    return texts;
}

std::vector<std::wstring> Grayed(const Snapshot& snapshot) {
    std::vector<std::wstring> texts;
    for (const ShownEntry& entry : snapshot.entries)
        if (entry.grayed && entry.text != L"-") texts.push_back(entry.text);
    return texts;
}

class ContextMenuTest : public MenuInputTest {
protected:
    void PointInsideMain() { SetCursorPos(Main().Left() + 5, Main().Top() + 5); }
    void RightRelease(int y) { Main().FormMouseUp(ui::MouseButton::Right, 0, 10, y); }
};

TEST_F(ContextMenuTest, VariantsShowTheirEntriesWithoutSeparatorsAtTheEndsOrDoubled) {
    StartWith({{0, "A"}});
    struct Case {
        bool itemCommands;
        std::uint8_t variant;
        bool pointerInMain;
        Names shown;
    };
    const Case cases[] = {
        {true, 0, true, {L"FindMI", L"Contextmenu1", L"N4", L"NewMI", L"NewGroupMI", L"NewSepMI", L"N15", L"Cut",
                         L"Copy1", L"Paste1", L"DelMI", L"N8", L"PropMI", L"N9", L"Lock1", L"SettingsMI", L"AboutMI",
                         L"N12", L"CloseMI"}},
        {true, 2, false, {L"FindMI", L"Contextmenu1", L"N4", L"NewMI", L"NewGroupMI", L"NewSepMI", L"N15", L"Cut",
                          L"Copy1", L"Paste1", L"DelMI", L"N8", L"PropMI"}},
        {false, 2, false, {L"NewMI", L"NewGroupMI", L"NewSepMI", L"N15", L"Cut", L"Copy1", L"Paste1", L"DelMI",
                           L"N8", L"PropMI"}},
        {true, 3, true, {L"FindMI", L"Contextmenu1", L"N4", L"Lock1"}},
        {false, 4, false, {L"SettingsMI", L"AboutMI", L"N12", L"CloseMI"}},
        {false, 4, true, {L"Lock1", L"SettingsMI", L"AboutMI", L"N12", L"CloseMI"}},
        {true, 4, false, {L"FindMI", L"Contextmenu1", L"N4", L"blank1", L"SettingsMI", L"AboutMI", L"N12",
                          L"CloseMI"}},
    };
    for (const Case& c : cases) {
        if (c.pointerInMain) PointInsideMain();
        else SetCursorPos(900, 900);
        Main().SetPopupItemsVisible(c.itemCommands, c.variant);
        Main().PopupMenu1.OnPopup();  // what each showing does first
        Names shown;
        for (const ui::MenuItem* item : Main().PopupMenu1.Layout()) shown.push_back(item->Name);
        EXPECT_EQ(shown, c.shown) << "variant " << int(c.variant) << ", item commands " << c.itemCommands
                                  << ", pointer in main " << c.pointerInMain;
    }
}

TEST_F(ContextMenuTest, PictureTargetShowsThePreviewLineAndTheMenuEndReleasesIt) {
    testing_support::SaveBlankImage(folder.PathOf(L"wide.png"), 500, 250, L"image/png");
    StartWith({{0, "A", ui::WideToUtf8(folder.PathOf(L"wide.png"))}, {0, "B"}});
    Hover(1);
    PointInsideMain();
    const Snapshot onRow = WhileTheMenuIsUp([&] { RightRelease(RowY(1)); });
    EXPECT_EQ(Texts(onRow), (Names{L"Find Object", L"Context menu", L"-", L"New item", L"New Group",
                                   L"New Separator", L"-", L"Cut", L"Copy", L"Paste", L"Delete", L"-",
                                   L"Properties", L"-", L"[owner-drawn]", L"Lock", L"Settings", L"About", L"-",
                                   L"Close"}));
    EXPECT_EQ(Grayed(onRow), (Names{L"Paste", L"[owner-drawn]"}));
    EXPECT_TRUE(onRow.hookSet);
    EXPECT_TRUE(onRow.previewLine);
    EXPECT_EQ(onRow.previewWidth, 250);
    EXPECT_EQ(onRow.previewHeight, 125);
    EXPECT_EQ(onRow.entries[14].size.cy, 125) << "measured through the owner window";
    EXPECT_GE(onRow.entries[14].size.cx, 250);
    EXPECT_EQ(Main().PopupMenu1.Tag, 0);

    // The menu-end clean-up ran when the menu returned; a late menu-end event finds
    // nothing left to do.
    EXPECT_EQ(Main().WinEventHook, nullptr);
    EXPECT_EQ(Main().PreviewImage, nullptr);
    EXPECT_FALSE(Main().PopupMenu1.Item(L"blank1").Visible);
    core::MenuEndWinEventProc(nullptr, EVENT_SYSTEM_MENUPOPUPEND, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(Main().WinEventHook, nullptr);

    Main().FormMouseMove(0, 10, 2);  // over the header: no row
    ui::Application::Instance().ProcessMessages();  // the loop runs between two clicks
    const Snapshot empty = WhileTheMenuIsUp([&] { RightRelease(2); });
    EXPECT_EQ(Texts(empty), (Names{L"Lock", L"Settings", L"About", L"-", L"Close"}));
    EXPECT_TRUE(empty.hookSet) << "a new hook for the next showing";
    EXPECT_FALSE(empty.previewLine);
    EXPECT_EQ(Main().WinEventHook, nullptr);
}

TEST_F(ContextMenuTest, EntriesThatCannotApplyToTheRowAreDisabled) {
    struct Case {
        std::vector<Row> rows;
        int y;  // client y over the row
        Names grayed;
    };
    const Case cases[] = {
        {{{777, ""}}, 18, {L"Find Object", L"Context menu", L"Cut", L"Paste", L"Delete", L"Properties"}},
        {{{1, "F", "C:\\"}, {55, "E"}}, 34, {L"Paste"}},
        {{{1, "F", "C:\\"}, {55, "E"}}, 70, {L"Find Object", L"Context menu", L"Paste", L"Properties"}},
    };
    for (const Case& c : cases) {
        StartWith(c.rows);
        Main().FormMouseMove(0, 10, c.y);
        ASSERT_GT(Main().SelectedIndex[1], 0);
        PointInsideMain();
        const Snapshot shown = WhileTheMenuIsUp([&] { RightRelease(c.y); });
        EXPECT_EQ(Grayed(shown), c.grayed) << c.rows.size() << " rows, y " << c.y;
        EXPECT_FALSE(shown.previewLine);
        core::DestroyForms();
    }
}

TEST_F(ContextMenuTest, DeleteCommandDeletesTheSelectedRowOfTheMainWindow) {
    StartWith({{0, "A"}, {0, "B"}, {0, "C"}});
    Main().Settings.HideWarnings = 1;
    Main().PopupMenu1.Tag = 0;
    Main().SelectedIndex[1] = 2;
    Main().PopupMenu1.OnCommand(Main().PopupMenu1.Item(L"DelMI"));
    EXPECT_EQ(Captions(), (Names{L"A", L"C"}));
}

}  // namespace
