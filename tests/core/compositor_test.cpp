#include "render/compositor.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string Describe(const std::vector<core::SlicePiece>& pieces) {
    std::ostringstream out;
    for (const auto& p : pieces)
        out << "{" << p.sourceX << "," << p.sourceWidth << " -> " << p.targetX << "," << p.targetWidth << "} ";
    return out.str();
}

struct SliceCase {
    const char* name;
    int stretch;
    int sliceSize;
    int width;
    int targetX;
    std::vector<core::SlicePiece> pieces;
};

// A source 30 wide with a left slice of 8 and a right slice of 6.
TEST(ThreeSlicePieces, StretchedAndTiledMiddles) {
    const SliceCase cases[] = {
        {"stretched", 1, 5, 50, 0, {{0, 8, 0, 8}, {8, 16, 8, 36}, {24, 6, 44, 6}}},
        {"tiled, exact multiple", 0, 5, 34, 0,
         {{0, 8, 0, 8}, {8, 5, 8, 5}, {8, 5, 13, 5}, {8, 5, 18, 5}, {8, 5, 23, 5}, {24, 6, 28, 6}}},
        {"tiled, remainder above half a slice", 0, 5, 37, 0,
         {{0, 8, 0, 8}, {8, 5, 8, 5}, {8, 5, 13, 5}, {8, 5, 18, 5}, {8, 5, 23, 5}, {8, 3, 28, 3}, {24, 6, 31, 6}}},
        {"tiled, remainder below half a slice", 0, 5, 36, 0,
         {{0, 8, 0, 8}, {8, 5, 8, 5}, {8, 5, 13, 5}, {8, 5, 18, 5}, {8, 7, 23, 7}, {24, 6, 30, 6}}},
        {"tiled, middle under half a slice", 0, 5, 16, 0, {{0, 8, 0, 8}, {8, 7, 3, 7}, {24, 6, 10, 6}}},
        {"tiled, half a slice over rounds to even", 0, 4, 24, 0,
         {{0, 8, 0, 8}, {8, 4, 8, 4}, {8, 6, 12, 6}, {24, 6, 18, 6}}},
        {"tiled, tiles read at the target's x", 0, 5, 24, 10,
         {{0, 8, 10, 8}, {18, 5, 18, 5}, {18, 5, 23, 5}, {24, 6, 28, 6}}},
        {"tiled, narrower than the fixed slices", 0, 5, 10, 0, {{0, 8, 0, 8}, {24, 6, 4, 6}}},
        {"no tile size stretches", 0, 0, 50, 0, {{0, 8, 0, 8}, {8, 16, 8, 36}, {24, 6, 44, 6}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        core::SkinMetrics skin;
        skin.SkinWidth = 30;
        skin.StretchBackground = c.stretch;
        skin.SliceSize = c.sliceSize;
        EXPECT_EQ(Describe(core::ThreeSlicePieces(skin, c.width, c.targetX, 8, 6)), Describe(c.pieces));
    }
}

// Column x of the source holds blue x + 1, so each target pixel names its source.
class ThreeSliceDrawing : public ::testing::Test {
protected:
    void MakeSource(int width) {
        source.Resize(width, 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < width; ++x) source.Bits()[y * width + x] = 0xFF000000u | static_cast<std::uint32_t>(x + 1);
    }
    int SourceColumnAt(int x, int y = 1) {
        GdiFlush();
        const std::uint32_t p = target.Pixel(x, y);
        return p == 0 ? -1 : static_cast<int>(p & 0xFF) - 1;
    }
    core::SkinMetrics skin;
    ui::Dib source;
    ui::Dib target{40, 4};
};

TEST_F(ThreeSliceDrawing, TiledMiddleRepeatsTheStripBetweenTheFixedSlices) {
    skin.SkinWidth = 30;
    skin.StretchBackground = 0;
    skin.SliceSize = 5;
    MakeSource(30);
    core::DrawThreeSlice(source.Dc(), target.Dc(), skin, 40, 4, 4, 0, 0, 0, 8, 6);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(SourceColumnAt(x), x) << x;
    for (int x = 8; x < 28; ++x) EXPECT_EQ(SourceColumnAt(x), 8 + (x - 8) % 5) << x;
    for (int x = 28; x < 34; ++x) EXPECT_EQ(SourceColumnAt(x), 8 + x - 28) << x;  // the last piece, copied
    for (int x = 34; x < 40; ++x) EXPECT_EQ(SourceColumnAt(x), 24 + x - 34) << x;
}

TEST_F(ThreeSliceDrawing, APartNarrowerThanTheSkinStillDrawsWhatItHas) {
    skin.SkinWidth = 30;
    MakeSource(27);  // the right slice would read columns 24..29
    core::DrawThreeSlice(source.Dc(), target.Dc(), skin, 40, 6, 6, 0, -1, -1, 8, 6);
    EXPECT_EQ(SourceColumnAt(0), 0);
    EXPECT_EQ(SourceColumnAt(34), 24);
    EXPECT_EQ(SourceColumnAt(36), 26);
    EXPECT_EQ(SourceColumnAt(37), -1);
    EXPECT_EQ(SourceColumnAt(0, 0), 0) << "rows outside the source are cut, not the whole piece";
}

}  // namespace
