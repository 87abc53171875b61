#include "ui/strings.h"

#include <gtest/gtest.h>

namespace {

struct IntCase {
    const wchar_t* text;
    std::optional<int> expected;
};

TEST(ParseInt, AcceptsStrictDecimalOnly) {
    const IntCase cases[] = {
        {L"0", 0},           {L"42", 42},          {L"-5", -5},
        {L"+7", 7},          {L"2147483647", 2147483647}, {L"-2147483648", -2147483647 - 1},
        {L"2147483648", {}}, {L"99999999999", {}}, {L"abc", {}},
        {L"12abc", {}},      {L"", {}},            {L"-", {}},
        {L" 1", {}},         {L"0x10", {}},        {L"$10", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ui::ParseInt(c.text), c.expected) << c.text;
}

TEST(ParseReal, IgnoresLocaleAndRejectsJunk) {
    EXPECT_DOUBLE_EQ(*ui::ParseReal(L"1.6"), 1.6);
    EXPECT_DOUBLE_EQ(*ui::ParseReal(L"-2"), -2.0);
    EXPECT_DOUBLE_EQ(*ui::ParseReal(L"+0.5"), 0.5);
    EXPECT_FALSE(ui::ParseReal(L"1,6"));
    EXPECT_FALSE(ui::ParseReal(L""));
    EXPECT_FALSE(ui::ParseReal(L"1.6x"));
}

struct FormatCase {
    const wchar_t* pattern;
    const wchar_t* argument;
    const wchar_t* expected;
};

TEST(FormatS, FillsTheFirstPlaceholderAndTakesEverythingElseLiterally) {
    const FormatCase cases[] = {
        {L"remove \"%s\"? ", L"a%sb%d", L"remove \"a%sb%d\"? "},  // the argument is never a pattern
        {L"%s and %s", L"x", L"x and %s"},                          // no second argument to fill
        {L"100%% %s", L"x", L"100% x"},
        {L"%%s is %s", L"x", L"%s is x"},                           // the escape binds first
        {L"%%%s", L"x", L"%x"},
        {L"%s%%", L"x", L"x%"},
        {L"%d %x 100% %", L"z", L"%d %x 100% %"},                   // other directives and lone signs stay
        {L"%S %", L"z", L"%S %"},                                   // upper case is no placeholder
        {L"no placeholder", L"z", L"no placeholder"},
        {L"", L"z", L""},
        {L"%s", L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(ui::FormatS(c.pattern, c.argument), c.expected) << c.pattern;
}

TEST(RoundEven, RoundsHalvesToEven) {
    EXPECT_EQ(ui::RoundEven(0.5), 0.0);
    EXPECT_EQ(ui::RoundEven(1.5), 2.0);
    EXPECT_EQ(ui::RoundEven(2.5), 2.0);
    EXPECT_EQ(ui::RoundEven(-1.5), -2.0);
}

}  // namespace

TEST(MarkedText, StaysAnsiWhileTheCodePageHoldsEveryCharacter) {
    EXPECT_EQ(ui::EncodeMarkedText(L"C:\\caf\u00E9"), "C:\\caf\xE9");
    // One character outside the code page turns the whole text into marked UTF-8.
    EXPECT_EQ(ui::EncodeMarkedText(L"\u00E9\\\u0416"), "\xEF\xBB\xBF\xC3\xA9\\\xD0\x96");
    EXPECT_FALSE(ui::WideToAnsiExact(L"\u0416"));
    EXPECT_FALSE(ui::WideToAnsiExact(L"\u0100"));  // best fit would give "A"
}

TEST(MarkedText, ReadsEachMarkAndAnsiOtherwise) {
    struct Case {
        std::string bytes;
        std::wstring text;
    } cases[] = {
        {"caf\xE9", L"caf\u00E9"},
        {"\xEF\xBB\xBF\xD0\x96x", L"\u0416x"},
        {std::string("\xFF\xFE\x16\x04x\0", 6), L"\u0416x"},
        {std::string("\xFF\xFEx\0y", 5), L"x"},  // a truncated last character is dropped
        {"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(ui::DecodeMarkedText(c.bytes), c.text) << c.bytes;
    const std::wstring mixed = L"\u00E9\\\u0416";
    EXPECT_EQ(ui::DecodeMarkedText(ui::EncodeMarkedText(mixed)), mixed);
}
