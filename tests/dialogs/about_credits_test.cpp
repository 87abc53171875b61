// The about box's credits without a window: the lines, their bitmap and the scroll.
#include "dialogs/about_credits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace {

using dialogs::CreditsFont;
using dialogs::CreditsScroll;

constexpr int kWidth = 265;

// What was drawn in rows [top, bottom): its darkness (the sum of what each pixel
// lacks of white), its columns and its darkest and lightest channels.
struct Ink {
    long long darkness = 0;
    int left = INT_MAX;
    int right = -1;
    int darkest = 255;
    int lightest = 0;
};

Ink InkOf(const ui::Dib& dib, int top, int bottom) {
    Ink ink;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < dib.Width(); ++x) {
            const std::uint32_t p = dib.Pixel(x, y) & 0xFFFFFF;
            if (p == 0xFFFFFF) continue;
            const int channels[] = {static_cast<int>(p & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                                    static_cast<int>((p >> 16) & 0xFF)};
            for (int c : channels) {
                ink.darkness += 255 - c;
                ink.darkest = std::min(ink.darkest, c);
                ink.lightest = std::max(ink.lightest, c);
            }
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
        }
    return ink;
}

TEST(AboutCredits, StartWithTheVersionHeadingAndKeepBlankLinesAsOneSpace) {
    const auto lines = dialogs::CreditsText(L"2.5.0.7");
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0], L"+Zarvo 2.5.0.7");
    EXPECT_EQ(lines[1], L" ");
    EXPECT_EQ(lines.back(), L" ");
    int headings = 0;
    for (size_t i = 1; i < lines.size(); ++i) {
        EXPECT_FALSE(lines[i].empty()) << "line " << i;
        if (lines[i].front() != L'+') continue;
        ++headings;
        EXPECT_EQ(lines[i - 1], L" ") << "a group starts after a blank: line " << i;
    }
    EXPECT_GE(headings, 4);  // testers, forum members, package, translators
    const bool nonLatin = std::any_of(lines.begin(), lines.end(), [](const std::wstring& line) {
        return std::any_of(line.begin(), line.end(), [](wchar_t c) { return c >= 0x400; });
    });
    EXPECT_TRUE(nonLatin);
}

TEST(AboutCredits, BitmapHoldsOneBandOfTheLineHeightPerLine) {
    const CreditsFont font;
    const int h = dialogs::CreditsLineHeight(font);
    ASSERT_GT(h, 8);
    ASSERT_LT(h, 20);
    for (size_t count : {1u, 3u, 24u}) {
        const std::vector<std::wstring> lines(count, L"Name");
        auto dib = dialogs::RenderCredits(lines, font, kWidth);
        ASSERT_TRUE(dib);
        EXPECT_EQ(dib->Width(), kWidth);
        EXPECT_EQ(dib->Height(), static_cast<int>(count) * h) << count << " lines";
    }
    EXPECT_FALSE(dialogs::RenderCredits({}, font, kWidth));
}

TEST(AboutCredits, HeadingIsBoldWithoutItsPlusAndEveryLineIsCentredInGrey) {
    const CreditsFont font;
    const int h = dialogs::CreditsLineHeight(font);
    auto dib = dialogs::RenderCredits({L"+Translators", L"Translators", L"+", L" ", L"Ab"}, font, kWidth);
    ASSERT_TRUE(dib);
    const Ink heading = InkOf(*dib, 0, h);
    const Ink plain = InkOf(*dib, h, 2 * h);
    EXPECT_GT(heading.darkness, plain.darkness * 11 / 10) << "bold draws more ink";
    // The "+" is not drawn: the heading is as wide as the plain text, give or take bold.
    EXPECT_LE(heading.right - heading.left, (plain.right - plain.left) * 13 / 10);
    EXPECT_EQ(InkOf(*dib, 2 * h, 4 * h).darkness, 0) << "a bare \"+\" and a blank draw nothing";
    for (int line : {0, 1, 4}) {
        const Ink ink = InkOf(*dib, line * h, (line + 1) * h);
        ASSERT_GT(ink.darkness, 0) << "line " << line;
        const int leftMargin = ink.left;
        const int rightMargin = kWidth - 1 - ink.right;
        EXPECT_LE(std::abs(leftMargin - rightMargin), 2)
            << "line " << line << " is centred: ink " << ink.left << ".." << ink.right;
        EXPECT_NEAR(ink.darkest, 128, 1) << "line " << line << " is grey at its darkest";
        EXPECT_GE(ink.darkest, 127) << "nothing darker than the grey";
    }
}

// Drawn as ANSI on a Western code page, the line would be question marks.
TEST(AboutCredits, NonLatinLineDrawsItsOwnLetters) {
    const CreditsFont font;
    auto cyrillic = dialogs::RenderCredits({L"Ворон (Русский)"}, font, kWidth);
    const std::wstring questionMarks = std::wstring(5, L'?') + L" (" + std::wstring(7, L'?') + L")";
    auto fallback = dialogs::RenderCredits({questionMarks}, font, kWidth);
    ASSERT_TRUE(cyrillic && fallback);
    const int h = cyrillic->Height();
    EXPECT_GT(InkOf(*cyrillic, 0, h).darkness, 0);
    EXPECT_NE(InkOf(*cyrillic, 0, h).darkness, InkOf(*fallback, 0, h).darkness);
}

TEST(AboutCredits, ScrollRunsFromBelowTheAreaAndStartsAgainPastTheLastLine) {
    struct Case {
        const char* name;
        int offset;
        bool paused;
        int drawn;  // what Tick draws at
        int after;  // the offset it leaves
    };
    const int height = 300;
    const Case cases[] = {
        {"from below the area", -185, false, -185, -184},
        {"first line reaching the top", -1, false, -1, 0},
        {"inside the credits", 120, false, 120, 121},
        {"last row", height - 1, false, height - 1, height},
        {"past the last line", height, false, -185, -184},
        {"beyond it", height + 40, false, -185, -184},
        {"paused", 120, true, 120, 120},
        {"paused past the end starts again and holds", height, true, -185, -185},
    };
    for (const Case& c : cases) {
        CreditsScroll scroll;
        scroll.Start(height);
        EXPECT_EQ(scroll.ScrollOffset, -185);
        EXPECT_FALSE(scroll.ScrollPaused);
        scroll.ScrollOffset = c.offset;
        scroll.ScrollPaused = c.paused;
        EXPECT_EQ(scroll.Tick(), c.drawn) << c.name;
        EXPECT_EQ(scroll.ScrollOffset, c.after) << c.name;
    }
}

TEST(AboutCredits, ScrollLoopsEndlessly) {
    CreditsScroll scroll;
    scroll.Start(10);
    std::vector<int> drawn;
    for (int i = 0; i < 2 * (185 + 10); ++i) drawn.push_back(scroll.Tick());
    EXPECT_EQ(drawn[185 + 9], 9);
    EXPECT_EQ(drawn[185 + 10], -185) << "the round after the last row starts from below";
    EXPECT_EQ(drawn.back(), 9);
}

}  // namespace
