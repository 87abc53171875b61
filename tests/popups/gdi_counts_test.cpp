// The leak counters the effect tests rely on: they must see a GDI object come and go.
#include "support/gdi_counts.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ResourceCountsTest, SeeBrushesAndWindowsComeAndGo) {
    testing_support::WarmUpResourceCounts();
    const testing_support::ResourceCounts before = testing_support::CurrentResourceCounts();
    ASSERT_GT(before.gdiObjects, 0);
    std::vector<HBRUSH> brushes;
    for (int i = 0; i < 10; ++i) brushes.push_back(CreateSolidBrush(RGB(i, 0, 0)));
    EXPECT_EQ(testing_support::GdiObjectCount(), before.gdiObjects + 10);
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(window);
    EXPECT_EQ(testing_support::ThreadWindowCount(), before.threadWindows + 1);
    DestroyWindow(window);
    for (HBRUSH brush : brushes) DeleteObject(brush);
    EXPECT_EQ(testing_support::CurrentResourceCounts(), before);
}

}  // namespace
