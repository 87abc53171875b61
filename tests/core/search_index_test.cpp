#include "core/search_index.h"

#include <gtest/gtest.h>

#include "slowed_walk.h"
#include "support/held_file.h"
#include "support/temp_folder.h"
#include "ui/strings.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>

namespace {

TEST(IndexList, SplitsEveryLineEndAndSkipsBlankLines) {
    using List = std::vector<std::wstring>;
    EXPECT_EQ(core::ParseIndexList("C:\\a\r\nD:\\b\rE:\\c\nF:\\d"), (List{L"C:\\a", L"D:\\b", L"E:\\c", L"F:\\d"}));
    EXPECT_EQ(core::ParseIndexList("\r\n  \r\nC:\\a\r\n\r\n"), (List{L"C:\\a"}));
    EXPECT_EQ(core::ParseIndexList(""), List{});
}

TEST(IndexList, WritesAnsiOrMarkedUtf8AndReadsItBack) {
    testing_support::TempFolder dir;
    const std::wstring path = dir.PathOf(L"index.txt");
    const std::vector<std::wstring> ansi{L"C:\\caf\u00E9", L"D:\\x"};
    ASSERT_TRUE(core::WriteIndexList(path, ansi));
    EXPECT_EQ(dir.ReadFile(L"index.txt"), "C:\\caf\xE9\r\nD:\\x\r\n");
    EXPECT_EQ(core::ReadIndexList(path), ansi);

    const std::vector<std::wstring> wide{L"C:\\\u0416", L"D:\\x"};
    ASSERT_TRUE(core::WriteIndexList(path, wide));
    EXPECT_EQ(dir.ReadFile(L"index.txt").substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(core::ReadIndexList(path), wide);
    EXPECT_TRUE(core::ReadIndexList(dir.PathOf(L"missing.txt")).empty());
}

}  // namespace

// --- the build

namespace {

using testing_support::TempFolder;

// The ANSI bytes Index.dat holds for these paths below the folder.
std::string AnsiLines(const TempFolder& dir, const std::vector<std::wstring>& names) {
    std::string bytes;
    for (const auto& name : names) bytes += ui::WideToAnsi(dir.PathOf(name)) + "\r\n";
    return bytes;
}

core::IndexBuildResult Build(const TempFolder& dir, const core::FolderEnumeration& enumeration,
                             const std::atomic<bool>& cancel) {
    return core::BuildIndexFile(dir.Path(), enumeration, cancel);
}

core::IndexBuildResult Build(const TempFolder& dir) {
    const std::atomic<bool> cancel{false};
    return Build(dir, core::RealFolderEnumeration(), cancel);
}

void SetAttributes(const TempFolder& dir, const std::wstring& name, DWORD attributes) {
    ASSERT_TRUE(SetFileAttributesW(dir.PathOf(name).c_str(), attributes)) << ui::WideToUtf8(name);
}

std::vector<std::wstring> SortedLines(std::wstring_view text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find(L"\r\n", start);
        lines.emplace_back(text.substr(start, end - start));
        start = end == std::wstring_view::npos ? text.size() : end + 2;
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

}  // namespace

// Each listed folder holds at most one entry of each kind, so the file system's own
// order cannot change the expected bytes.
TEST(IndexBuild, WalksFilesBeforeSubFoldersAndLeavesOutWhatTheIndexSkips) {
    TempFolder dir;
    dir.WriteFile(L"x\\a.txt", "a");
    dir.WriteFile(L"x\\sub\\file.txt", "f");
    dir.WriteFile(L"hid\\.git\\in.txt", "dot folder");
    dir.WriteFile(L"hid\\h\\in.txt", "hidden folder");
    dir.WriteFile(L"hid\\s\\in.txt", "system folder");
    dir.WriteFile(L"hid\\keep\\k.txt", "k");
    dir.WriteFile(L"f1\\.env", "dot file");
    dir.WriteFile(L"f1\\sys.bin", "system file");
    dir.WriteFile(L"f2\\h.txt", "hidden file");
    dir.WriteFile(L"f3\\r.txt", "read-only file");
    SetAttributes(dir, L"hid\\h", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
    SetAttributes(dir, L"hid\\s", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM);
    SetAttributes(dir, L"f1\\sys.bin", FILE_ATTRIBUTE_SYSTEM);
    SetAttributes(dir, L"f2\\h.txt", FILE_ATTRIBUTE_HIDDEN);
    SetAttributes(dir, L"f3\\r.txt", FILE_ATTRIBUTE_READONLY);
    const std::string t = ui::WideToAnsi(dir.Path());
    // A blank line and a missing folder add nothing; the trailing backslash is optional.
    dir.WriteFile(L"index.txt", t + "x\r\n\r\n" + t + "missing\r\n" + t + "hid\\\r\n" + t + "f1\r\n" + t + "f2\r\n" +
                                    t + "f3\r\n");

    ASSERT_EQ(Build(dir), core::IndexBuildResult::Written);
    EXPECT_EQ(dir.ReadFile(L"Index.dat"),
              AnsiLines(dir, {L"x\\a.txt", L"x\\sub\\file.txt", L"x\\sub", L"hid\\keep\\k.txt", L"hid\\keep",
                              L"f1\\.env", L"f2\\h.txt", L"f3\\r.txt"}));
    EXPECT_FALSE(dir.Exists(L"Index.dat.tmp"));
}

TEST(IndexBuild, AMissingFolderListGivesAnEmptyIndexAndAnEmptyList) {
    TempFolder dir;
    dir.WriteFile(L"Index.dat", "old\r\n");
    ASSERT_EQ(Build(dir), core::IndexBuildResult::Written);
    EXPECT_EQ(dir.ReadFile(L"index.txt"), "");
    EXPECT_EQ(dir.ReadFile(L"Index.dat"), "");
}

// The code page here is 1252: "é" fits it, "Ж" does not. The long run of plain names
// before the one that does not fit is written out before it is met, so the switch to
// UTF-8 has to turn what is already in the file.
TEST(IndexBuild, StaysAnsiWhileEveryPathFitsAndOtherwiseTurnsTheWholeFileIntoMarkedUtf8) {
    {
        TempFolder dir;
        dir.WriteFile(L"x\\caf\u00E9.txt", "e");
        dir.WriteFile(L"index.txt", ui::WideToAnsi(dir.PathOf(L"x")));
        ASSERT_EQ(Build(dir), core::IndexBuildResult::Written);
        EXPECT_EQ(dir.ReadFile(L"Index.dat"), AnsiLines(dir, {L"x\\caf\u00E9.txt"}));
    }
    TempFolder dir;
    std::vector<std::wstring> expected;
    for (int i = 0; i < 700; ++i) {
        const std::wstring name = L"x\\plain-name-long-enough-to-fill-a-piece-" + std::to_wstring(i) + L".txt";
        dir.WriteFile(name, "p");
        expected.push_back(dir.PathOf(name));
    }
    dir.WriteFile(L"x\\z\\\u0416\u00E9.txt", "w");
    expected.push_back(dir.PathOf(L"x\\z\\\u0416\u00E9.txt"));
    expected.push_back(dir.PathOf(L"x\\z"));
    dir.WriteFile(L"index.txt", ui::WideToAnsi(dir.PathOf(L"x")));
    ASSERT_EQ(Build(dir), core::IndexBuildResult::Written);
    const std::string bytes = dir.ReadFile(L"Index.dat");
    ASSERT_EQ(bytes.substr(0, 3), core::kIndexUtf8Mark);
    const std::wstring text = ui::DecodeMarkedText(bytes);
    EXPECT_EQ(text.substr(text.size() - expected.back().size() - 2), expected.back() + L"\r\n") << "a folder comes last";
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(SortedLines(text), expected);
}

TEST(IndexBuild, AFailedOrCancelledBuildKeepsTheOldIndexAndLeavesNoTemporaryFile) {
    TempFolder dir;
    for (int i = 0; i < 50; ++i) dir.WriteFile(L"x\\f" + std::to_wstring(i) + L".txt", "f");
    dir.WriteFile(L"index.txt", ui::WideToAnsi(dir.PathOf(L"x")));
    dir.WriteFile(L"Index.dat", "old\r\n");
    {
        SCOPED_TRACE("Index.dat held open without sharing");
        testing_support::FileHeldOpen held(dir.PathOf(L"Index.dat"), 0);
        ASSERT_TRUE(held.IsOpen());
        EXPECT_EQ(Build(dir), core::IndexBuildResult::Failed);
        held.Release();
        EXPECT_EQ(dir.ReadFile(L"Index.dat"), "old\r\n");
        EXPECT_FALSE(dir.Exists(L"Index.dat.tmp"));
    }
    {
        SCOPED_TRACE("cancelled before the walk");
        const std::atomic<bool> cancel{true};
        EXPECT_EQ(Build(dir, core::RealFolderEnumeration(), cancel), core::IndexBuildResult::Cancelled);
        EXPECT_EQ(dir.ReadFile(L"Index.dat"), "old\r\n");
        EXPECT_FALSE(dir.Exists(L"Index.dat.tmp"));
    }
    {
        SCOPED_TRACE("cancelled during the walk");
        std::atomic<bool> cancel{false};
        int entries = 0;
        core::FolderEnumeration enumeration = core::RealFolderEnumeration();
        const auto next = enumeration.FindNext;
        enumeration.FindNext = [&](HANDLE find, WIN32_FIND_DATAW& data) {
            if (++entries == 5) cancel = true;
            return next(find, data);
        };
        EXPECT_EQ(Build(dir, enumeration, cancel), core::IndexBuildResult::Cancelled);
        EXPECT_EQ(entries, 5) << "the walk stops at the next entry";
        EXPECT_EQ(dir.ReadFile(L"Index.dat"), "old\r\n");
        EXPECT_FALSE(dir.Exists(L"Index.dat.tmp"));
    }
}

// Wine makes no symbolic links (CreateSymbolicLinkW succeeds and makes nothing), so the
// links are added to the real listing: a link back up to an ancestor and one elsewhere.
TEST(IndexBuild, ALinkIsListedButWalkedOnlyWhenItLeadsNeitherBackUpNorToItsOwnFolder) {
    TempFolder dir;
    dir.WriteFile(L"top\\a\\b\\f.txt", "f");
    dir.WriteFile(L"other\\o.txt", "o");
    dir.WriteFile(L"index.txt", ui::WideToAnsi(dir.PathOf(L"top")));
    struct Link {
        std::wstring in, name, target;  // the folder it lies in, its name, where it leads
    };
    const std::vector<Link> links = {{dir.PathOf(L"top\\a\\b\\"), L"up", dir.PathOf(L"top\\")},
                                     {dir.PathOf(L"top\\a\\b\\"), L"self", dir.PathOf(L"top\\a\\b\\")},
                                     {dir.PathOf(L"top\\a\\"), L"out", dir.PathOf(L"other\\")}};
    // A path through a link, as the real folder it names.
    const auto resolve = [&links](std::wstring path) {
        for (bool again = true; again;) {
            again = false;
            for (const Link& link : links) {
                const std::wstring through = link.in + link.name;
                if (path.compare(0, through.size(), through) == 0 &&
                    (path.size() == through.size() || path[through.size()] == L'\\')) {
                    path = link.target + path.substr(std::min(path.size(), through.size() + 1));
                    again = true;
                }
            }
        }
        return path;
    };
    const core::FolderEnumeration real = core::RealFolderEnumeration();
    std::map<HANDLE, std::vector<std::wstring>> pending;  // the links still to add per listing
    core::FolderEnumeration enumeration = real;
    enumeration.FindFirst = [&](const std::wstring& pattern, WIN32_FIND_DATAW& data) {
        // A walk through the links would never end, and two of them branch: should the
        // walk take them, it is stopped a few rounds deep, past what the tree holds.
        if (pattern.size() > dir.Path().size() + 80) return INVALID_HANDLE_VALUE;
        const std::wstring folder = pattern.substr(0, pattern.size() - 3);
        const HANDLE find = real.FindFirst(resolve(folder) + L"*.*", data);
        for (const Link& link : links)
            if (link.in == resolve(folder)) pending[find].push_back(link.name);
        return find;
    };
    enumeration.FindNext = [&](HANDLE find, WIN32_FIND_DATAW& data) {
        if (real.FindNext(find, data)) return true;
        auto& names = pending[find];
        if (names.empty()) return false;
        data = WIN32_FIND_DATAW{};
        data.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        wcscpy_s(data.cFileName, names.back().c_str());
        names.pop_back();
        return true;
    };
    enumeration.Identity = [&](const std::wstring& folder) { return real.Identity(resolve(folder)); };

    const std::atomic<bool> cancel{false};
    ASSERT_EQ(Build(dir, enumeration, cancel), core::IndexBuildResult::Written);
    const std::string bytes = dir.ReadFile(L"Index.dat");
    // The two links of b come in either order.
    const std::string up = AnsiLines(dir, {L"top\\a\\b\\up"}), self = AnsiLines(dir, {L"top\\a\\b\\self"});
    const std::string head = AnsiLines(dir, {L"top\\a\\b\\f.txt"});
    const std::string tail = AnsiLines(dir, {L"top\\a\\b", L"top\\a\\out\\o.txt", L"top\\a\\out", L"top\\a"});
    EXPECT_TRUE(bytes == head + up + self + tail || bytes == head + self + up + tail) << bytes;
}

TEST(IndexBuild, ABuildStartedDuringAnotherCancelsItAndStartsOver) {
    TempFolder dir;
    for (int i = 0; i < 100; ++i) dir.WriteFile(L"x\\f" + std::to_wstring(i) + L".txt", "f");
    dir.WriteFile(L"y\\only.txt", "y");
    dir.WriteFile(L"index.txt", ui::WideToAnsi(dir.PathOf(L"x")));
    auto entries = std::make_shared<std::atomic<int>>(0);
    core::SetFolderEnumerationForTests(SlowedWalk(entries, 20));
    core::StartIndexBuild(dir.Path());
    core::SetFolderEnumerationForTests(std::nullopt);
    while (entries->load() == 0) Sleep(1);
    dir.WriteFile(L"index.txt", ui::WideToAnsi(dir.PathOf(L"y")));
    core::StartIndexBuild(dir.Path());
    ASSERT_TRUE(core::WaitForIndexBuild(10000));
    EXPECT_LT(entries->load(), 50) << "the first build stopped";
    EXPECT_EQ(dir.ReadFile(L"Index.dat"), AnsiLines(dir, {L"y\\only.txt"}));
    EXPECT_FALSE(dir.Exists(L"Index.dat.tmp"));
}
