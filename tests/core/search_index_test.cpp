#include "core/search_index.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace {

TEST(IndexList, SplitsEveryLineEndAndSkipsBlankLines) {
    using List = std::vector<std::wstring>;
    EXPECT_EQ(core::ParseIndexList("C:\\a\r\nD:\\b\rE:\\c\nF:\\d"), (List{L"C:\\a", L"D:\\b", L"E:\\c", L"F:\\d"}));
    EXPECT_EQ(core::ParseIndexList("\r\n  \r\nC:\\a\r\n\r\n"), (List{L"C:\\a"}));
    EXPECT_EQ(core::ParseIndexList(""), List{});
}

TEST(IndexList, WritesAnsiOrMarkedUtf8AndReadsItBack) {
    testing_support::TempFolder dir;
    const std::wstring path = dir.PathOf(L"index.txt");
    const std::vector<std::wstring> ansi{L"C:\\caf\u00E9", L"D:\\x"};
    ASSERT_TRUE(core::WriteIndexList(path, ansi));
    EXPECT_EQ(dir.ReadFile(L"index.txt"), "C:\\caf\xE9\r\nD:\\x\r\n");
    EXPECT_EQ(core::ReadIndexList(path), ansi);

    const std::vector<std::wstring> wide{L"C:\\\u0416", L"D:\\x"};
    ASSERT_TRUE(core::WriteIndexList(path, wide));
    EXPECT_EQ(dir.ReadFile(L"index.txt").substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(core::ReadIndexList(path), wide);
    EXPECT_TRUE(core::ReadIndexList(dir.PathOf(L"missing.txt")).empty());
}

}  // namespace
