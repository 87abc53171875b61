// The real Zarvo.exe, driven by the real pointer: pointing at a group row opens its
// sub-menu beside the launcher, a group row in there opens the third level beside it,
// and a plain row closes that again.
#include "e2e_helpers.h"
#include "support/process.h"
#include "support/program_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using e2e::kHeader;
using e2e::kRow;
using e2e::kTop;
using e2e::RectOf;

// Level 1: a group and a plain row. The group holds a plain row and a group of one.
constexpr char kMenu[] =
    "<?xml version=\"1.0\"?>\r\n<Items>"
    "<item><Type>2</Type><Caption>Group</Caption><subitem>"
    "<item><Run>a.exe</Run><Type>0</Type><Caption>A</Caption><subitem/></item>"
    "<item><Type>2</Type><Caption>Inner</Caption><subitem>"
    "<item><Run>x.exe</Run><Type>0</Type><Caption>X</Caption><subitem/></item>"
    "</subitem></item>"
    "</subitem></item>"
    "<item><Run>b.exe</Run><Type>0</Type><Caption>B</Caption><subitem/></item></Items>\r\n";

constexpr int kOverlap = 4;  // LeftSpace: each level overlaps the one it opened from
constexpr int kTopSpace = 2;

// Polls until `done` holds of the window's rectangle and visibility, or 10 s passed.
template <class Done>
bool WaitFor(HWND window, Done done) {
    for (int waited = 0; waited < 10000; waited += 50) {
        RECT r{};
        GetWindowRect(window, &r);
        if (done(r, IsWindowVisible(window) != FALSE)) return true;
        Sleep(50);
    }
    return false;
}

class SubMenuE2E : public e2e::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        e2e::WriteRowSkin(folder, L"SubMenuTest", L"", "LeftSpace=4\r\nTopSpace=2\r\n");
        folder.WriteFile(L"1.xml", kMenu);
    }
};

TEST_F(SubMenuE2E, GroupRowsOpenTheirLevelsBesideTheirRowsAndAPlainRowClosesTheThird) {
    zarvo.Start(folder);
    HWND main = zarvo.WaitForWindow(L"TForm1");
    HWND form2 = zarvo.WaitForWindow(L"TForm2");
    HWND form3 = zarvo.WaitForWindow(L"TForm3");
    ASSERT_TRUE(main && form2 && form3);
    ASSERT_TRUE(WaitFor(main, [](const RECT& r, bool visible) { return visible && r.left == 0 && r.top == kTop; }))
        << "the menu shows at the left edge";
    const RECT m = RectOf(main);

    // The group row of the main window.
    SetCursorPos(m.left + (m.right - m.left) / 2, kTop + kHeader + kRow / 2);
    ASSERT_TRUE(WaitFor(form2, [](const RECT&, bool visible) { return visible; })) << "the sub-menu opens";
    const RECT s = RectOf(form2);
    EXPECT_EQ(s.left, m.right - kOverlap);
    EXPECT_EQ(s.top, kTop + kTopSpace) << "beside its row: the row's top less the header, plus TopSpace";

    // Its second row is a group: the third level opens beside that row.
    SetCursorPos(s.left + (s.right - s.left) / 2, s.top + kHeader + kRow + kRow / 2);
    ASSERT_TRUE(WaitFor(form3, [](const RECT&, bool visible) { return visible; })) << "the third level opens";
    const RECT t = RectOf(form3);
    EXPECT_EQ(t.left, s.right - kOverlap);
    EXPECT_EQ(t.top, s.top + kRow + kTopSpace);
    EXPECT_EQ((s.bottom - s.top) - (t.bottom - t.top), kRow) << "two rows against one, on the same bands";
    EXPECT_TRUE(IsWindowVisible(form2)) << "the second level stays open beside it";

    // Its first row is a plain one: the third level closes, the second stays.
    SetCursorPos(s.left + (s.right - s.left) / 2, s.top + kHeader + kRow / 2);
    EXPECT_TRUE(WaitFor(form3, [](const RECT&, bool visible) { return !visible; })) << "a plain row closes it";
    EXPECT_TRUE(IsWindowVisible(form2));
}

}  // namespace
