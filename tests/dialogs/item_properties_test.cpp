#include "dialogs/item_properties.h"

#include "ui/strings.h"
#include "ui/xml_document.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using dialogs::DialogValues;
using dialogs::EntryList;
using dialogs::TypeControls;

constexpr std::wstring_view kSystemDir = L"C:\\Windows\\System32\\";
constexpr std::wstring_view kProgram = L"C:\\Zarvo\\Zarvo.exe";

std::string Narrow(std::wstring_view text) { return ui::WideToUtf8(text); }

// ---- Icon and target paths -------------------------------------------------------

TEST(ItemPropertiesPathsTest, IconPathTakesTheSystemMacroElseTheProgramDriveCaseSensitively) {
    struct Case {
        std::wstring_view path, program, stored;
    };
    for (const Case c : {
             Case{L"C:\\Windows\\System32\\shell32.dll", kProgram, L"%SYSTEM%shell32.dll"},
             Case{L"C:\\Windows\\System32\\icons\\a.ico", kProgram, L"%SYSTEM%icons\\a.ico"},
             Case{L"C:\\Icons\\a.ico", kProgram, L"%DISK%\\Icons\\a.ico"},
             Case{L"D:\\Icons\\a.ico", kProgram, L"D:\\Icons\\a.ico"},
             // The system folder in other letters is no system prefix, and its drive
             // letter is compared exactly as well.
             Case{L"c:\\windows\\system32\\shell32.dll", kProgram, L"c:\\windows\\system32\\shell32.dll"},
             Case{L"C:\\WINDOWS\\SYSTEM32\\shell32.dll", kProgram, L"%DISK%\\WINDOWS\\SYSTEM32\\shell32.dll"},
             Case{L"C:\\Icons\\a.ico", L"\\\\server\\share\\Zarvo.exe", L"C:\\Icons\\a.ico"},
             Case{L"", kProgram, L""},
         })
        EXPECT_EQ(dialogs::AbbreviateIconPath(c.path, kSystemDir, c.program), c.stored) << Narrow(c.path);
}

TEST(ItemPropertiesPathsTest, RelativePathOnlyForTheProgramDriveInAnyLetterCase) {
    struct Case {
        std::wstring_view path, program, relative;
    };
    for (const Case c : {
             Case{L"C:\\Tools\\a.exe", kProgram, L"%DISK%\\Tools\\a.exe"},
             Case{L"c:\\Tools\\a.exe", kProgram, L"%DISK%\\Tools\\a.exe"},
             Case{L"D:\\Tools\\a.exe", kProgram, L"D:\\Tools\\a.exe"},
             Case{L"\\\\server\\share\\a.exe", kProgram, L"\\\\server\\share\\a.exe"},
             Case{L"C:\\Tools\\a.exe", L"\\\\server\\share\\Zarvo.exe", L"C:\\Tools\\a.exe"},
         })
        EXPECT_EQ(dialogs::RelativeToProgramDrive(c.path, c.program), c.relative) << Narrow(c.path);
}

TEST(ItemPropertiesPathsTest, FileNamesExtensionsAndTheSystemRootFollowExactSpelling) {
    EXPECT_EQ(dialogs::CaptionForFile(L"C:\\Tools\\Tool.lnk"), L"Tool");
    EXPECT_EQ(dialogs::CaptionForFile(L"C:\\Tools\\a.EXE"), L"a.EXE");
    EXPECT_EQ(dialogs::CaptionForFile(L"C:\\Tools\\notes.txt"), L"notes.txt");

    struct Ext {
        std::wstring_view path, ext;
    };
    for (const Ext c : {Ext{L"C:\\a\\pic.PNG", L".PNG"}, Ext{L"C:\\a\\b.tar.ico", L".ico"},
                        Ext{L"C:\\a.dir\\file", L""}, Ext{L"C:/a.dir/file", L""}, Ext{L"file", L""}})
        EXPECT_EQ(dialogs::ExtensionOf(c.path), c.ext) << Narrow(c.path);

    const std::wstring_view windows = L"C:\\Windows";
    EXPECT_EQ(dialogs::ExpandSystemRoot(L"%SystemRoot%\\system32\\shell32.dll", windows),
              L"C:\\Windows\\system32\\shell32.dll");
    EXPECT_EQ(dialogs::ExpandSystemRoot(L"%systemroot%\\a.dll", windows), L"%systemroot%\\a.dll");
    EXPECT_EQ(dialogs::ExpandSystemRoot(L"D:\\%SystemRoot%\\a.dll", windows), L"D:\\%SystemRoot%\\a.dll");
}

