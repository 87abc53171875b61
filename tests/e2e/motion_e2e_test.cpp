// The real Zarvo.exe, driven by real pointer input: its menu slides out when the
// pointer leaves and back in at the edge, and a double click on a row launches it.
#include "support/marker_log.h"
#include "support/process.h"
#include "support/program_folder.h"
#include "ui/strings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testing_support::ProgramFolder;
using testing_support::ZarvoProcess;

constexpr char kMenu[] =
    "<?xml version=\"1.0\"?>\r\n<Items><item><Run>a.exe</Run><Type>0</Type><Caption>A</Caption></item>"
    "<item><Run>b.exe</Run><Type>0</Type><Caption>B</Caption></item></Items>\r\n";

// The built-in skin's geometry: a skin folder without parts and with an empty
// skin.ini gives a 36 pixel wide window with 10 pixels of edge and no margins.
constexpr int kWidth = 36;
constexpr int kEdge = 10;
constexpr int kTop = 300;

void MovePointer(int x, int y) { SetCursorPos(x, y); }

void LeftButton(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof(in));
}

// Polls until the window is visible with its left edge at `left`; the rectangle at the end.
RECT WaitForLeft(HWND window, int left, DWORD timeoutMs = 15000) {
    RECT r{};
    for (DWORD waited = 0;; waited += 50) {
        GetWindowRect(window, &r);
        if ((r.left == left && IsWindowVisible(window)) || waited >= timeoutMs) return r;
        Sleep(50);
    }
}

class MotionE2E : public ::testing::Test {
protected:
    void SetUp() override {
        MovePointer(640, 600);
        folder.WriteUtf16(L"config.ini",
                          L"[General]\r\nHideSplashScreen=1\r\nRollOutOnMouseOut=1\r\nLastSkin=MotionTest\r\n"
                          L"DisableTab=0\r\nPosition=0\r\nY=300\r\nSlideInSpeed=1\r\nSlideOutSpeed=1\r\n");
        folder.WriteFile(L"Themes\\MotionTest\\skin.ini", "[Skin]\r\n");
        folder.WriteFile(L"1.xml", kMenu);
    }
    void TearDown() override {
        LeftButton(false);
        if (zarvo.IsRunning()) {
            zarvo.Close();
            zarvo.WaitForExit();
        }
    }

    ProgramFolder folder;
    ZarvoProcess zarvo;
};

TEST_F(MotionE2E, PointerAwaySlidesTheMenuOutAndThePointerAtTheEdgeBringsItBack) {
    zarvo.Start(folder);
    ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
    HWND main = zarvo.WaitForWindow(L"TForm1");
    ASSERT_TRUE(main);

    // It starts shown; the pointer is elsewhere, so the housekeeping rolls it out
    // until only its edge is on the screen, and keeps that edge visible.
    RECT r = WaitForLeft(main, kEdge - kWidth);
    EXPECT_EQ(r.left, kEdge - kWidth);
    EXPECT_EQ(r.right, kEdge);
    EXPECT_EQ(r.top, kTop);
    EXPECT_TRUE(IsWindowVisible(main));

    // Over the edge strip that stays on the screen.
    MovePointer(2, kTop + 8);
    r = WaitForLeft(main, 0);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, kWidth);
    EXPECT_EQ(r.top, kTop);

    MovePointer(640, 600);
    r = WaitForLeft(main, kEdge - kWidth);
    EXPECT_EQ(r.left, kEdge - kWidth);
    EXPECT_EQ(r.top, kTop);
}

void DoubleClick() {
    for (int i = 0; i < 2; ++i) {
        LeftButton(true);
        LeftButton(false);
    }
}

TEST_F(MotionE2E, DoubleClickOnARowStartsItsProgramOnceAndTheMenuSlidesOut) {
    folder.CopyFileIn(testing_support::MarkerExePath(), L"bin\\marker.exe");
    const std::string marker = ui::WideToUtf8(folder.PathOf(L"bin\\marker.exe"));
    folder.WriteFile(L"1.xml", "<?xml version=\"1.0\"?>\r\n<Items><item><Run>" + marker +
                                   "</Run><Params>alpha \"two words\"</Params><RunVis>2</RunVis><Type>0</Type>"
                                   "<Caption>Marker</Caption></item></Items>\r\n");
    folder.WriteUtf16(L"config.ini", L"[General]\r\nHideSplashScreen=1\r\nLastSkin=MotionTest\r\nPosition=0\r\n"
                                     L"Y=300\r\nSlideInSpeed=1\r\nSlideOutSpeed=1\r\n");
    zarvo.Start(folder);
    ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
    HWND main = zarvo.WaitForWindow(L"TForm1");
    ASSERT_TRUE(main);
    ASSERT_EQ(WaitForLeft(main, 0).left, 0);

    // The middle of the only row, below the 16 pixel header.
    MovePointer(kWidth / 2, kTop + 16 + 18);
    Sleep(300);
    DoubleClick();

    const std::wstring log = folder.PathOf(L"bin\\marker.log");
    const auto records = testing_support::WaitForMarkerLog(log, 1);
    ASSERT_EQ(records.size(), 1u);
    const auto args = testing_support::SplitCommandLine(records[0].commandLine);
    ASSERT_EQ(args.size(), 3u) << records[0].commandLine;
    EXPECT_EQ(args[1], L"alpha");
    EXPECT_EQ(args[2], L"two words");
    EXPECT_EQ(records[0].showWindow, SW_SHOWMAXIMIZED) << "RunVis 2 + 1";
    EXPECT_EQ(WaitForLeft(main, kEdge - kWidth).left, kEdge - kWidth) << "the menu rolls out after the launch";
    EXPECT_EQ(testing_support::WaitForMarkerLog(log, 2, 1500).size(), 1u) << "started once";
}

TEST_F(MotionE2E, OneShotPopupMenuEndsAfterItsLaunchWithoutLosingIt) {
    folder.CopyFileIn(testing_support::MarkerExePath(), L"bin\\marker.exe");
    const std::string marker = ui::WideToUtf8(folder.PathOf(L"bin\\marker.exe"));
    folder.WriteFile(L"once.xml", "<?xml version=\"1.0\"?>\r\n<Items><item><Run>" + marker +
                                      "</Run><Params>once</Params><Type>0</Type><Caption>Marker</Caption></item>"
                                      "</Items>\r\n");
    folder.WriteUtf16(L"config.ini", L"[General]\r\nHideSplashScreen=1\r\nLastSkin=MotionTest\r\n");
    MovePointer(400, 400);
    zarvo.Start(folder, {L"once.xml"});
    // The last window made at start-up: clicks that come while the start-up still
    // runs find a menu that is not ready for them (seen once under load).
    ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
    HWND main = zarvo.WaitForWindow(L"TForm1");
    ASSERT_TRUE(main);
    // The first paint shows the window at its stored place; the pop-up then moves it
    // to the pointer.
    const RECT r = WaitForLeft(main, 400);
    ASSERT_EQ(r.left, 400);
    MovePointer(r.left + kWidth / 2, r.top + 16 + 18);
    Sleep(300);
    DoubleClick();

    // The pop-up hides after the launch and the program ends; the started program
    // must not have been cut off with it.
    const bool exited = zarvo.WaitForExit();
    const auto records = testing_support::WaitForMarkerLog(folder.PathOf(L"bin\\marker.log"), 1);
    ASSERT_TRUE(exited) << (records.empty() ? "nothing was launched" : "launched, but the program stayed");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_NE(records[0].commandLine.find(L"once"), std::wstring::npos);
}

}  // namespace
