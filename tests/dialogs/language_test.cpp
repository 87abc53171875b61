// The language reader's decoding, and the shipped language files against the table.
#include "dialogs/language.h"

#include "support/program_folder.h"
#include "ui/files.h"
#include "ui/strings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using dialogs::DecodeLanguageText;
using namespace std::string_literals;

TEST(LanguageDecoding, MarksSelectTheEncodingAndBrokenSequencesNeverLeakThrough) {
    struct Case {
        const char* name;
        std::string bytes;
        std::wstring text;
    };
    const Case cases[] = {
        {"UTF-8 with a mark", "\xEF\xBB\xBF" "a\xC3\xA9", L"a\u00E9"},
        {"UTF-8 without a mark", "a\xC3\xA9", L"a\u00E9"},
        {"four-byte UTF-8", "\xEF\xBB\xBF\xF0\x9F\x98\x80", L"\xD83D\xDE00"},
        {"UTF-16LE", "\xFF\xFE" "A\0\x1F\x04"s, L"A\u041F"},
        {"UTF-16BE", "\xFE\xFF\0A\x04\x1F"s, L"A\u041F"},
        {"UTF-16LE cut at an odd byte", "\xFF\xFE" "A\0B"s, L"A"},
        {"UTF-16BE cut inside a pair", "\xFE\xFF\0A\xD8\x3D"s, L"A"},
        {"UTF-8 cut inside a sequence, with a mark", "\xEF\xBB\xBF" "ab\xE2\x82", L"ab"},
        {"UTF-8 cut inside a sequence, without one", "ab\xD0\x92\xD0", L"ab\u0412"},
        {"invalid UTF-8 after a mark", "\xEF\xBB\xBF" "a\xFF" "b\xE2(\xA1", L"a\uFFFDb\uFFFD(\uFFFD"},
        {"a surrogate in UTF-8 after a mark", "\xEF\xBB\xBF\xED\xA0\x80", L"\uFFFD"},
        {"an overlong form without a mark is ANSI", "\xC0\xAF", ui::AnsiToWide("\xC0\xAF")},
        {"high-bit bytes that are not UTF-8", "Caf\xE9s", ui::AnsiToWide("Caf\xE9s")},
        {"a mark alone", "\xEF\xBB\xBF", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeLanguageText(c.bytes), c.text) << c.name;
}

// The shipped files, as the reader reads them.
dialogs::LanguageFile Shipped(const wchar_t* name, std::string* bytes) {
    *bytes = ui::ReadFileBytes(testing_support::DistDir() + L"languages\\" + name + L".ini").value_or("");
    return dialogs::ParseLanguageFile(*bytes);
}

TEST(ShippedLanguages, EnglishGivesExactlyTheDefaultsAndTheTranslationEveryKey) {
    std::string englishBytes;
    std::string germanBytes;
    const dialogs::LanguageFile english = Shipped(L"English", &englishBytes);
    const dialogs::LanguageFile german = Shipped(L"German", &germanBytes);
    for (const std::string* bytes : {&englishBytes, &germanBytes})
        EXPECT_EQ(bytes->substr(0, 3), "\xEF\xBB\xBF") << "UTF-8 with a mark";

    size_t known = 1;  // [Info] Autor
    EXPECT_TRUE(english.Value(L"Info", L"Autor"));
    const std::wstring* author = german.Value(L"Info", L"Autor");
    EXPECT_TRUE(author && !author->empty());
    for (const dialogs::LanguageText& row : dialogs::LanguageTable()) {
        ++known;
        const std::wstring* value = english.Value(row.section, row.key);
        ASSERT_TRUE(value) << ui::WideToUtf8(row.key);
        EXPECT_EQ(*value, row.english) << ui::WideToUtf8(row.key);
        const std::wstring* translated = german.Value(row.section, row.key);
        EXPECT_TRUE(translated && !translated->empty()) << ui::WideToUtf8(row.key);
    }
    for (const dialogs::LanguageList& list : dialogs::LanguageLists()) {
        for (size_t n = 0; n < list.lines.size(); ++n) {
            ++known;
            const std::wstring key = list.prefix + std::to_wstring(n + 1);
            const std::wstring* value = english.Value(list.section, key);
            ASSERT_TRUE(value) << ui::WideToUtf8(list.section) << " " << ui::WideToUtf8(key);
            EXPECT_EQ(*value, list.lines[n]);
            EXPECT_TRUE(german.Value(list.section, key)) << ui::WideToUtf8(key);
        }
    }
    // The separator's question cuts the object question's last six characters, so
    // both must end in the caption's place, its "?" and the blank the quotes keep.
    for (const dialogs::LanguageFile* file : {&english, &german}) {
        const std::wstring* object = file->Value(L"Messages", L"3");
        ASSERT_TRUE(object);
        EXPECT_TRUE(object->ends_with(L"\"%s\"? ")) << ui::WideToUtf8(*object);
    }
    // Every key present and none besides them.
    EXPECT_EQ(english.KeyCount(), known);
    EXPECT_EQ(german.KeyCount(), known);
}

}  // namespace