// ---- Controls, defaults, lists ---------------------------------------------------

TEST(ItemPropertiesControlsTest, EachKindEnablesItsOwnControls) {
    struct Case {
        int typeIndex, level;
        TypeControls controls;
    };
    const TypeControls none;
    for (const Case c : {
             Case{0, 1, {.Target = true, .Caption = true, .Params = true, .Show = true}},
             Case{1, 2, {.Target = true, .Caption = true, .Params = true, .Show = true, .PopupMenuBox = true}},
             Case{1, 3, {.Target = true, .Caption = true, .Params = true, .Show = true}},
             Case{6, 1, {.Caption = true, .Show = true}},
             Case{7, 1, {.Caption = true}},
             Case{10, 1, {.Caption = true, .List = EntryList::SystemTools}},
             Case{11, 1, {.Caption = true, .List = EntryList::Connections}},
             Case{12, 1, {.Params = true, .ResultListBox = true}},
             Case{13, 1, {.Params = true}},
             Case{14, 1, {.Caption = true, .Params = true, .List = EntryList::Plugins}},
             Case{-1, 1, {.Caption = true}},
             Case{15, 1, none},
             Case{-2, 1, none},
         })
        EXPECT_TRUE(dialogs::ControlsForType(c.typeIndex, c.level) == c.controls)
            << "type index " << c.typeIndex << " level " << c.level;
}

TEST(ItemPropertiesControlsTest, DefaultIconsUseTheProgramsOwnGroupsForTheSessionCommands) {
    const std::wstring shell32 = std::wstring(kSystemDir) + L"shell32.dll";
    struct Case {
        int typeIndex;
        dialogs::IconRef icon;
    };
    for (const Case& c : {
             Case{0, {shell32, 23}},
             Case{6, {shell32, 21}},
             Case{7, {std::wstring(kProgram), 4}},
             Case{8, {std::wstring(kProgram), 2}},
             Case{9, {std::wstring(kProgram), 3}},
             Case{10, {shell32, 165}},
             Case{14, {shell32, 0}},
             Case{-1, {shell32, 0}},
             Case{99, {shell32, 0}},
         })
        EXPECT_TRUE(dialogs::DefaultIcon(c.typeIndex, kSystemDir, kProgram) == c.icon) << "type index " << c.typeIndex;
}

TEST(ItemPropertiesControlsTest, DefaultCaptionsByKind) {
    struct Case {
        int typeIndex;
        std::wstring_view caption;
    };
    for (const Case c : {Case{0, L"New item"}, Case{14, L"New item"}, Case{-1, L"New item"}, Case{3, L"entry"},
                         Case{11, L"entry"}, Case{12, L""}, Case{13, L"<?>\u00B0C"}, Case{99, L""}})
        EXPECT_EQ(dialogs::DefaultCaption(c.typeIndex, L"entry", L"New item", L"\u00B0C"), c.caption)
            << "type index " << c.typeIndex;
}

TEST(ItemPropertiesListsTest, ConnectionNameComesOnlyFromTheStoredQuotedForm) {
    struct Case {
        std::wstring_view params;
        std::optional<std::wstring> name;
    };
    for (const Case& c : {
             Case{L"-d \"My ISP\"", L"My ISP"},
             Case{L"-d \"\"", L""},
             Case{L"-d My ISP", std::nullopt},
             Case{L"-d \"My ISP", std::nullopt},
             Case{L"-d \"", std::nullopt},
             Case{L" -d \"My ISP\"", std::nullopt},
             Case{L"-D \"My ISP\"", std::nullopt},
             Case{L"\"My ISP\"", std::nullopt},
             Case{L"", std::nullopt},
         })
        EXPECT_EQ(dialogs::ConnectionName(c.params), c.name) << Narrow(c.params);
    EXPECT_EQ(dialogs::ConnectionName(dialogs::ConnectionParams(L"Dial \"up\"")), L"Dial \"up\"");
}

