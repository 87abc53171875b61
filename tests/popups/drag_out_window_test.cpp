// The drag of a listed file out of a sub-menu window with real input: a window of the
// test's own, registered as an OLE drop target, stands for the other program.
// DoDragDrop blocks this thread (the windows' thread) until the drop, so the pointer
// and the keys are played from a second thread.
#include "core/menu_input_fixture.h"

#include "support/drop_target.h"

#include "core/launch.h"
#include "core/motion.h"
#include "popups/form2.h"
#include "ui/mouse_hover.h"
#include "ui/strings.h"

#include <atomic>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace {

using menu_input::Row;
using menu_input::SendMouse;

void SendKey(WORD key, DWORD flags) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    in.ki.dwFlags = flags;
    SendInput(1, &in, sizeof(in));
}

// The pointer moved in `steps` reported moves from `from` to `to`, as a hand does.
void Glide(POINT from, POINT to, int steps) {
    for (int i = 1; i <= steps; ++i) {
        SetCursorPos(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
        SendMouse(MOUSEEVENTF_MOVE);
        Sleep(50);
    }
}

struct DragCase {
    const char* name;
    int scrollTop;       // rows the listing is scrolled down before the press
    int row;             // the visible row pressed on
    int entry;           // the listing's entry shown there
    bool viaNextRow;     // the pointer crosses the row below before it leaves
    bool escape;         // Escape before the release
    bool vanished;       // the entry's file is gone by the time of the drag
};

void PrintTo(const DragCase& c, std::ostream* os) { *os << c.name; }

class DragOutWindowTest : public MenuInputTest, public testing::WithParamInterface<DragCase> {
protected:
    void SetUp() override {
        MenuInputTest::SetUp();
        GetAsyncKeyState(VK_LBUTTON);  // forget a press of an earlier test
        core::SetMotionClockForTests(nullptr, [](int) {});
        // The entries are listed here in the order of their names, which the file
        // system need not keep; and a drag out changes nothing, not even the listing.
        core::SetKeepListingsForTests(true);
        core::ShellFunctions shell;
        shell.execute = [this](const core::ShellCall& call) { launches.push_back(call.file); };
        core::SetShellForTests(shell);
        // A class of its own: a STATIC control answers HTTRANSPARENT, and the drag
        // loop's hit test would look through it.
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kTargetClass;
        RegisterClassW(&wc);
        target_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, kTargetClass, L"drop target", WS_POPUP, kTarget.left,
                                  kTarget.top, kTarget.right - kTarget.left, kTarget.bottom - kTarget.top, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(target_, nullptr);
        ShowWindow(target_, SW_SHOWNOACTIVATE);
        ASSERT_EQ(RegisterDragDrop(target_, &dropTarget), S_OK);
    }

    void TearDown() override {
        if (input_.joinable()) input_.join();
        SendMouse(MOUSEEVENTF_LEFTUP);
        Pump();
        ReleaseCapture();
        if (target_) {
            RevokeDragDrop(target_);
            DestroyWindow(target_);
        }
        core::SetMotionClockForTests(nullptr, nullptr);
        core::SetShellForTests(std::nullopt);
        ui::ResetMouseHover();
        MenuInputTest::TearDown();
    }

    static void Pump() {
        for (int i = 0; i < 5; ++i) {
            ui::Application::Instance().ProcessMessages();
            ui::TrackMouseHover();
            Sleep(5);
        }
    }
    static void MovePointer(POINT p) {
        SetCursorPos(p.x, p.y);
        SendMouse(MOUSEEVENTF_MOVE);
        Pump();
    }
    // The screen point of the middle of visible row `row` of Form2, a listing that
    // scrolls below its up-arrow band.
    POINT Form2Row(int row) const {
        const popups::TForm2& form = *core::Form2;
        const core::SkinMetrics& skin = Main().Skin;
        const int band = Main().ScrollMode[2] ? skin.ItemSize : 0;
        return POINT{form.Left() + form.Width() / 2,
                     form.Top() + skin.HeaderSize + band + skin.ItemSize * (row - 1) + skin.ItemSize / 2};
    }

    // The drag of the case from the press to the end of the drag loop: the windows'
    // thread keeps handling messages (and runs the drag loop when it starts) while
    // the second thread plays the input.
    void Drag(const DragCase& c, POINT pressed) {
        std::atomic<bool> played{false};
        input_ = std::thread([&] {
            POINT at = pressed;
            if (c.viaNextRow) {
                const POINT next{pressed.x, pressed.y + Main().Skin.ItemSize};
                Glide(at, next, 3);
                at = next;
            }
            const POINT drop{(kTarget.left + kTarget.right) / 2, (kTarget.top + kTarget.bottom) / 2};
            Glide(at, drop, 20);
            if (c.escape) {
                SendKey(VK_ESCAPE, 0);
                Sleep(100);
                SendKey(VK_ESCAPE, KEYEVENTF_KEYUP);
                Sleep(100);
            }
            SendMouse(MOUSEEVENTF_LEFTUP);
            Sleep(100);
            played = true;
        });
        while (!played) Pump();
        input_.join();
        Pump();
    }

    static constexpr RECT kTarget{700, 300, 940, 540};
    static constexpr const wchar_t* kTargetClass = L"ZarvoTestDropTarget";
    drop_target::RecordingDropTarget dropTarget;
    std::vector<std::wstring> launches;

private:
    HWND target_ = nullptr;
    std::thread input_;
};

std::string Numbered(const char* prefix, int i) {
    std::string name(prefix);
    name += std::to_string(i);
    return name;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

TEST_P(DragOutWindowTest, TheEntryPressedOnArrivesAtTheOtherProgramAsALinkAndChangesNothing) {
    const DragCase& c = GetParam();
    // Fourteen files: a listing of more than ShowCount + 1 scrolls, here by up to six rows.
    std::vector<Row> entries;
    for (int i = 0; i < 14; ++i) {
        const std::wstring name = ui::Utf8ToWide(Numbered("e", i)) + L".txt";
        folder.WriteFile(L"listed\\" + name, "entry");
        entries.emplace_back(55, Numbered("e", i), ui::WideToUtf8(folder.PathOf(L"listed\\" + name)));
    }
    StartWith({Row(1, "Listing", ui::WideToUtf8(folder.PathOf(L"listed")), "", "1", entries)});
    const std::string menu = folder.ReadFile(L"1.xml");
    core::TForm1& m = Main();
    m.Settings.Position = 0;
    m.SetBounds(-m.Skin.MainLeftSpace, 200, m.Width(), m.Height());
    MovePointer(POINT{m.Left() + m.Width() / 2, m.Top() + RowY(1)});
    ASSERT_TRUE(core::Form2->Visible());
    ASSERT_EQ(m.ScrollMode[2], 1);
    for (int i = 0; i < c.scrollTop; ++i) core::ScrollMenu(*core::Form2, false);
    m.StopTimer(core::TForm1::kScrolltimer);
    ASSERT_EQ(m.ScrollTop, c.scrollTop);
    const std::wstring path = folder.PathOf(L"listed\\e" + std::to_wstring(c.entry) + L".txt");
    if (c.vanished) folder.Remove(L"listed\\e" + std::to_wstring(c.entry) + L".txt");

    const POINT pressed = Form2Row(c.row);
    MovePointer(pressed);
    ASSERT_EQ(m.SelectedIndex[2], c.row);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Pump();
    ASSERT_EQ(GetCapture(), core::Form2->Handle());
    Drag(c, pressed);

    if (c.vanished) {
        EXPECT_EQ(dropTarget.enters, 0) << "no drag for an entry the shell no longer finds";
        EXPECT_TRUE(boxes.empty()) << "nothing reaches the error handler";
    } else {
        EXPECT_EQ(dropTarget.enters, 1);
        EXPECT_EQ(dropTarget.enterOffered, static_cast<DWORD>(DROPEFFECT_LINK)) << "a link is all that is offered";
        ASSERT_EQ(dropTarget.enterPaths.size(), 1u);
        EXPECT_TRUE(SamePath(dropTarget.enterPaths[0], path)) << ui::WideToUtf8(dropTarget.enterPaths[0]);
    }
    if (c.escape) {
        EXPECT_EQ(dropTarget.leaves, 1);
        EXPECT_EQ(dropTarget.drops, 0);
    } else if (!c.vanished) {
        EXPECT_EQ(dropTarget.drops, 1);
        EXPECT_EQ(dropTarget.dropOffered, static_cast<DWORD>(DROPEFFECT_LINK));
        ASSERT_EQ(dropTarget.dropPaths.size(), 1u);
        EXPECT_TRUE(SamePath(dropTarget.dropPaths[0], path)) << ui::WideToUtf8(dropTarget.dropPaths[0]);
    }
    // The drag ended the press: no capture left, no drag mode, nothing launched.
    EXPECT_NE(GetCapture(), core::Form2->Handle());
    EXPECT_FALSE(m.Dragging);
    EXPECT_TRUE(launches.empty()) << ui::WideToUtf8(launches.empty() ? L"" : launches[0]);
    EXPECT_EQ(folder.ReadFile(L"1.xml"), menu);
    EXPECT_EQ(folder.Exists(L"listed\\e" + std::to_wstring(c.entry) + L".txt"), !c.vanished)
        << "a link leaves the file where it is";
}

INSTANTIATE_TEST_SUITE_P(
    Routes, DragOutWindowTest,
    testing::Values(DragCase{"StraightOutSideways", 0, 2, 1, false, false, false},
                    DragCase{"OverTheNextRowFirst", 0, 2, 1, true, false, false},
                    DragCase{"FromAScrolledListing", 5, 3, 7, true, false, false},
                    DragCase{"EscapeBeforeTheRelease", 0, 2, 1, false, true, false},
                    DragCase{"AVanishedEntry", 0, 2, 1, false, false, true}),
    [](const testing::TestParamInfo<DragCase>& param) { return std::string(param.param.name); });

}  // namespace
