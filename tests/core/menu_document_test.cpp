#include "core/menu_document.h"

#include "core/startup.h"
#include "support/temp_folder.h"

#include "ui/files.h"
#include "ui/sessions.h"
#include "ui/strings.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <shlguid.h>
#include <shobjidl.h>
#include <windows.h>
#include <wrl/client.h>

#include <cstring>
#include <cwchar>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

using core::MenuStore;

class MenuDocumentTest : public ::testing::Test {
protected:
    ui::ComSession com_;
    testing_support::TempFolder folder_;

    // Writes the file into the folder and returns its full path.
    std::wstring Write(const std::wstring& name, std::string_view bytes) const {
        folder_.WriteFile(name, bytes);
        return folder_.PathOf(name);
    }
};

ui::XmlDocument Parsed(std::wstring_view text) {
    ui::XmlDocument doc;
    EXPECT_TRUE(doc.LoadXml(text)) << ui::WideToUtf8(text);
    return doc;
}

core::TLNItemList ItemsOf(const ui::XmlDocument& doc) {
    core::TLNItemList list;
    core::LoadItemList(list, doc.Root());
    return list;
}

std::vector<std::wstring> Captions(const ui::XmlNode& root) {
    std::vector<std::wstring> captions;
    for (auto& item : root.ElementChildren()) captions.push_back(item.Child(L"Caption").Text());
    return captions;
}

// --- item lists ------------------------------------------------------------

TEST_F(MenuDocumentTest, DefaultMenuLoadsThreeShellItemsAndSurvivesASave) {
    const std::wstring path = Write(L"1.xml", core::DefaultMenuText);
    ui::XmlDocument doc;
    ASSERT_TRUE(doc.Load(path));
    const core::TLNItemList items = ItemsOf(doc);
    ASSERT_EQ(items.size(), 3u);
    core::TLNItem first;
    first.Run = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
    first.ImageFile = L"C:\\WINDOWS\\System32\\shell32.dll";
    first.Index = 15;
    first.Type = 3;
    first.Caption = L"My computer";
    EXPECT_EQ(items[0], first);
    EXPECT_EQ(items[1].Caption, L"My documents");
    EXPECT_EQ(items[1].Index, 126);
    EXPECT_EQ(items[2].Run, L"::{645FF040-5081-101B-9F08-00AA002F954E}");
    EXPECT_EQ(items[2].Index, 32);

    ASSERT_TRUE(doc.Save(path));
    ui::XmlDocument again;
    ASSERT_TRUE(again.Load(path));
    EXPECT_EQ(ItemsOf(again), items);
    auto saved = ui::ReadFileBytes(path);
    ASSERT_TRUE(saved);
    EXPECT_NE(saved->find("Do not change this file yourself"), std::string::npos);
}

TEST_F(MenuDocumentTest, CaptionOnlyItemReadsAsDefaultsAndGainsItsFieldsInLookupOrder) {
    ui::XmlDocument doc = Parsed(L"<Items><item><Caption>Only</Caption></item></Items>");
    const core::TLNItemList items = ItemsOf(doc);
    ASSERT_EQ(items.size(), 1u);
    core::TLNItem expected;
    expected.Caption = L"Only";
    EXPECT_EQ(items[0], expected);

    const std::wstring path = folder_.Path() + L"1.xml";
    ASSERT_TRUE(doc.Save(path));
    ui::XmlDocument again;
    ASSERT_TRUE(again.Load(path));
    std::vector<std::wstring> names;
    for (auto& field : again.Root().ElementAt(0).ElementChildren()) {
        names.push_back(field.Name());
        if (field.Name() != L"Caption") {
            EXPECT_FALSE(field.HasChildNodes()) << ui::WideToUtf8(field.Name());
        }
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Caption", L"Run", L"ImageFile", L"Index",
                                                L"RunVis", L"Params", L"Type", L"Param1"}));
}