TEST(ItemPropertiesListsTest, EntryIndexOrAddKeepsAStoredEntryTheListLacks) {
    std::vector<std::wstring> plugins{L"clock.dll", L"weather.dll"};
    EXPECT_EQ(dialogs::EntryIndexOrAdd(plugins, L"weather.dll"), 1);
    EXPECT_EQ(plugins.size(), 2u);
    EXPECT_EQ(dialogs::EntryIndexOrAdd(plugins, L"Weather.dll"), 2);
    EXPECT_EQ(dialogs::EntryIndexOrAdd(plugins, L"gone.dll"), 3);
    EXPECT_EQ(plugins, (std::vector<std::wstring>{L"clock.dll", L"weather.dll", L"Weather.dll", L"gone.dll"}));
    EXPECT_EQ(dialogs::EntryIndexOrAdd(plugins, L""), 0);
    EXPECT_EQ(plugins.size(), 4u);

    std::vector<std::wstring> empty;
    EXPECT_EQ(dialogs::EntryIndexOrAdd(empty, L""), -1);
    EXPECT_TRUE(empty.empty());
}

TEST(ItemPropertiesListsTest, SharedToolCommandsPreselectTheLastToolThatUsesThem) {
    struct Case {
        std::wstring_view run;
        int tool;
    };
    for (const Case c : {Case{L"Rundll32", 40}, Case{L"control", 34}, Case{L"calc", 6}, Case{L"rundll32", 0},
                         Case{L"", 0}})
        EXPECT_EQ(dialogs::SystemToolIndex(c.run), c.tool) << Narrow(c.run);
    EXPECT_EQ(dialogs::SystemToolNames[40], L"Windows Firewall");
    EXPECT_EQ(dialogs::SystemToolNames[34], L"Scheduled Tasks");
}

