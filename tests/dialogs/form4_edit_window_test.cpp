// The properties dialog's round trip: what it opens with for each kind of item, what
// OK writes on each level, what Cancel takes back, and what it refuses to write.
#include "form4_fixture.h"

#include "core/path_macros.h"
#include "core/startup.h"
#include "support/held_file.h"
#include "support/program_folder.h"
#include "ui/strings.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace dialogs;
using properties::Group;
using properties::Item;
using properties::Link;
using properties::Menu;
using Names = std::vector<std::wstring>;

class PropertiesEditTest : public PropertiesTest {
protected:
    // A control as "-" (hidden), "off" (disabled) or "on".
    std::wstring Use(int id) { return !Shown(id) ? L"-" : Enabled(id) ? L"on" : L"off"; }
    std::wstring Box(int id) { return Use(id) + (Shown(id) && ui::Checked(Control(id)) ? L"+" : L""); }
    // What the dialog shows, control by control.
    std::wstring State() {
        HWND sysBox = Control(kSysBox);
        return L"type " + std::to_wstring(Index(kComboBox1)) + L" " + Use(kComboBox1) + L" | target " +
               Use(kEdit1) + L" '" + Text(kEdit1) + L"' " + Use(kButton1) + L" | list " + Use(kSysBox) + L" '" +
               ui::ComboItemText(sysBox, ui::ComboIndex(sysBox)) + L"' | params " + Use(kEdit3) + L" '" +
               Text(kEdit3) + L"' | caption " + Use(kEdit2) + L" '" + Text(kEdit2) + L"' | show " +
               Use(kComboBox2) + L" " + std::to_wstring(Index(kComboBox2)) + L" | popup " + Box(kCheckBox1) +
               L" | vista " + Box(kCheckBox2) + L" | icon " + Use(kButton4) + L" " + Use(kButton5) + L" | ok " +
               Use(kButton3);
    }
};

