// Deleting a row of a sub-menu window: the question, the removal checked on the saved
// menu and the cache, an emptied group, and the deletes that must change nothing.
#include "core/menu_input_fixture.h"

#include "core/forms.h"
#include "core/motion.h"
#include "popups/form2.h"
#include "support/held_file.h"
#include "ui/strings.h"
#include "ui/xml_document.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using menu_input::Row;
using Names = std::vector<std::wstring>;

class SubMenuDeleteTest : public MenuInputTest {
protected:
    void SetUp() override {
        MenuInputTest::SetUp();
        // HideGroupDelay blocks on every move while Form3 is up; nothing here needs it.
        core::SetMotionClockForTests(nullptr, [](int) {});
    }
    void TearDown() override {
        core::SetMotionClockForTests(nullptr, nullptr);
        MenuInputTest::TearDown();
    }

    popups::TForm2& Form2() { return *core::Form2; }
    popups::TForm3& Form3() { return *core::Form3; }

    int SubRowY(int row) const { return Main().Skin.HeaderSize + Main().Skin.ItemSize * (row - 1) + Main().Skin.ItemSize / 2; }
    // Level 2 for main row `row1`, and level 3 for its row `row2`, opened as the
    // pointer opens them.
    void Open(int row1, int row2 = -1) {
        Hover(row1);
        ASSERT_TRUE(Form2().Visible());
        if (row2 < 0) return;
        Form2().FormMouseMove(0, 10, SubRowY(row2));
        ASSERT_TRUE(Form3().Visible());
    }

    // An item of the saved menu by its 0-based positions from the root down.
    std::optional<ui::XmlNode> Saved(const std::vector<int>& path) {
        saved_ = std::make_unique<ui::XmlDocument>();
        return menu_input::SavedItem(*saved_, folder.PathOf(L"1.xml"), path);
    }
    std::wstring SavedField(const std::vector<int>& path, const wchar_t* name) {
        auto item = Saved(path);
        if (!item) return L"(no item)";
        auto field = item->FindChild(name);
        return field ? field->Text() : L"(none)";
    }
    Names SavedCaptions(const std::vector<int>& path) {
        Names captions;
        auto item = Saved(path);
        if (!item) return captions;
        for (ui::XmlNode child : item->Child(L"subitem").ElementChildren())
            captions.push_back(child.Child(L"Caption").Text());
        return captions;
    }
    // The ID the sub-menu renderer gave the group at `path`, with its icon strip (the
    // default skin shows no captions, so it writes no caption image).
    std::wstring CachedId(const std::vector<int>& path) {
        const std::wstring id = SavedField(path, L"ID");
        EXPECT_TRUE(HasCacheFiles(id)) << "group " << ui::WideToUtf8(id);
        return id;
    }
    bool HasCacheFiles(const std::wstring& id) { return folder.Exists(L"cache\\" + id + L".png"); }
    bool HasAnyCacheFile(const std::wstring& id) {
        return folder.Exists(L"cache\\" + id + L".png") || folder.Exists(L"cache\\s" + id + L".png");
    }
    void WriteCacheFiles(const std::wstring& id) {
        folder.WriteFile(L"cache\\" + id + L".png", "png");
        folder.WriteFile(L"cache\\s" + id + L".png", "png");
    }
    void Select(int level, int row) {
        Main().PopupMenu1.Tag = level - 1;
        Main().SelectedIndex[level] = row;
    }

private:
    std::unique_ptr<ui::XmlDocument> saved_;
};

