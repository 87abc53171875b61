// The real Zarvo.exe with the shipped icons-only skin: the pointer over a row shows
// that row's caption in the hint window beside the menu, and the next row moves it.
#include "e2e_helpers.h"
#include "support/text_extent.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using e2e::RectOf;

// SlateIcons: 56 wide, a 14-pixel header, 40-pixel rows, ShadowSize 1.5.
constexpr int kSkinWidth = 56;
constexpr int kHeader = 14;
constexpr int kRow = 40;
constexpr int kShadow = 2;
constexpr int kTop = 300;

constexpr char kMenu[] =
    "<?xml version=\"1.0\"?>\r\n<Items>"
    "<item><Run>a.exe</Run><Type>0</Type><Caption>Short</Caption><subitem/></item>"
    "<item><Run>b.exe</Run><Type>0</Type><Caption>A much longer caption</Caption><subitem/></item>"
    "</Items>\r\n";

// The extent of `text` in the hint font of the test's settings, bold Tahoma 14 pt.
SIZE HintExtent(const std::wstring& text) { return testing_support::BoldTahomaExtent(text, 14); }

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

class HintE2E : public e2e::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        folder.WriteUtf16(L"config.ini", L"[General]\r\nHideSplashScreen=1\r\nLastSkin=SlateIcons\r\nPosition=0\r\n"
                                         L"Y=300\r\nDisableTab=0\r\nHintFontName=Tahoma\r\nHintFontSize=14\r\n");
        folder.WriteFile(L"1.xml", kMenu);
    }

    // The hint of `caption` with its top at `top`, as Describe gives it.
    static std::string Expected(int left, int top, const std::wstring& caption) {
        const SIZE extent = HintExtent(caption);
        return Describe(RECT{left, top, left + extent.cx, top + extent.cy + kShadow});
    }
};

TEST_F(HintE2E, ThePointerOverARowShowsItsCaptionBesideTheIconOnlyMenu) {
    zarvo.Start(folder);
    HWND main = zarvo.WaitForWindow(L"TForm1");
    HWND hint = zarvo.WaitForWindow(L"TZVHint");
    ASSERT_TRUE(main && hint);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(main) && RectOf(main).left == 0; }));
    const RECT m = RectOf(main);
    ASSERT_EQ(m.top, kTop);
    ASSERT_EQ(m.right - m.left, kSkinWidth) << "the icons-only skin is one icon wide";
    EXPECT_FALSE(IsWindowVisible(hint));

    struct Step {
        int row;
        const wchar_t* caption;
    };
    for (const Step s : {Step{0, L"Short"}, Step{1, L"A much longer caption"}}) {
        const int rowTop = kTop + kHeader + s.row * kRow;
        SetCursorPos(kSkinWidth / 2, rowTop + kRow / 2);
        const std::string expected = Expected(kSkinWidth, rowTop + kRow / 2 - 8, s.caption);
        EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(hint) && Describe(RectOf(hint)) == expected; }))
            << "row " << s.row << ": " << Describe(RectOf(hint)) << ", expected " << expected;
    }
}

}  // namespace