TEST_F(MenuDocumentTest, NonNumericNumberFieldRaisesConversionError) {
    const wchar_t* cases[] = {
        L"<Index>abc</Index>", L"<RunVis>1x</RunVis>", L"<Type>3 4</Type>",
        L"<Type>0x10</Type>",  L"<Index>99999999999</Index>",
    };
    for (const wchar_t* field : cases) {
        ui::XmlDocument doc = Parsed(std::wstring(L"<Items><item><Caption>ok</Caption></item><item>") +
                                     field + L"</item></Items>");
        core::TLNItemList list;
        EXPECT_THROW(core::LoadItemList(list, doc.Root()), core::ConversionError)
            << ui::WideToUtf8(field);
        EXPECT_EQ(list.size(), 1u) << "the rows before the bad one were appended";
    }
    ui::XmlDocument doc = Parsed(L"<Items><item><Index>-7</Index><RunVis>+2</RunVis><Type> 777\r\n</Type></item></Items>");
    const auto items = ItemsOf(doc);
    EXPECT_EQ(items[0].Index, -7);
    EXPECT_EQ(items[0].RunVis, 2);
    EXPECT_EQ(items[0].Type, 777);
}

TEST_F(MenuDocumentTest, CommentsAreNotRowsAndTheListIsAppendedTo) {
    ui::XmlDocument doc = Parsed(
        L"<Items>\r\n\t<!-- first -->\r\n\t<item><Caption>a</Caption></item>\r\n"
        L"\t<!-- between -->\r\n\t<item><Caption>b</Caption><Param1>1</Param1></item>\r\n</Items>");
    core::TLNItemList list(1);
    list[0].Caption = L"kept";
    core::LoadItemList(list, doc.Root());
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].Caption, L"kept");
    EXPECT_EQ(list[1].Caption, L"a");
    EXPECT_EQ(list[2].Caption, L"b");
    EXPECT_EQ(list[2].Param1, L"1");
}

TEST_F(MenuDocumentTest, CaptionSpacesSurviveLoadAndSave) {
    const std::wstring path = Write(
        L"1.xml", "<?xml version=\"1.0\"?>\r\n<Items>\r\n\t<item><Caption>  padded  </Caption></item>\r\n</Items>\r\n");
    ui::XmlDocument doc;
    ASSERT_TRUE(doc.Load(path));
    EXPECT_EQ(ItemsOf(doc)[0].Caption, L"  padded  ");
    ASSERT_TRUE(doc.Save(path));
    ui::XmlDocument again;
    ASSERT_TRUE(again.Load(path));
    EXPECT_EQ(ItemsOf(again)[0].Caption, L"  padded  ");
}

// --- per-level state -------------------------------------------------------

TEST(PerLevel, AddressesLevelsOneToThreeOnly) {
    core::PerLevel<int> scrollMode(0, 1, 1);
    scrollMode[3] = 5;
    EXPECT_EQ(scrollMode[1], 0);
    EXPECT_EQ(scrollMode[2], 1);
    EXPECT_EQ(scrollMode[3], 5);
    EXPECT_THROW(scrollMode[0], std::out_of_range);
    EXPECT_THROW(scrollMode[4], std::out_of_range);
}

const core::PerLevel<std::uint8_t> kNoScroll(0, 0, 0);

TEST(IsFolderMenuItem, NeedsAFolderWithParam1OneAtTheParentSelection) {
    struct Case {
        int type;
        const wchar_t* param1;
        int selected;  // 1-based row of the parent level
        bool expected;
    };
    const Case cases[] = {
        {1, L"1", 2, true},  {1, L"0", 2, false}, {1, L"", 2, false}, {0, L"1", 2, false},
        {1, L"1", 0, false}, {1, L"1", -1, false}, {1, L"1", 3, false},
    };
    for (const auto& c : cases) {
        for (int level : {2, 3}) {
            core::PerLevel<core::TLNItemList> lists;
            core::PerLevel<int> selected(-1, -1, -1);
            lists[level - 1].resize(2);
            lists[level - 1][1].Type = c.type;
            lists[level - 1][1].Param1 = c.param1;
            selected[level - 1] = c.selected;
            EXPECT_EQ(core::IsFolderMenuItem(lists, selected, kNoScroll, 0, level), c.expected)
                << "level " << level << " type " << c.type << " selected " << c.selected;
        }
    }
    core::PerLevel<core::TLNItemList> lists;
    lists[1].resize(1);
    lists[1][0].Type = 1;
    lists[1][0].Param1 = L"1";
    EXPECT_FALSE(core::IsFolderMenuItem(lists, core::PerLevel<int>(1, 1, 1), kNoScroll, 0, 1));
}