TEST_F(SubMenuDeleteTest, QuestionFollowsTheRowTypeAndNoChangesNothing) {
    StartWith({{2, "G", "", "", "", {{0, "Link"}, {1, "Folder"}, {2, "Group"}, {3, "Shell"}, {4, "Tool"},
                                     {5, "Dial"}, {6, "Run"}, {7, "Weather"}, {11, "Plug"}, {55, "Entry"},
                                     {777, "ignored"}}}});
    Open(1);
    const std::string menu = folder.ReadFile(L"1.xml");
    bool timerOffWhileAsked = true;
    std::optional<ui::MessageBoxRequest> lastBox;
    answer = [&](const ui::MessageBoxRequest& request) {
        lastBox = request;
        timerOffWhileAsked = timerOffWhileAsked && !Main().TimerRunning(core::TForm1::kTimer1);
        return IDNO;
    };
    const std::wstring link = L"Do You really wish to remove a link \"";
    const std::wstring object = L"Do You really wish to remove an object \"";
    const std::wstring questions[] = {
        link + L"Link\"?", link + L"Folder\"?", L"Do You really wish to remove a group \"Group\"?",
        object + L"Shell\"? ", link + L"Tool\"?", object + L"Dial\"? ", link + L"Run\"?", object + L"Weather\"? ",
        L"", L"", L"Do You really wish to remove an object ?",
    };
    for (int row = 0; row < 11; ++row) {
        boxes.clear();
        EXPECT_FALSE(Form2().DeleteSubItem(row, false));
        EXPECT_EQ(boxes, (Names{questions[row]})) << "row " << row;
        ASSERT_TRUE(lastBox);
        EXPECT_EQ(lastBox->owner, nullptr) << "before Vista the box has no owner";
        EXPECT_EQ(lastBox->caption, L"Zarvo");
        EXPECT_EQ(lastBox->type, static_cast<UINT>(MB_YESNO));
    }
    EXPECT_TRUE(timerOffWhileAsked);
    EXPECT_TRUE(Main().TimerRunning(core::TForm1::kTimer1)) << "Timer1 runs again after the question";
    EXPECT_EQ(folder.ReadFile(L"1.xml"), menu);
    EXPECT_EQ(Form2().RowCount, 11);

    // On Vista and later the task dialog asks, owned by the window of the row; a
    // dialog that could not be shown (0) counts as No.
    core::VistaOrLater = true;
    std::vector<core::TaskDialogRequest> asked;
    core::SetTaskDialogHandler([&](const core::TaskDialogRequest& request) {
        asked.push_back(request);
        return asked.size() == 1 ? IDNO : 0;
    });
    EXPECT_FALSE(Form2().DeleteSubItem(0, false));
    EXPECT_FALSE(Form2().DeleteSubItem(0, false));
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].owner, Form2().Handle());
    EXPECT_EQ(asked[0].title, L"Zarvo");
    EXPECT_EQ(asked[0].mainInstruction, link + L"Link\"?");
    EXPECT_EQ(asked[0].content, L"Deleting this shortcut does not delete the object.");
    EXPECT_EQ(asked[0].buttons, core::kTaskYes | core::kTaskNo);
    EXPECT_EQ(asked[0].icon, core::kIconInformation);
    EXPECT_EQ(folder.ReadFile(L"1.xml"), menu);
    EXPECT_TRUE(Main().TimerRunning(core::TForm1::kTimer1));
}

// One of several rows, through Delete on level 2 and the task dialog on level 3: the
// row and its cached images go, and the group's images are written under a new ID.
TEST_F(SubMenuDeleteTest, OneOfSeveralRowsGoesWithItsImagesAndTheGroupGetsANewId) {
    struct Case {
        int level;
        std::vector<int> group;  // the open group in the file
    };
    for (const Case& c : {Case{2, {0}}, Case{3, {0, 1}}}) {
        SCOPED_TRACE(testing::Message() << "level " << c.level);
        const std::vector<Row> rows = {{0, "r1"}, {0, "r2", "", "70"}, {0, "r3"}};
        StartWith({{2, "G", "", "", "", c.level == 2 ? rows : std::vector<Row>{{0, "a"}, {2, "H", "", "", "", rows}}}});
        WriteCacheFiles(L"70");
        Open(1, c.level == 3 ? 2 : -1);
        popups::TForm2& window = c.level == 2 ? Form2() : Form3();
        const std::wstring oldId = CachedId(c.group);
        if (c.level == 2) {
            Main().Settings.HideWarnings = 1;
            Select(2, 2);
            Main().DelMIClick();
            EXPECT_TRUE(boxes.empty()) << "HideWarnings asks nothing";
        } else {
            core::VistaOrLater = true;
            core::SetTaskDialogHandler([](const core::TaskDialogRequest&) { return IDYES; });
            EXPECT_TRUE(window.DeleteSubItem(1, false));
        }
        EXPECT_EQ(SavedCaptions(c.group), (Names{L"r1", L"r3"}));
        EXPECT_FALSE(HasAnyCacheFile(L"70")) << "the row's images";
        EXPECT_FALSE(HasAnyCacheFile(oldId)) << "the group's old images";
        const std::wstring newId = CachedId(c.group);
        EXPECT_NE(newId, oldId);
        EXPECT_EQ(window.RowCount, 2);
        EXPECT_TRUE(window.Visible());
        EXPECT_EQ(Main().ItemLists[c.level].size(), 2u);
        EXPECT_TRUE(Main().TimerRunning(core::TForm1::kTimer1));
        core::VistaOrLater = false;
        core::SetTaskDialogHandler(nullptr);
        core::DestroyForms();
    }
}

