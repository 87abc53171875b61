#include "menu_input_fixture.h"

#include "core/launch.h"
#include "core/menu_nodes.h"
#include "support/held_file.h"
#include "support/shell_files.h"
#include "dialogs/about.h"
#include "dialogs/form5.h"
#include "ui/strings.h"
#include "ui/xml_document.h"

#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <cstring>
#include <functional>
#include <optional>

namespace {

using testing_support::MakeDrop;
using testing_support::WriteShortcut;
using Names = std::vector<std::wstring>;
using Chain = std::vector<int>;  // 0-based positions from the root down to a container

// An item as the menu file holds it: its fields in order, "subitem" with its items.
std::wstring Describe(const ui::XmlNode& item) {
    std::wstring out;
    for (const ui::XmlNode& field : item.ElementChildren()) {
        if (!out.empty()) out += L",";
        out += field.Name();
        if (field.Name() != L"subitem") {
            out += L"=" + field.Text();
            continue;
        }
        out += L"[";
        bool first = true;
        for (const ui::XmlNode& child : field.ElementChildren()) {
            if (!first) out += L",";
            first = false;
            out += Describe(child);
        }
        out += L"]";
    }
    return L"{" + out + L"}";
}

std::wstring Shortcut(const std::wstring& caption, const std::wstring& type) {
    return L"{Run=,Caption=" + caption + L",ImageFile=" + core::SystemDir + L"shell32.dll,Index=23,Type=" + type +
           L",subitem[],RunVis=0,Params=}";
}

// A row of a sub-menu level as saved after the sub-menu renderer read it back (its
// list reading adds the missing Param1) and saved the group's cache ID.
std::wstring ReadBack(std::wstring item) {
    item.insert(item.size() - 1, L",Param1=");
    return item;
}

std::wstring NewGroupItem() {
    const std::wstring image = core::SystemDir + L"shell32.dll";
    return L"{Run=,ImageFile=" + image + L",Index=23,Type=2,subitem[{Run=,ImageFile=" + image +
           L",Index=23,Type=0,subitem[],RunVis=0,Caption=New item,Params=}],RunVis=0,Caption=New Group,Params=}";
}

class MenuEditsTest : public MenuInputTest {
protected:
    // The properties dialog that a new shortcut opens is recorded, not shown.
    void SetUp() override {
        MenuInputTest::SetUp();
        core::SetPropertiesDialogForTests([this](int level) { propertiesOpened.push_back(level); });
    }
    void TearDown() override {
        core::SetPropertiesDialogForTests(nullptr);
        MenuInputTest::TearDown();
    }
    // The container of the saved menu file at the end of the chain.
    std::optional<ui::XmlNode> Saved(const Chain& chain) {
        saved = std::make_unique<ui::XmlDocument>();
        if (!saved->Load(folder.PathOf(L"1.xml"))) return std::nullopt;
        ui::XmlNode node = saved->Root();
        for (int position : chain) node = node.ElementAt(static_cast<size_t>(position)).Child(L"subitem");
        return node;
    }
    Names SavedCaptions(const Chain& chain) {
        Names captions;
        if (auto container = Saved(chain))
            for (const ui::XmlNode& item : container->ElementChildren()) {
                auto caption = item.FindChild(L"Caption");
                captions.push_back(caption ? caption->Text() : L"?");
            }
        return captions;
    }
    std::wstring SavedItem(const Chain& chain, int position) {
        auto container = Saved(chain);
        if (!container || position >= static_cast<int>(container->ElementCount())) return L"(none)";
        return Describe(container->ElementAt(static_cast<size_t>(position)));
    }
    // The row selections of the three levels and the level the menu was opened over.
    void Select(int level, int row1, int row2 = -1, int row3 = -1) {
        Main().PopupMenu1.Tag = level - 1;
        Main().SelectedIndex[1] = row1;
        Main().SelectedIndex[2] = row2;
        Main().SelectedIndex[3] = row3;
    }
    const ui::MenuItem& Entry(const wchar_t* name) { return Main().PopupMenu1.Item(name); }