TEST_F(PropertiesEditTest, EachKindOpensWithItsEntryAndControls) {
    struct Case {
        const char* name;
        std::string item;
        std::wstring state;  // empty: the dialog does not open
    };
    const std::string myComputer = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
    const Case cases[] = {
        {"link", Item({{"Run", "C:\\x.exe"}, {"Params", "-a"}, {"Type", "0"}, {"Caption", "A"}, {"RunVis", "1"}}),
         L"type 0 on | target on 'C:\\x.exe' on | list - '' | params on '-a' | caption on 'A' | show on 1 | popup - | "
         L"vista - | icon on on | ok off"},
        {"folder as menu", Item({{"Run", "C:\\f"}, {"Type", "1"}, {"Caption", "F"}, {"Param1", "1"}}),
         L"type 1 on | target on 'C:\\f' on | list - '' | params on '' | caption on 'F' | show on 0 | popup on+ | "
         L"vista - | icon on on | ok off"},
        {"group", Group("G", {Link("g")}),
         L"type -1 off | target off '' off | list - '' | params off '' | caption on 'G' | show off 0 | popup - | "
         L"vista - | icon on off | ok off"},
        {"my computer", Item({{"Run", myComputer}, {"Type", "3"}, {"Caption", "PC"}}),
         L"type 2 on | target off '' off | list - '' | params off '' | caption on 'PC' | show on 0 | popup - | "
         L"vista - | icon on on | ok off"},
        {"log out", Item({{"Run", "shutdown.exe"}, {"Params", "-l -t 00"}, {"Type", "3"}, {"Caption", "Bye"}}),
         L"type 7 on | target off '' off | list - '' | params off '' | caption on 'Bye' | show off 0 | popup - | "
         L"vista - | icon on on | ok off"},
        {"restart", Item({{"Run", "shutdown.exe"}, {"Params", "-r -t 00"}, {"Type", "3"}, {"Caption", "Again"}}),
         L"type 9 on | target off '' off | list - '' | params off '' | caption on 'Again' | show off 0 | popup - | "
         L"vista - | icon on on | ok off"},
        {"unknown shell object", Item({{"Run", "::{1234}"}, {"Type", "3"}, {"Caption", "S"}}),
         L"type -1 on | target off '' off | list - '' | params off '' | caption on 'S' | show off 0 | popup - | "
         L"vista - | icon on on | ok off"},
        {"system tool", Item({{"Run", "calc"}, {"Params", "calc"}, {"Type", "4"}, {"Caption", "C"}, {"RunVis", "6"}}),
         L"type 10 on | target - '' - | list on 'Calculator' | params off '' | caption on 'C' | show off 0 | popup - | "
         L"vista - | icon on on | ok off"},
        // The phone book is empty here: the stored connection is listed all the same.
        {"connection", Item({{"Run", "rasphone.exe"}, {"Params", "-d \"Home\""}, {"Type", "5"}, {"Caption", "H"}}),
         L"type 11 on | target - '' - | list on 'Home' | params off '' | caption on 'H' | show off 0 | popup - | "
         L"vista - | icon on on | ok off"},
        {"run box", Item({{"Run", "1"}, {"Params", "p"}, {"Type", "6"}, {"Caption", "R"}}),
         L"type 12 on | target off '' off | list - '' | params on 'p' | caption off '' | show off 0 | popup - | "
         L"vista on+ | icon on on | ok off"},
        {"weather", Item({{"Run", "24"}, {"Params", "code"}, {"Type", "7"}, {"Caption", "W"}}),
         L"type 13 on | target off '' off | list - '' | params on 'code' | caption off '' | show off 0 | popup - | "
         L"vista - | icon off on | ok off"},
        {"plug-in", Item({{"Run", "p.dll"}, {"Params", "x"}, {"Type", "11"}, {"Caption", "P"}}),
         L"type 14 on | target - '' - | list on 'p.dll' | params on 'x' | caption on 'P' | show off 0 | popup - | "
         L"vista - | icon on on | ok off"},
        {"separator", Item({{"Type", "777"}, {"Caption", "-"}}), L""},
        {"listed entry", Item({{"Run", "C:\\x"}, {"Type", "55"}, {"Caption", "x"}}), L""},
    };
    // Every kind in one menu, each opened after the one before: no value of the
    // previous item may show through. A busy link comes first.
    std::vector<std::string> items = {Item(
        {{"Run", "C:\\old.exe"}, {"Params", "old"}, {"Type", "0"}, {"Caption", "Old"}, {"RunVis", "2"}})};
    for (const Case& c : cases) items.push_back(c.item);
    StartWithMenu(Menu(items));
    SelectRows(1);
    EXPECT_TRUE(EditSelected(1, {[&] { Click(kButton6); }}));
    int row = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring state;
        SelectRows(row++);
        const bool opened = EditSelected(1, {[&] {
                                                 state = State();
                                                 Click(kButton6);
                                             }});
        EXPECT_EQ(opened, !c.state.empty());
        EXPECT_EQ(state, c.state);
    }
    EXPECT_EQ(boxes, Names{});
}

