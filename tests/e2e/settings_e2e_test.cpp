// The real Zarvo.exe's settings dialog: opened from the context menu, the "Advanced"
// tab and the start-up box clicked and Enter pressed with real input; config.ini and
// the user's Run key checked. The suite holds the "run-key" lock, and the value is
// deleted at the end: a restart of the prefix would start whatever the key lists.
#include "e2e_helpers.h"

#include "support/child_windows.h"
#include "support/run_key.h"
#include "dialogs/form5.h"
#include "dialogs/language.h"
#include "ui/ini.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace {

using namespace dialogs::form5;
using e2e::WaitUntil;
using testing_support::DeleteUserRunValue;
using testing_support::UserRunValue;

constexpr char kMenu[] =
    "<?xml version=\"1.0\"?>\r\n<Items><item><Run>a.exe</Run><Type>0</Type><Caption>A</Caption></item></Items>\r\n";
// The built-in skin: a 16 pixel header and 36 pixel rows; the page control's tabs
// are 72 pixels wide.
constexpr int kFirstRow = 16 + 18;
constexpr int kTabWidth = 72;

void ClickAt(POINT point) {
    SetCursorPos(point.x, point.y);
    Sleep(100);
    e2e::SendMouse(MOUSEEVENTF_LEFTDOWN);
    e2e::SendMouse(MOUSEEVENTF_LEFTUP);
}

void PressKey(WORD key) {
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = key;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

class SettingsE2E : public e2e::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        DeleteUserRunValue();
        folder.WriteUtf16(L"config.ini", L"[General]\r\nHideSplashScreen=1\r\nLastSkin=SettingsTest\r\nPosition=0\r\n"
                                         L"Y=300\r\nSlideInSpeed=1\r\nSlideOutSpeed=1\r\n" +
                                             moreGeneral);
        folder.WriteFile(L"Themes\\SettingsTest\\skin.ini", "[Skin]\r\n");
        folder.WriteFile(L"1.xml", kMenu);
        zarvo.Start(folder);
        ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
        ASSERT_TRUE(zarvo.WaitForWindow(L"TForm1"));
    }
    void TearDown() override {
        ProgramTest::TearDown();
        if (again.IsRunning()) {
            again.Close();
            again.WaitForExit();
        }
        DeleteUserRunValue();
    }

    // Further [General] lines of the start's config.ini.
    std::wstring moreGeneral;
    // The program run the test is on: the first, or the one started again.
    testing_support::ZarvoProcess again;
    testing_support::ZarvoProcess* current = &zarvo;

    HWND Shown(const wchar_t* className) {
        for (HWND window : current->TopLevelWindows())
            if (testing_support::ClassOf(window) == className && IsWindowVisible(window)) return window;
        return nullptr;
    }

    // A right click on the row, then the context menu's Settings by its keys.
    HWND OpenSettings() {
        // Apply puts the left edge's menu in the middle of the screen's height.
        HWND main = current->WaitForWindow(L"TForm1");
        const int rowY = e2e::RectOf(main).top + kFirstRow;
        SetCursorPos(18, rowY);
        Sleep(300);  // the hover selects the row first
        e2e::SendMouse(MOUSEEVENTF_RIGHTDOWN);
        e2e::SendMouse(MOUSEEVENTF_RIGHTUP);
        HWND menu = nullptr;
        if (!WaitUntil([&] { return (menu = Shown(L"#32768")) != nullptr; })) {
            ADD_FAILURE() << "no context menu";
            return nullptr;
        }
        // From the bottom: the first Up selects "Close", then "About" (the separator
        // between them is skipped), then "Settings".
        for (int i = 0; i < 3; ++i) PostMessageW(menu, WM_KEYDOWN, VK_UP, 0);
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
        HWND dialog = nullptr;
        WaitUntil([&] { return (dialog = Shown(L"TForm5")) != nullptr; });
        return dialog;
    }

    // The "Advanced" tab and the start-up box clicked, Enter pressed; the box's state
    // before the click.
    bool ToggleStartUp(HWND dialog) {
        const RECT tabs = e2e::RectOf(GetDlgItem(dialog, kPageControl1));
        ClickAt({tabs.left + 2 + kAdvancedTab * kTabWidth + kTabWidth / 2, tabs.top + 10});
        HWND box = testing_support::DescendantWithId(dialog, kCheckBox1);
        EXPECT_TRUE(box && WaitUntil([&] { return IsWindowVisible(box) != FALSE; })) << "the page did not show";
        const bool before = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
        const RECT r = e2e::RectOf(box);
        ClickAt({r.left + 7, (r.top + r.bottom) / 2});
        EXPECT_TRUE(WaitUntil([&] { return (SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != before; }));
        PressKey(VK_RETURN);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); })) << "Enter did not close the dialog";
        return before;
    }
};

TEST_F(SettingsE2E, StartUpBoxAddsAndRemovesTheUsersRunEntry) {
    HWND dialog = OpenSettings();
    ASSERT_TRUE(dialog) << "no settings dialog";
    EXPECT_FALSE(ToggleStartUp(dialog));
    const std::wstring quoted = L"\"" + folder.ExePath() + L"\"";
    EXPECT_TRUE(WaitUntil([&] { return UserRunValue() == quoted; })) << ui::WideToUtf8(UserRunValue());
    const ui::Ini config(folder.PathOf(L"config.ini"));
    EXPECT_EQ(config.ReadString(L"General", L"ShowCount", L"(none)"), L"8");
    EXPECT_EQ(config.ReadString(L"Effects", L"OnMouse", L"(none)"), L"0");

    // A fresh start reads the entry back.
    zarvo.Close();
    zarvo.WaitForExit();
    current = &again;
    again.Start(folder);
    ASSERT_TRUE(again.WaitForWindow(L"TEditBox"));
    dialog = OpenSettings();
    ASSERT_TRUE(dialog) << "no settings dialog the second time";
    EXPECT_TRUE(ToggleStartUp(dialog));
    EXPECT_TRUE(WaitUntil([&] { return UserRunValue() == L"(none)"; }));
}

// Started with the shipped translation as its language.
class TranslatedSettingsE2E : public SettingsE2E {
protected:
    TranslatedSettingsE2E() { moreGeneral = L"Language=German\r\n"; }
};

TEST_F(TranslatedSettingsE2E, TheSettingsDialogOpensWithTheTranslatedTitle) {
    const dialogs::LanguageFile german = dialogs::ReadLanguageFile(folder.PathOf(L"languages\\German.ini"));
    const std::wstring* title = german.Value(L"Menu", L"Settings");
    ASSERT_TRUE(title && *title != L"Settings") << "no translated title in the shipped file";
    HWND dialog = OpenSettings();
    ASSERT_TRUE(dialog) << "no settings dialog";
    wchar_t text[256] = {};
    GetWindowTextW(dialog, text, static_cast<int>(std::size(text)));
    EXPECT_EQ(ui::WideToUtf8(text), ui::WideToUtf8(*title));
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); })) << "Esc did not close the dialog";
}

}  // namespace
