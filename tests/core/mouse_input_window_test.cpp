#include "menu_input_fixture.h"
#include "support/held_file.h"

#include "popups/form2.h"

#include <optional>

namespace {

using menu_input::LeftButtonHeld;
using menu_input::OtherWindow;
using menu_input::ShiftHeld;
using Names = std::vector<std::wstring>;

TEST_F(MenuInputTest, HoverSelectsTheRowUnderThePointerByRowHeights) {
    // Header 16, rows 36, separator 8, bottom margin 12; an unknown Type takes no height.
    StartWith({{0, "A"}, {777, ""}, {0, "B"}, {99, "X"}, {0, "C"}});
    ASSERT_EQ(Main().Height(), 16 + 36 + 8 + 36 + 36 + 12);
    struct Case {
        int y;
        int selected;
    };
    for (const Case c : {Case{16, 1}, Case{51, 1}, Case{52, 2}, Case{59, 2}, Case{60, 3}, Case{96, 5}, Case{131, 5},
                         Case{132, 5}, Case{133, -1}, Case{20, 1}, Case{15, -1}}) {
        Main().FormMouseMove(0, 10, c.y);
        EXPECT_EQ(Main().SelectedIndex[1], c.selected) << "y " << c.y;
    }
}

TEST_F(MenuInputTest, GroupAndFolderMenuRowsOpenTheSubMenuBesideTheirRow) {
    StartWith({{0, "A"}, {2, "G", "", "", "", {{0, "child"}}}, {1, "F", "C:\\", "", "1"}, {1, "plain folder"}});
    popups::TForm2& form2 = *core::Form2;
    Hover(2);
    ASSERT_TRUE(form2.Visible());
    EXPECT_TRUE(GetWindowLongPtrW(form2.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(form2.Left(), Main().Left() + Main().Width() - Main().Skin.LeftSpace);
    EXPECT_EQ(form2.Top(), Main().Top() + Main().Skin.TopSpace - Main().Skin.HeaderSize + 16 + 36);
    EXPECT_EQ(Main().ScrollMode[2], 0);
    EXPECT_EQ(Main().SelectedIndex[2], -1);

    Hover(3);
    EXPECT_TRUE(form2.Visible());
    EXPECT_EQ(Main().ScrollMode[2], 0) << "a listing of ShowCount + 1 rows or fewer is shown whole";
    EXPECT_EQ(form2.Top(), Main().Top() - 16 + 16 + 2 * 36);

    Hover(4);
    EXPECT_FALSE(form2.Visible()) << "a folder without Param1 1 opens nothing";

    // On the right edge it opens to the left; near the bottom it stays on the screen.
    Main().Settings.Position = 1;
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    Main().SetTop(screenH - 60);
    Hover(2);
    EXPECT_EQ(form2.Left(), screenW - Main().Width() - form2.Width() + Main().Skin.LeftSpace + Main().Skin.MainRightSpace);
    EXPECT_EQ(form2.Top(), screenH - form2.Height());

    Main().FormMouseMove(0, 10, 2);  // over the header
    EXPECT_FALSE(form2.Visible());
    EXPECT_EQ(Main().SelectedIndex[1], -1);
}

TEST_F(MenuInputTest, QuickReleaseIsNoDragAndAPressOffTheRowsStartsNothing) {
    StartWith({{0, "A"}, {0, "B"}});
    const std::string menu = folder.ReadFile(L"1.xml");
    Hover(1);
    Main().FormMouseDown(ui::MouseButton::Left, MK_LBUTTON, 10, RowY(1));
    EXPECT_TRUE(Main().DragTimer.Enabled());
    EXPECT_EQ(Main().DragSourceIndex[1], 0);
    PointAtRow(2);
    Main().FormMouseUp(ui::MouseButton::Left, 0, 10, RowY(1));
    EXPECT_FALSE(Main().DragTimer.Enabled());
    EXPECT_FALSE(Main().Dragging);
    EXPECT_EQ(folder.ReadFile(L"1.xml"), menu);

    Main().FormMouseMove(0, 10, Main().Height() - 2);  // the bottom margin
    Main().DragSourceIndex[1] = 7;
    Main().FormMouseDown(ui::MouseButton::Left, MK_LBUTTON, 10, Main().Height() - 2);
    EXPECT_FALSE(Main().DragTimer.Enabled());
    EXPECT_EQ(Main().DragSourceIndex[1], 7);
}

TEST_F(MenuInputTest, HeldButtonStartsADragWhenTheTimerFiresUnlessLockedOrTheCaptureIsGone) {
    StartWith({{0, "A"}, {0, "B"}});
    OtherWindow other;
    struct Case {
        bool locked;
        bool held;
        bool captureTaken;
        bool drags;
    };
    for (const Case c : {Case{false, true, false, true}, Case{true, true, false, false},
                         Case{false, false, false, false}, Case{false, true, true, false}}) {
        SCOPED_TRACE(testing::Message() << "locked " << c.locked << ", held " << c.held << ", capture taken "
                                        << c.captureTaken);
        Main().Settings.lock = c.locked;
        Hover(2);
        {
            std::optional<LeftButtonHeld> held;
            if (c.held) held.emplace();
            Press(10, RowY(2));
            ASSERT_TRUE(Main().DragTimer.Enabled());
            if (c.captureTaken) SetCapture(other.Handle());
            Main().DragTimerTimer();  // the 400 ms tick
            EXPECT_EQ(Main().Dragging, c.drags);
            EXPECT_EQ(ui::ScreenCursorName(), c.drags ? core::kDragCursor : nullptr);
            EXPECT_FALSE(Main().DragTimer.Enabled()) << "one shot";
            // Ended here: the held button's release must find no drag and no capture.
            Main().EndDrag();
            ReleaseCapture();
        }
    }
}

TEST_F(MenuInputTest, LosingTheCaptureEndsTheDragSoTheNextClickDropsNothing) {
    struct Case {
        const char* name;
        bool header;
        bool toNone;      // the capture goes to no window
        bool pointerAway; // where the next click's release finds the pointer
    };
    for (const Case& c : {Case{"item drag, capture to a window, click on a row", false, false, false},
                          Case{"item drag, capture to none, release away", false, true, true},
                          Case{"header drag, capture to a window", true, false, false}}) {
        SCOPED_TRACE(c.name);
        StartWith({{0, "A"}, {0, "B"}, {0, "C"}});
        Main().Settings.HideWarnings = 1;  // a drop away from the windows deletes unasked
        OtherWindow other;
        Hover(1);
        if (c.header) {
            Press(5, 5);
            ASSERT_TRUE(Main().HeaderDrag);
        } else {
            ShiftHeld shift;
            Press(10, RowY(1), MK_SHIFT);
            ASSERT_TRUE(Main().Dragging);
        }
        ASSERT_EQ(GetCapture(), Main().Handle());
        if (c.toNone)
            ReleaseCapture();
        else
            SetCapture(other.Handle());
        EXPECT_FALSE(Main().Dragging);
        EXPECT_FALSE(Main().HeaderDrag);
        EXPECT_EQ(ui::ScreenCursorName(), nullptr);
        ReleaseCapture();

        const std::string menu = folder.ReadFile(L"1.xml");
        Hover(2);
        if (c.pointerAway)
            SetCursorPos(900, 900);
        else
            PointAtRow(2);
        Press(10, RowY(2));
        Release(10, RowY(2));
        EXPECT_EQ(Captions(), (Names{L"A", L"B", L"C"}));
        EXPECT_EQ(folder.ReadFile(L"1.xml"), menu);
        EXPECT_FALSE(Main().Dragging);
        core::DestroyForms();
    }
}

TEST_F(MenuInputTest, ShiftPressDragsAtOnceEvenWhenLockedAndTheReleaseEndsIt) {
    StartWith({{0, "A"}, {0, "B"}, {0, "C"}});
    Main().Settings.lock = true;
    Hover(2);
    {
        ShiftHeld shift;
        Main().FormMouseDown(ui::MouseButton::Left, MK_LBUTTON | MK_SHIFT, 10, RowY(2));
    }
    EXPECT_TRUE(Main().Dragging);
    EXPECT_FALSE(Main().DragTimer.Enabled());
    EXPECT_EQ(Main().DragSourceIndex[1], 1);
    EXPECT_EQ(ui::ScreenCursorName(), core::kDragCursor);
    PointAtRow(1);
    Hover(1);  // onto the row above: the order stays
    Main().FormMouseUp(ui::MouseButton::Left, 0, 10, RowY(1));
    EXPECT_FALSE(Main().Dragging);
    EXPECT_EQ(ui::ScreenCursorName(), nullptr);
    EXPECT_EQ(Captions(), (Names{L"A", L"B", L"C"}));
}

TEST_F(MenuInputTest, DropOnARowPutsTheItemAfterIt) {
    struct Case {
        int from, to;
        Names order;
    };
    for (const Case& c : {Case{1, 2, {L"B", L"A", L"C", L"D"}}, Case{4, 1, {L"A", L"D", L"B", L"C"}},
                          Case{1, 4, {L"B", L"C", L"D", L"A"}}, Case{3, 2, {L"A", L"B", L"C", L"D"}}}) {
        StartWith({{0, "A"}, {0, "B"}, {0, "C"}, {0, "D"}});
        Hover(c.from);
        {
            ShiftHeld shift;
            Main().FormMouseDown(ui::MouseButton::Left, MK_LBUTTON | MK_SHIFT, 10, RowY(c.from));
        }
        Hover(c.to);
        PointAtRow(c.to);
        Main().FormMouseUp(ui::MouseButton::Left, 0, 10, RowY(c.to));
        EXPECT_EQ(Captions(), c.order) << c.from << " onto " << c.to;
        EXPECT_FALSE(Main().Dragging);
        core::DestroyForms();
    }
}

TEST_F(MenuInputTest, DropOutsideEveryWindowDeletesWithTheWarningRules) {
    struct Case {
        int rows;
        std::uint8_t hideWarnings;
        int answer;
        bool deleted;
        size_t questions;
    };
    // Any non-zero HideWarnings skips the question, as the settings file defines it.
    for (const Case c : {Case{2, 0, IDYES, true, 1}, Case{2, 0, IDNO, false, 1}, Case{2, 1, IDNO, true, 0},
                         Case{2, 2, IDNO, true, 0}, Case{1, 0, IDYES, false, 0}}) {
        std::vector<Row> rows{{0, "A"}, {0, "B"}};
        rows.erase(rows.begin() + c.rows, rows.end());
        StartWith(rows);
        answer = [&c](const ui::MessageBoxRequest&) { return c.answer; };
        Main().Settings.HideWarnings = c.hideWarnings;
        Hover(1);
        {
            ShiftHeld shift;
            Main().FormMouseDown(ui::MouseButton::Left, MK_LBUTTON | MK_SHIFT, 10, RowY(1));
        }
        SetCursorPos(900, 900);
        Main().FormMouseUp(ui::MouseButton::Left, 0, 900, 700);
        EXPECT_EQ(boxes.size(), c.questions) << c.rows << " rows, HideWarnings " << int(c.hideWarnings);
        EXPECT_EQ(Captions().size(), static_cast<size_t>(c.rows - (c.deleted ? 1 : 0)));
        EXPECT_EQ(folder.ReadFile(L"1.xml").find("<Caption>A</Caption>") == std::string::npos, c.deleted);
        EXPECT_FALSE(Main().Dragging);
        core::DestroyForms();
    }
}

TEST_F(MenuInputTest, DropOntoTheOpenSubMenuMakesTheItemItsFirstUnlessItListsAFolder) {
    struct Case {
        Row target;
        bool moves;
    };
    for (const Case& c : {Case{{2, "G", "", "", "", {{0, "old"}}}, true}, Case{{1, "F", "C:\\", "", "1"}, false}}) {
        StartWith({{0, "A"}, c.target, {0, "B"}});
        Hover(1);
        {
            ShiftHeld shift;
            Main().FormMouseDown(ui::MouseButton::Left, MK_LBUTTON | MK_SHIFT, 10, RowY(1));
        }
        Hover(2);
        ASSERT_TRUE(core::Form2->Visible());
        SetCursorPos(core::Form2->Left() + 20, core::Form2->Top() + 20);
        Main().FormMouseUp(ui::MouseButton::Left, 0, 60, RowY(2));
        const std::string menu = folder.ReadFile(L"1.xml");
        if (c.moves) {
            EXPECT_EQ(Captions(), (Names{L"G", L"B"}));
            EXPECT_LT(menu.find("<Caption>A</Caption>"), menu.find("<Caption>old</Caption>"));
            EXPECT_EQ(Main().SelectedIndex[1], 1) << "the group's row moved up";
        } else {
            EXPECT_EQ(Captions(), (Names{L"A", L"F", L"B"}));
        }
        core::DestroyForms();
    }
}

TEST_F(MenuInputTest, ADropIntoTheOpenGroupTheFileDidNotTakeLeavesTheGroupAndItsRowShown) {
    StartWith({{0, "A"}, {2, "G", "", "", "", {{0, "old"}}}, {0, "B"}});
    Hover(1);
    {
        ShiftHeld shift;
        Main().FormMouseDown(ui::MouseButton::Left, MK_LBUTTON | MK_SHIFT, 10, RowY(1));
    }
    Hover(2);
    ASSERT_TRUE(core::Form2->Visible());
    const std::string before = folder.ReadFile(L"1.xml");  // with the ID the opening saved
    SetCursorPos(core::Form2->Left() + 20, core::Form2->Top() + 20);
    {
        testing_support::FileHeldOpen held(folder.PathOf(L"1.xml"));
        ASSERT_TRUE(held.IsOpen());
        Main().FormMouseUp(ui::MouseButton::Left, 0, 60, RowY(2));
    }
    EXPECT_EQ(folder.ReadFile(L"1.xml"), before);
    EXPECT_EQ(Captions(), (Names{L"A", L"G", L"B"}));
    EXPECT_EQ(Main().SelectedIndex[1], 2) << "the group's row did not move";
    ASSERT_EQ(Main().ItemLists[2].size(), 1u);
    EXPECT_EQ(Main().ItemLists[2][0].Caption, L"old") << "the open group is still G";
}

TEST_F(MenuInputTest, HeaderDragReleasedNearTheFarEdgeSwitchesSidesAndShowsThere) {
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    struct Case {
        std::uint8_t from;
        int releaseX;  // screen
        std::uint8_t to;
    };
    for (const Case c : {Case{0, screenW - 99, 1}, Case{0, screenW - 100, 0}, Case{1, 99, 0}, Case{1, 100, 1}}) {
        StartWith({{2, "G", "", "7", "", {{0, "child", "", "8"}}}, {0, "B"}});
        for (const wchar_t* file : {L"cache\\7.png", L"cache\\s7.png", L"cache\\8.png", L"cache\\s8.png"})
            folder.WriteFile(file, "png");
        Main().Settings.Position = c.from;
        const int left = Main().Left();
        Main().FormMouseDown(ui::MouseButton::Left, MK_LBUTTON, 5, 5);
        EXPECT_TRUE(Main().HeaderDrag);
        Main().FormMouseUp(ui::MouseButton::Left, 0, c.releaseX - Main().Left(), 5);
        EXPECT_FALSE(Main().HeaderDrag);
        EXPECT_EQ(Main().Settings.Position, c.to) << "from " << int(c.from) << " released at " << c.releaseX;
        const bool switched = c.to != c.from;
        const int expectedLeft = !switched ? left
                                 : c.to == 1 ? screenW - Main().Width() + Main().Skin.MainRightSpace
                                             : -Main().Skin.MainLeftSpace;
        EXPECT_EQ(Main().Left(), expectedLeft);
        EXPECT_EQ(folder.Exists(L"cache\\s7.png"), !switched) << "the cached images go with a side switch";
        EXPECT_EQ(folder.Exists(L"cache\\8.png"), !switched);
        core::DestroyForms();
    }
}

TEST_F(MenuInputTest, ASideChosenByAHeaderDragIsStoredAtTheCloseAndOnlyThen) {
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    struct Case {
        const char* name;
        int releaseX;  // screen; -1: no header drag
        const wchar_t* stored;  // Position in config.ini after the close; null: none
    };
    for (const Case& c : {Case{"to the right edge", screenW - 50, L"1"}, Case{"no switch", 300, nullptr},
                          Case{"no header drag", -1, nullptr}}) {
        SCOPED_TRACE(c.name);
        StartWith({{0, "A"}});
        if (c.releaseX >= 0) {
            Main().FormMouseDown(ui::MouseButton::Left, MK_LBUTTON, 5, 5);
            Main().FormMouseUp(ui::MouseButton::Left, 0, c.releaseX - Main().Left(), 5);
        }
        CloseMainWindow();
        const std::wstring text = folder.ReadText(L"config.ini");
        const size_t lock = text.find(L"lock=");
        const size_t position = text.find(L"Position=");
        ASSERT_NE(lock, std::wstring::npos);
        if (c.stored) {
            ASSERT_NE(position, std::wstring::npos);
            EXPECT_EQ(text.substr(position, 10), std::wstring(L"Position=") + c.stored);
            EXPECT_GT(position, lock) << "written after the lock";
        } else {
            EXPECT_EQ(position, std::wstring::npos) << "the stored side stays as it was: none";
        }
        core::DestroyForms();
        ui::Application::Instance().ResetForTests();
        folder.WriteUtf16(L"config.ini", config);
    }
}

TEST_F(MenuInputTest, HeaderDragMovesTheWindowAlongItsEdgeWhileTheButtonIsHeld) {
    StartWith({{0, "A"}});
    const int top = Main().Top();
    const int left = Main().Left();
    Main().FormMouseDown(ui::MouseButton::Left, MK_LBUTTON, 5, 5);
    {
        LeftButtonHeld held;
        Main().FormMouseMove(MK_LBUTTON, 9, 25);
    }
    EXPECT_EQ(Main().Top(), top + 20);
    EXPECT_EQ(Main().Left(), left);
    Main().FormMouseMove(0, 9, 45);  // released meanwhile: no more moving
    EXPECT_EQ(Main().Top(), top + 20);
}

}  // namespace
