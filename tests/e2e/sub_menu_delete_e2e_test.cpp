// The real Zarvo.exe deletes a row of its sub-menu window through the row's context
// menu: real pointer, keys posted to the menu, the menu file checked.
#include "e2e_helpers.h"
#include "support/process.h"
#include "support/program_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using e2e::kHeader;
using e2e::kRow;
using e2e::kTop;
using e2e::Values;
using e2e::WaitUntil;

constexpr char kMenu[] =
    "<?xml version=\"1.0\"?>\r\n<Items>"
    "<item><Type>2</Type><Caption>Group</Caption><subitem>"
    "<item><Run>a.exe</Run><Type>0</Type><Caption>A</Caption><subitem/></item>"
    "<item><Run>b.exe</Run><Type>0</Type><Caption>B</Caption><subitem/></item>"
    "<item><Run>c.exe</Run><Type>0</Type><Caption>C</Caption><subitem/></item>"
    "</subitem></item>"
    "<item><Run>z.exe</Run><Type>0</Type><Caption>Z</Caption><subitem/></item></Items>\r\n";

// The Delete entry as the arrow keys reach it in a row's menu (the first Down selects
// the first entry; separators are skipped).
constexpr int kDelete = 9;

HWND ShownMenuOf(DWORD pid) {
    for (HWND window : testing_support::TopLevelWindowsOf(pid))
        if (testing_support::ClassOf(window) == L"#32768" && IsWindowVisible(window)) return window;
    return nullptr;
}

class SubMenuDeleteE2E : public e2e::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        e2e::WriteRowSkin(folder, L"DeleteTest", L"HideWarnings=1\r\n");
        folder.WriteFile(L"1.xml", kMenu);
    }
};

TEST_F(SubMenuDeleteE2E, DeleteFromASubMenuRowsContextMenuRemovesTheRow) {
    zarvo.Start(folder);
    HWND main = zarvo.WaitForWindow(L"TForm1");
    HWND form2 = zarvo.WaitForWindow(L"TForm2");
    ASSERT_TRUE(main && form2);
    ASSERT_TRUE(WaitUntil([&] {
        RECT r{};
        GetWindowRect(main, &r);
        return IsWindowVisible(main) && r.left == 0 && r.top == kTop;
    })) << "the menu shows at the left edge";
    RECT m{};
    GetWindowRect(main, &m);
    SetCursorPos(m.left + (m.right - m.left) / 2, kTop + kHeader + kRow / 2);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(form2) != FALSE; })) << "the sub-menu opens";
    RECT s{};
    GetWindowRect(form2, &s);

    // Row B of the sub-menu, selected by the hover, then its menu.
    SetCursorPos(s.left + (s.right - s.left) / 2, s.top + kHeader + kRow + kRow / 2);
    Sleep(300);
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, in, sizeof(INPUT));
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = ShownMenuOf(zarvo.Pid())) != nullptr; })) << "no context menu";
    for (int i = 0; i < kDelete; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);

    const std::vector<std::string> expected = {"Group", "A", "C", "Z"};
    std::vector<std::string> captions;
    WaitUntil([&] { return (captions = Values(folder.ReadFile(L"1.xml"), "Caption")) == expected; });
    EXPECT_EQ(captions, expected);
    EXPECT_FALSE(zarvo.WaitForDialog(500)) << "HideWarnings asks nothing";
    EXPECT_TRUE(WaitUntil([&] {
        RECT now{};
        GetWindowRect(form2, &now);
        return (s.bottom - s.top) - (now.bottom - now.top) == kRow;
    })) << "the sub-menu was rebuilt one row shorter";
}

}  // namespace