TEST(IsFolderMenuItem, AScrolledParentIsReadFromItsFirstRowShown) {
    // Level 2 lists a folder and is scrolled by 5: its row 3 shows entry 7, a
    // sub-folder listed in turn, while entry 2 is a plain file.
    core::PerLevel<core::TLNItemList> lists;
    lists[2].resize(10);
    lists[2][2].Type = 55;
    lists[2][7].Type = 1;
    lists[2][7].Param1 = L"1";
    const core::PerLevel<int> selected(1, 3, -1);
    EXPECT_TRUE(core::IsFolderMenuItem(lists, selected, core::PerLevel<std::uint8_t>(0, 1, 0), 5, 3));
    EXPECT_FALSE(core::IsFolderMenuItem(lists, selected, kNoScroll, 5, 3)) << "a level that does not scroll";
    EXPECT_FALSE(core::IsFolderMenuItem(lists, selected, core::PerLevel<std::uint8_t>(0, 1, 0), 8, 3))
        << "row 3 past the list's end";
}

// --- moving items ----------------------------------------------------------

TEST_F(MenuDocumentTest, MoveItemLandsBeforeTheItemThatWasAtTo) {
    struct Case {
        int from, to;
        bool moved;
        std::vector<std::wstring> order;
    };
    const Case cases[] = {
        {0, 2, true, {L"1", L"0", L"2", L"3", L"4"}},
        {3, 1, true, {L"0", L"3", L"1", L"2", L"4"}},
        {1, 5, true, {L"0", L"2", L"3", L"4", L"1"}},
        {4, 0, true, {L"4", L"0", L"1", L"2", L"3"}},
        {2, 2, true, {L"0", L"1", L"2", L"3", L"4"}},
        {5, 0, false, {L"0", L"1", L"2", L"3", L"4"}},
        {-1, 0, false, {L"0", L"1", L"2", L"3", L"4"}},
        {0, 6, false, {L"0", L"1", L"2", L"3", L"4"}},
        {0, -1, false, {L"0", L"1", L"2", L"3", L"4"}},
    };
    for (const auto& c : cases) {
        ui::XmlDocument doc = Parsed(
            L"<Items><!--top--><item><Caption>0</Caption><subitem><item><Caption>in</Caption></item></subitem></item>"
            L"<item><Caption>1</Caption></item><!--mid--><item><Caption>2</Caption></item>"
            L"<item><Caption>3</Caption></item><item><Caption>4</Caption></item></Items>");
        EXPECT_EQ(core::MoveItemInDocument(doc.Root(), c.from, c.to), c.moved)
            << c.from << "->" << c.to;
        EXPECT_EQ(Captions(doc.Root()), c.order) << c.from << "->" << c.to;
        EXPECT_EQ(doc.Root().ChildNodes().size(), 7u) << "comments stay";
        for (auto& item : doc.Root().ElementChildren())
            if (item.Child(L"Caption").Text() == L"0") {
                EXPECT_EQ(item.Child(L"subitem").ElementCount(), 1u) << "the sub-menu moves along";
            }
    }
}

// --- cached images ---------------------------------------------------------

TEST(IsValidCacheId, AcceptsOnlyWhatTheCacheWriterProduces) {
    struct Case {
        const wchar_t* id;
        bool valid;
    };
    const Case cases[] = {
        {L"0", true},      {L"7", true},       {L"99998", true},  {L"00012", true},
        {L"99999", false}, {L"123456", false}, {L"", false},      {L"-1", false},
        {L"+1", false},    {L" 1", false},     {L"1a", false},    {L"..\\x", false},
        {L"C:\\x", false}, {L"1.5", false},    {L"\u0661", false},
    };
    for (const auto& c : cases) EXPECT_EQ(core::IsValidCacheId(c.id), c.valid) << ui::WideToUtf8(c.id);
    EXPECT_EQ(core::CachedImagePath(L"C:\\c\\", L"42", L"s", L".png"), L"C:\\c\\s42.png");
    EXPECT_FALSE(core::CachedImagePath(L"C:\\c\\", L"..\\42", L"s", L".png"));
}