    std::unique_ptr<ui::XmlDocument> saved;
    std::vector<int> propertiesOpened;
};

// A group G at row 2 holds H, a group of its own at row 1; level 3 is H's items.
const std::vector<menu_input::Row> kThreeLevels = {
    {0, "A"},
    {2, "G", "", "", "", {{2, "H", "", "", "", {{0, "h1"}, {0, "h2"}}}, {0, "g2"}}},
    {0, "B"},
};

TEST_F(MenuEditsTest, NewShortcutAndSeparatorTakeTheSelectedRowsPlaceOnEachLevel) {
    struct Case {
        int level;
        int row1, row2, row3;
        bool separator;
        int scrollTop;
        Chain chain;
        Names captions;
        int position;
    };
    const Case cases[] = {
        {1, 2, -1, -1, false, 0, {}, {L"A", L"New item", L"G", L"B"}, 1},
        {1, 3, -1, -1, true, 0, {}, {L"A", L"G", L"New item", L"B"}, 2},
        // Level 1 scrolled by one row: the second visible row is the third item.
        {1, 2, -1, -1, true, 1, {}, {L"A", L"G", L"New item", L"B"}, 2},
        {2, 2, 2, -1, false, 0, {1}, {L"H", L"New item", L"g2"}, 1},
        {3, 2, 1, 1, true, 0, {1, 0}, {L"New item", L"h1", L"h2"}, 0},
        {3, 2, 1, 2, false, 0, {1, 0}, {L"h1", L"New item", L"h2"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << ", rows " << c.row1 << "/" << c.row2 << "/"
                                        << c.row3 << ", scroll " << c.scrollTop);
        StartWith(kThreeLevels);
        Select(c.level, c.row1, c.row2, c.row3);
        Main().ScrollMode[1] = c.scrollTop ? 1 : 0;
        Main().ScrollTop = c.scrollTop;
        propertiesOpened.clear();
        if (c.separator) Main().NewSepMIClick();
        else Main().NewMIClick();
        EXPECT_EQ(propertiesOpened, c.separator ? std::vector<int>{} : std::vector<int>{c.level})
            << "a new shortcut, and only a shortcut, opens its properties";
        EXPECT_EQ(SavedCaptions(c.chain), c.captions);
        const std::wstring shortcut = Shortcut(L"New item", c.separator ? L"777" : L"0");
        EXPECT_EQ(SavedItem(c.chain, c.position), c.level == 1 ? shortcut : ReadBack(shortcut));
        EXPECT_TRUE(boxes.empty());
        core::DestroyForms();
    }
}

TEST_F(MenuEditsTest, NewItemsTakeTheCaptionsOfTheirEntries) {
    StartWith({{0, "A"}});
    Main().PopupMenu1.Item(L"NewMI").Caption = L"Neues Element";
    Main().PopupMenu1.Item(L"NewGroupMI").Caption = L"Neue Gruppe";
    Select(1, 1);
    Main().NewGroupMIClick();
    Main().NewMIClick();
    EXPECT_EQ(SavedCaptions({}), (Names{L"Neues Element", L"Neue Gruppe", L"A"}));
    EXPECT_EQ(SavedCaptions({1}), (Names{L"Neues Element"}));
}

TEST_F(MenuEditsTest, NewSubMenuOnLevelsOneAndTwoAndNothingOnTheLast) {
    StartWith(kThreeLevels);
    Select(1, 3);
    Main().NewGroupMIClick();
    EXPECT_EQ(SavedCaptions({}), (Names{L"A", L"G", L"New Group", L"B"}));
    EXPECT_EQ(SavedItem({}, 2), NewGroupItem());

    Select(2, 2, 1);
    Main().NewGroupMIClick();
    EXPECT_EQ(SavedCaptions({1}), (Names{L"New Group", L"H", L"g2"}));
    EXPECT_EQ(SavedItem({1}, 0), ReadBack(NewGroupItem()));

    // The last level gains nothing, but is still saved.
    folder.Remove(L"1.xml");
    Select(3, 2, 2, 1);
    Main().NewGroupMIClick();
    ASSERT_TRUE(folder.Exists(L"1.xml"));
    EXPECT_EQ(SavedCaptions({1, 1}), (Names{L"h1", L"h2"}));
    EXPECT_EQ(SavedCaptions({}), (Names{L"A", L"G", L"New Group", L"B"}));
}

TEST_F(MenuEditsTest, PositionsOutsideTheLevelChangeNothing) {
    struct Case {
        int level;
        int row1, row2, row3;
    };
    for (const Case c : {Case{1, -1, -1, -1}, Case{1, 0, -1, -1}, Case{1, 9, -1, -1}, Case{2, 2, 9, -1},
                         Case{2, 9, 1, -1}, Case{3, 2, 1, 9}, Case{3, 2, 9, 1}}) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << ", rows " << c.row1 << "/" << c.row2 << "/"
                                        << c.row3);
        StartWith(kThreeLevels);
        const std::string menu = folder.ReadFile(L"1.xml");
        Select(c.level, c.row1, c.row2, c.row3);
        Main().NewMIClick();
        Main().NewSepMIClick();
        Main().NewGroupMIClick();
        Main().Copy1Click(Entry(L"Cut"));
        EXPECT_FALSE(Main().ClipboardNode);
        // Something to paste, copied where the position is sound.
        Select(1, 1);
        Main().Copy1Click(Entry(L"Copy1"));
        Select(c.level, c.row1, c.row2, c.row3);
        Main().Paste1Click();
        EXPECT_EQ(folder.ReadFile(L"1.xml"), menu);
        EXPECT_EQ(Captions(), (Names{L"A", L"G", L"B"}));
        core::DestroyForms();
    }
}

