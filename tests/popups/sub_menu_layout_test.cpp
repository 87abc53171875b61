// The sub-menu renderer's size and scroll decisions with values a user's files can
// hold: they never wrap and never give a window outside 1 .. kMaxWindowSize.
#include "popups/form2_render.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

core::TLNItemList Rows(int count, int type = 0) {
    core::TLNItemList rows(static_cast<size_t>(count));
    for (auto& row : rows) row.Type = type;
    return rows;
}

TEST(SubMenuLayoutTest, ScrollModeTakesExtremeShowCounts) {
    const struct {
        int rows, showCount;
        bool listing;
        std::uint8_t caller, expected;
    } cases[] = {
        {9, 8, true, 1, 0},           // ShowCount + 1 is shown whole
        {10, 8, true, 0, 1},          // a listing of ShowCount + 2 scrolls
        {10, 8, false, 0, 0},         // any other group keeps its caller's mode
        {10, 8, false, 1, 1},
        {5, INT_MAX, true, 1, 0},     // no wrap of ShowCount + 1
        {5, -3, true, 0, 1},          // a negative ShowCount shows no row whole
        {0, 0, true, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << " rows, ShowCount " << c.showCount);
        EXPECT_EQ(popups::DecideScrollMode(c.rows, c.showCount, c.listing, c.caller), c.expected);
    }
}

TEST(SubMenuLayoutTest, HeightsAreBoundedWindowSizes) {
    core::SkinMetrics skin;
    const int rows = skin.HeaderSize + 3 * skin.ItemSize + skin.Separatorsize + skin.BottomMargin;
    core::TLNItemList items = Rows(4);
    items[2].Type = 777;
    EXPECT_EQ(popups::SubMenuContentHeight(items, false, 8, skin), rows);
    EXPECT_EQ(popups::SubMenuContentHeight(items, true, 2, skin),
              skin.HeaderSize + 2 * skin.ItemSize + skin.BottomMargin);
    EXPECT_EQ(popups::SubMenuContentHeight(items, true, INT_MAX, skin), core::kMaxWindowSize);
    EXPECT_EQ(popups::SubMenuContentHeight(items, true, -5, skin), skin.HeaderSize + skin.BottomMargin);
    EXPECT_EQ(popups::SubMenuWindowHeight(100, true, skin), 100 + 2 * skin.ItemSize);
    EXPECT_EQ(popups::SubMenuWindowHeight(core::kMaxWindowSize, true, skin), core::kMaxWindowSize);
    skin.ItemSize = 30000;
    EXPECT_EQ(popups::SubMenuContentHeight(Rows(100000), false, 8, skin), core::kMaxWindowSize);
}

TEST(SubMenuLayoutTest, OnlyAWindowPassingTheBottomMoves) {
    EXPECT_EQ(popups::ClampedTop(1000, 100, 1024), 924);
    EXPECT_EQ(popups::ClampedTop(924, 100, 1024), 924);
    EXPECT_EQ(popups::ClampedTop(-40, 100, 1024), -40);
    EXPECT_EQ(popups::ClampedTop(INT_MAX, 100, 1024), 924) << "no wrap";
}

}  // namespace
