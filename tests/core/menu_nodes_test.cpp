#include "core/menu_nodes.h"

#include <gtest/gtest.h>

namespace {

TEST(MenuNodesTest, DroppedFileCaptionLosesOnlyAnExactExeOrLnkExtension) {
    struct Case {
        const wchar_t* path;
        const wchar_t* caption;
    };
    for (const Case c : {Case{L"C:\\x\\setup.exe", L"setup"}, Case{L"C:\\x\\Setup.EXE", L"Setup.EXE"},
                         Case{L"C:\\x\\Tool.lnk", L"Tool"}, Case{L"C:\\x\\Tool.LNK", L"Tool.LNK"},
                         Case{L"C:\\x\\notes.txt", L"notes.txt"}, Case{L"C:\\x.exe\\Docs", L"Docs"},
                         Case{L"C:\\x\\app.tar.exe", L"app.tar"}, Case{L"C:\\x\\.exe", L""}})
        EXPECT_EQ(core::DroppedFileCaption(c.path), c.caption) << c.path;
}

TEST(MenuNodesTest, DropPositionTakesTheFirstRowAndNotTheHeader) {
    core::SkinMetrics skin;
    skin.HeaderSize = 10;
    skin.ItemSize = 20;
    skin.Separatorsize = 6;
    const core::TLNItemList items(3);
    struct Case {
        int y;
        int position;
    };
    // Rows: 10..30, 30..50, 50..70.
    for (const Case c : {Case{5, -1}, Case{10, 0}, Case{20, 0}, Case{30, 0}, Case{40, 0}, Case{60, 1}, Case{70, 1},
                         Case{71, -1}})
        EXPECT_EQ(core::DropPosition(items, c.y, 0, false, 8, skin), c.position) << "y " << c.y;
    EXPECT_EQ(core::DropPosition({}, 20, 0, false, 8, skin), -1);
}

TEST(MenuNodesTest, DropPositionInAScrolledLevelCountsFromTheFirstRowShown) {
    core::SkinMetrics skin;
    skin.HeaderSize = 10;
    skin.ItemSize = 20;
    skin.Separatorsize = 6;
    core::TLNItemList items(5);
    items[0].Type = 777;  // above the first row shown
    items[3].Type = 777;
    struct Case {
        int y;
        int position;
    };
    // Two rows shown from row 2, below the up arrow (bottom 30): row 2 to 50 and the
    // separator to 56. The arrow band takes no drop.
    for (const Case c : {Case{12, -1}, Case{30, -1}, Case{31, 0}, Case{50, 0}, Case{51, 1}, Case{56, 1},
                         Case{57, -1}})
        EXPECT_EQ(core::DropPosition(items, c.y, 2, true, 2, skin), c.position) << "y " << c.y;
}

}  // namespace