TEST(ItemPropertiesListsTest, ToolParametersFollowTheirCommand) {
    EXPECT_EQ(dialogs::SystemToolParams[40], L"shell32,Control_RunDLL firewall.cpl");
    EXPECT_EQ(dialogs::SystemToolNames[23], L"Themes");
    EXPECT_EQ(dialogs::SystemToolCommands[23], L"control");
    EXPECT_EQ(dialogs::SystemToolParams[23], L"color");
    EXPECT_EQ(dialogs::SystemToolParams[6], L"calc");
    EXPECT_EQ(dialogs::TypeCommands[6],
              L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\::{21EC2020-3AEA-1069-A2DD-08002B30309D}");
}

// ---- The fill from a stored item -------------------------------------------------

// Every field set, so a kind that shows a value it does not use is caught.
core::TLNItem StoredItem(int type) {
    core::TLNItem item;
    item.Run = L"C:\\Tools\\run.exe";
    item.Params = L"-p";
    item.Caption = L"Caption";
    item.ImageFile = L"%SYSTEM%shell32.dll";
    item.Index = 7;
    item.Type = type;
    item.RunVis = 2;
    item.Param1 = L"1";
    return item;
}

TEST(ItemPropertiesFillTest, EachTypeOpensWithTheValuesItUsesAndNoOthers) {
    const std::wstring icon = L"%SYSTEM%shell32.dll";
    struct Case {
        int type;
        DialogValues values;
    };
    for (const Case& c : {
             Case{0, {.TypeIndex = 0, .Target = L"C:\\Tools\\run.exe", .Params = L"-p", .Caption = L"Caption",
                      .ShowIndex = 2, .IconFile = icon, .IconIndex = 7}},
             Case{1, {.TypeIndex = 1, .Target = L"C:\\Tools\\run.exe", .Params = L"-p", .Caption = L"Caption",
                      .ShowIndex = 2, .PopupMenuChecked = true, .IconFile = icon, .IconIndex = 7}},
             Case{2, {.TypeIndex = -1, .TypeListEnabled = false, .Caption = L"Caption", .IconFile = icon,
                      .IconIndex = 7}},
             // RunVis 2 names the tool, not a show command.
             Case{4, {.TypeIndex = 10, .Caption = L"Caption", .EntryIndex = 2, .EntryText = L"Add/Remove Programs",
                      .IconFile = icon, .IconIndex = 7}},
             Case{5, {.TypeIndex = 11, .Caption = L"Caption", .IconFile = icon, .IconIndex = 7}},
             Case{6, {.TypeIndex = 12, .Params = L"-p", .IconFile = icon, .IconIndex = 7}},
             Case{7, {.TypeIndex = 13, .Params = L"-p", .IconButtonEnabled = false, .IconFile = icon, .IconIndex = 7}},
             Case{11, {.TypeIndex = 14, .Params = L"-p", .Caption = L"Caption", .EntryText = L"C:\\Tools\\run.exe",
                       .IconFile = icon, .IconIndex = 7}},
         }) {
        const auto values = dialogs::FillValues(StoredItem(c.type));
        ASSERT_TRUE(values.has_value()) << "Type " << c.type;
        EXPECT_TRUE(*values == c.values) << "Type " << c.type;
    }
}

TEST(ItemPropertiesFillTest, TypesTheDialogDoesNotEditOpenNothing) {
    for (const int type : {55, 777, 8, -1})
        EXPECT_FALSE(dialogs::FillValues(StoredItem(type)).has_value()) << "Type " << type;
}

TEST(ItemPropertiesFillTest, ShowCommandOutsideTheListOpensAsNormal) {
    for (const int runVis : {3, -1, 41}) {
        core::TLNItem item = StoredItem(0);
        item.RunVis = runVis;
        EXPECT_EQ(dialogs::FillValues(item)->ShowIndex, 0) << "RunVis " << runVis;
    }
}

TEST(ItemPropertiesFillTest, ShellObjectsAreFoundByCommandAndParameters) {
    struct Case {
        std::wstring_view run, params;
        int typeIndex;
        bool keep;
    };
    for (const Case c : {
             Case{L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", L"", 2, false},
             Case{L"shutdown.exe", L"-s -t 00", 8, false},
             Case{L"shutdown.exe", L"-r -t 00", 9, false},
             Case{L"shutdown.exe", L"-h", -1, true},
             Case{L"::{20d04fe0-3aea-1069-a2d8-08002b30309d}", L"", -1, true},
         }) {
        core::TLNItem item = StoredItem(3);
        item.Run = c.run;
        item.Params = c.params;
        const DialogValues values = *dialogs::FillValues(item);
        EXPECT_EQ(values.TypeIndex, c.typeIndex) << Narrow(c.run) << " " << Narrow(c.params);
        EXPECT_EQ(values.KeepStoredKind, c.keep) << Narrow(c.run) << " " << Narrow(c.params);
        EXPECT_TRUE(values.TypeListEnabled);
        EXPECT_TRUE(values.Target.empty() && values.Params.empty());
        EXPECT_EQ(values.ShowIndex, 2);
    }
}

TEST(ItemPropertiesFillTest, SystemToolEntryIsItsRunVisElseFoundByCommand) {
    struct Case {
        int runVis;
        std::wstring_view run;
        int entry;
    };
    for (const Case c : {Case{23, L"calc", 23}, Case{0, L"calc", 0}, Case{41, L"calc", 41}, Case{42, L"calc", 6},
                         Case{-1, L"Rundll32", 40}, Case{100, L"control", 34}, Case{42, L"unknown", 0}}) {
        core::TLNItem item = StoredItem(4);
        item.RunVis = c.runVis;
        item.Run = c.run;
        const DialogValues values = *dialogs::FillValues(item);
        EXPECT_EQ(values.EntryIndex, c.entry) << "RunVis " << c.runVis;
        EXPECT_EQ(values.EntryText, dialogs::SystemToolNames[static_cast<size_t>(c.entry)]) << "RunVis " << c.runVis;
        EXPECT_EQ(values.ShowIndex, 0);
    }
}

TEST(ItemPropertiesFillTest, ConnectionOpensWithTheQuotedNameOnly) {
    core::TLNItem item = StoredItem(5);
    item.Params = L"-d \"My ISP\"";
    EXPECT_EQ(dialogs::FillValues(item)->EntryText, L"My ISP");
    item.Params = L"My ISP";
    EXPECT_EQ(dialogs::FillValues(item)->EntryText, L"");
}

TEST(ItemPropertiesFillTest, RunBoxOpensWithItsResultListSwitch) {
    core::TLNItem item = StoredItem(6);
    item.Run = L"1";
    EXPECT_TRUE(dialogs::FillValues(item)->ResultListChecked);
    item.Run = L"0";
    EXPECT_FALSE(dialogs::FillValues(item)->ResultListChecked);
}

// ---- The checks before OK --------------------------------------------------------

DialogValues Link() { return DialogValues{.TypeIndex = 0}; }

TEST(ItemPropertiesCheckTest, LengthLimitsHoldAtTheBoundaryForTheFieldsAKindWrites) {
    struct Case {
        const char* name;
        DialogValues values;
        bool passes;
    };
    auto with = [](int typeIndex, size_t caption, size_t target, size_t params) {
        DialogValues v{.TypeIndex = typeIndex};
        v.Caption.assign(caption, L'c');
        v.Target.assign(target, L't');
        v.Params.assign(params, L'p');
        return v;
    };
    for (const Case& c : {
             Case{"empty link", Link(), true},
             Case{"caption 260", with(0, 260, 0, 0), true},
             Case{"caption 261", with(0, 261, 0, 0), false},
             Case{"target 2048", with(1, 0, 2048, 0), true},
             Case{"target 2049", with(1, 0, 2049, 0), false},
             Case{"params 8191", with(0, 0, 0, 8191), true},
             Case{"params 8192", with(0, 0, 0, 8192), false},
             // A Run item writes no caption, a shell object no target or parameters.
             Case{"run item caption 261", with(12, 261, 0, 0), true},
             Case{"run item params 8192", with(12, 0, 0, 8192), false},
             Case{"my computer target 3000", with(2, 0, 3000, 9000), true},
             Case{"group caption 261", with(-1, 261, 0, 0), false},
         })
        EXPECT_EQ(!dialogs::CheckValues(c.values).has_value(), c.passes) << c.name;

    const auto message = dialogs::CheckValues(with(0, 261, 0, 0));
    ASSERT_TRUE(message.has_value());
    EXPECT_NE(message->find(L"caption"), std::wstring::npos) << Narrow(*message);
    EXPECT_NE(message->find(L"260"), std::wstring::npos) << Narrow(*message);
}

TEST(ItemPropertiesCheckTest, ListKindsNeedAnEntryAndTheTypeMustBeInTheList) {
    const std::wstring choose = L"Choose an entry from the list.";
    struct Case {
        const char* name;
        DialogValues values;
        std::optional<std::wstring> message;
    };
    for (const Case& c : {
             Case{"tool", {.TypeIndex = 10, .EntryIndex = 41, .EntryText = L"Windows Update Launches"}, std::nullopt},
             Case{"no tool", {.TypeIndex = 10, .EntryIndex = -1, .EntryText = L"Calculator"}, choose},
             Case{"tool 42", {.TypeIndex = 10, .EntryIndex = 42, .EntryText = L"Calculator"}, choose},
             Case{"no connection name", {.TypeIndex = 11, .EntryIndex = 0}, choose},
             Case{"connection", {.TypeIndex = 11, .EntryIndex = 0, .EntryText = L"My ISP"}, std::nullopt},
             Case{"no plug-in", {.TypeIndex = 14, .EntryIndex = -1, .EntryText = L"a.dll"}, choose},
         })
        EXPECT_EQ(dialogs::CheckValues(c.values), c.message) << c.name;
    for (const int typeIndex : {-2, 15})
        EXPECT_TRUE(dialogs::CheckValues(DialogValues{.TypeIndex = typeIndex}).has_value()) << typeIndex;
}

// ---- OK's writer -----------------------------------------------------------------

constexpr std::wstring_view kStoredItem =
    L"<Items><item><Run>old run</Run><Params>old params</Params><Caption>old caption</Caption>"
    L"<ImageFile>old.ico</ImageFile><Index>1</Index><Type>3</Type><RunVis>2</RunVis><Param1>1</Param1>"
    L"<subitem><item><Caption>child</Caption></item><item><Caption>child 2</Caption></item></subitem>"
    L"</item></Items>";

class ItemPropertiesWriteTest : public ::testing::Test {
protected:
    ui::XmlNode Load(std::wstring_view xml) {
        EXPECT_TRUE(doc_.LoadXml(xml));
        return doc_.Root().ElementAt(0);
    }

    static std::wstring Field(const ui::XmlNode& node, std::wstring_view name) {
        const auto child = node.FindChild(name);
        return child ? child->Text() : L"<missing>";
    }

    static std::vector<std::pair<std::wstring, std::wstring>> Fields(const ui::XmlNode& node) {
        std::vector<std::pair<std::wstring, std::wstring>> fields;
        for (const ui::XmlNode& child : node.ElementChildren()) fields.emplace_back(child.Name(), child.Text());
        return fields;
    }

    static size_t SubItemCount(const ui::XmlNode& node) {
        const auto subitem = node.FindChild(L"subitem");
        return subitem ? subitem->ElementCount() : 0;
    }

    ui::XmlDocument doc_;
};

TEST_F(ItemPropertiesWriteTest, EachKindWritesItsTypeRunAndParameters) {
    struct Case {
        const char* name;
        DialogValues values;
        std::wstring_view type, run, params, runVis, caption;
    };
    const DialogValues base{.Target = L"C:\\a.exe", .Params = L"-x", .Caption = L"Mine", .ShowIndex = 1};
    auto as = [&base](int typeIndex) {
        DialogValues v = base;
        v.TypeIndex = typeIndex;
        return v;
    };
    auto edited = [&as](int typeIndex, auto edit) {
        DialogValues v = as(typeIndex);
        edit(v);
        return v;
    };
    for (const Case& c : {
             Case{"link", as(0), L"0", L"C:\\a.exe", L"-x", L"1", L"Mine"},
             Case{"blank target", edited(0, [](DialogValues& v) { v.Target = L"  \t"; }), L"0", L"", L"-x", L"1",
                  L"Mine"},
             Case{"control panel", as(6), L"3",
                  L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\::{21EC2020-3AEA-1069-A2DD-08002B30309D}", L"", L"1",
                  L"Mine"},
             Case{"shutdown", as(8), L"3", L"shutdown.exe", L"-s -t 00", L"1", L"Mine"},
             // The tool number goes to RunVis; the show command is not written.
             Case{"themes", edited(10, [](DialogValues& v) { v.EntryIndex = 23; }), L"4", L"control", L"color",
                  L"23", L"Mine"},
             Case{"connection", edited(11, [](DialogValues& v) { v.EntryText = L"My ISP"; }), L"5", L"rasphone.exe",
                  L"-d \"My ISP\"", L"1", L"Mine"},
             Case{"run box", edited(12, [](DialogValues& v) { v.ResultListChecked = true; }), L"6", L"1", L"-x",
                  L"1", L""},
             Case{"run box unchecked", as(12), L"6", L"0", L"-x", L"1", L""},
             Case{"weather", as(13), L"7", L"24", L"-x", L"1", L"Mine"},
             Case{"plug-in", edited(14, [](DialogValues& v) { v.EntryText = L"clock.dll"; }), L"11", L"clock.dll",
                  L"-x", L"1", L"Mine"},
             Case{"group", as(-1), L"2", L"", L"", L"1", L"Mine"},
             Case{"unmatched shell object", edited(-1, [](DialogValues& v) { v.KeepStoredKind = true; }), L"3",
                  L"old run", L"old params", L"1", L"Mine"},
             Case{"show command outside the list",
                  edited(0, [](DialogValues& v) { v.ShowIndex = -1; }), L"0", L"C:\\a.exe", L"-x", L"0", L"Mine"},
         }) {
        DialogValues values = c.values;
        values.IconFile = L"%SYSTEM%shell32.dll";
        values.IconIndex = 23;
        const ui::XmlNode node = Load(kStoredItem);
        dialogs::WriteItemNode(node, values);
        EXPECT_EQ(Field(node, L"Type"), c.type) << c.name;
        EXPECT_EQ(Field(node, L"Run"), c.run) << c.name;
        EXPECT_EQ(Field(node, L"Params"), c.params) << c.name;
        EXPECT_EQ(Field(node, L"RunVis"), c.runVis) << c.name;
        EXPECT_EQ(Field(node, L"Caption"), c.caption) << c.name;
        EXPECT_EQ(Field(node, L"ImageFile"), L"%SYSTEM%shell32.dll") << c.name;
        EXPECT_EQ(Field(node, L"Index"), L"23") << c.name;
    }
}

TEST_F(ItemPropertiesWriteTest, SubItemsStayOnlyForAFolderShownAsPopupMenu) {
    struct Case {
        const char* name;
        int typeIndex;
        bool popup;
        size_t children;
        std::wstring_view param1;
    };
    for (const Case& c : {
             Case{"unchecked folder", 1, false, 0, L"0"},
             Case{"checked folder", 1, true, 2, L"1"},
             Case{"link", 0, false, 0, L"1"},
             Case{"link with a stale check", 0, true, 0, L"1"},
             Case{"shell object", 2, false, 2, L"1"},
         }) {
        const ui::XmlNode node = Load(kStoredItem);
        dialogs::WriteItemNode(node, DialogValues{.TypeIndex = c.typeIndex, .PopupMenuChecked = c.popup});
        EXPECT_EQ(SubItemCount(node), c.children) << c.name;
        EXPECT_EQ(Field(node, L"Param1"), c.param1) << c.name;
    }
}

TEST_F(ItemPropertiesWriteTest, MissingFieldsAreCreatedButNoSubItemElement) {
    const ui::XmlNode node = Load(L"<Items><item/></Items>");
    dialogs::WriteItemNode(node, DialogValues{.TypeIndex = 1, .Target = L"D:\\Docs", .Caption = L"Docs"});
    EXPECT_FALSE(node.FindChild(L"subitem").has_value());
    EXPECT_EQ(Fields(node), (std::vector<std::pair<std::wstring, std::wstring>>{{L"Type", L"1"},
                                                                                {L"Run", L"D:\\Docs"},
                                                                                {L"Param1", L"0"},
                                                                                {L"Params", L""},
                                                                                {L"Index", L"0"},
                                                                                {L"ImageFile", L""},
                                                                                {L"Caption", L"Docs"},
                                                                                {L"RunVis", L"0"}}));
}

TEST_F(ItemPropertiesWriteTest, IndexesOutsideTheirListsWriteNothing) {
    for (const DialogValues& values : {DialogValues{.TypeIndex = 15}, DialogValues{.TypeIndex = -2},
                                       DialogValues{.TypeIndex = 10, .EntryIndex = 42, .EntryText = L"x"},
                                       DialogValues{.TypeIndex = 10, .EntryIndex = -1}}) {
        const ui::XmlNode node = Load(kStoredItem);
        const auto before = Fields(node);
        dialogs::WriteItemNode(node, values);
        EXPECT_EQ(Fields(node), before) << "type index " << values.TypeIndex << " entry " << values.EntryIndex;
        EXPECT_EQ(SubItemCount(node), 2u);
    }
}

}  // namespace
