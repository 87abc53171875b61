// The sub-menu windows' pointer input on the real windows: the row under the pointer
// of a scrolled listing, the scroll limits, the release's actions, the third level
// and what a drag or a lost capture leaves behind; the last ones with real input.
#include "core/menu_input_fixture.h"

#include "core/hot_zones.h"
#include "core/launch.h"
#include "core/motion.h"
#include "popups/form2.h"
#include "ui/files.h"
#include "ui/mouse_hover.h"
#include "ui/strings.h"

#include <optional>
#include <string>
#include <vector>

namespace {

using menu_input::LeftButtonHeld;
using menu_input::OtherWindow;
using menu_input::Row;
using menu_input::SendMouse;
using menu_input::ShiftHeld;

// Shift really held: a real press reads the keyboard state the system gives it.
class ShiftKeyDown {
public:
    ShiftKeyDown() { Send(0); }
    ~ShiftKeyDown() { Send(KEYEVENTF_KEYUP); }
    ShiftKeyDown(const ShiftKeyDown&) = delete;
    ShiftKeyDown& operator=(const ShiftKeyDown&) = delete;

private:
    static void Send(DWORD flags) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = VK_SHIFT;
        in.ki.dwFlags = flags;
        SendInput(1, &in, sizeof(in));
    }
};

// prefix + i, built without operator+ on a literal, which GCC 12 warns about wrongly.
std::string Numbered(const char* prefix, int i) {
    std::string name(prefix);
    name += std::to_string(i);
    return name;
}

class SubMenuInputTest : public MenuInputTest {
protected:
    void SetUp() override {
        MenuInputTest::SetUp();
        // Forget a press of an earlier test: the housekeeping timer would take it for
        // a press over Form2 and show the panels, which then take the next press.
        GetAsyncKeyState(VK_LBUTTON);
        // HideGroupDelay blocks on every move while Form3 is up; nothing here needs it.
        core::SetMotionClockForTests(nullptr, [](int) {});
        // The listing is written here, in an order of its own: no fill replaces it.
        core::SetKeepListingsForTests(true);
    }

    void TearDown() override {
        if (buttonDown_) SendMouse(MOUSEEVENTF_LEFTUP);
        Pump();
        ReleaseCapture();
        core::SetMotionClockForTests(nullptr, nullptr);
        core::SetShellForTests(std::nullopt);
        core::SetPropertiesDialogForTests(nullptr);
        core::RedrawOnly = false;
        core::SubPanelsShown = false;
        core::LastSubPanel = -1;
        ui::ResetMouseHover();
        MenuInputTest::TearDown();
    }

    popups::TForm2& Form2() { return *core::Form2; }
    popups::TForm3& Form3() { return *core::Form3; }

    // Client y of the middle of visible row `row` (1-based) of a sub-menu window whose
    // rows above are full ones, below the up arrow of a scrolling level.
    int SubRowY(int level, int row) const {
        const core::SkinMetrics& skin = Main().Skin;
        const int band = Main().ScrollMode[level] ? skin.ItemSize : 0;
        return skin.HeaderSize + band + skin.ItemSize * (row - 1) + skin.ItemSize / 2;
    }