TEST_F(PropertiesEditTest, EditsAreWrittenToTheSelectedItemOnEachLevel) {
    // G holds g1 and the group H, which holds h1 and the folder h2.
    const std::string menu =
        Menu({Link("A", "a.exe"),
              Group("G", {Link("g1", "g.exe"), Group("H", {Link("h1", "h.exe"), Item({{"Run", "C:\\"}, {"Type", "1"},
                                                                                       {"Caption", "h2"}})})}),
              Link("B", "b.exe")});
    struct Case {
        int level;
        int row1, row2, row3;
        std::vector<int> path;
        bool popupBoxShown;  // for a folder: not on the last level
    };
    for (const Case& c : {Case{1, 1, 0, 0, {0}, true}, Case{2, 2, 1, 0, {1, 0}, true},
                          Case{3, 2, 2, 2, {1, 1, 1}, false}}) {
        SCOPED_TRACE(testing::Message() << "level " << c.level);
        StartWithMenu(menu);
        SelectRows(c.row1, c.row2, c.row3);
        bool popupBoxShown = false;
        const bool opened = EditSelected(c.level, {[&] {
                                                       EXPECT_EQ(Dialog().Tag, c.level);
                                                       Pick(kComboBox1, kFolderType);
                                                       popupBoxShown = Shown(kCheckBox1);
                                                       SetText(kEdit1, L"C:\\windows");
                                                       SetText(kEdit3, L"-p");
                                                       SetText(kEdit2, L"Renamed");
                                                       Pick(kComboBox2, 2);
                                                       Click(kButton3);
                                                   }});
        EXPECT_TRUE(opened);
        EXPECT_FALSE(Dialog().Visible());
        EXPECT_EQ(popupBoxShown, c.popupBoxShown);
        EXPECT_EQ(SavedFields(c.path, {L"Type", L"Run", L"Params", L"Caption", L"RunVis", L"Param1"}),
                  L"Type=1 Run=C:\\windows Params=-p Caption=Renamed RunVis=2 Param1=0");
        EXPECT_EQ(boxes, Names{});
        // The main window shows the edit at once; a sub-menu window at its next opening.
        if (c.level == 1) {
            EXPECT_EQ(Main().ItemLists[1][0].Caption, L"Renamed");
        }
        core::DestroyForms();
    }
}

TEST_F(PropertiesEditTest, OkWaitsForAChangeAndTheFocusStartsOnTheFirstUsableEdit) {
    StartWithMenu(Menu({Link("A", "a.exe"), Group("G", {Link("g")})}));
    const std::string before = folder.ReadFile(L"1.xml");
    SelectRows(1);
    EditSelected(1, {[&] {
                         EXPECT_EQ(GetFocus(), Control(kEdit1));
                         EXPECT_FALSE(Enabled(kButton3));
                         Click(kButton3);  // a disabled OK does nothing
                     },
                     [&] {
                         EXPECT_TRUE(Dialog().Visible());
                         EXPECT_EQ(folder.ReadFile(L"1.xml"), before);
                         // The same text again is still the user's input.
                         SetText(kEdit2, L"A");
                         EXPECT_TRUE(Enabled(kButton3));
                         Click(kButton6);
                     }});
    // A group has no target: the caption takes the focus.
    SelectRows(2);
    EditSelected(1, {[&] {
                         EXPECT_EQ(GetFocus(), Control(kEdit2));
                         Click(kButton6);
                     }});
    EXPECT_EQ(folder.ReadFile(L"1.xml"), before);
}

TEST_F(PropertiesEditTest, ThePluginListHoldsTheLoadedPluginsInSlotOrderWithTheItemsOwnChosen) {
    for (const wchar_t* name : {L"clock.dll", L"notes.dll", L"weather.dll"})
        folder.CopyFileIn(testing_support::TestExeDir() + L"test_plugin.dll", std::wstring(L"plugins\\") + name);
    folder.WriteFile(L"plugins\\broken.dll", "no library");
    StartWithMenu(Menu({Item({{"Run", "notes.dll"}, {"Type", "11"}, {"Caption", "N"}}),
                        Item({{"Run", "gone.dll"}, {"Type", "11"}, {"Caption", "G"}})}));
    std::vector<std::wstring> loaded;
    for (int slot = 1; slot <= core::kPluginSlots; ++slot)
        if (Main().Plugins[slot].Loaded) loaded.push_back(Main().Plugins[slot].Name);
    ASSERT_EQ(loaded.size(), 3u);
    struct Case {
        int row;
        std::wstring chosen;
        size_t entries;  // a name no loaded library has is kept as the last entry
    };
    for (const Case& c : {Case{1, L"notes.dll", 3}, Case{2, L"gone.dll", 4}}) {
        SCOPED_TRACE(c.row);
        std::vector<std::wstring> entries;
        std::wstring chosen;
        SelectRows(c.row);
        EditSelected(1, {[&] {
                             for (int i = 0; i < ui::ComboCount(Control(kSysBox)); ++i)
                                 entries.push_back(ui::ComboItemText(Control(kSysBox), i));
                             chosen = ui::ComboItemText(Control(kSysBox), Index(kSysBox));
                             Click(kButton6);
                         }});
        ASSERT_EQ(entries.size(), c.entries);
        EXPECT_EQ(std::vector<std::wstring>(entries.begin(), entries.begin() + 3), loaded);
        EXPECT_EQ(chosen, c.chosen);
    }
}