TEST_F(MenuEditsTest, CutOfASubMenuRemovesItsCachedImagesAndPasteBringsItBackEachTime) {
    StartWith({{0, "A"}, {2, "G", "", "5", "", {{0, "c1", "", "6"}, {0, "c2", "", "7"}}}, {0, "B", "", "9"}});
    for (const wchar_t* id : {L"5", L"6", L"7", L"9"}) {
        folder.WriteFile(std::wstring(L"cache\\") + id + L".png", "png");
        folder.WriteFile(std::wstring(L"cache\\s") + id + L".png", "png");
    }
    // Saved once as loaded, so the file holds the fields the loading added.
    Main().SaveMenuAndRebuild(0);
    const std::wstring group = SavedItem({}, 1);
    Select(1, 2);
    Main().Copy1Click(Entry(L"Cut"));
    EXPECT_TRUE(boxes.empty()) << "Cut never asks";
    EXPECT_EQ(SavedCaptions({}), (Names{L"A", L"B"}));
    for (const wchar_t* gone :
         {L"cache\\5.png", L"cache\\s5.png", L"cache\\6.png", L"cache\\s6.png", L"cache\\7.png", L"cache\\s7.png"})
        EXPECT_FALSE(folder.Exists(gone)) << gone;
    EXPECT_TRUE(folder.Exists(L"cache\\9.png"));

    Select(1, 2);
    Main().Paste1Click();
    EXPECT_EQ(SavedCaptions({}), (Names{L"A", L"G", L"B"}));
    EXPECT_EQ(SavedItem({}, 1), group);
    Main().Paste1Click();
    EXPECT_EQ(SavedCaptions({}), (Names{L"A", L"G", L"G", L"B"}));
    EXPECT_EQ(SavedItem({}, 2), group);

    // Into the pasted group: a sub-menu on level 2 keeps its items.
    Select(2, 2, 2);
    Main().Paste1Click();
    EXPECT_EQ(SavedCaptions({1}), (Names{L"c1", L"G", L"c2"}));
    EXPECT_EQ(SavedItem({1}, 1), group);
}