// An ID in the removed row may name images a shown group uses now (its own files
// were gone when the group's ID was chosen, or the file was edited by hand).
TEST_F(SubMenuDeleteTest, TheImagesOfAShownGroupStayWhateverTheRemovedRowNames) {
    StartWith({{2, "G", "", "", "", {{0, "a"}, {2, "H", "", "", "", {{0, "h1"}, {0, "h2"}}}}}});
    Open(1, 2);
    const std::wstring level2Id = CachedId({0});
    Main().XMLDocument1.Root().ElementAt(0).Child(L"subitem").ElementAt(1).Child(L"subitem").ElementAt(0).Child(
        L"ID").SetText(level2Id);
    EXPECT_TRUE(Form3().DeleteSubItem(0, true));
    EXPECT_EQ(SavedCaptions({0, 1}), (Names{L"h2"}));
    EXPECT_TRUE(HasCacheFiles(level2Id));
    EXPECT_EQ(SavedField({0}, L"ID"), level2Id);
}

// Cut takes the row that a scrolled window shows, and asks nothing.
TEST_F(SubMenuDeleteTest, CutTakesTheScrolledRowWithoutAQuestion) {
    StartWith({{2, "G", "", "", "", {{0, "r0"}, {0, "r1"}, {0, "r2"}, {0, "r3"}}}});
    Open(1);
    Main().ScrollMode[2] = 1;
    Main().ScrollTop = 2;
    Select(2, 1);  // shows r2
    Main().Copy1Click(Main().PopupMenu1.Item(L"Cut"));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(SavedCaptions({0}), (Names{L"r0", L"r1", L"r3"}));
    ASSERT_TRUE(Main().ClipboardNode);
    EXPECT_EQ(Main().ClipboardNode->Child(L"Caption").Text(), L"r2");
}

// The last row of level 2: a sub-menu becomes a plain item without its ID, a folder
// stays a folder; the main window is rebuilt and Form2 hides.
TEST_F(SubMenuDeleteTest, TheLastRowOfLevel2EmptiesTheGroupAndClosesTheWindow) {
    struct Case {
        int type;
        const wchar_t* typeAfter;
        bool keepsId;
    };
    for (const Case& c : {Case{2, L"0", false}, Case{1, L"1", true}}) {
        SCOPED_TRACE(testing::Message() << "Type " << c.type);
        StartWith({{0, "A"}, {c.type, "G", "C:\\", "", "", {{0, "only", "", "70"}}}});
        WriteCacheFiles(L"70");
        Open(2);
        const std::wstring groupId = CachedId({1});
        Main().Settings.HideWarnings = 1;
        Select(2, 1);
        Main().DelMIClick();
        EXPECT_EQ(SavedCaptions({1}), Names{});
        EXPECT_EQ(SavedField({1}, L"Type"), c.typeAfter);
        EXPECT_EQ(SavedField({1}, L"ID"), c.keepsId ? groupId : L"(none)");
        EXPECT_FALSE(HasAnyCacheFile(groupId));
        EXPECT_FALSE(HasAnyCacheFile(L"70"));
        EXPECT_FALSE(Form2().Visible());
        ASSERT_EQ(Main().ItemLists[1].size(), 2u);
        EXPECT_EQ(Main().ItemLists[1][1].Type, c.type == 2 ? 0 : 1) << "the main window was rebuilt";
        core::DestroyForms();
    }
}

