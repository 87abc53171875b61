// The real Zarvo.exe started with values in its files that no dialog writes: it
// still starts and answers.
#include "support/process.h"
#include "support/program_folder.h"

#include <gtest/gtest.h>

namespace {

using testing_support::ProgramFolder;
using testing_support::ZarvoProcess;

TEST(BadValuesE2E, HugeShowDelayStillStartsAndAnswers) {
    ProgramFolder folder;
    folder.WriteUtf16(L"config.ini", L"[General]\r\nHideSplashScreen=1\r\nShowDelay=2147483647\r\n");
    folder.WriteFile(L"1.xml", "<?xml version=\"1.0\"?>\r\n<Items><item><Type>0</Type><Caption>A</Caption></item>"
                               "</Items>\r\n");
    SetCursorPos(640, 600);
    ZarvoProcess zarvo;
    zarvo.Start(folder);
    // The quick-run box is the last window start-up creates, after the first slide-in.
    ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox", 30000)) << "start-up did not get past the slide-in";
    HWND main = zarvo.WaitForWindow(L"TForm1");
    ASSERT_TRUE(main);
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 30000, &result))
        << "the main window does not answer";
    zarvo.Close();
    EXPECT_TRUE(zarvo.WaitForExit());
}

}  // namespace