TEST_F(MenuDocumentTest, DeleteCachedImagesRemovesOnlyValidIdsWithAnIconStrip) {
    const std::wstring cache = folder_.Path() + L"cache\\";
    ASSERT_TRUE(CreateDirectoryW(cache.c_str(), nullptr));
    const wchar_t* files[] = {
        L"cache\\123.png",    L"cache\\s123.png",    L"cache\\456.png",   L"cache\\s456.png",
        L"cache\\99999.png",  L"cache\\s99999.png",  L"cache\\123456.png", L"cache\\s123456.png",
        L"cache\\s7.png",     L"cache\\5.png",       L"cache\\s5.png",    L"cache\\8.png",
        L"x.png",
    };
    for (const wchar_t* f : files) folder_.WriteFile(f, "png");
    ui::XmlDocument doc = Parsed(
        L"<Items><item><ID>123</ID><subitem>"
        L"<item><ID>..\\x</ID></item><item><ID>99999</ID></item><item><ID>123456</ID></item>"
        L"<item><ID>7</ID></item><item><ID>5<b/></ID></item><item><id>8</id></item>"
        L"<item><subitem><item><ID>456</ID></item></subitem></item>"
        L"</subitem></item></Items>");
    core::DeleteCachedImages(doc.Root(), cache, L".png");

    const wchar_t* gone[] = {L"cache\\123.png", L"cache\\s123.png", L"cache\\456.png", L"cache\\s456.png"};
    for (const wchar_t* f : gone) EXPECT_FALSE(ui::FileExists(folder_.Path() + f)) << ui::WideToUtf8(f);
    for (size_t i = 4; i < std::size(files); ++i)
        EXPECT_TRUE(ui::FileExists(folder_.Path() + files[i])) << ui::WideToUtf8(files[i]);
}

// --- saving the menu -------------------------------------------------------

class MenuStoreTest : public MenuDocumentTest {
protected:
    std::wstring menu_ = folder_.Path() + L"1.xml";
    std::wstring bak_ = folder_.Path() + L"1.bak";
};

TEST_F(MenuStoreTest, NothingIsWrittenWhenTheMenuDidNotParse) {
    for (auto state : {MenuStore::LoadState::ParseFailed, MenuStore::LoadState::NotLoaded}) {
        folder_.WriteFile(L"1.xml", "<Items>\r\n\t<item><Caption>half");
        folder_.WriteFile(L"1.bak", core::DefaultMenuText);
        ui::XmlDocument doc;
        EXPECT_FALSE(doc.Load(menu_));
        ui::XmlDocument other = Parsed(L"<Items><item><Caption>fresh</Caption></item></Items>");

        MenuStore store;
        store.SetLoadState(state);
        EXPECT_EQ(store.SaveMenu(other, menu_), MenuStore::SaveResult::Refused);
        EXPECT_EQ(store.SaveMenu(doc, menu_), MenuStore::SaveResult::Refused);
        EXPECT_EQ(store.SaveBackup(other, bak_), MenuStore::SaveResult::Refused);
        EXPECT_EQ(ui::ReadFileBytes(menu_), "<Items>\r\n\t<item><Caption>half");
        EXPECT_EQ(ui::ReadFileBytes(bak_), core::DefaultMenuText);
        EXPECT_FALSE(ui::FileExists(ui::AtomicTempName(menu_)));
        EXPECT_TRUE(store.TakeRefusalWarning());
        EXPECT_FALSE(store.TakeRefusalWarning());
        EXPECT_EQ(store.SaveMenu(other, menu_), MenuStore::SaveResult::Refused);
        EXPECT_FALSE(store.TakeRefusalWarning()) << "one warning per session";
    }
}

TEST_F(MenuStoreTest, BuildFailureSavesTheMenuButKeepsTheBackup) {
    folder_.WriteFile(L"1.xml", "<Items><item><Index>abc</Index></item></Items>");
    folder_.WriteFile(L"1.bak", core::DefaultMenuText);
    ui::XmlDocument doc;
    ASSERT_TRUE(doc.Load(menu_));
    MenuStore store;
    core::TLNItemList list;
    try {
        core::LoadItemList(list, doc.Root());
        store.SetLoadState(MenuStore::LoadState::Good);
    } catch (const core::ConversionError&) {
        store.SetLoadState(MenuStore::LoadState::BuildFailed);
    }
    ASSERT_EQ(store.State(), MenuStore::LoadState::BuildFailed);

    doc.Root().ElementAt(0).Child(L"Caption").SetText(L"edited");
    EXPECT_EQ(store.SaveMenu(doc, menu_), MenuStore::SaveResult::Saved);
    EXPECT_EQ(store.SaveBackup(doc, bak_), MenuStore::SaveResult::Refused);
    EXPECT_EQ(ui::ReadFileBytes(bak_), core::DefaultMenuText);
    EXPECT_FALSE(store.TakeRefusalWarning());
    ui::XmlDocument saved;
    ASSERT_TRUE(saved.Load(menu_));
    EXPECT_EQ(Captions(saved.Root()), std::vector<std::wstring>{L"edited"});
}