// The last row of level 3: level 2 comes back from its cache, with the emptied row
// changed, and Form3 hides.
TEST_F(SubMenuDeleteTest, TheLastRowOfLevel3EmptiesItsGroupAndForm2ComesBackFromTheCache) {
    struct Case {
        int type;
        const wchar_t* typeAfter;
    };
    for (const Case& c : {Case{2, L"0"}, Case{1, L"1"}}) {
        SCOPED_TRACE(testing::Message() << "Type " << c.type);
        StartWith({{2, "G", "", "", "", {{0, "a"}, {c.type, "H", "C:\\", "", "", {{0, "only"}}}}}});
        Open(1, 2);
        const std::wstring level2Id = CachedId({0});
        const std::wstring level3Id = CachedId({0, 1});
        Select(3, 1);
        Main().Copy1Click(Main().PopupMenu1.Item(L"Cut"));
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(SavedCaptions({0, 1}), Names{});
        EXPECT_EQ(SavedField({0, 1}, L"Type"), c.typeAfter);
        if (c.type == 2) {
            EXPECT_EQ(SavedField({0, 1}, L"ID"), L"(none)");
        }
        EXPECT_FALSE(HasAnyCacheFile(level3Id));
        EXPECT_EQ(SavedField({0}, L"ID"), level2Id) << "level 2 was not drawn anew";
        EXPECT_TRUE(HasCacheFiles(level2Id));
        EXPECT_FALSE(Form3().Visible());
        EXPECT_TRUE(Form2().Visible());
        EXPECT_EQ(Form2().RowCount, 2);
        ASSERT_EQ(Main().ItemLists[2].size(), 2u);
        EXPECT_EQ(Main().ItemLists[2][1].Type, c.type == 2 ? 0 : 1) << "H opens nothing any more";
        core::DestroyForms();
    }
}

// A listing is written anew at each opening; a row the file did not lose must keep
// its images; a row that is not there is not asked about.
TEST_F(SubMenuDeleteTest, RefusedDeletesChangeNothing) {
    core::SetKeepListingsForTests(true);  // the listings are written here
    const std::string listed = "C:\\";
    StartWith({{1, "F", listed, "", "1", {{55, "e1", listed + "a.txt"}}},
               {2, "G", "", "", "", {{0, "g1", "", "70"}, {1, "L", listed, "", "1", {{55, "l1", listed + "b"}}}}}});
    WriteCacheFiles(L"70");
    Main().Settings.HideWarnings = 1;

    Open(2, 2);  // G, then L's listing on level 3
    EXPECT_FALSE(Form3().DeleteSubItem(0, true)) << "a listing on level 3";
    Open(1);  // F's listing
    EXPECT_FALSE(Form2().DeleteSubItem(0, true)) << "a listing on level 2";
    Open(2);
    const std::string opened = folder.ReadFile(L"1.xml");  // with G's cache ID
    EXPECT_EQ(SavedCaptions({0}), (Names{L"e1"}));
    EXPECT_EQ(SavedCaptions({1, 1}), (Names{L"l1"}));
    for (int row : {-1, 2}) EXPECT_FALSE(Form2().DeleteSubItem(row, false)) << row;
    EXPECT_TRUE(boxes.empty());
    {
        testing_support::FileHeldOpen held(folder.PathOf(L"1.xml"));
        ASSERT_TRUE(held.IsOpen());
        EXPECT_FALSE(Form2().DeleteSubItem(0, true)) << "the file did not take it";
    }
    EXPECT_EQ(folder.ReadFile(L"1.xml"), opened);
    EXPECT_TRUE(HasCacheFiles(L"70"));
    EXPECT_EQ(boxes, (Names{L"The menu file could not be written, so the change was not made."}));
    // The row is still there to delete.
    EXPECT_TRUE(Form2().DeleteSubItem(0, true));
    EXPECT_EQ(SavedCaptions({1}), (Names{L"L"}));
    EXPECT_FALSE(HasAnyCacheFile(L"70"));
}

}  // namespace
