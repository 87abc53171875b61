// The real Zarvo.exe, driven by the real pointer: a sub-menu row held until the drag
// starts and dropped on the main window becomes a main-menu item, and a third-level
// row dropped on the second level follows its group's row there.
#include "e2e_helpers.h"
#include "support/process.h"
#include "support/program_folder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using e2e::kHeader;
using e2e::kRow;
using e2e::kTop;
using e2e::RectOf;
using e2e::SendMouse;
using e2e::WaitUntil;

// Level 1: Group and B. Group holds A, the group Inner (X, Y) and C.
constexpr char kMenu[] =
    "<?xml version=\"1.0\"?>\r\n<Items>"
    "<item><Type>2</Type><Caption>Group</Caption><subitem>"
    "<item><Run>a.exe</Run><Type>0</Type><Caption>A</Caption><subitem/></item>"
    "<item><Type>2</Type><Caption>Inner</Caption><subitem>"
    "<item><Run>x.exe</Run><Type>0</Type><Caption>X</Caption><subitem/></item>"
    "<item><Run>y.exe</Run><Type>0</Type><Caption>Y</Caption><subitem/></item>"
    "</subitem></item>"
    "<item><Run>c.exe</Run><Type>0</Type><Caption>C</Caption><subitem/></item>"
    "</subitem></item>"
    "<item><Run>b.exe</Run><Type>0</Type><Caption>B</Caption><subitem/></item></Items>\r\n";


int RowY(const RECT& window, int row) { return window.top + kHeader + kRow * (row - 1) + kRow / 2; }
int MiddleX(const RECT& window) { return window.left + (window.right - window.left) / 2; }

void MoveTo(int x, int y) {
    SetCursorPos(x, y);
    SendMouse(MOUSEEVENTF_MOVE);
    Sleep(150);
}

// The texts of the Caption elements, in document order.
std::vector<std::string> Captions(const std::string& xml) { return e2e::Values(xml, "Caption"); }

class SubMenuDragE2E : public e2e::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        e2e::WriteRowSkin(folder, L"SubMenuTest", L"HideWarnings=1\r\n", "LeftSpace=4\r\nTopSpace=2\r\n");
        folder.WriteFile(L"1.xml", kMenu);
    }
    void TearDown() override {
        if (buttonDown) SendMouse(MOUSEEVENTF_LEFTUP);
        ProgramTest::TearDown();
    }
    // Presses on the point, holds past the drag delay, moves to the target and releases.
    void DragHeld(POINT from, POINT to) {
        MoveTo(from.x, from.y);
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        buttonDown = true;
        Sleep(700);  // the drag starts 400 ms after the press
        MoveTo(to.x, to.y);
        SendMouse(MOUSEEVENTF_LEFTUP);
        buttonDown = false;
    }
    bool MenuBecomes(const std::vector<std::string>& captions) {
        return WaitUntil([&] { return Captions(folder.ReadFile(L"1.xml")) == captions; });
    }

    bool buttonDown = false;
};

TEST_F(SubMenuDragE2E, HeldSubMenuRowsMoveToTheMainWindowAndFromTheThirdLevelToTheSecond) {
    zarvo.Start(folder);
    HWND main = zarvo.WaitForWindow(L"TForm1");
    HWND form2 = zarvo.WaitForWindow(L"TForm2");
    HWND form3 = zarvo.WaitForWindow(L"TForm3");
    ASSERT_TRUE(main && form2 && form3);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) && RectOf(main).top == kTop; })) << "the menu shows";
    const RECT m = RectOf(main);

    // Group's row opens level 2; its first row, A, is held and dropped on the main window.
    MoveTo(MiddleX(m), RowY(m, 1));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(form2) != FALSE; })) << "level 2 opens";
    const RECT s = RectOf(form2);
    DragHeld({MiddleX(s), RowY(s, 1)}, {MiddleX(m), RowY(m, 2)});
    EXPECT_TRUE(MenuBecomes({"Group", "Inner", "X", "Y", "C", "A", "B"}))
        << "A follows Group's row: " << folder.ReadFile(L"1.xml");

    // Level 2 now shows Inner and C. Inner opens level 3; its X is dropped on C's row.
    MoveTo(MiddleX(m), RowY(m, 3));
    MoveTo(MiddleX(m), RowY(m, 1));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(form2) != FALSE; }));
    const RECT s2 = RectOf(form2);
    MoveTo(MiddleX(s2), RowY(s2, 1));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(form3) != FALSE; })) << "level 3 opens";
    const RECT t = RectOf(form3);
    DragHeld({MiddleX(t), RowY(t, 1)}, {s2.left + 10, RowY(s2, 2)});
    EXPECT_TRUE(MenuBecomes({"Group", "Inner", "Y", "X", "C", "A", "B"}))
        << "X follows Inner's row: " << folder.ReadFile(L"1.xml");
}

}  // namespace
