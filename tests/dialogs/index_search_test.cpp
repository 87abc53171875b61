#include "dialogs/index_search.h"
#include "dialogs/search_worker.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using dialogs::SearchIndex;

std::vector<std::wstring> Lines(const SearchIndex& index) {
    std::vector<std::wstring> lines;
    for (size_t i = 0; i < index.size(); ++i) lines.emplace_back(index.Line(i));
    return lines;
}

// The lines of an index of `lines` that a text finds.
std::vector<std::wstring> Found(const std::vector<std::wstring>& lines, const std::wstring& text) {
    std::wstring file;
    for (const auto& line : lines) file += line + L"\r\n";
    std::string bytes = "\xEF\xBB\xBF";
    for (wchar_t c : file) {  // UTF-8 by hand: the lines are BMP text
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += static_cast<char>(0xC0 | (c >> 6));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes += static_cast<char>(0xE0 | (c >> 12));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    const SearchIndex index = SearchIndex::Parse(bytes);
    const auto found = dialogs::FindInIndex(index, text, [] { return false; });
    std::vector<std::wstring> result;
    if (found)
        for (std::uint32_t line : *found) result.emplace_back(index.Line(line));
    return result;
}

TEST(IndexSearchTest, NamesMatchWithoutFolderOrLastExtensionInAnyCaseWithTheMaskCharacters) {
    const std::wstring report = L"C:\\Work\\Report.final.doc";
    struct Case {
        std::wstring line, text;
        bool matches;
    };
    const std::vector<Case> cases = {
        {report, L"report", true},
        {report, L"final", true},
        {report, L"doc", false},          // the last extension is cut
        {report, L"REPORT.FIN", true},
        {L"C:\\abc\\file.txt", L"abc", false},  // only the name is searched
        {L"C:\\d\\\u00E9cole.txt", L"\u00C9COL", true},
        {L"C:\\d\\abcd.txt", L"ab?d", true},
        {L"C:\\d\\abd.txt", L"ab?d", false},
        {L"C:\\d\\axxxd.txt", L"a*d", true},
        {L"C:\\d\\xbz.txt", L"x[a-c]z", true},
        {L"C:\\d\\xdz.txt", L"x[a-c]z", false},
        {L"C:\\d\\xBz.txt", L"x[a-c]z", true},
        {L"C:\\d\\abc.txt", L"a[!x]c", true},
        {L"C:\\d\\axc.txt", L"a[!x]c", false},
        {L"C:\\d\\ab[c.txt", L"ab[c", true},  // an unclosed "[" is a plain character
        {L"C:\\d\\abc.txt", L"ab[c", false},
        {L"C:\\d\\.hidden", L"hid", false},  // the whole name is an extension
        {L"C:\\d\\.hidden.txt", L"hid", true},
        {L"C:\\d\\x.y", L"***", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line + L" / " + c.text);
        EXPECT_EQ(Found({c.line}, c.text).size(), c.matches ? 1u : 0u);
    }
}

TEST(IndexSearchTest, MatchesComeInFileOrderOncePerLineAndNeverAcrossTwoNames) {
    const std::vector<std::wstring> lines = {L"C:\\zab.txt", L"C:\\cz.txt", L"C:\\abcabc.txt", L"C:\\x\\ABC",
                                             L"C:\\y.abc"};
    EXPECT_EQ(Found(lines, L"abc"), (std::vector<std::wstring>{L"C:\\abcabc.txt", L"C:\\x\\ABC"}));
    EXPECT_EQ(Found(lines, L"a*c"), (std::vector<std::wstring>{L"C:\\abcabc.txt", L"C:\\x\\ABC"}));
}

TEST(IndexSearchTest, MaskMatcherTable) {
    struct Case {
        const wchar_t* name;
        const wchar_t* mask;
        bool matches;
    };
    for (const Case& c : std::vector<Case>{{L"", L"*", true},
                                           {L"", L"?", false},
                                           {L"abc", L"a*b*c*", true},
                                           {L"aaab", L"*a*ab", true},
                                           {L"abc", L"[]bc", false},
                                           {L"-bc", L"[a-]bc", true},
                                           {L"[", L"[", true},
                                           {L"[!", L"[!", true},
                                           {L"b", L"[!a-c]", false},
                                           {L"d", L"[!a-c]", true}}) {
        SCOPED_TRACE(std::wstring(c.name) + L" / " + c.mask);
        EXPECT_EQ(dialogs::MatchesMask(c.name, c.mask), c.matches);
    }
}

TEST(IndexSearchTest, ReaderRules) {
    const std::string longLine(SearchIndex::kMaxLine, 'x');
    struct Case {
        std::string bytes;
        std::vector<std::wstring> lines;
    };
    const std::vector<Case> cases = {
        {"a\r\nb\r\n", {L"a", L"b"}},
        {"a\rb\nc", {L"a", L"b", L"c"}},  // lone CR, lone LF, a last line without its end
        {"a\r\n\r\n\n\rb", {L"a", L"b"}},
        {"a\tb\r\nc\x01\r\nd", {L"d"}},
        {std::string("a\0b\r\nc", 6), {L"c"}},
        {longLine + "\r\n" + longLine + "y\r\nz", {std::wstring(SearchIndex::kMaxLine, L'x'), L"z"}},
        {"C:\\\xE9", {L"C:\\\u00E9"}},  // ANSI, code page 1252
        {"\xEF\xBB\xBF" "C:\\\xC3\xA9\r\n", {L"C:\\\u00E9"}},
        {std::string("\xFF\xFE" "a\0\r\0\n\0\x01\x26", 10), {L"a", L"\u2601"}},
        {"", {}},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Lines(SearchIndex::Parse(cases[i].bytes)), cases[i].lines);
    }
}

TEST(IndexSearchTest, AMissingFileIsAnEmptyIndexAndAWrittenOneLoads) {
    testing_support::TempFolder folder;
    EXPECT_TRUE(SearchIndex::Load(folder.PathOf(L"Index.dat")).empty());
    folder.WriteFile(L"Index.dat", "C:\\a.txt\r\nC:\\b");
    EXPECT_EQ(Lines(SearchIndex::Load(folder.PathOf(L"Index.dat"))), (std::vector<std::wstring>{L"C:\\a.txt", L"C:\\b"}));
}

TEST(IndexSearchTest, ACancelledScanGivesNothing) {
    std::string bytes;
    for (int i = 0; i < 20000; ++i) bytes += "C:\\abc" + std::to_string(i) + "\r\n";
    const SearchIndex index = SearchIndex::Parse(bytes);
    for (const wchar_t* text : {L"abc", L"a?c"}) {
        SCOPED_TRACE(text);
        int asked = 0;
        EXPECT_FALSE(dialogs::FindInIndex(index, text, [&] { return ++asked > 1; }));
        EXPECT_GE(asked, 2) << "asked again during the scan";
        const auto all = dialogs::FindInIndex(index, text, [] { return false; });
        ASSERT_TRUE(all);
        EXPECT_EQ(all->size(), 20000u);
    }
}

TEST(IndexSearchTest, FoldersComeFirstOtherwiseInFileOrder) {
    std::vector<dialogs::SearchRow> rows = {{0, false}, {1, true}, {2, false}, {3, true}};
    dialogs::SortFoldersFirst(rows);
    std::vector<std::uint32_t> order;
    for (const auto& row : rows) order.push_back(row.line);
    EXPECT_EQ(order, (std::vector<std::uint32_t>{1, 3, 0, 2}));
}

}  // namespace
