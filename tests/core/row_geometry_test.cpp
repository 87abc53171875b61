#include "core/path_macros.h"
#include "render/row_geometry.h"

#include <gtest/gtest.h>

#include <climits>

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
    for (int count = 0; count <= 5; ++count) EXPECT_EQ(core::ItemTop(items, 0, count, skin), expected[count]) << count;
    EXPECT_EQ(core::ItemTop(items, 0, 99, skin), 132);  // past the end: the bottom of the last row
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
        EXPECT_EQ(core::ItemIndexAtY(items, c.y, 0, c.scrolls, c.showCount, skin), c.expected) << c.y;
}

TEST(RowGeometry, AScrolledLevelCountsItsRowsFromTheFirstRowShown) {
    core::SkinMetrics skin;  // header 16, rows 36, separators 8
    // Two separators above the first row shown (3), one among the rows shown.
    const auto items = Rows({777, 0, 777, 0, 777, 0, 0, 0});
    constexpr int kFirst = 3;
    const int tops[] = {16, 52, 60, 96, 132, 168};  // rows 3, 4 (separator), 5, 6, 7, past the end
    for (int count = 0; count <= 5; ++count)
        EXPECT_EQ(core::ItemTop(items, kFirst, count, skin), tops[count]) << count;
    EXPECT_EQ(core::ItemTop(items, 8, 2, skin), 16) << "a first row past the list has nothing below the header";

    struct Case {
        int y;
        int showCount;
        int expected;
    };
    // The up arrow ends at 52; the rows shown below it at 88, 96 (the separator),
    // 132, 168 and 204.
    const Case cases[] = {
        {16, 3, -1}, {52, 3, -1},   // the band of the up arrow
        {53, 3, 0},  {88, 3, 0},    // the first row shown, all of it
        {89, 3, 1},  {96, 3, 1},    // the separator among the rows shown
        {97, 3, 2},  {132, 3, 2},
        {133, 3, -1},               // the walk ends after showCount rows
        {133, 4, 3}, {204, 9, 4},   // the last row of the list is reached
        {205, 9, -1},               // and nothing below it
        {133, INT_MAX, 3},          // a huge showCount does not wrap
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::ItemIndexAtY(items, c.y, kFirst, true, c.showCount, skin), c.expected)
            << "y " << c.y << ", showCount " << c.showCount;
}

TEST(RowGeometry, PointerRowCountsFromTheFirstRowShownBelowTheBand) {
    core::SkinMetrics skin;  // header 16, rows 36, separators 8
    const auto items = Rows({0, 0, 777, 0, 0});
    struct Case {
        int y, first, band, expected;
    };
    const Case cases[] = {
        {15, 0, 0, 1},    // above the rows: the first row, as the walk has it
        {51, 0, 0, 1},    {52, 0, 0, 2},   // a bottom edge belongs to the row below
        {88, 0, 0, 3},    {95, 0, 0, 3},   // the separator
        {167, 0, 0, 5},   {168, 0, 0, 0},  // below the last row
        {52, 1, 36, 1},   // from row 1, below a 36-pixel band: row 1 spans 52..88
        {88, 1, 36, 2},   {96, 1, 36, 3},
        {167, 1, 36, 4},  {168, 1, 36, 0},  // the list ends at row 4, shown 4th
        {100, 9, 0, 0},   // a first row past the list shows nothing
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::RowAtY(items, c.y, c.first, c.band, skin), c.expected)
            << "y " << c.y << ", first " << c.first << ", band " << c.band;
}

TEST(RowGeometry, RowSumsOfHugeSkinValuesStopAtTheIntRange) {
    core::SkinMetrics skin;
    skin.HeaderSize = INT_MAX - 10;
    skin.ItemSize = INT_MAX;
    skin.Separatorsize = INT_MIN;
    const auto items = Rows({0, 0, 0, 777, 777, 777, 777});
    EXPECT_EQ(core::ItemTop(items, 0, 0, skin), INT_MAX - 10);
    EXPECT_EQ(core::ItemTop(items, 0, 1, skin), INT_MAX);
    EXPECT_EQ(core::ItemTop(items, 0, 3, skin), INT_MAX) << "three rows past the range";
    EXPECT_EQ(core::ItemTop(items, 3, 4, skin), INT_MIN) << "and separators below it";
    // Row 0 ends far below any y; a wrapped sum would end above it.
    EXPECT_EQ(core::ItemIndexAtY(items, 100, 0, false, 8, skin), -1);
    EXPECT_EQ(core::ItemIndexAtY(items, INT_MAX, 0, false, 8, skin), -1);
    EXPECT_EQ(core::SaturatedAdd(INT_MAX, 1), INT_MAX);
    EXPECT_EQ(core::SaturatedAdd(INT_MIN, -1), INT_MIN);
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
