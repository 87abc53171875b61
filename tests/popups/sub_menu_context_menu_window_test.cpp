// The context menu of the sub-menu rows: what it offers for a row of a user group or
// of a folder listing on levels 2 and 3, and the edits it makes on those levels.
#include "core/menu_input_fixture.h"

#include "core/forms.h"
#include "popups/form2.h"
#include "popups/form2_menu.h"
#include "ui/strings.h"

#include <functional>
#include <string>
#include <vector>

namespace {

using menu_input::Row;
using Names = std::vector<std::wstring>;

void WriteJpeg(const std::wstring& path, int width, int height) {
    UINT count = 0;
    UINT size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, codecs);
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(codecs[i].MimeType) != L"image/jpeg") continue;
        Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
        ASSERT_EQ(bitmap.Save(path.c_str(), &codecs[i].Clsid, nullptr), Gdiplus::Ok);
        return;
    }
    FAIL() << "no JPEG encoder";
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
    WriteJpeg(folder.PathOf(L"photo.jpg"), 1000, 500);
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

}  // namespace
