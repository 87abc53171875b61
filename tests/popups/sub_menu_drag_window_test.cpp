// The end of an item drag on the sub-menu windows, their reorder and files dropped
// on them, checked on the saved menu file. The drag's state is set as the press
// leaves it and the real pointer stands over the target window at the release.
#include "core/menu_input_fixture.h"

#include "core/hot_zones.h"
#include "popups/form2.h"
#include "support/held_file.h"
#include "support/shell_files.h"
#include "ui/strings.h"
#include "ui/xml_document.h"

#include <string>
#include <vector>

namespace {

using menu_input::Row;
using Names = std::vector<std::wstring>;
using Chain = std::vector<int>;  // 0-based positions from the root down to a container

// Level 2 (G): x, the group H, y, z; level 3 (H): h1, h2.
const std::vector<Row> kNested = {
    {0, "A"},
    {2, "G", "", "", "", {{0, "x"}, {2, "H", "", "", "", {{0, "h1"}, {0, "h2"}}}, {0, "y"}, {0, "z"}}},
    {0, "B"},
};

// A folder shown as its contents, its entries written into the file.
Row Listing(const char* caption) {
    return Row(1, caption, "C:\\", "", "1", {{55, "e0", "C:\\e0"}, {55, "e1", "C:\\e1"}, {55, "e2", "C:\\e2"}});
}

class SubMenuDragTest : public MenuInputTest {
protected:
    void SetUp() override {
        MenuInputTest::SetUp();
        // HideGroupDelay blocks on every move while Form3 is up.
        core::SetMotionClockForTests(nullptr, [](int) {});
    }
    void TearDown() override {
        core::SetMotionClockForTests(nullptr, nullptr);
        core::SubPanelsShown = false;
        core::LastSubPanel = -1;
        MenuInputTest::TearDown();
    }

    popups::TForm2& Form2() { return *core::Form2; }
    ui::Form* LevelForm(int level) {
        if (level == 1) return &Main();
        return level == 2 ? static_cast<ui::Form*>(core::Form2) : core::Form3;
    }
    popups::TForm3& Form3() { return *core::Form3; }

    int SubRowY(int row) const { return Main().Skin.HeaderSize + Main().Skin.ItemSize * (row - 1) + Main().Skin.ItemSize / 2; }
    // Level 2 for main row 2, and level 3 for its row `row3` when not 0.
    void Open(int row3 = 0) {
        Hover(2);
        ASSERT_TRUE(Form2().Visible());
        if (row3 == 0) return;
        Form2().FormMouseMove(0, 10, SubRowY(row3));
        ASSERT_TRUE(Form3().Visible());
    }
    // The pointer over the middle of a window, or over one of its rows.
    static void PointAt(const ui::Form& form) { SetCursorPos(form.Left() + form.Width() / 2, form.Top() + form.Height() / 2); }
    void PointAtRow(const ui::Form& form, int row) {
        SetCursorPos(form.Left() + form.Width() / 2, form.Top() + SubRowY(row));
    }
    // The release of a drag that the press began on row `source` (0-based) of `form`.
    void EndDrag(popups::TForm2& form, int source) {
        Main().Dragging = true;
        Main().DragSourceIndex[form.Tag] = source;
        form.EndItemDrag();
    }

