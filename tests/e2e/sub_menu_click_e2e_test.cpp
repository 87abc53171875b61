// The real Zarvo.exe, driven by the real pointer: a double click on a row of the
// first sub-menu starts its program once and the menu rolls out.
#include "e2e_helpers.h"
#include "support/marker_log.h"
#include "support/process.h"
#include "support/program_folder.h"
#include "ui/strings.h"

#include <gtest/gtest.h>

#include <string>

namespace {


constexpr int kTop = 300;
constexpr int kHeader = 16;
constexpr int kRow = 36;

void LeftButton(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof(in));
}

// Polls until `done` holds of the window's rectangle and visibility, or 15 s passed.
template <class Done>
bool WaitFor(HWND window, Done done) {
    for (int waited = 0; waited < 15000; waited += 50) {
        RECT r{};
        GetWindowRect(window, &r);
        if (done(r, IsWindowVisible(window) != FALSE)) return true;
        Sleep(50);
    }
    return false;
}

class SubMenuClickE2E : public e2e::ProgramTest {
protected:
    void TearDown() override {
        LeftButton(false);
        ProgramTest::TearDown();
    }
};

TEST_F(SubMenuClickE2E, DoubleClickOnASubMenuRowStartsItsProgramOnceAndTheMenuRollsOut) {
    folder.CopyFileIn(testing_support::MarkerExePath(), L"bin\\marker.exe");
    const std::string marker = ui::WideToUtf8(folder.PathOf(L"bin\\marker.exe"));
    // Level 1: a group of a plain row and the marker; DoubleClickRun and
    // RollOutAfterRun keep their defaults, 1.
    folder.WriteFile(L"1.xml", "<?xml version=\"1.0\"?>\r\n<Items>"
                               "<item><Type>2</Type><Caption>Group</Caption><subitem>"
                               "<item><Run>a.exe</Run><Type>0</Type><Caption>A</Caption></item>"
                               "<item><Run>" + marker +
                                   "</Run><Params>alpha \"two words\"</Params><RunVis>1</RunVis><Type>0</Type>"
                                   "<Caption>Marker</Caption></item>"
                                   "</subitem></item></Items>\r\n");
    folder.WriteUtf16(L"config.ini", L"[General]\r\nHideSplashScreen=1\r\nLastSkin=ClickTest\r\nPosition=0\r\n"
                                     L"Y=300\r\nHideGroupDelay=0\r\nSlideInSpeed=1\r\nSlideOutSpeed=1\r\n");
    folder.WriteFile(L"Themes\\ClickTest\\skin.ini", "[Skin]\r\nHeaderSize=16\r\nItemSize=36\r\n");
    zarvo.Start(folder);
    ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
    HWND main = zarvo.WaitForWindow(L"TForm1");
    HWND form2 = zarvo.WaitForWindow(L"TForm2");
    ASSERT_TRUE(main && form2);
    ASSERT_TRUE(WaitFor(main, [](const RECT& r, bool visible) { return visible && r.left == 0 && r.top == kTop; }));
    RECT m{};
    GetWindowRect(main, &m);

    SetCursorPos(m.left + (m.right - m.left) / 2, kTop + kHeader + kRow / 2);
    ASSERT_TRUE(WaitFor(form2, [](const RECT&, bool visible) { return visible; })) << "the sub-menu opens";
    RECT s{};
    GetWindowRect(form2, &s);
    // The marker's row, the second one.
    SetCursorPos(s.left + (s.right - s.left) / 2, s.top + kHeader + kRow + kRow / 2);
    Sleep(300);
    for (int i = 0; i < 2; ++i) {
        LeftButton(true);
        LeftButton(false);
    }

    const std::wstring log = folder.PathOf(L"bin\\marker.log");
    const auto records = testing_support::WaitForMarkerLog(log, 1);
    ASSERT_EQ(records.size(), 1u);
    const auto args = testing_support::SplitCommandLine(records[0].commandLine);
    ASSERT_EQ(args.size(), 3u) << records[0].commandLine;
    EXPECT_EQ(args[1], L"alpha");
    EXPECT_EQ(args[2], L"two words");
    EXPECT_EQ(records[0].showWindow, SW_SHOWMINIMIZED) << "RunVis 1 + 1";
    EXPECT_TRUE(WaitFor(main, [](const RECT& r, bool) { return r.left < 0; })) << "the menu rolls out";
    EXPECT_TRUE(WaitFor(form2, [](const RECT&, bool visible) { return !visible; })) << "and its sub-menu closes";
    EXPECT_EQ(testing_support::WaitForMarkerLog(log, 2, 1500).size(), 1u) << "started once";
}

}  // namespace
