// The real Zarvo.exe's properties dialog: opened from a row's context menu with real
// input, its controls set by messages from this process, the menu file checked.
#include "e2e_helpers.h"
#include "dialogs/form4.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using e2e::Values;
using e2e::WaitUntil;

constexpr char kMenu[] =
    "<?xml version=\"1.0\"?>\r\n<Items><item><Run>a.exe</Run><Type>0</Type><Caption>A</Caption></item>"
    "<item><Run>b.exe</Run><Type>0</Type><Caption>B</Caption></item></Items>\r\n";

// The built-in skin (an empty skin.ini): a 16 pixel header and 36 pixel rows.
int RowY(int row) { return e2e::kTop + 16 + 36 * (row - 1) + 18; }

// Entries of a row's menu as the arrow keys reach them (separators are skipped, a
// disabled entry is not; the first Down selects the first entry).
constexpr int kNewItem = 3;
constexpr int kProperties = 10;

class PropertiesE2E : public e2e::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        folder.WriteUtf16(L"config.ini", L"[General]\r\nHideSplashScreen=1\r\nLastSkin=EditTest\r\nPosition=0\r\n"
                                         L"Y=300\r\nSlideInSpeed=1\r\nSlideOutSpeed=1\r\n");
        folder.WriteFile(L"Themes\\EditTest\\skin.ini", "[Skin]\r\n");
        folder.WriteFile(L"1.xml", kMenu);
        zarvo.Start(folder);
        ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
        ASSERT_TRUE(zarvo.WaitForWindow(L"TForm1"));
    }

    HWND ShownMenu() {
        for (HWND window : zarvo.TopLevelWindows())
            if (zarvo.ClassOf(window) == L"#32768" && IsWindowVisible(window)) return window;
        return nullptr;
    }
    HWND ShownDialog() {
        for (HWND window : zarvo.TopLevelWindows())
            if (zarvo.ClassOf(window) == L"TForm4" && IsWindowVisible(window)) return window;
        return nullptr;
    }

    // A right click on the row, then the entry `downs` arrow keys down; the
    // properties dialog that it opens.
    HWND ChooseForDialog(int row, int downs) {
        SetCursorPos(18, RowY(row));
        Sleep(300);  // the hover selects the row first
        e2e::SendMouse(MOUSEEVENTF_RIGHTDOWN);
        e2e::SendMouse(MOUSEEVENTF_RIGHTUP);
        HWND menu = nullptr;
        if (!WaitUntil([&] { return (menu = ShownMenu()) != nullptr; })) return nullptr;
        for (int i = 0; i < downs; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
        HWND dialog = nullptr;
        WaitUntil([&] { return (dialog = ShownDialog()) != nullptr; });
        return dialog;
    }
};

TEST_F(PropertiesE2E, ACaptionChangedInTheDialogIsSaved) {
    HWND dialog = ChooseForDialog(2, kProperties);
    ASSERT_TRUE(dialog) << "no properties dialog";
    HWND caption = GetDlgItem(dialog, dialogs::kEdit2);
    HWND ok = GetDlgItem(dialog, dialogs::kButton3);
    ASSERT_TRUE(caption && ok);
    wchar_t shown[64] = {};
    // GetWindowText does not ask another process's edit for its text.
    SendMessageW(caption, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(shown, L"B");
    SendMessageW(caption, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Renamed"));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(ok) != FALSE; }));
    SendMessageW(ok, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !ShownDialog(); }));
    EXPECT_TRUE(WaitUntil([&] {
        return Values(folder.ReadFile(L"1.xml"), "Caption") == std::vector<std::string>{"A", "Renamed"};
    })) << folder.ReadFile(L"1.xml");
    EXPECT_EQ(Values(folder.ReadFile(L"1.xml"), "Run"), (std::vector<std::string>{"a.exe", "b.exe"}));
}

TEST_F(PropertiesE2E, ANewItemCancelledBlankLeavesTheMenuAsItWas) {
    HWND dialog = ChooseForDialog(2, kNewItem);
    ASSERT_TRUE(dialog) << "no properties dialog for the new item";
    // The new item was saved before the dialog showed.
    EXPECT_EQ(Values(folder.ReadFile(L"1.xml"), "Caption"), (std::vector<std::string>{"A", "New item", "B"}));
    SendMessageW(GetDlgItem(dialog, dialogs::kButton6), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !ShownDialog(); }));
    EXPECT_TRUE(WaitUntil([&] {
        return Values(folder.ReadFile(L"1.xml"), "Caption") == std::vector<std::string>{"A", "B"};
    })) << folder.ReadFile(L"1.xml");
    ASSERT_TRUE(zarvo.IsRunning());
}

}  // namespace