TEST_F(MenuEditsTest, CopyLeavesTheItemAndPasteOnTheLastLevelMakesFoldersOfACopy) {
    std::vector<menu_input::Row> rows = kThreeLevels;
    rows.push_back({1, "F", "C:\\", "", "1"});
    StartWith(rows);
    Main().SaveMenuAndRebuild(0);  // the file as loaded, with the fields the loading added
    Select(1, 2);
    Main().Copy1Click(Entry(L"Copy1"));
    EXPECT_EQ(SavedCaptions({}), (Names{L"A", L"G", L"B", L"F"}));
    const std::string heldGroup = ui::WideToUtf8(SavedItem({}, 1));

    Select(3, 2, 1, 2);
    Main().Paste1Click();
    EXPECT_EQ(SavedCaptions({1, 0}), (Names{L"h1", L"G", L"h2"}));
    std::wstring pasted = SavedItem({1, 0}, 1);
    EXPECT_NE(pasted.find(L"Type=1,"), std::wstring::npos) << pasted;
    EXPECT_NE(pasted.find(L"Param1=}"), std::wstring::npos) << "an empty Param1 stays empty: " << pasted;
    EXPECT_NE(pasted.find(L"Caption=H"), std::wstring::npos) << "its items stay in the node: " << pasted;

    // The held node was not converted: on level 1 it is a sub-menu again.
    Select(1, 1);
    Main().Paste1Click();
    EXPECT_EQ(ui::WideToUtf8(SavedItem({}, 0)), heldGroup);

    Select(1, 5);  // F, the folder shown as a sub-menu
    Main().Copy1Click(Entry(L"Copy1"));
    Select(3, 3, 1, 1);
    Main().Paste1Click();
    pasted = SavedItem({2, 0}, 0);
    EXPECT_NE(pasted.find(L"Caption=F"), std::wstring::npos) << pasted;
    EXPECT_NE(pasted.find(L"Type=1,"), std::wstring::npos) << pasted;
    EXPECT_NE(pasted.find(L"Param1=0"), std::wstring::npos) << pasted;
    Select(1, 1);
    Main().Paste1Click();
    EXPECT_NE(SavedItem({}, 0).find(L"Param1=1"), std::wstring::npos) << SavedItem({}, 0);
}

TEST_F(MenuEditsTest, CopyAndPasteInAScrolledLevelActOnTheRowUnderThePointer) {
    StartWith({{0, "A"}, {0, "B"}, {0, "C"}, {0, "D"}});
    Main().ScrollMode[1] = 1;
    Main().ScrollTop = 2;
    Select(1, 1);  // the first visible row shows C
    Main().Copy1Click(Entry(L"Copy1"));
    Select(1, 2);  // D
    Main().Paste1Click();
    EXPECT_EQ(SavedCaptions({}), (Names{L"A", L"B", L"C", L"C", L"D"}));
}

TEST_F(MenuEditsTest, DeleteWithHideWarningsAsksNothingAndTakesTheScrolledRow) {
    StartWith({{0, "A"}, {0, "B"}, {0, "C"}});
    Main().Settings.HideWarnings = 1;
    Main().ScrollMode[1] = 1;
    Main().ScrollTop = 1;
    Select(1, 2);
    Main().DelMIClick();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(SavedCaptions({}), (Names{L"A", L"B"}));

    Main().Settings.HideWarnings = 0;
    Main().ScrollTop = 0;
    Select(1, 1);
    Main().DelMIClick();  // the fixture answers No
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(SavedCaptions({}), (Names{L"A", L"B"}));
}

constexpr wchar_t kNotMade[] = L"The menu file could not be written, so the change was not made.";

