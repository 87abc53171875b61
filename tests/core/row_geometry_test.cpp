#include "core/path_macros.h"
#include "core/row_geometry.h"

#include <gtest/gtest.h>

namespace {

core::TLNItemList Rows(std::initializer_list<int> types) {
    core::TLNItemList items;
    for (int type : types) {
        core::TLNItem item;
        item.Type = type;
        items.push_back(item);
    }
    return items;
}

TEST(RowGeometry, RowTopsCountRowsSeparatorsAndNothingForUnknownTypes) {
    core::SkinMetrics skin;  // header 16, rows 36, separators 8
    const auto items = Rows({0, 777, 99, 11, 55});
    const int expected[] = {16, 52, 60, 60, 96, 132};
    for (int count = 0; count <= 5; ++count) EXPECT_EQ(core::ItemTop(items, count, skin), expected[count]) << count;
    EXPECT_EQ(core::ItemTop(items, 99, skin), 132);  // past the end: the bottom of the last row
}

TEST(RowGeometry, IndexAtYIsTheRowAboveTheOneReachedAndStopsAtTheScrollWindow) {
    core::SkinMetrics skin;
    const auto items = Rows({0, 777, 0, 0});
    struct Case {
        int y;
        bool scrolls;
        int showCount;
        int expected;
    };
    const Case cases[] = {
        {0, false, 8, -1},    // the header: the first row's bottom is below it
        {52, false, 8, -1},   // the first row's bottom edge
        {53, false, 8, 0},    // into the separator
        {60, false, 8, 0},
        {61, false, 8, 1},
        {132, false, 8, 2},
        {133, false, 8, -1},  // below every row
        {97, true, 1, -1},    // a scrolling level walks showCount + 1 rows only
        {60, true, 1, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::ItemIndexAtY(items, c.y, c.scrolls, c.showCount, skin), c.expected) << c.y;
}

TEST(PathMacros, ReplaceEveryOccurrenceCaseSensitively) {
    EXPECT_EQ(core::ExpandPathMacros(L"%SYSTEM%shell32.dll", L"C:\\windows\\system32\\", L"D:"),
              L"C:\\windows\\system32\\shell32.dll");
    EXPECT_EQ(core::ExpandPathMacros(L"%DISK%\\a;%DISK%\\b", L"S\\", L"D:"), L"D:\\a;D:\\b");
    EXPECT_EQ(core::ExpandPathMacros(L"%system%x %Disk%y", L"S\\", L"D:"), L"%system%x %Disk%y");
    // "%SYSTEM%" first: a system folder holding "%DISK%" is expanded again
    EXPECT_EQ(core::ExpandPathMacros(L"%SYSTEM%", L"%DISK%\\sys\\", L"E:"), L"E:\\sys\\");
}

}  // namespace