TEST_F(MenuStoreTest, GoodSaveReplacesBothFilesAndLeavesNoTemporaryFile) {
    folder_.WriteFile(L"1.xml", core::DefaultMenuText);
    folder_.WriteFile(L"1.bak", "old backup");
    ui::XmlDocument doc;
    ASSERT_TRUE(doc.Load(menu_));
    ASSERT_TRUE(core::MoveItemInDocument(doc.Root(), 2, 0));
    MenuStore store;
    store.SetLoadState(MenuStore::LoadState::Good);
    EXPECT_EQ(store.SaveMenu(doc, menu_), MenuStore::SaveResult::Saved);
    EXPECT_EQ(store.SaveBackup(doc, bak_), MenuStore::SaveResult::Saved);
    EXPECT_FALSE(ui::FileExists(ui::AtomicTempName(menu_)));
    EXPECT_FALSE(ui::FileExists(ui::AtomicTempName(bak_)));
    for (const std::wstring& path : {menu_, bak_}) {
        ui::XmlDocument saved;
        ASSERT_TRUE(saved.Load(path)) << ui::WideToUtf8(path);
        EXPECT_EQ(Captions(saved.Root()),
                  (std::vector<std::wstring>{L"Recycle bin", L"My computer", L"My documents"}));
    }
    EXPECT_FALSE(store.TakeRefusalWarning());
}

TEST_F(MenuStoreTest, FailedWriteReportsFailureAndLeavesNoTemporaryFile) {
    ui::XmlDocument doc = Parsed(L"<Items/>");
    MenuStore store;
    store.SetLoadState(MenuStore::LoadState::Good);
    const std::wstring nowhere = folder_.Path() + L"missing\\1.xml";
    EXPECT_EQ(store.SaveMenu(doc, nowhere), MenuStore::SaveResult::Failed);
    // The target is a folder: the temporary file is written, the move fails.
    const std::wstring folderTarget = folder_.Path() + L"taken";
    ASSERT_TRUE(CreateDirectoryW(folderTarget.c_str(), nullptr));
    EXPECT_EQ(store.SaveMenu(doc, folderTarget), MenuStore::SaveResult::Failed);
    EXPECT_FALSE(ui::FileExists(ui::AtomicTempName(folderTarget)));
    EXPECT_FALSE(store.TakeRefusalWarning());
}

TEST_F(MenuStoreTest, RecoverMenuFileTakesOnlyACompleteTemporaryMenu) {
    const std::wstring temp = ui::AtomicTempName(menu_);
    struct Case {
        const char* name;
        const char* menu;  // nullptr: missing
        const char* temp;
        bool recovered;
    };
    const Case cases[] = {
        {"complete", nullptr, core::DefaultMenuText, true},
        {"truncated", nullptr, "<?xml version=\"1.0\"?>\r\n<Items>\r\n\t<item><Run>", false},
        {"other root", nullptr, "<Other/>", false},
        {"menu present", "<Items/>", core::DefaultMenuText, false},
        {"no temporary file", nullptr, nullptr, false},
    };
    for (const auto& c : cases) {
        DeleteFileW(menu_.c_str());
        DeleteFileW(temp.c_str());
        if (c.menu) folder_.WriteFile(L"1.xml", c.menu);
        if (c.temp) folder_.WriteFile(ui::ExtractFileName(temp), c.temp);
        EXPECT_EQ(MenuStore::RecoverMenuFile(menu_), c.recovered) << c.name;
        if (c.recovered) {
            EXPECT_EQ(ui::ReadFileBytes(menu_), c.temp) << c.name;
            EXPECT_FALSE(ui::FileExists(temp)) << c.name;
        } else {
            EXPECT_EQ(ui::FileExists(menu_), c.menu != nullptr) << c.name;
            if (c.menu) {
                EXPECT_EQ(ui::ReadFileBytes(menu_), c.menu) << c.name;
            }
            EXPECT_EQ(ui::FileExists(temp), c.temp != nullptr) << c.name;
        }
    }
}