    ui::XmlNode SavedContainer(const Chain& chain) {
        std::wstring text = folder.ReadText(L"1.xml");
        if (text.rfind(L"<?xml", 0) == 0) text.erase(0, text.find(L"?>") + 2);
        saved_ = std::make_unique<ui::XmlDocument>();
        EXPECT_TRUE(saved_->LoadXml(text));
        ui::XmlNode node = saved_->Root();
        for (int position : chain) node = node.ElementAt(static_cast<size_t>(position)).Child(L"subitem");
        return node;
    }
    Names SavedCaptions(const Chain& chain) {
        Names captions;
        for (const ui::XmlNode& item : SavedContainer(chain).ElementChildren()) {
            auto caption = item.FindChild(L"Caption");
            captions.push_back(caption ? caption->Text() : L"?");
        }
        return captions;
    }
    // An item's fields in document order, "subitem" by its children's captions.
    std::wstring SavedItem(const Chain& chain, int position) {
        ui::XmlNode container = SavedContainer(chain);
        if (position >= static_cast<int>(container.ElementCount())) return L"(none)";
        std::wstring out;
        for (const ui::XmlNode& field : container.ElementAt(static_cast<size_t>(position)).ElementChildren()) {
            if (!out.empty()) out += L",";
            out += field.Name() + L"=" + (field.Name() == L"subitem" ? std::to_wstring(field.ElementCount()) : field.Text());
        }
        return out;
    }
    std::wstring SavedField(const Chain& chain, int position, const wchar_t* name) {
        ui::XmlNode container = SavedContainer(chain);
        if (position >= static_cast<int>(container.ElementCount())) return L"(none)";
        auto field = container.ElementAt(static_cast<size_t>(position)).FindChild(name);
        return field ? field->Text() : L"(none)";
    }
    static Names CaptionsOf(const core::TLNItemList& list) {
        Names names;
        for (const core::TLNItem& item : list) names.push_back(item.Caption);
        return names;
    }

private:
    std::unique_ptr<ui::XmlDocument> saved_;
};

// --- reorders within a level

TEST_F(SubMenuDragTest, AReorderLandsTheItemDirectlyBelowTheRowDroppedOn) {
    const std::vector<Row> menu = {
        {0, "A"},
        {2, "G", "", "", "", {{0, "c1"}, {0, "c2"}, {0, "c3"}, {0, "c4"}, {0, "c5"}, {0, "c6"},
                              {2, "H", "", "", "", {{0, "h1"}, {0, "h2"}, {0, "h3"}}}}},
    };
    const Names level2 = {L"c1", L"c2", L"c3", L"c4", L"c5", L"c6", L"H"};
    struct Case {
        const char* name;
        int level;
        int source;  // 0-based
        int row;     // 1-based row under the pointer; 0 below the last row
        Names expected;
        bool written;
    };
    const Case cases[] = {
        {"row 2 onto row 5", 2, 1, 5, {L"c1", L"c3", L"c4", L"c5", L"c2", L"c6", L"H"}, true},
        {"row 5 onto row 4, the row above", 2, 4, 4, level2, false},
        {"row 5 onto row 1", 2, 4, 1, {L"c1", L"c5", L"c2", L"c3", L"c4", L"c6", L"H"}, true},
        {"row 5 onto itself", 2, 4, 5, level2, true},
        {"below the last row", 2, 1, 0, level2, false},
        {"level 3, row 1 onto row 3", 3, 0, 3, {L"h2", L"h3", L"h1"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartWith(menu);
        Open(c.level == 3 ? 7 : 0);
        popups::TForm2& form = c.level == 3 ? static_cast<popups::TForm2&>(Form3()) : Form2();
        if (c.row == 0) {
            const int rowsBottom = Main().ItemTop(c.level, static_cast<int>(Main().ItemLists[c.level].size()));
            ASSERT_LT(rowsBottom, form.Height() - 1) << "the skin leaves room below the rows";
            SetCursorPos(form.Left() + form.Width() / 2, form.Top() + form.Height() - 1);
        } else {
            PointAtRow(form, c.row);
        }
        const std::string before = folder.ReadFile(L"1.xml");
        EndDrag(form, c.source);
        const Chain chain = c.level == 3 ? Chain{1, 6} : Chain{1};
        EXPECT_EQ(SavedCaptions(chain), c.expected);
        EXPECT_EQ(CaptionsOf(Main().ItemLists[c.level]), c.expected) << "the window shows the saved rows";
        if (!c.written) {
            EXPECT_EQ(folder.ReadFile(L"1.xml"), before);
        }
        if (c.written) {
            EXPECT_FALSE(Main().Dragging);
        }
        if (c.written && c.level == 2) {
            EXPECT_FALSE(Form3().Visible());
        }
        core::DestroyForms();
    }
}

// --- moves between levels

TEST_F(SubMenuDragTest, ALevelTwoItemDroppedOnTheMainWindowFollowsTheGroupsRow) {
    StartWith(kNested);
    Open(2);
    PointAt(Main());
    EndDrag(Form2(), 2);
    EXPECT_EQ(SavedCaptions({}), (Names{L"A", L"G", L"y", L"B"}));
    EXPECT_EQ(SavedCaptions({1}), (Names{L"x", L"H", L"z"}));
    EXPECT_EQ(CaptionsOf(Main().ItemLists[1]), (Names{L"A", L"G", L"y", L"B"}));
    EXPECT_EQ(CaptionsOf(Main().ItemLists[2]), (Names{L"x", L"H", L"z"}));
    EXPECT_FALSE(Main().Dragging);
    EXPECT_FALSE(Form3().Visible()) << "its group's row moved under it";
}

TEST_F(SubMenuDragTest, AGroupsLastChildStaysWhenDroppedOnTheMainWindow) {
    StartWith({{0, "A"}, {2, "G", "", "", "", {{0, "only"}}}, {0, "B"}});
    Open();
    const std::string before = folder.ReadFile(L"1.xml");
    PointAt(Main());
    EndDrag(Form2(), 0);
    EXPECT_EQ(folder.ReadFile(L"1.xml"), before);
    EXPECT_EQ(CaptionsOf(Main().ItemLists[1]), (Names{L"A", L"G", L"B"}));
}

TEST_F(SubMenuDragTest, ADropOutsideLevelTwoOrALevelThreeDropOnTheMainWindowDeletesWithTheWarningRules) {
    const bool vista = core::VistaOrLater;
    core::VistaOrLater = false;  // the question comes as a message box
    struct Case {
        const char* name;
        int level;
        bool onMain;  // else outside every window
        int hideWarnings;
        bool asked;
    };
    const Case cases[] = {
        {"level 2 outside, without a question", 2, false, 1, false},
        {"level 3 on the main window, asked", 3, true, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartWith(kNested);
        Main().Settings.HideWarnings = c.hideWarnings;
        Open(2);
        answer = [](const ui::MessageBoxRequest&) { return IDYES; };
        boxes.clear();
        if (c.onMain) PointAt(Main()); else SetCursorPos(1100, 950);
        EndDrag(c.level == 2 ? Form2() : Form3(), 0);
        EXPECT_EQ(!boxes.empty(), c.asked);
        if (c.level == 2) EXPECT_EQ(SavedCaptions({1}), (Names{L"H", L"y", L"z"}));
        else EXPECT_EQ(SavedCaptions({1, 1}), (Names{L"h2"}));
        EXPECT_EQ(SavedCaptions({}), (Names{L"A", L"G", L"B"})) << "nothing reaches the main window";
        core::DestroyForms();
    }
    core::VistaOrLater = vista;
}

TEST_F(SubMenuDragTest, APanelKeepsTheThirdLevelWhileAPressOnItHoldsTheCapture) {
    // Level 2: the groups H and K; the drag of h1 must stay a drag of H's row.
    StartWith({{0, "A"},
               {2, "G", "", "", "", {{2, "H", "", "", "", {{0, "h1"}, {0, "h2"}}}, {2, "K", "", "", "", {{0, "k1"}}}}}});
    Open(1);
    ASSERT_EQ(core::SubPanels.size(), 2u);
    SetCapture(Form3().Handle());
    Form2().OpenThirdLevel(*core::SubPanels[1]);
    EXPECT_EQ(Main().SelectedIndex[2], 1);
    EXPECT_EQ(CaptionsOf(Main().ItemLists[3]), (Names{L"h1", L"h2"}));
    ReleaseCapture();
    Form2().OpenThirdLevel(*core::SubPanels[1]);
    EXPECT_EQ(CaptionsOf(Main().ItemLists[3]), (Names{L"k1"})) << "without the press the panel opens K";
}

TEST_F(SubMenuDragTest, ALevelTwoItemDroppedOnTheThirdLevelBecomesItsFirstAndTheGroupRowStaysSelected) {
    struct Case {
        const char* name;
        int source;
        Names level2, level3;
        int selected;
    };
    const Case cases[] = {
        {"from above the group's row", 0, {L"H", L"y", L"z"}, {L"x", L"h1", L"h2"}, 1},
        {"from below it", 3, {L"x", L"H", L"y"}, {L"z", L"h1", L"h2"}, 2},
        {"the open group itself", 1, {L"x", L"H", L"y", L"z"}, {L"h1", L"h2"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartWith(kNested);
        Open(2);
        PointAt(Form3());
        EndDrag(Form2(), c.source);
        EXPECT_EQ(SavedCaptions({1}), c.level2);
        EXPECT_EQ(SavedCaptions({1, c.selected - 1}), c.level3);
        EXPECT_EQ(Main().SelectedIndex[2], c.selected);
        EXPECT_EQ(CaptionsOf(Main().ItemLists[3]), c.level3) << "level 3 shows the group's rows";
        core::DestroyForms();
    }
}

TEST_F(SubMenuDragTest, ALevelThreeItemDroppedOnLevelTwoFollowsItsGroupsRowAndKeepsItsType) {
    const std::vector<Row> menu = {
        {0, "A"},
        {2, "G", "", "", "", {{0, "x"}, {2, "H", "", "", "", {{2, "inner", "", "", "", {{0, "deep"}}}, {0, "h2"}}}}},
    };
    StartWith(menu);
    Open(2);
    PointAt(Form2());
    ASSERT_FALSE(core::TForm1::CursorInForm(Form3()));
    EndDrag(Form3(), 0);
    EXPECT_EQ(SavedCaptions({1}), (Names{L"x", L"H", L"inner"}));
    EXPECT_EQ(SavedCaptions({1, 1}), (Names{L"h2"}));
    EXPECT_EQ(SavedCaptions({1, 2}), (Names{L"deep"})) << "its children came along";
    EXPECT_EQ(CaptionsOf(Main().ItemLists[2]), (Names{L"x", L"H", L"inner"}));
    EXPECT_EQ(CaptionsOf(Main().ItemLists[3]), (Names{L"h2"}));
    EXPECT_EQ(Main().SelectedIndex[2], 2);

    // And back into level 3: still a group, so moving it back restores it.
    PointAt(Form3());
    EndDrag(Form2(), 2);
    EXPECT_EQ(SavedCaptions({1, 1}), (Names{L"inner", L"h2"}));
    EXPECT_EQ(SavedField({1, 1}, 0, L"Type"), L"2");
    EXPECT_EQ(SavedCaptions({1, 1, 0}), (Names{L"deep"}));
}

TEST_F(SubMenuDragTest, ALevelThreeGroupsLastChildStaysWhenDroppedOnLevelTwo) {
    StartWith({{0, "A"}, {2, "G", "", "", "", {{0, "x"}, {2, "H", "", "", "", {{0, "one"}}}}}});
    Open(2);
    const std::string before = folder.ReadFile(L"1.xml");
    PointAt(Form2());
    EndDrag(Form3(), 0);
    EXPECT_EQ(folder.ReadFile(L"1.xml"), before);
    EXPECT_EQ(CaptionsOf(Main().ItemLists[3]), (Names{L"one"}));
}

TEST_F(SubMenuDragTest, AMoveThatCannotBeWrittenLeavesTheFileTheDocumentAndTheRows) {
    struct Case {
        const char* name;
        int level;  // where the drag began
        int source;
        int target;  // the level of the window under the pointer
    };
    const Case cases[] = {
        {"level 2 onto the main window", 2, 0, 1},
        {"level 2 onto level 3", 2, 0, 3},
        {"level 3 onto level 2", 3, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartWith(kNested);
        Open(2);
        const std::string before = folder.ReadFile(L"1.xml");
        {
            testing_support::FileHeldOpen held(folder.PathOf(L"1.xml"));
            ASSERT_TRUE(held.IsOpen());
            PointAt(*LevelForm(c.target));
            EndDrag(c.level == 3 ? static_cast<popups::TForm2&>(Form3()) : Form2(), c.source);
        }
        EXPECT_EQ(folder.ReadFile(L"1.xml"), before);
        EXPECT_EQ(boxes.size(), 1u) << "the failed write is reported";
        EXPECT_EQ(CaptionsOf(Main().ItemLists[1]), (Names{L"A", L"G", L"B"}));
        EXPECT_EQ(CaptionsOf(Main().ItemLists[2]), (Names{L"x", L"H", L"y", L"z"}));
        EXPECT_EQ(Main().SelectedIndex[2], 2);
        // The document is the file's again: the next edit saves no half-done move.
        ASSERT_TRUE(Main().XMLDocument1.HasRoot());
        EXPECT_EQ(Main().XMLDocument1.Root().ElementAt(1).Child(L"subitem").ElementCount(), 4u);
        EXPECT_EQ(Main().XMLDocument1.Root().ElementCount(), 3u);
        core::DestroyForms();
    }
}

TEST_F(SubMenuDragTest, AListingIsNeitherTheSourceNorTheTargetOfAMove) {
    struct Case {
        const char* name;
        std::vector<Row> menu;
        int row3;    // the level-2 row that opens level 3, 0 for none
        int level;   // where the drag began
        int source;
        std::vector<int> targets;  // the level of the window under the pointer, 0 outside every one
    };
    const Case cases[] = {
        {"from a level-2 listing", {{0, "A"}, Listing("L")}, 0, 2, 1, {1, 2, 0}},
        {"from a level-3 listing", {{0, "A"}, {2, "G", "", "", "", {{0, "x"}, Listing("L")}}}, 2, 3, 0, {2, 3, 0}},
        {"into a level-3 listing", {{0, "A"}, {2, "G", "", "", "", {{0, "x"}, {0, "y"}, Listing("L")}}}, 3, 2, 0, {3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartWith(c.menu);
        Open(c.row3);
        popups::TForm2& form = c.level == 3 ? static_cast<popups::TForm2&>(Form3()) : Form2();
        const std::string before = folder.ReadFile(L"1.xml");
        for (int target : c.targets) {
            SCOPED_TRACE(target);
            if (target == 0) SetCursorPos(1100, 950);
            else PointAt(*LevelForm(target));
            EndDrag(form, c.source);
            EXPECT_EQ(folder.ReadFile(L"1.xml"), before);
        }
        EXPECT_TRUE(boxes.empty());
        core::DestroyForms();
    }
}

// --- files dropped from Explorer

class SubMenuDropTest : public SubMenuDragTest {
protected:
    void Drop(popups::TForm2& form, const std::wstring& path, int y) {
        SendMessageW(form.Handle(), WM_DROPFILES,
                     reinterpret_cast<WPARAM>(testing_support::MakeDrop(path, POINT{10, y})), 0);
    }
};

TEST_F(SubMenuDropTest, ADroppedFileBecomesAnItemNamedAsTheMainWindowNamesIt) {
    folder.WriteFile(L"one\\App.EXE", "x");
    folder.WriteFile(L"two\\App.exe", "x");
    folder.WriteFile(L"notes.txt", "x");
    folder.WriteFile(L"Docs\\readme.txt", "x");
    folder.WriteFile(L"tool\\target.txt", "x");
    const std::wstring unicodeName = L"Z\u00fcrich \u03a9\u03bc\u03ad\u03b3\u03b1 \u65e5\u672c.txt";
    folder.WriteFile(unicodeName, "x");
    const std::wstring target = folder.PathOf(L"tool\\target.txt");
    const std::wstring icons = core::GetSystemDir() + L"shell32.dll";
    ASSERT_TRUE(testing_support::WriteShortcut(folder.PathOf(L"Tool.lnk"), target, L"My tool", L"-x", icons, 3));
    auto plain = [](const std::wstring& run, const wchar_t* type, const std::wstring& caption) {
        return L"Run=" + run + L",ImageFile=,Index=0,Type=" + type + L",Caption=" + caption +
               L",Params=,subitem=0,RunVis=0,Param1=";
    };
    struct Case {
        std::wstring path;
        std::wstring item;  // as saved once the window read it back (Param1 added last)
    };
    const Case cases[] = {
        {folder.PathOf(L"one\\App.EXE"), plain(folder.PathOf(L"one\\App.EXE"), L"0", L"App.EXE")},
        {folder.PathOf(L"two\\App.exe"), plain(folder.PathOf(L"two\\App.exe"), L"0", L"App")},
        {folder.PathOf(L"notes.txt"), plain(folder.PathOf(L"notes.txt"), L"0", L"notes.txt")},
        {folder.PathOf(unicodeName), plain(folder.PathOf(unicodeName), L"0", unicodeName)},
        {folder.PathOf(L"Docs"), plain(folder.PathOf(L"Docs"), L"1", L"Docs")},
        {folder.PathOf(L"Tool.lnk"),
         L"Run=" + target + L",ImageFile=" + icons + L",Index=3,Type=0,Caption=My tool,Params=-x,subitem=0,RunVis=0,Param1="},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ui::WideToUtf8(c.path));
        StartWith(kNested);
        Open();
        Drop(Form2(), c.path, SubRowY(1));
        EXPECT_EQ(SavedItem({1}, 1), c.item);
        EXPECT_EQ(SavedCaptions({1}).size(), 5u);
        core::DestroyForms();
    }
}

TEST_F(SubMenuDropTest, TheDropGoesAfterTheRowUnderThePointAndNowhereElse) {
    core::SetKeepListingsForTests(true);  // the listings are written here
    folder.WriteFile(L"new.txt", "x");
    const std::wstring file = folder.PathOf(L"new.txt");
    struct Case {
        const char* name;
        std::vector<Row> menu;
        int level;
        int row;  // the 1-based row under the drop point; 0 over the header, -1 below the last row
        Chain chain;
        Names expected;
    };
    const Names level2 = {L"x", L"H", L"y", L"z"};
    const Case cases[] = {
        {"level 2, first row", kNested, 2, 1, {1}, {L"x", L"new.txt", L"H", L"y", L"z"}},
        {"level 2, last row", kNested, 2, 4, {1}, {L"x", L"H", L"y", L"z", L"new.txt"}},
        {"level 2, below the last row", kNested, 2, -1, {1}, level2},
        {"level 2, over the header", kNested, 2, 0, {1}, level2},
        {"level 3, second row", kNested, 3, 2, {1, 1}, {L"h1", L"h2", L"new.txt"}},
        {"a listing on level 3", {{0, "A"}, {2, "G", "", "", "", {{0, "x"}, Listing("L")}}}, 3, 1, {1, 1},
         {L"e0", L"e1", L"e2"}},
        {"a missing file", kNested, 2, 1, {1}, level2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartWith(c.menu);
        Open(c.level == 3 ? 2 : 0);
        popups::TForm2& form = c.level == 3 ? static_cast<popups::TForm2&>(Form3()) : Form2();
        Main().ShowHotZones(true);
        Form2().ShowPanels(true);
        const int y = c.row > 0 ? SubRowY(c.row) : c.row == 0 ? Main().Skin.HeaderSize / 2 : form.Height() - 1;
        if (c.row < 0) {
            ASSERT_LT(Main().ItemTop(c.level, static_cast<int>(Main().ItemLists[c.level].size())), y);
        }
        Drop(form, std::string(c.name) == "a missing file" ? folder.PathOf(L"gone.txt") : file, y);
        EXPECT_EQ(SavedCaptions(c.chain), c.expected);
        EXPECT_EQ(CaptionsOf(Main().ItemLists[c.level]), c.expected);
        EXPECT_FALSE(core::MainPanelsShown) << "hot zones hidden on every path";
        EXPECT_FALSE(core::SubPanelsShown) << "level 2's panels hidden on every path";
        if (c.level == 2 && c.expected != level2) {
            EXPECT_FALSE(Form3().Visible());
        }
        core::DestroyForms();
    }
}

}  // namespace
