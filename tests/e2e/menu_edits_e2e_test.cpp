// The real Zarvo.exe edited through its context menu with real input: a right click on
// a row, the entry chosen with keys posted to the menu, the menu file checked.
#include "e2e_helpers.h"
#include "support/held_file.h"
#include "support/process.h"
#include "support/program_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using e2e::Values;

using testing_support::ProgramFolder;
using testing_support::ZarvoProcess;

constexpr char kMenu[] =
    "<?xml version=\"1.0\"?>\r\n<Items><item><Run>a.exe</Run><Type>0</Type><Caption>A</Caption></item>"
    "<item><Run>b.exe</Run><Type>0</Type><Caption>B</Caption></item>"
    "<item><Run>c.exe</Run><Type>0</Type><Caption>C</Caption></item></Items>\r\n";

// The built-in skin (an empty skin.ini): 36 wide, a 16 pixel header, 36 pixel rows.
constexpr int kTop = 300;
int RowY(int row) { return kTop + 16 + 36 * (row - 1) + 18; }

// Entries of a row's menu as the arrow keys reach them (separators are skipped, a
// disabled entry is not; the first Down selects the first entry).
constexpr int kNewSeparator = 5;
constexpr int kCopy = 7;
constexpr int kPaste = 8;
constexpr int kDelete = 9;
constexpr int kClose = 14;

void RightClick() {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, in, sizeof(INPUT));
}

HWND WaitForShownMenu(DWORD pid) {
    for (int waited = 0; waited < 10000; waited += 50) {
        for (HWND window : testing_support::TopLevelWindowsOf(pid))
            if (testing_support::ClassOf(window) == L"#32768" && IsWindowVisible(window)) return window;
        Sleep(50);
    }
    return nullptr;
}

class MenuEditsE2E : public ::testing::Test {
protected:
    void SetUp() override {
        SetCursorPos(640, 600);
        WriteConfig(L"");
        folder.WriteFile(L"Themes\\EditTest\\skin.ini", "[Skin]\r\n");
        folder.WriteFile(L"1.xml", kMenu);
    }
    // The [General] section with these keys added.
    void WriteConfig(const std::wstring& extra) {
        folder.WriteUtf16(L"config.ini", L"[General]\r\nHideSplashScreen=1\r\nLastSkin=EditTest\r\nPosition=0\r\n"
                                         L"Y=300\r\nSlideInSpeed=1\r\nSlideOutSpeed=1\r\n" + extra);
    }
    void TearDown() override {
        SetCursorPos(640, 600);
        if (zarvo.IsRunning()) {
            zarvo.Close();
            zarvo.WaitForExit();
        }
    }

    // Right click on the row, then the entry `downs` arrow keys down.
    void Choose(int row, int downs) {
        SetCursorPos(18, RowY(row));
        Sleep(300);  // the hover selects the row first
        RightClick();
        HWND menu = WaitForShownMenu(zarvo.Pid());
        ASSERT_TRUE(menu) << "no context menu over row " << row;
        for (int i = 0; i < downs; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
        for (int waited = 0; IsWindow(menu) && IsWindowVisible(menu) && waited < 5000; waited += 50) Sleep(50);
    }

    // Polls until the menu file holds these captions.
    std::vector<std::string> WaitForCaptions(const std::vector<std::string>& expected) {
        std::vector<std::string> captions;
        for (int waited = 0; waited < 10000; waited += 100) {
            captions = Values(folder.ReadFile(L"1.xml"), "Caption");
            if (captions == expected) break;
            Sleep(100);
        }
        return captions;
    }

    ProgramFolder folder;
    ZarvoProcess zarvo;
};

TEST_F(MenuEditsE2E, CopyPasteAndNewSeparatorFromTheContextMenuThenClose) {
    zarvo.Start(folder);
    ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
    HWND main = zarvo.WaitForWindow(L"TForm1");
    ASSERT_TRUE(main);

    Choose(1, kCopy);
    Choose(3, kPaste);
    EXPECT_EQ(WaitForCaptions({"A", "B", "A", "C"}), (std::vector<std::string>{"A", "B", "A", "C"}));
    Choose(2, kNewSeparator);
    EXPECT_EQ(WaitForCaptions({"A", "New item", "B", "A", "C"}),
              (std::vector<std::string>{"A", "New item", "B", "A", "C"}));

    Choose(1, kClose);
    ASSERT_TRUE(zarvo.WaitForExit());
    const std::string menu = folder.ReadFile(L"1.xml");
    EXPECT_EQ(Values(menu, "Caption"), (std::vector<std::string>{"A", "New item", "B", "A", "C"}));
    EXPECT_EQ(Values(menu, "Type"), (std::vector<std::string>{"0", "777", "0", "0", "0"}));
}

// A failed write changes nothing, and the commands after it act on the rows the
// window shows.
TEST_F(MenuEditsE2E, ASeparatorTheFileDidNotTakeLeavesTheNextDeleteOnTheRowShown) {
    WriteConfig(L"HideWarnings=1\r\n");
    zarvo.Start(folder);
    ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
    // Held open by another program, the file cannot be replaced. (Wine replaces a
    // read-only file all the same.)
    testing_support::FileHeldOpen held(folder.PathOf(L"1.xml"));
    ASSERT_TRUE(held.IsOpen());
    Choose(1, kNewSeparator);
    HWND message = zarvo.WaitForDialog();
    ASSERT_TRUE(message) << "the write did not fail";
    EXPECT_NE(zarvo.DialogText(message).find(L"could not be written, so the change was not made"),
              std::wstring::npos)
        << zarvo.DialogText(message);
    zarvo.ClickDialogButton(message, IDOK);
    EXPECT_EQ(folder.ReadFile(L"1.xml"), kMenu);
    // Until the message box is gone its owner, the main window, takes no input.
    for (int waited = 0; IsWindow(message) && waited < 5000; waited += 50) Sleep(50);
    ASSERT_FALSE(IsWindow(message));

    held.Release();
    Choose(2, kDelete);
    EXPECT_EQ(WaitForCaptions({"A", "C"}), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(Values(folder.ReadFile(L"1.xml"), "Type"), (std::vector<std::string>{"0", "0"}));
    EXPECT_EQ(Values(folder.ReadFile(L"1.xml"), "Run"), (std::vector<std::string>{"a.exe", "c.exe"}));
}

}  // namespace