// --- shortcuts -------------------------------------------------------------

core::ShortcutInfo Sentinel(const std::wstring& linkFile) {
    core::ShortcutInfo info;
    info.LinkFile = linkFile;
    info.Target = L"target";
    info.Arguments = L"args";
    info.WorkingDir = L"dir";
    info.Description = L"desc";
    info.IconFile = L"icon";
    info.IconIndex = 9;
    info.HotKey = 0x1234;
    info.ShowCmd = 42;
    info.FindData.nFileSizeLow = 77;
    wcscpy(info.FindData.cFileName, L"kept");
    return info;
}

void ExpectSame(const core::ShortcutInfo& a, const core::ShortcutInfo& b) {
    EXPECT_EQ(a.LinkFile, b.LinkFile);
    EXPECT_EQ(a.Target, b.Target);
    EXPECT_EQ(a.Arguments, b.Arguments);
    EXPECT_EQ(a.WorkingDir, b.WorkingDir);
    EXPECT_EQ(a.Description, b.Description);
    EXPECT_EQ(a.IconFile, b.IconFile);
    EXPECT_EQ(a.IconIndex, b.IconIndex);
    EXPECT_EQ(a.HotKey, b.HotKey);
    EXPECT_EQ(a.ShowCmd, b.ShowCmd);
    EXPECT_EQ(0, memcmp(&a.FindData, &b.FindData, sizeof a.FindData));
}

TEST_F(MenuDocumentTest, ReadShortcutLeavesTheRecordAloneForNonShortcuts) {
    const std::wstring text = Write(L"notes.lnk", "plain text, not a shell link");
    for (const std::wstring& path : {text, folder_.Path() + L"missing.lnk", std::wstring()}) {
        core::ShortcutInfo info = Sentinel(path);
        EXPECT_FALSE(core::ReadShortcut(info)) << ui::WideToUtf8(path);
        ExpectSame(info, Sentinel(path));
    }
}

TEST_F(MenuDocumentTest, ReadShortcutReturnsWhatTheShortcutHolds) {
    using Microsoft::WRL::ComPtr;
    const std::wstring target = Write(L"tool.exe", "MZ");
    const std::wstring linkFile = folder_.Path() + L"tool.lnk";
    {
        ComPtr<IShellLinkW> link;
        ComPtr<IPersistFile> file;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&link))) ||
            FAILED(link.As(&file)))
            GTEST_SKIP() << "no shell link object here";
        ASSERT_HRESULT_SUCCEEDED(link->SetPath(target.c_str()));
        ASSERT_HRESULT_SUCCEEDED(link->SetArguments(L"-a \"b c\""));
        ASSERT_HRESULT_SUCCEEDED(link->SetDescription(L"A tool"));
        ASSERT_HRESULT_SUCCEEDED(link->SetWorkingDirectory(folder_.Path().c_str()));
        ASSERT_HRESULT_SUCCEEDED(link->SetIconLocation(L"C:\\icons.dll", 3));
        if (FAILED(file->Save(linkFile.c_str(), TRUE))) GTEST_SKIP() << "cannot save a shell link here";
    }
    core::ShortcutInfo info = Sentinel(linkFile);
    ASSERT_TRUE(core::ReadShortcut(info));
    EXPECT_EQ(info.LinkFile, linkFile);
    EXPECT_EQ(CompareStringOrdinal(info.Target.c_str(), -1, target.c_str(), -1, TRUE), CSTR_EQUAL)
        << ui::WideToUtf8(info.Target);
    EXPECT_EQ(info.Arguments, L"-a \"b c\"");
    EXPECT_EQ(info.Description, L"A tool");
    EXPECT_EQ(info.IconFile, L"C:\\icons.dll");
    EXPECT_EQ(info.IconIndex, 3);
    // Left at their defaults (Wine keeps no other show command), so the sentinel
    // values must have been replaced.
    EXPECT_EQ(info.ShowCmd, SW_SHOWNORMAL);
    EXPECT_EQ(info.HotKey, 0);
    EXPECT_EQ(std::wstring(info.FindData.cFileName), L"tool.exe");
}

}  // namespace