// An edit the file did not take must not stay in the document: the rows shown would
// then be one off from the items the next command finds.
TEST_F(MenuEditsTest, AFailedWriteChangesNothingSoTheNextDeleteTakesTheRowShown) {
    StartWith({{0, "A"}, {0, "B", "", "5"}, {0, "C"}});
    folder.WriteFile(L"cache\\5.png", "png");
    folder.WriteFile(L"cache\\s5.png", "png");
    const std::string menu = folder.ReadFile(L"1.xml");
    {
        testing_support::FileHeldOpen held(folder.PathOf(L"1.xml"));
        ASSERT_TRUE(held.IsOpen());
        Select(1, 1);
        Main().NewSepMIClick();
        EXPECT_EQ(folder.ReadFile(L"1.xml"), menu);
        Select(1, 2);
        EXPECT_FALSE(Main().DeleteItem(1, true)) << "a delete the file did not take";
        EXPECT_EQ(folder.ReadFile(L"1.xml"), menu);
        EXPECT_TRUE(folder.Exists(L"cache\\5.png")) << "the item stays, and so do its images";
    }
    EXPECT_EQ(boxes, (Names{kNotMade, kNotMade}));
    EXPECT_EQ(Captions(), (Names{L"A", L"B", L"C"}));

    Select(1, 2);
    EXPECT_TRUE(Main().DeleteItem(1, true));
    EXPECT_EQ(SavedCaptions({}), (Names{L"A", L"C"}));
    EXPECT_EQ(folder.ReadFile(L"1.xml").find("<Type>777</Type>"), std::string::npos) << "no hidden separator";
    EXPECT_FALSE(folder.Exists(L"cache\\5.png"));
    EXPECT_EQ(Captions(), (Names{L"A", L"C"}));
}

TEST_F(MenuEditsTest, AFailedPasteInASubMenuLeavesItsItemsAsTheFileHasThem) {
    struct Case {
        int level;
        int row1, row2, row3;
        Chain chain;
        Names captions;
    };
    const Case cases[] = {
        {2, 2, 2, -1, {1}, {L"H", L"New item", L"g2"}},
        {3, 2, 1, 2, {1, 0}, {L"h1", L"New item", L"h2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level);
        StartWith(kThreeLevels);
        Select(1, 1);
        Main().Copy1Click(Entry(L"Copy1"));
        Select(c.level, c.row1, c.row2, c.row3);
        {
            testing_support::FileHeldOpen held(folder.PathOf(L"1.xml"));
            Main().Paste1Click();
        }
        EXPECT_EQ(boxes, (Names{kNotMade}));
        Select(c.level, c.row1, c.row2, c.row3);  // the repaint drops a row its empty list lacks
        Main().NewSepMIClick();
        EXPECT_EQ(SavedCaptions(c.chain), c.captions);
        EXPECT_EQ(SavedCaptions({}), (Names{L"A", L"G", L"B"}));
        core::DestroyForms();
    }
}

TEST_F(MenuEditsTest, LockTogglesTheSettingAndItsFixedCaption) {
    StartWith({{0, "A"}});
    Main().Lock1Click();
    EXPECT_TRUE(Main().Settings.lock);
    EXPECT_TRUE(Main().Lock1.Checked);
    EXPECT_EQ(Main().Lock1.Caption, L"Unlock");
    Main().Lock1Click();
    EXPECT_FALSE(Main().Settings.lock);
    EXPECT_FALSE(Main().Lock1.Checked);
    EXPECT_EQ(Main().Lock1.Caption, L"Lock");
}

// What a modal form saw while it was up; the form is closed once it is seen.
struct ModalSeen {
    ui::Form* form = nullptr;
    bool shown = false;
    bool timer1Running = true;
};
ModalSeen* g_modal = nullptr;

void CALLBACK HideTheModalForm(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_modal || !g_modal->form->Visible()) return;
    g_modal->shown = true;
    g_modal->timer1Running = core::Form1->TimerRunning(core::TForm1::kTimer1);
    g_modal->form->Hide();
}

ModalSeen WhileModal(ui::Form& form, const std::function<void()>& open) {
    ModalSeen seen;
    seen.form = &form;
    g_modal = &seen;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, &HideTheModalForm);
    open();
    KillTimer(nullptr, timer);
    g_modal = nullptr;
    return seen;
}