TEST_F(PropertiesEditTest, KindsTheListsCannotShowSurviveOk) {
    struct Case {
        const char* name;
        std::string item;
        std::wstring saved;
    };
    const Case cases[] = {
        {"plug-in", Item({{"Run", "weather.dll"}, {"Params", "x"}, {"Type", "11"}, {"Caption", "P"}}),
         L"Type=11 Run=weather.dll Params=x Caption=Changed"},
        {"connection", Item({{"Run", "rasphone.exe"}, {"Params", "-d \"Home\""}, {"Type", "5"}, {"Caption", "H"}}),
         L"Type=5 Run=rasphone.exe Params=-d \"Home\" Caption=Changed"},
        {"unknown shell object", Item({{"Run", "::{1234}"}, {"Params", "q"}, {"Type", "3"}, {"Caption", "S"}}),
         L"Type=3 Run=::{1234} Params=q Caption=Changed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartWithMenu(Menu({c.item}));
        SelectRows(1);
        EditSelected(1, {[&] {
                             SetText(kEdit2, L"Changed");
                             Click(kButton3);
                         }});
        EXPECT_EQ(SavedFields({0}, {L"Type", L"Run", L"Params", L"Caption"}), c.saved);
        EXPECT_EQ(boxes, Names{});
        core::DestroyForms();
    }

    // Default Icon runs the type change again, which is no choice of a kind.
    StartWithMenu(Menu({Item({{"Run", "::{1234}"}, {"Params", "q"}, {"Type", "3"}, {"Caption", "S"}})}));
    SelectRows(1);
    EditSelected(1, {[&] {
                         ASSERT_TRUE(Enabled(kButton5));
                         Click(kButton5);
                         Click(kButton3);
                     }});
    EXPECT_EQ(SavedFields({0}, {L"Type", L"Run", L"Params", L"Caption"}), L"Type=3 Run=::{1234} Params=q Caption=S");
}

TEST_F(PropertiesEditTest, ATypeChangeBringsTheKindsDefaults) {
    struct Case {
        int typeIndex;
        std::wstring caption;  // in the dialog after the change
        std::wstring saved;
    };
    const Case cases[] = {
        {7, L"Log Out", L"Type=3 Run=shutdown.exe Params=-l -t 00 Caption=Log Out Index=4"},
        {13, L"<?>" + core::DegreeSymbol(0), L"Type=7 Run=24 Params= Caption=<?>" + core::DegreeSymbol(0) + L" Index=0"},
        // The run box writes no caption, whatever the edit showed.
        {12, L"", L"Type=6 Run=0 Params= Caption= Index=76"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typeIndex);
        StartWithMenu(Menu({Link("A", "a.exe")}));
        SelectRows(1);
        EditSelected(1, {[&] {
                             Pick(kComboBox1, c.typeIndex);
                             EXPECT_EQ(Text(kEdit2), c.caption);
                             EXPECT_TRUE(Enabled(kButton3));
                             Click(kButton3);
                         }});
        EXPECT_EQ(SavedFields({0}, {L"Type", L"Run", L"Params", L"Caption", L"Index"}), c.saved);
        core::DestroyForms();
    }
    // Log Out's icon is the program's own, stored in the form the menu keeps.
    StartWithMenu(Menu({Link("A", "a.exe")}));
    SelectRows(1);
    EditSelected(1, {[&] {
                         Pick(kComboBox1, 7);
                         Click(kButton3);
                     }});
    auto item = Saved({0});
    ASSERT_TRUE(item);
    EXPECT_EQ(core::ExpandPathMacros(item->Child(L"ImageFile").Text()), ui::ModuleFileName());
    EXPECT_EQ(item->Child(L"Index").Text(), L"4");
}

TEST_F(PropertiesEditTest, CancelTakesBackOnlyANewItemThatStayedBlank) {
    const std::string menu = Menu({Link("A", "a.exe"), Group("G", {Link("g1", "g.exe")}), Link("B", "b.exe")});
    struct Case {
        const char* name;
        int level;
        int row1, row2;
        std::function<void(PropertiesEditTest&)> close;
        Names main, group;
    };
    const auto cancel = [](PropertiesEditTest& t) { t.Click(kButton6); };
    const auto closeBox = [](PropertiesEditTest& t) { SendMessageW(t.Dialog().Handle(), WM_CLOSE, 0, 0); };
    const auto escape = [](PropertiesEditTest& t) {
        PostMessageW(GetFocus() ? GetFocus() : t.Control(kEdit1), WM_KEYDOWN, VK_ESCAPE, 0);
    };
    const auto typed = [](PropertiesEditTest& t) {
        t.SetText(kEdit1, L"C:\\t.exe");
        t.Click(kButton6);
    };
    const auto blanks = [](PropertiesEditTest& t) {
        t.SetText(kEdit1, L"  ");
        t.Click(kButton6);
    };
    const Case cases[] = {
        {"cancel", 1, 2, 0, cancel, {L"A", L"G", L"B"}, {L"g1"}},
        {"close box", 1, 2, 0, closeBox, {L"A", L"G", L"B"}, {L"g1"}},
        {"escape", 1, 2, 0, escape, {L"A", L"G", L"B"}, {L"g1"}},
        {"level 2", 2, 2, 1, cancel, {L"A", L"G", L"B"}, {L"g1"}},
        // Any change counts, even one that leaves the target blank.
        {"typed target", 1, 2, 0, typed, {L"A", L"New item", L"G", L"B"}, {L"g1"}},
        {"blanks typed", 1, 2, 0, blanks, {L"A", L"New item", L"G", L"B"}, {L"g1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartWithMenu(menu);
        SelectRows(c.row1, c.row2);
        EXPECT_TRUE(NewOnSelected(c.level, {[&] {
                                                EXPECT_EQ(Dialog().Button6Tag, 1);
                                                c.close(*this);
                                            }}));
        const int group = static_cast<int>(std::find(c.main.begin(), c.main.end(), L"G") - c.main.begin());
        EXPECT_EQ(SavedCaptions({}), c.main);
        EXPECT_EQ(SavedCaptions({group}), c.group);
        EXPECT_EQ(boxes, Names{});
        // The marker lived for that showing only: Cancel on the group keeps it.
        SelectRows(group + 1);
        EditSelected(1, {[&] { Click(kButton6); }});
        EXPECT_EQ(SavedCaptions({}), c.main);
        core::DestroyForms();
    }
}

TEST_F(PropertiesEditTest, BadValuesAreRefusedWithTheDialogKept) {
    struct Case {
        const char* name;
        std::function<void(PropertiesEditTest&)> enter;
        int control;  // whose text must stay
    };
    const Case cases[] = {
        {"caption", [](PropertiesEditTest& t) { t.SetText(kEdit2, std::wstring(261, L'c')); }, kEdit2},
        {"target", [](PropertiesEditTest& t) { t.SetText(kEdit1, L"C:\\" + std::wstring(2046, L't')); }, kEdit1},
        {"parameters", [](PropertiesEditTest& t) { t.SetText(kEdit3, std::wstring(8192, L'p')); }, kEdit3},
        // The phone book is empty: a connection without an entry.
        {"connection without entry", [](PropertiesEditTest& t) { t.Pick(kComboBox1, kConnectionType); }, kEdit2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartWithMenu(Menu({Link("A", "a.exe")}));
        const std::string before = folder.ReadFile(L"1.xml");
        SelectRows(1);
        std::wstring entered;
        EditSelected(1, {[&] {
                             c.enter(*this);
                             entered = Text(c.control);
                             Click(kButton3);
                         },
                         [&] {
                             EXPECT_TRUE(Dialog().Visible());
                             EXPECT_EQ(boxes.size(), 1u);
                             EXPECT_EQ(Text(c.control), entered);
                             EXPECT_EQ(folder.ReadFile(L"1.xml"), before);
                             Click(kButton6);
                         }});
        EXPECT_EQ(folder.ReadFile(L"1.xml"), before);
        core::DestroyForms();
    }
}

// A menu that did not load is never written over; the dialog says so at every OK,
// not only with the menu's one warning of the run.
TEST_F(PropertiesEditTest, ARefusedSaveIsReportedAtEveryOkAndLosesNothing) {
    StartWithMenu(Menu({Link("A", "a.exe"), Link("B", "b.exe")}));
    const std::string before = folder.ReadFile(L"1.xml");
    Main().MenuFile.SetLoadState(core::MenuStore::LoadState::ParseFailed);
    SelectRows(1);
    EditSelected(1, {[&] {
                         SetText(kEdit2, L"Changed");
                         Click(kButton3);
                     },
                     [&] {
                         EXPECT_TRUE(Dialog().Visible());
                         EXPECT_EQ(boxes.size(), 1u);
                         Click(kButton3);
                     },
                     [&] {
                         EXPECT_TRUE(Dialog().Visible());
                         EXPECT_EQ(boxes.size(), 2u);
                         EXPECT_EQ(Text(kEdit2), L"Changed");
                         EXPECT_EQ(Main().XMLDocument1.Root().ElementAt(0).Child(L"Caption").Text(), L"A");
                         Click(kButton6);
                     }});
    EXPECT_EQ(folder.ReadFile(L"1.xml"), before);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], boxes[1]) << "the dialog's own message both times";
}

TEST_F(PropertiesEditTest, ASaveThatFailsKeepsTheDialogAndALaterOkWrites) {
    StartWithMenu(Menu({Link("A", "a.exe"), Link("B", "b.exe")}));
    const std::string before = folder.ReadFile(L"1.xml");
    SelectRows(1);
    auto held = std::make_unique<testing_support::FileHeldOpen>(folder.PathOf(L"1.xml"), 0);
    ASSERT_TRUE(held->IsOpen());
    EditSelected(1, {[&] {
                         SetText(kEdit2, L"Changed");
                         Click(kButton3);
                     },
                     [&] {
                         EXPECT_TRUE(Dialog().Visible());
                         EXPECT_EQ(boxes.size(), 1u);
                         EXPECT_EQ(Text(kEdit2), L"Changed");
                         EXPECT_TRUE(Enabled(kButton3));
                         // The document still matches the file.
                         EXPECT_EQ(Main().XMLDocument1.Root().ElementAt(0).Child(L"Caption").Text(), L"A");
                         held.reset();
                         EXPECT_EQ(folder.ReadFile(L"1.xml"), before);
                         Click(kButton3);
                     }});
    EXPECT_EQ(SavedCaptions({}), (Names{L"Changed", L"B"}));
    EXPECT_EQ(boxes.size(), 1u);
}

}  // namespace

namespace {

TEST_F(PropertiesEditTest, AnItemGoneFromTheMenuByOkTimeIsNotWrittenAnywhere) {
    StartWithMenu(Menu({Link("A", "a.exe"), Link("B", "b.exe")}));
    SelectRows(1);
    std::string saved;
    EditSelected(1, {[&] {
                         // Something took the item out while the dialog was up.
                         ui::XmlNode root = Main().XMLDocument1.Root();
                         root.RemoveChild(root.ElementAt(0));
                         saved = folder.ReadFile(L"1.xml");
                         SetText(kEdit2, L"Changed");
                         Click(kButton3);
                     }});
    EXPECT_EQ(boxes, (Names{L"The item is no longer in the menu, so nothing was written."}));
    EXPECT_EQ(folder.ReadFile(L"1.xml"), saved);
    // The level is built from the file again, which never lost the item.
    EXPECT_EQ(Captions(), (Names{L"A", L"B"}));
}

}  // namespace
