#include "core/folder_menu.h"

#include "support/temp_folder.h"
#include "ui/sessions.h"
#include "ui/strings.h"
#include "ui/xml_document.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::wstring CurrentFolder() {
    wchar_t buffer[MAX_PATH * 4] = {};
    GetCurrentDirectoryW(MAX_PATH * 4, buffer);
    return buffer;
}

TEST(ParentFolderName, ClimbsOneFolderFromThePathAloneAndKeepsTheBackslashOnlyAtARoot) {
    testing_support::TempFolder dir;
    const std::wstring t = dir.PathOf(L"");  // with its trailing backslash
    const std::wstring tNoSlash = t.substr(0, t.size() - 1);
    struct Case {
        std::wstring path, parent;
    };
    const Case cases[] = {
        {L"C:\\x", L"C:\\"},
        {L"C:\\x\\", L"C:\\"},
        {L"C:\\", L"C:\\"},
        {L"C:\\a\\b", L"C:\\a"},
        {L"C:\\a\\b\\\\", L"C:\\a"},
        {L"D:\\a/b", L"D:\\a"},
        {L"\\\\server\\share\\dir", L"\\\\server\\share\\"},  // the root of a share
        // Folders that cannot be entered: the old way changed into them and failed.
        {t + L"missing\\deeper", t + L"missing"},
        {t + L"missing", tNoSlash},
    };
    const std::wstring before = CurrentFolder();
    for (const Case& c : cases) {
        SCOPED_TRACE(ui::WideToUtf8(c.path));
        EXPECT_EQ(core::ParentFolderName(c.path), c.parent);
    }
    EXPECT_EQ(CurrentFolder(), before) << "the current folder stays where it was";
}

TEST(FolderMenu, TheFilterAdmitsItsExtensionsIgnoringCaseAndTheEmptyEntryAdmitsNamesWithoutADot) {
    EXPECT_FALSE(core::ParseFolderFilter(L"").has_value());
    EXPECT_FALSE(core::ParseFolderFilter(L"  ").has_value());
    EXPECT_EQ(*core::ParseFolderFilter(L"txt;.doc"), (std::vector<std::wstring>{L".txt", L".doc"}));
    EXPECT_EQ(*core::ParseFolderFilter(L"txt;"), (std::vector<std::wstring>{L".txt", L""}));
}

class FolderMenuRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* name : {L"a.txt", L"b.DOC", L"c.pdf", L"README", L".hidden"})
            dir.WriteFile(std::wstring(L"F\\") + name, "x");
        for (const wchar_t* name : {L"sub", L"my.folder"}) dir.WriteFile(std::wstring(L"F\\") + name + L"\\in.txt", "x");
    }
    testing_support::TempFolder dir;
};

TEST_F(FolderMenuRowsTest, ListsTheEntriesTheFilterAdmitsWithTheParentRowFirst) {
    struct Case {
        const char* name;
        std::wstring filter;
        bool addParent;
        std::vector<std::wstring> entries;  // sorted; the file system's own order is kept
    };
    const std::vector<std::wstring> all = {L".hidden", L"README", L"a.txt", L"b.DOC", L"c.pdf", L"my.folder", L"sub"};
    const Case cases[] = {
        {"extensions with and without a dot", L"txt;.doc", false, {L"a.txt", L"b.DOC"}},
        {"no filter", L"", false, all},
        {"a blank filter", L"  ", true, all},
        {"an empty entry admits names without a dot", L"txt;", false, {L"README", L"a.txt", L"sub"}},
        {"a folder's name has an extension too", L"FOLDER", true, {L"my.folder"}},
        {"a leading dot is the whole extension", L"hidden", false, {L".hidden"}},
    };
    const std::wstring folder = dir.PathOf(L"F");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto rows = core::FolderMenuRows(folder, c.filter, c.addParent);
        ASSERT_TRUE(rows.has_value());
        if (c.addParent) {
            ASSERT_FALSE(rows->empty());
            EXPECT_EQ(rows->front(), (core::FolderMenuRow{dir.Path(), L".."}));
            rows->erase(rows->begin());
        }
        std::vector<std::wstring> captions;
        for (const auto& row : *rows) {
            EXPECT_EQ(row.Run, folder + L"\\" + row.Caption);
            captions.push_back(row.Caption);
        }
        std::sort(captions.begin(), captions.end());
        EXPECT_EQ(captions, c.entries);
    }
    EXPECT_EQ(core::FolderMenuRows(folder + L"\\", L"", false)->size(), all.size()) << "one backslash, not two";
    EXPECT_FALSE(core::FolderMenuRows(dir.PathOf(L"missing"), L"", true).has_value());
    EXPECT_FALSE(core::FolderMenuRows(L"", L"", false).has_value()) << "never the root of the current drive";
}

TEST(FolderMenu, ParentRowOfAFolderAtTheTopOfADriveIsTheRoot) {
    const auto rows = core::FolderMenuRows(L"C:\\windows", L"-no-such-extension", true);
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), 1u);
    EXPECT_EQ(rows->front(), (core::FolderMenuRow{L"C:\\", L".."}));
}

TEST(FolderMenu, TheFillReplacesEveryChildByGeneratedRowsInTheirOrder) {
    ui::ComSession com;
    ui::XmlDocument doc;
    ASSERT_TRUE(doc.LoadXml(L"<Items><item><subitem><!-- note --><item><Run>old</Run></item></subitem></item></Items>"));
    ui::XmlNode subitem = doc.Root().ElementAt(0).Child(L"subitem");
    core::FillFolderMenu(subitem, {{L"C:\\", L".."}, {L"C:\\x\\a & b.txt", L"a & b.txt"}, {L"C:\\x\\c", L"c"}});
    ASSERT_EQ(subitem.ChildNodes().size(), 3u) << "the comment went too";
    const std::vector<std::wstring> names = {L"Run", L"Caption", L"ImageFile", L"Index", L"Type", L"subitem",
                                             L"RunVis", L"Params"};
    const std::vector<std::vector<std::wstring>> texts = {{L"C:\\", L"..", L"", L"0", L"55", L"", L"0", L""},
                                                          {L"C:\\x\\a & b.txt", L"a & b.txt", L"", L"0", L"55", L"", L"0", L""},
                                                          {L"C:\\x\\c", L"c", L"", L"0", L"55", L"", L"0", L""}};
    for (size_t row = 0; row < 3; ++row) {
        ui::XmlNode item = subitem.ElementAt(row);
        EXPECT_EQ(item.Name(), L"item");
        const auto children = item.ElementChildren();
        ASSERT_EQ(children.size(), names.size());
        for (size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(children[i].Name(), names[i]);
            EXPECT_EQ(children[i].Text(), texts[row][i]) << row << " " << ui::WideToUtf8(names[i]);
            EXPECT_EQ(children[i].HasChildNodes(), !texts[row][i].empty());
        }
    }
    core::FillFolderMenu(subitem, {});
    EXPECT_FALSE(subitem.HasChildNodes());
}

}  // namespace