    // Messages handled, and the position-based enter and leave the idle loop runs.
    static void Pump() {
        for (int i = 0; i < 5; ++i) {
            ui::Application::Instance().ProcessMessages();
            ui::TrackMouseHover();
            Sleep(5);
        }
    }
    // The real pointer at a screen point, with the move the system reports there.
    static void MovePointer(int x, int y) {
        SetCursorPos(x, y);
        SendMouse(MOUSEEVENTF_MOVE);
        Pump();
    }
    void PointAt(const ui::Form& form, int level, int row) {
        MovePointer(form.Left() + form.Width() / 2, form.Top() + SubRowY(level, row));
    }
    void Button(bool down) {
        SendMouse(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
        buttonDown_ = down;
        Pump();
    }

    static RECT RectOf(const ui::Form& form) {
        return RECT{form.Left(), form.Top(), form.Left() + form.Width(), form.Top() + form.Height()};
    }
    static std::string Describe(const RECT& r) {
        return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
               std::to_string(r.bottom - r.top);
    }

    // The content height of a window of `rows` full rows.
    int HeightOf(int rows) const {
        const core::SkinMetrics& skin = Main().Skin;
        return skin.HeaderSize + rows * skin.ItemSize + skin.BottomMargin;
    }

    // A folder item shown as its contents, its listing written here: entries "e0", "e1", ...
    static Row Listing(std::vector<Row> entries) { return Row(1, "Listing", "C:\\", "", "1", std::move(entries)); }
    static std::vector<Row> Entries(int count) {
        std::vector<Row> rows;
        for (int i = 0; i < count; ++i) rows.emplace_back(55, Numbered("e", i), Numbered("C:\\e", i));
        return rows;
    }

    // Level 2 open for main row `row` the way the pointer opens it.
    void OpenLevel2(int row) {
        Hover(row);
        ASSERT_TRUE(Form2().Visible());
    }
    // The main window shown at the left edge with its top at `top`.
    void PlaceMain(int top) {
        Main().Settings.Position = 0;
        Main().SetBounds(-Main().Skin.MainLeftSpace, top, Main().Width(), Main().Height());
    }
    // Closes the sub-menus by pointing at the main window's header.
    void CloseSubMenus() { Main().FormMouseMove(0, 10, 2); }
    void Scroll(int steps, bool up = false) {
        for (int i = 0; i < steps; ++i) core::ScrollMenu(Form2(), up);
        Main().StopTimer(core::TForm1::kScrolltimer);
    }

private:
    bool buttonDown_ = false;
};

// --- scrolling

TEST_F(SubMenuInputTest, WheelBandsAndAHeldPressStopWithTheLastRowShown) {
    constexpr int kEntries = 12;  // ShowCount 8: the last row shows at ScrollTop 4
    StartWith({Listing(Entries(kEntries))});
    core::TForm1& m = Main();
    struct Case {
        const char* name;
        std::function<void()> down;
        std::function<void()> up;
    };
    auto bottomBand = [&] { return Form2().Height() - m.Skin.BottomMargin - m.Skin.ItemSize / 2; };
    auto topBand = [&] { return m.Skin.HeaderSize + m.Skin.ItemSize / 2; };
    auto press = [&](int y) {
        SendMessageW(Form2().Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, y));
        SendMessageW(Form2().Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, y));
    };
    auto held = [&](int y) {
        press(y);  // the first step starts the repeat on this window
        LeftButtonHeld button;
        SetCursorPos(Form2().Left() + 10, Form2().Top() + y);
        for (int i = 0; i < kEntries; ++i) m.ScrolltimerTimer();
    };
    // The wheel goes to the focus window, which a sub-menu window never is: the main
    // window gets it, with the pointer's place over Form2.
    auto wheel = [&](int delta) {
        const LPARAM at = MAKELPARAM(Form2().Left() + Form2().Width() / 2, Form2().Top() + Form2().Height() / 2);
        for (int i = 0; i < kEntries; ++i) SendMessageW(m.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, delta), at);
    };
    const Case cases[] = {
        {"the wheel", [&] { wheel(-WHEEL_DELTA); }, [&] { wheel(WHEEL_DELTA); }},
        {"a press on a band", [&] { for (int i = 0; i < kEntries; ++i) press(bottomBand()); },
         [&] { for (int i = 0; i < kEntries; ++i) press(topBand()); }},
        {"a held press", [&] { held(bottomBand()); }, [&] { held(topBand()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenLevel2(1);
        ASSERT_EQ(m.ScrollMode[2], 1);
        ASSERT_EQ(m.ScrollTop, 0);
        c.down();
        EXPECT_EQ(m.ScrollTop, kEntries - m.ShowCount);
        const core::TLNItem* last = core::HoveredItem(m.ItemLists[2], m.ShowCount - 1, 1, m.ScrollTop);
        ASSERT_TRUE(last);
        EXPECT_EQ(last->Caption, L"e11") << "the last row shown is the last entry";
        c.up();
        EXPECT_EQ(m.ScrollTop, 0);
        m.StopTimer(core::TForm1::kScrolltimer);
        CloseSubMenus();
    }
}

TEST_F(SubMenuInputTest, RowsOfAScrolledListingCountFromTheFirstRowShownPastASeparator) {
    std::vector<Row> entries = Entries(16);
    entries[6] = Row(777, "");
    StartWith({Listing(entries)});
    core::TForm1& m = Main();
    OpenLevel2(1);
    Scroll(5);
    ASSERT_EQ(m.ScrollTop, 5);
    // Header 16 and the up arrow 36: rows start at 52; the separator is 8 high. The
    // rows shown end at row ShowCount, above the down arrow.
    struct Case {
        int y;
        int selected;
        const wchar_t* entry;  // of the selected row; null for none
    };
    for (const Case c : {Case{52, 1, L"e5"}, Case{87, 1, L"e5"}, Case{88, 2, L""}, Case{95, 2, L""},
                         Case{96, 3, L"e7"}, Case{131, 3, L"e7"}, Case{132, 4, L"e8"}, Case{320, 4, L"e8"},
                         Case{51, -1, nullptr}, Case{311, 8, L"e12"}, Case{Form2().Height() - 12 - 36 + 1, -1, nullptr}}) {
        Form2().FormMouseMove(0, 10, c.y);
        EXPECT_EQ(m.SelectedIndex[2], c.selected) << "y " << c.y;
        const core::TLNItem* item = core::HoveredItem(m.ItemLists[2], m.SelectedIndex[2] - 1, 1, m.ScrollTop);
        if (c.entry) {
            ASSERT_TRUE(item) << "y " << c.y;
            EXPECT_EQ(item->Caption, c.entry) << "y " << c.y;
        } else {
            EXPECT_FALSE(item) << "y " << c.y;
        }
    }
}

TEST_F(SubMenuInputTest, InAScrolledListingRowThreeActsOnEntrySeven) {
    struct Case {
        const char* name;
        bool withTarget;  // entry 7 names a file to reveal, or nothing, for the properties
    };
    for (const Case c : {Case{"reveal", true}, Case{"properties", false}}) {
        SCOPED_TRACE(c.name);
        folder.WriteFile(L"e7.txt", "seven");
        std::vector<Row> entries = Entries(16);
        entries[7] = c.withTarget ? Row(55, "e7", ui::WideToUtf8(folder.PathOf(L"e7.txt"))) : Row(0, "e7");
        StartWith({Listing(entries)});
        core::TForm1& m = Main();
        std::vector<core::ShellCall> calls;
        core::ShellFunctions shell;
        shell.execute = [&](const core::ShellCall& call) { calls.push_back(call); };
        core::SetShellForTests(shell);
        std::vector<int> opened;
        core::SetPropertiesDialogForTests([&](int level) { opened.push_back(level); });

        OpenLevel2(1);
        Scroll(5);
        Form2().FormMouseMove(0, 10, SubRowY(2, 3));
        ASSERT_EQ(m.SelectedIndex[2], 3);
        SendMessageW(Form2().Handle(), WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(10, SubRowY(2, 3)));
        SendMessageW(Form2().Handle(), WM_MBUTTONUP, 0, MAKELPARAM(10, SubRowY(2, 3)));
        if (c.withTarget) {
            ASSERT_EQ(calls.size(), 1u);
            EXPECT_EQ(calls[0].parameters, L"/n,/select,\"" + folder.PathOf(L"e7.txt") + L"\"");
            EXPECT_FALSE(Form2().EditIfNoTarget()) << "an entry with a target is launched, not edited";
        } else {
            EXPECT_TRUE(calls.empty()) << "nothing to reveal";
            EXPECT_TRUE(Form2().EditIfNoTarget());
            EXPECT_EQ(opened, std::vector<int>{2});
        }

        // Shift starts a drag at once, also on a listing, from the entry shown; a plain
        // press on a listing starts no drag timer; a press on the header ends drag mode.
        {
            ShiftHeld shift;
            Form2().FormMouseDown(ui::MouseButton::Left, MK_LBUTTON | MK_SHIFT, 10, SubRowY(2, 3));
        }
        EXPECT_TRUE(m.Dragging);
        EXPECT_EQ(m.DragSourceIndex[2], 7);
        EXPECT_EQ(ui::ScreenCursorName(), core::kDragCursor);
        Form2().FormMouseDown(ui::MouseButton::Left, MK_LBUTTON, 10, 2);
        EXPECT_FALSE(m.Dragging);
        m.EndDrag();
        Form2().FormMouseDown(ui::MouseButton::Left, MK_LBUTTON, 10, SubRowY(2, 3));
        EXPECT_FALSE(m.DragTimer.Enabled()) << "listed entries are not reordered";
        core::DestroyForms();
    }
}

// --- releases

TEST_F(SubMenuInputTest, AReleaseOverARowTheListNoLongerHoldsOnlyEndsThePress) {
    StartWith({Row(2, "G", "", "", "", {Row(0, "a", "C:\\"), Row(0, "b", "C:\\")})});
    core::TForm1& m = Main();
    std::vector<core::ShellCall> calls;
    core::ShellFunctions shell;
    shell.execute = [&](const core::ShellCall& call) { calls.push_back(call); };
    core::SetShellForTests(shell);
    OpenLevel2(1);
    core::SavedScreenCursor = nullptr;
    for (int stale : {3, 0, -1}) {
        SCOPED_TRACE(stale);
        m.SelectedIndex[2] = stale;
        m.Dragging = true;
        ui::SetScreenCursor(core::kDragCursor);
        Form2().ShowPanels(true);
        SendMessageW(Form2().Handle(), WM_MBUTTONUP, 0, MAKELPARAM(10, SubRowY(2, 1)));
        EXPECT_TRUE(calls.empty());
        EXPECT_FALSE(m.Dragging);
        EXPECT_EQ(ui::ScreenCursorName(), nullptr);
        EXPECT_FALSE(core::SubPanelsShown);
    }
    m.SelectedIndex[2] = 1;
    SendMessageW(Form2().Handle(), WM_MBUTTONUP, 0, MAKELPARAM(10, SubRowY(2, 1)));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].file, L"C:\\");
}

