// The real Zarvo.exe slides its menu out when the pointer leaves and back in at the
// edge, driven by real pointer input.
#include "support/process.h"
#include "support/program_folder.h"

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

TEST_F(MotionE2E, PointerAwaySlidesTheMenuOutAndAPressAtTheEdgeBringsItBack) {
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

    // At the edge strip, over the header (so the press starts no item).
    MovePointer(2, kTop + 8);
    LeftButton(true);
    r = WaitForLeft(main, 0);
    LeftButton(false);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, kWidth);
    EXPECT_EQ(r.top, kTop);

    MovePointer(640, 600);
    r = WaitForLeft(main, kEdge - kWidth);
    EXPECT_EQ(r.left, kEdge - kWidth);
    EXPECT_EQ(r.top, kTop);
}

}  // namespace
