#include "render/skin_color.h"

#include <gtest/gtest.h>

namespace {

using core::ParseSkinColor;

TEST(SkinColor, ParsesHashColoursAndRejectsOthers) {
    struct Case {
        const wchar_t* text;
        Gdiplus::ARGB expected;
    };
    const Case cases[] = {
        {L"#CCCCCC", 0x80CCCCCC},
        {L"#12345", 0x80123405},    // six characters: the last pair is the single "5"
        {L"123456", 0},             // no hash: transparent black
        {L"#1234", 0},              // too short
        {L"#12#3456", 0x80123456},  // every hash goes once the text starts with one
        {L"#ff00Aa", 0x80FF00AA},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseSkinColor(0x80, c.text), c.expected) << c.text;
    EXPECT_THROW(ParseSkinColor(255, L"#1234G6"), core::SkinError);
    EXPECT_THROW(ParseSkinColor(255, L"######"), core::SkinError);
    EXPECT_EQ(core::StripHash(L"a#b"), L"a#b");
}

TEST(SkinColor, GreyAndBlendRoundHalvesToEven) {
    EXPECT_EQ(core::GrayColor(0xFF0A0A0A), 0xFF0A0A0A);
    // 0.11 * 150 = 16.5 rounds to 16, 0.3 * 5 = 1.5 to 2
    EXPECT_EQ(core::GrayValue(0xFF000096), 16);
    EXPECT_EQ(core::GrayValue(0xFF050000), 2);
    EXPECT_EQ(core::BlendColor(0x7F, 0xFF000000, 0xFFFFFFFF, 0, 128, 255), 0x7F808080u);
    EXPECT_EQ(core::BlendColor(9, 0xFF102030, 0xFFFFFFFF, 0, -5, 255), 0x09102030u);  // below low
    EXPECT_EQ(core::BlendColor(9, 0xFF102030, 0xFF000000, 0, 999, 255), 0x09000000u);  // above high
    EXPECT_EQ(core::BlendColor(9, 0xFF102030, 0xFF000000, 0, 0, 0), 0x09102030u);      // 0 / 0
    // c2 - c1 = 1 at t = 0.5: 0.5 rounds to 0, so nothing moves
    EXPECT_EQ(core::BlendColor(255, 0xFF000000, 0xFF010101, 0, 1, 2), 0xFF000000u);
}

TEST(SkinColor, LightenAndDarkenStayInRange) {
    EXPECT_EQ(core::LightenColor(RGB(0, 100, 255), 255), 0xFFFFFFFFu);
    EXPECT_EQ(core::LightenColor(RGB(0, 100, 255), 0), 0xFF0064FFu);
    EXPECT_EQ(core::LightenColor(RGB(0, 0, 0), 128), 0xFF808080u);
    EXPECT_EQ(core::LightenColor(RGB(128, 128, 128), 2), 0xFF818181u) << "MulDiv rounds 0.996 up";
    EXPECT_EQ(core::DarkenColor(RGB(1, 3, 0), 50), RGB(0, 1, 0)) << "MulDiv rounds halves up";
    EXPECT_EQ(core::DarkenColor(RGB(200, 100, 0), 50), RGB(100, 50, 0));
    // past 100 the arithmetic would go negative and wrap into a bright colour
    EXPECT_EQ(core::DarkenColor(RGB(200, 100, 10), 255), RGB(0, 0, 0));
    EXPECT_EQ(core::DarkenColor(0x80000000u | COLOR_WINDOW, 0), GetSysColor(COLOR_WINDOW));
}

}  // namespace