TEST_F(SubMenuInputTest, HidingForm2HidesItsPanels) {
    StartWith({Row(2, "G", "", "", "", {Row(0, "a"), Row(2, "H", "", "", "", {Row(0, "h")})})});
    OpenLevel2(1);
    ASSERT_EQ(core::SubPanels.size(), 1u);
    Form2().ShowPanels(true);
    EXPECT_TRUE(core::SubPanels[0]->Visible());
    core::LastSubPanel = 0;
    Form2().Hide();
    EXPECT_FALSE(core::SubPanelsShown);
    EXPECT_EQ(core::LastSubPanel, -1);
    EXPECT_FALSE(GetWindowLongPtrW(core::SubPanels[0]->Handle(), GWL_STYLE) & WS_VISIBLE);
}

// --- real input

// Main rows: a file, and a group of a file, a group of ten, two more files.
std::vector<Row> NestedMenu() {
    std::vector<Row> deep;
    for (int i = 0; i < 10; ++i) deep.emplace_back(0, Numbered("h", i));
    return {Row(0, "A"), Row(2, "G", "", "", "", {Row(0, "g1"), Row(2, "H", "", "", "", deep), Row(0, "g3"), Row(0, "g4")})};
}

TEST_F(SubMenuInputTest, PointingAtGroupRowsOpensEachLevelBesideItsRow) {
    StartWith(NestedMenu());
    core::TForm1& m = Main();
    const core::SkinMetrics& skin = m.Skin;
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        const char* name;
        int position;
        int mainTop;
    };
    for (const Case c : {Case{"left edge", 0, 200}, Case{"right edge", 1, 200}, Case{"near the bottom", 0, screenH - 260}}) {
        SCOPED_TRACE(c.name);
        m.Settings.Position = static_cast<std::uint8_t>(c.position);
        m.SetBounds(c.position == 1 ? screenW - m.Width() + skin.MainRightSpace : -skin.MainLeftSpace, c.mainTop,
                    m.Width(), m.Height());
        MovePointer(m.Left() + m.Width() / 2, m.Top() + RowY(2));
        ASSERT_EQ(m.SelectedIndex[1], 2);
        ASSERT_TRUE(Form2().Visible());
        const int form2Left = c.position == 1 ? screenW - m.Width() - Form2().Width() + skin.LeftSpace + skin.MainRightSpace
                                              : m.Left() + m.Width() - skin.LeftSpace;
        int form2Top = m.Top() + skin.TopSpace - skin.HeaderSize + skin.HeaderSize + skin.ItemSize;
        form2Top = std::min(form2Top, screenH - HeightOf(4));
        EXPECT_EQ(Describe(RectOf(Form2())),
                  Describe(RECT{form2Left, form2Top, form2Left + skin.SkinWidth, form2Top + HeightOf(4)}));

        PointAt(Form2(), 2, 2);
        ASSERT_EQ(m.SelectedIndex[2], 2);
        ASSERT_TRUE(Form3().Visible());
        EXPECT_TRUE(GetWindowLongPtrW(Form3().Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
        const int form3Left = c.position == 1 ? screenW - m.Width() - Form2().Width() - Form3().Width() +
                                                    2 * skin.LeftSpace + skin.MainRightSpace
                                              : Form2().Left() + Form2().Width() - skin.LeftSpace;
        int form3Top = Form2().Top() + skin.HeaderSize + skin.ItemSize + skin.TopSpace - skin.HeaderSize;
        form3Top = std::min(form3Top, screenH - HeightOf(10));
        EXPECT_EQ(Describe(RectOf(Form3())),
                  Describe(RECT{form3Left, form3Top, form3Left + skin.SkinWidth, form3Top + HeightOf(10)}));
        if (c.mainTop > 400) {
            EXPECT_EQ(Form3().Top() + Form3().Height(), screenH) << "clamped at the bottom";
        }

        PointAt(Form2(), 2, 3);
        EXPECT_EQ(m.SelectedIndex[2], 3);
        EXPECT_FALSE(Form3().Visible()) << "a plain row closes the third level";
        MovePointer(1100, 950);
        CloseSubMenus();
    }
}

TEST_F(SubMenuInputTest, AMainWindowDragOverForm2ShowsItsPanelsAndEnteringOneOpensForm3) {
    StartWith(NestedMenu());
    core::TForm1& m = Main();
    PlaceMain(200);
    MovePointer(m.Left() + m.Width() / 2, m.Top() + RowY(2));
    ASSERT_TRUE(Form2().Visible());
    Button(true);
    ASSERT_EQ(GetCapture(), m.Handle());
    PointAt(Form2(), 2, 1);
    EXPECT_TRUE(core::SubPanelsShown) << "entered with the button down";
    EXPECT_FALSE(Form3().Visible());
    PointAt(Form2(), 2, 2);
    ASSERT_TRUE(Form3().Visible()) << "the group row's panel opens the third level";
    EXPECT_EQ(m.SelectedIndex[2], 2);
    EXPECT_EQ(Form3().Top(), Form2().Top() + m.Skin.ItemSize + m.Skin.TopSpace);
    EXPECT_EQ(Form3().Left(), Form2().Left() + Form2().Width() - m.Skin.LeftSpace);
    EXPECT_EQ(m.ItemLists[3].size(), 10u);
    EXPECT_EQ(m.ScrollMode[3], 0);
}

TEST_F(SubMenuInputTest, ACapturedDragDownOverForm3KeepsForm2sSelection) {
    StartWith(NestedMenu());
    core::TForm1& m = Main();
    PlaceMain(200);
    MovePointer(m.Left() + m.Width() / 2, m.Top() + RowY(2));
    PointAt(Form2(), 2, 2);
    ASSERT_TRUE(Form3().Visible());
    const RECT form3 = RectOf(Form3());
    Button(true);
    ASSERT_EQ(GetCapture(), Form2().Handle());
    for (int row = 1; row <= 4; ++row) {
        // Beside Form2, at the height of its lower rows.
        PointAt(Form3(), 3, row);
        EXPECT_EQ(m.SelectedIndex[2], 2) << "row " << row;
        EXPECT_TRUE(Form3().Visible());
        EXPECT_EQ(Describe(RectOf(Form3())), Describe(form3));
    }
    Button(false);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(Form3().Visible());
}

TEST_F(SubMenuInputTest, TakingTheCaptureMidDragEndsTheDragWhileAPlainReleaseEndsItNormally) {
    StartWith(NestedMenu());
    core::TForm1& m = Main();
    OtherWindow other;
    PlaceMain(200);
    MovePointer(m.Left() + m.Width() / 2, m.Top() + RowY(2));
    PointAt(Form2(), 2, 2);
    ASSERT_TRUE(Form3().Visible());
    // The housekeeping timer's part is played below; running as well, it would show
    // the panels for a press it saw late, and the panel under the pointer would open
    // level 3 again whenever a release takes a while (a reorder saves the menu).
    m.StopTimer(core::TForm1::kTimer1);
    for (ui::Form* form : {static_cast<ui::Form*>(&Form2()), static_cast<ui::Form*>(&Form3())}) {
        const int level = form->Tag;
        const int row = level == 2 ? 2 : 1;  // on level 2 the group row, so Form3 stays
        SCOPED_TRACE(level);
        PointAt(*form, level, row);
        ASSERT_EQ(m.SelectedIndex[level], row);
        for (bool taken : {true, false}) {
            SCOPED_TRACE(taken ? "capture taken" : "plain release");
            // Level 2's panels would lie under the pointer and take the press.
            if (level == 3) Form2().ShowPanels(true);
            {
                ShiftKeyDown shift;
                Pump();  // the key reaches this thread's keyboard state before the press
                Button(true);
            }
            ASSERT_TRUE(m.Dragging);
            ASSERT_EQ(GetCapture(), form->Handle());
            EXPECT_NE(GetActiveWindow(), form->Handle()) << "a press activates no sub-menu window";
            EXPECT_EQ(m.DragSourceIndex[level], row - 1);
            // The housekeeping timer shows level 2's panels for a press over it.
            if (level == 2) Form2().ShowPanels(true);
            if (taken) {
                SetCapture(other.Handle());
                EXPECT_FALSE(m.Dragging);
                EXPECT_EQ(ui::ScreenCursorName(), nullptr);
                EXPECT_FALSE(core::SubPanelsShown) << "a lost capture ends the drag on every level";
                ReleaseCapture();
                Button(false);
            } else {
                Button(false);
                EXPECT_FALSE(m.Dragging);
                EXPECT_EQ(ui::ScreenCursorName(), nullptr);
                // Level 3's own release only leaves drag mode: had the release's own
                // capture change counted as a loss, the panels would be hidden too.
                EXPECT_EQ(core::SubPanelsShown, level == 3);
            }
            if (!taken && level == 2) {
                // The release dropped the group row onto itself: a reorder that keeps
                // the order, redraws the level and closes level 3. Opened again here.
                EXPECT_FALSE(Form3().Visible());
                PointAt(Form2(), 2, 1);
                PointAt(Form2(), 2, 2);
            }
            EXPECT_TRUE(Form3().Visible());
        }
    }
}

}  // namespace