TEST_F(MenuEditsTest, AboutStopsTheHousekeepingWhileItIsUpAndSettingsShowsItsDialog) {
    StartWith({{0, "A"}});
    ASSERT_TRUE(Main().TimerRunning(core::TForm1::kTimer1));
    const ModalSeen about = WhileModal(*core::About, [&] { Main().AboutMIClick(); });
    EXPECT_TRUE(about.shown);
    EXPECT_FALSE(about.timer1Running);
    EXPECT_TRUE(Main().TimerRunning(core::TForm1::kTimer1));

    const ModalSeen settings = WhileModal(*core::Form5, [&] { Main().SettingsMIClick(); });
    EXPECT_TRUE(settings.shown);
}

class DropTest : public MenuEditsTest {
protected:
    void Drop(const std::wstring& path, int y) {
        SendMessageW(Main().Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(path, POINT{10, y})), 0);
    }
};

TEST_F(DropTest, TheRowUnderThePointerGivesThePlace) {
    folder.WriteFile(L"drop\\Notes.txt", "notes");
    const std::wstring file = folder.PathOf(L"drop\\Notes.txt");
    struct Case {
        const char* where;
        int row;  // the 1-based row under the pointer; 4 lies below the last
        std::wstring path;
        Names captions;
    };
    const Case cases[] = {
        {"first row", 1, file, {L"Notes.txt", L"A", L"B", L"C"}},
        {"second row", 2, file, {L"Notes.txt", L"A", L"B", L"C"}},
        {"third row", 3, file, {L"A", L"Notes.txt", L"B", L"C"}},
        {"below the last row", 4, file, {L"A", L"B", L"C"}},
        {"a missing file", 3, folder.PathOf(L"drop\\gone.txt"), {L"A", L"B", L"C"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        StartWith({{0, "A"}, {0, "B"}, {0, "C"}});
        Drop(c.path, RowY(c.row));
        EXPECT_EQ(SavedCaptions({}), c.captions);
        EXPECT_EQ(Captions(), c.captions);
        core::DestroyForms();
    }
}

TEST_F(DropTest, FoldersFilesAndShortcutsBecomeItems) {
    folder.WriteFile(L"one\\Setup.EXE", "x");
    folder.WriteFile(L"two\\setup.exe", "x");
    folder.WriteFile(L"Docs\\readme.txt", "x");
    folder.WriteFile(L"tool\\target.txt", "x");
    const std::wstring target = folder.PathOf(L"tool\\target.txt");
    const std::wstring icons = core::GetSystemDir() + L"shell32.dll";
    ASSERT_TRUE(WriteShortcut(folder.PathOf(L"Tool.lnk"), target, L"My tool", L"-x", icons, 3));
    ASSERT_TRUE(WriteShortcut(folder.PathOf(L"Plain.lnk"), target, L"", L"", L"", 0));
    struct Case {
        std::wstring path;
        std::wstring item;
    };
    auto plain = [](const std::wstring& run, const std::wstring& type, const std::wstring& caption) {
        return L"{Run=" + run + L",ImageFile=,Index=0,Type=" + type + L",Caption=" + caption +
               L",Params=,subitem[],RunVis=0}";
    };
    const Case cases[] = {
        {folder.PathOf(L"one\\Setup.EXE"), plain(folder.PathOf(L"one\\Setup.EXE"), L"0", L"Setup.EXE")},
        {folder.PathOf(L"two\\setup.exe"), plain(folder.PathOf(L"two\\setup.exe"), L"0", L"setup")},
        {folder.PathOf(L"Docs"), plain(folder.PathOf(L"Docs"), L"1", L"Docs")},
        {folder.PathOf(L"Tool.lnk"), L"{Run=" + target + L",ImageFile=" + icons +
                                         L",Index=3,Type=0,Caption=My tool,Params=-x,subitem[],RunVis=0}"},
        {folder.PathOf(L"Plain.lnk"), plain(target, L"0", L"Plain")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ui::WideToUtf8(c.path));
        StartWith({{0, "A"}});
        Drop(c.path, RowY(1));
        EXPECT_EQ(SavedItem({}, 0), c.item);
        EXPECT_EQ(SavedCaptions({}).size(), 2u);
        core::DestroyForms();
    }
}

}  // namespace
