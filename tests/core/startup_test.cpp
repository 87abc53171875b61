#include "core/splash.h"
#include "core/startup.h"
#include "ui/files.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> FramesShown(int width, int height, int steps) {
    std::vector<int> shown;
    std::uint8_t frame = 0;
    for (int i = 0; i < steps; ++i) {
        shown.push_back(frame);
        frame = core::NextSplashFrame(frame, width, height);
    }
    return shown;
}

TEST(Splash, StripOfSquareFramesLoopsWithoutReadingPastTheEnd) {
    EXPECT_EQ(FramesShown(100, 500, 7), (std::vector<int>{0, 1, 2, 3, 4, 0, 1}));
    EXPECT_EQ(FramesShown(100, 100, 3), (std::vector<int>{0, 0, 0}));
    // 2.5 frames: the half frame at the bottom is never shown
    EXPECT_EQ(FramesShown(100, 250, 4), (std::vector<int>{0, 1, 0, 1}));
    // shorter than wide: one frame, not zero
    EXPECT_EQ(FramesShown(100, 50, 2), (std::vector<int>{0, 0}));
}

TEST(VersionString, ReadsFileVersionOfOwnResource) {
    EXPECT_EQ(core::GetFileVersionString(ui::ModuleFileName(), L"FileVersion"), L"1.0.0.0");
    EXPECT_EQ(core::GetFileVersionString(ui::ModuleFileName(), L"NoSuchValue"), L"");
    EXPECT_EQ(core::GetFileVersionString(L"C:\\no\\such\\file.exe", L"FileVersion"), L"");
}

TEST(Folders, SystemAndTempFoldersEndWithBackslash) {
    EXPECT_EQ(core::GetSystemDir().back(), L'\\');
    EXPECT_TRUE(ui::DirectoryExists(core::GetSystemDir()));
    EXPECT_EQ(core::GetTempDir().back(), L'\\');
}

}  // namespace
