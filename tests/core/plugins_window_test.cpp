// The plug-in host on the real windows: the test plug-in copied into plugins\ under
// a few names, its log and the menu file showing what each row called and kept.
#include "menu_input_fixture.h"

#include "core/folder_menu.h"
#include "core/motion.h"
#include "core/plugins.h"
#include "core/popup_mode.h"
#include "popups/form2.h"
#include "support/program_folder.h"
#include "ui/files.h"
#include "ui/strings.h"
#include "ui/xml_document.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

using menu_input::Row;

std::string Hex(const std::string& bytes) {
    std::string text;
    char pair[3];
    for (unsigned char c : bytes) {
        std::snprintf(pair, sizeof(pair), "%02x", c);
        text += pair;
    }
    return text;
}

// A short string as a plug-in leaves it: the length byte, then the bytes.
std::string Short(const std::string& text) { return Hex(std::string(1, static_cast<char>(text.size())) + text); }

// prefix + i + suffix, built without operator+ on a literal, which GCC 12 warns about wrongly.
std::string Numbered(const char* prefix, int i, const char* suffix = "") {
    std::string text(prefix);
    text += std::to_string(i);
    text += suffix;
    return text;
}

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// The menu of the host's table: plug-in rows on every level, a row naming its
// library in other letters, one naming no library, one naming a library without
// "_OnEnter" and "_OnClick", and a plain row naming a plug-in.
std::vector<Row> HostMenu() {
    return {Row(11, "P1", "A.dll"),
            Row(11, "P2", "B.dll"),
            Row(2, "G", "", "", "",
                {Row(11, "S1", "A.dll"), Row(11, "S2", "B.dll"), Row(2, "H", "", "", "", {Row(11, "T1", "A.dll")})}),
            Row(11, "Case", "a.dll"),
            Row(11, "None", "missing.dll"),
            Row(11, "Leave", "L.dll"),
            Row(0, "Plain", "A.dll")};
}

class PluginHostTest : public MenuInputTest {
protected:
    void SetUp() override {
        MenuInputTest::SetUp();
        core::SetMotionClockForTests(nullptr, [](int) {});
    }
    void TearDown() override {
        ui::Application::Instance().ProcessMessages();
        core::SetMotionClockForTests(nullptr, nullptr);
        MenuInputTest::TearDown();
    }

    void AddPlugin(const std::wstring& name, const std::wstring& build = L"test_plugin.dll") {
        folder.CopyFileIn(testing_support::TestExeDir() + build, L"plugins\\" + name);
    }
    // The lines plug-in `base`.dll runs in its "_OnClick".
    void Script(const std::wstring& base, const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        folder.WriteFile(L"plugins\\" + base + L".txt", text);
    }
    void StartHost() {
        AddPlugin(L"A.dll");
        AddPlugin(L"B.dll");
        AddPlugin(L"L.dll", L"test_plugin_leave_only.dll");
        StartWith(HostMenu());
        Main().Settings.DoubleClickRun = 0;
    }

    std::vector<std::string> Log() const { return folder.ReadLines(L"plugins.log"); }
    // The lines of one export (" _OnClick"), or those with this text in them.
    std::vector<std::string> LogWith(const std::string& part) const {
        std::vector<std::string> lines = Log();
        std::erase_if(lines, [&](const std::string& line) { return line.find(part) == std::string::npos; });
        return lines;
    }
    void ClearLog() { folder.Remove(L"plugins.log"); }

    popups::TForm2& Window(int level) {
        return level == 2 ? *core::Form2 : static_cast<popups::TForm2&>(*core::Form3);
    }
    int SubRowY(int level, int row) const {
        const core::SkinMetrics& skin = Main().Skin;
        const int band = Main().ScrollMode[level] ? skin.ItemSize : 0;
        return skin.HeaderSize + band + skin.ItemSize * (row - 1) + 3;
    }
    void HoverSub(int level, int row) {
        popups::TForm2& window = Window(level);
        window.FormMouseMove(0, 10, SubRowY(level, row));
        ASSERT_EQ(Main().SelectedIndex[level], row);
        SetCursorPos(window.Left() + 10, window.Top() + SubRowY(level, row));
    }
    // Level 2 of main row 3 ("G"), and level 3 of its row 3 ("H").
    void OpenLevel(int level) {
        Hover(3);
        ASSERT_TRUE(core::Form2->Visible());
        if (level == 3) {
            HoverSub(2, 3);
            ASSERT_TRUE(core::Form3->Visible());
        }
    }
    // Row `row` of `level` clicked, the pointer on it; returns the row's screen rectangle.
    RECT Click(int level, int row) {
        if (level == 1) {
            Hover(row);
            PointAtRow(row);
            Main().FormClick();
            const int top = Main().Top() + Main().ItemTop(1, row - 1);
            return RECT{Main().Left(), top, Main().Left() + Main().Width(), top + Main().Skin.ItemSize};
        }
        popups::TForm2& window = Window(level);
        HoverSub(level, row);
        window.FormClick();
        const int top = window.Top() + Main().DrawnRowTop(level, row - 1);
        return RECT{window.Left(), top, window.Left() + window.Width(), top + Main().Skin.ItemSize};
    }
};

TEST_F(PluginHostTest, AnExactNameGetsOneClickWithItsRowRectangleAndTheCaptionAndIconItReturns) {
    StartHost();
    struct Case {
        int level;
        int row;
        std::vector<int> path;  // of the row's node in 1.xml
    };
    for (const Case& c : {Case{1, 1, {0}}, Case{2, 1, {2, 0}}, Case{3, 1, {2, 2, 0}}}) {
        SCOPED_TRACE(c.level);
        if (c.level > 1) OpenLevel(c.level);
        const std::string caption = Numbered("Level ", c.level);
        const std::string icon = Numbered("C:\\icons\\", c.level, ".png");
        Script(L"A", {"caption " + Short(caption), "icon " + Short(icon)});
        ClearLog();
        const RECT row = Click(c.level, c.row);

        const std::vector<std::string> clicks = LogWith(" _OnClick ");
        ASSERT_EQ(clicks.size(), 1u);
        EXPECT_EQ(clicks[0].substr(0, clicks[0].rfind(' ')), "A.dll _OnClick " + RectText(row));
        if (c.level == 1) {
            EXPECT_TRUE(EqualRect(&Main().PluginItemRect, &row));
        }
        EXPECT_FALSE(Main().PluginBusy);
        ui::XmlDocument document;
        const auto node = menu_input::SavedItem(document, folder.PathOf(L"1.xml"), c.path);
        ASSERT_TRUE(node);
        EXPECT_EQ(node->FindChild(L"Caption")->Text(), ui::Utf8ToWide(caption));
        EXPECT_EQ(node->FindChild(L"ImageFile")->Text(), ui::Utf8ToWide(icon));
        EXPECT_EQ(Main().ItemLists[c.level][0].Caption, ui::Utf8ToWide(caption)) << "the row shows it";
        if (c.level > 1) {
            EXPECT_TRUE(Window(c.level).Visible());
        }
    }
}

TEST_F(PluginHostTest, ANameInOtherLettersNoLibraryOrNoClickExportCallsNothingAndWritesNothing) {
    StartHost();
    Script(L"L", {"caption " + Short("never")});
    for (int row : {4, 5, 6}) {
        SCOPED_TRACE(row);
        const std::string menu = folder.ReadFile(L"1.xml");
        ClearLog();
        Click(1, row);
        EXPECT_TRUE(LogWith(" _OnClick ").empty());
        EXPECT_EQ(folder.ReadFile(L"1.xml"), menu);
        EXPECT_FALSE(Main().PluginBusy);
    }
}

TEST_F(PluginHostTest, ReturnedStringsAreReadByTheirLengthCutAtNulAndFreeOfControlCharacters) {
    StartHost();
    const std::string ansi = "\xB0\xE9\x80\xFF";
    struct Case {
        const char* name;
        std::string captionHex, iconHex;  // raw bytes from 768 and from 1024
        std::wstring caption, icon;
    };
    const Case cases[] = {
        {"empty", "00", "00", L"", L""},
        // The caption's 255 bytes end just before the icon's length byte, and the
        // icon's before the free bytes at 1280.
        {"255 bytes without a NUL", "ff" + Hex(std::string(255, 'x')), "ff" + Hex(std::string(255, 'y')) + "7a7a",
         std::wstring(255, L'x'), std::wstring(255, L'y')},
        {"a NUL inside", Short(std::string("AB\0CD", 5)), Short(std::string("i.png\0.ico", 10)), L"AB", L"i.png"},
        {"ANSI bytes", Short(ansi), Short("C:\\" + ansi), ui::AnsiToWide(ansi), ui::AnsiToWide("C:\\" + ansi)},
        // Last: the menu must load again after it.
        {"control bytes", Short("A\x01\x08\tB\x0b\x0c\x1b\x1f"), Short("\x7f" "c\x02"), L"A\tB", L"\x7f" L"c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Script(L"A", {"caption " + c.captionHex, "icon " + c.iconHex});
        Click(1, 1);
        ui::XmlDocument document;
        const auto node = menu_input::SavedItem(document, folder.PathOf(L"1.xml"), {0});
        ASSERT_TRUE(node);
        EXPECT_EQ(node->FindChild(L"Caption")->Text(), c.caption);
        EXPECT_EQ(node->FindChild(L"ImageFile")->Text(), c.icon);
        EXPECT_EQ(Main().ItemLists[1][0].Caption, c.caption);
        EXPECT_EQ(Main().ItemLists[1][0].ImageFile, c.icon);
    }
    core::DestroyForms();
    boxes.clear();
    Start();
    EXPECT_TRUE(boxes.empty()) << "no restore question";
    ASSERT_FALSE(Main().ItemLists[1].empty());
    EXPECT_EQ(Main().ItemLists[1][0].Caption, L"A\tB");
}

TEST_F(PluginHostTest, TheBufferIsSharedAndKeptAcrossPlugins) {
    StartHost();
    Script(L"A", {"data 0102030405060708090a0b0c0d0e0f10"});
    Click(1, 1);
    ClearLog();
    Hover(2);
    const std::vector<std::string> enters = LogWith("B.dll _OnEnter ");
    ASSERT_EQ(enters.size(), 1u);
    EXPECT_EQ(enters[0].substr(enters[0].rfind(' ') + 1), "0102030405060708090a0b0c0d0e0f10");
}

TEST_F(PluginHostTest, HoverCallsCarryTheLastClickedRowAndSkipRowsWithoutThePluginOrExport) {
    StartHost();
    const std::string zero = RectText(RECT{});
    // Nothing clicked and no sub-menu drawn yet: the zero rectangle.
    Hover(1);
    Hover(2);
    Main().FormMouseMove(0, 10, 2);  // the header
    const std::string none = " " + zero + " " + std::string(32, '0');
    EXPECT_EQ(LogWith(" _On"), (std::vector<std::string>{"A.dll _OnEnter" + none, "A.dll _OnLeave" + none,
                                                         "B.dll _OnEnter" + none, "B.dll _OnLeave" + none}));

    const RECT clicked = Click(1, 2);
    ClearLog();
    for (int row : {4, 5, 6, 7, 1}) Hover(row);
    const std::string rect = RectText(clicked);
    std::vector<std::string> calls = Log();
    for (std::string& line : calls) line = line.substr(0, line.rfind(' '));
    EXPECT_EQ(calls, (std::vector<std::string>{"B.dll _OnLeave " + rect, "L.dll _OnLeave " + rect,
                                               "A.dll _OnEnter " + rect}))
        << "other letters, no library, no _OnEnter and a plain row call nothing";
}

TEST_F(PluginHostTest, BothSubMenuLevelsCallTheirRowsPluginWithTheOpeningRowsRectangle) {
    StartHost();
    OpenLevel(2);
    const RECT opener = Main().PluginItemRect;  // of main row 3, as the compositor keeps it
    ClearLog();
    HoverSub(2, 1);
    HoverSub(2, 2);
    EXPECT_EQ(LogWith(" _On").size(), 3u);
    EXPECT_EQ(LogWith("A.dll _OnEnter " + RectText(opener)).size(), 1u);
    EXPECT_EQ(LogWith("A.dll _OnLeave " + RectText(opener)).size(), 1u);
    EXPECT_EQ(LogWith("B.dll _OnEnter " + RectText(opener)).size(), 1u);

    HoverSub(2, 3);
    ASSERT_TRUE(core::Form3->Visible());
    const RECT level2Row = Main().PluginItemRect;
    ClearLog();
    HoverSub(3, 1);
    Window(3).FormMouseMove(0, 10, 1);  // its header
    EXPECT_EQ(Log(), (std::vector<std::string>{"A.dll _OnEnter " + RectText(level2Row) + " " + std::string(32, '0'),
                                               "A.dll _OnLeave " + RectText(level2Row) + " " + std::string(32, '0')}));
}

// The row under the pointer of a scrolled window is ScrollTop rows further down the
// list; its rectangle is where it is drawn, below the up arrow.
TEST_F(PluginHostTest, OnAScrolledSubMenuTheRowUnderThePointerGetsTheCalls) {
    core::SetKeepListingsForTests(true);
    AddPlugin(L"A.dll");
    AddPlugin(L"B.dll");
    std::vector<Row> entries;
    for (int i = 0; i < 16; ++i) entries.emplace_back(11, Numbered("e", i), i == 2 ? "A.dll" : i == 7 ? "B.dll" : "none.dll");
    StartWith({Row(1, "Listing", "C:\\", "", "1", entries)});
    core::TForm1& m = Main();
    m.Settings.DoubleClickRun = 0;
    Hover(1);
    ASSERT_TRUE(core::Form2->Visible());
    ASSERT_EQ(m.ScrollMode[2], 1);
    for (int i = 0; i < 5; ++i) core::ScrollMenu(*core::Form2, false);
    m.StopTimer(core::TForm1::kScrolltimer);
    ASSERT_EQ(m.ScrollTop, 5);
    ClearLog();
    Script(L"B", {"caption " + Short("seven")});
    const RECT row = Click(2, 3);
    const std::vector<std::string> calls = LogWith(" _On");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].substr(0, 15), "B.dll _OnEnter ");
    EXPECT_EQ(calls[1].substr(0, calls[1].rfind(' ')), "B.dll _OnClick " + RectText(row));
    EXPECT_EQ(row.top, core::Form2->Top() + m.Skin.HeaderSize + 3 * m.Skin.ItemSize) << "below the arrow band";
    ui::XmlDocument document;
    const auto node = menu_input::SavedItem(document, folder.PathOf(L"1.xml"), {0, 7});
    ASSERT_TRUE(node);
    EXPECT_EQ(node->FindChild(L"Caption")->Text(), L"seven");
}

TEST_F(PluginHostTest, ThirtyOfThirtyOneLibrariesLoadAndEachLoadedOneIsUnloadedOnce) {
    std::set<std::string> names;
    for (int i = 0; i < 31; ++i) {
        const std::string name = Numbered("p", i, ".dll");
        names.insert(name);
        AddPlugin(ui::Utf8ToWide(name));
    }
    StartWith({Row(0, "A", "a.exe")});
    const std::vector<std::string> loads = LogWith(" _LoadPlugin");
    ASSERT_EQ(loads.size(), 30u);
    std::set<std::string> loaded;
    for (const std::string& line : loads) loaded.insert(line.substr(0, line.find(' ')));
    EXPECT_EQ(loaded.size(), 30u);
    std::vector<std::string> left;
    std::set_difference(names.begin(), names.end(), loaded.begin(), loaded.end(), std::back_inserter(left));
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(Main().FindPlugin(ui::Utf8ToWide(left[0])), 0);
    for (const std::string& name : loaded) EXPECT_NE(Main().FindPlugin(ui::Utf8ToWide(name)), 0) << name;

    ClearLog();
    core::DestroyForms();
    std::set<std::string> unloaded;
    for (const std::string& line : LogWith(" _UnloadPlugin")) unloaded.insert(line.substr(0, line.find(' ')));
    EXPECT_EQ(LogWith(" _UnloadPlugin").size(), 30u);
    EXPECT_EQ(unloaded, loaded);
}

TEST_F(PluginHostTest, OnlyLibrariesThatLoadTakeASlotAndMissingExportsAreNeverCalled) {
    AddPlugin(L"A.dll");
    folder.WriteFile(L"plugins\\folder.dll\\inside.txt", "");
    folder.WriteFile(L"plugins\\text.dll", "no library");
    // A library without any plug-in export.
    folder.CopyFileIn(testing_support::TestExeDir() + L"fake_zvhook.dll", L"plugins\\hook.dll");
    const bool i686 = ui::FileExists(testing_support::I686TestPluginPath());
    if (i686) folder.CopyFileIn(testing_support::I686TestPluginPath(), L"plugins\\i686.dll");
    StartWith({Row(11, "Hook", "hook.dll")});
    std::set<std::wstring> slots;
    for (int slot = 1; slot <= core::kPluginSlots; ++slot) {
        const core::TPlugin& plugin = Main().Plugins[slot];
        if (!plugin.Loaded) continue;
        EXPECT_TRUE(plugin.Handle);
        slots.insert(plugin.Name);
    }
    EXPECT_EQ(slots, (std::set<std::wstring>{L"A.dll", L"hook.dll"}));
    EXPECT_FALSE(Main().Plugins[0].Loaded);
    if (!i686) std::printf("[  NOTE    ] no i686 test plug-in at %ls; its row is skipped\n",
                           testing_support::I686TestPluginPath().c_str());

    Hover(1);
    Click(1, 1);
    Main().FormMouseMove(0, 10, 2);
    core::DestroyForms();
    EXPECT_EQ(Log(), (std::vector<std::string>{"A.dll _LoadPlugin", "A.dll _UnloadPlugin"}));
    EXPECT_FALSE(folder.Exists(L"plugins\\hook.log")) << "the library's own export was never called";
}

// --- a plug-in that dispatches messages in "_OnClick"

TEST_F(PluginHostTest, AClickOnAnotherPluginRowWhileOnClickRunsDoesNothing) {
    StartHost();
    Script(L"A", {"click 10 " + std::to_string(RowY(2)), "pump 300", "caption " + Short("done")});
    Click(1, 1);
    EXPECT_EQ(LogWith(" _OnClick ").size(), 1u);
    EXPECT_EQ(LogWith("B.dll _OnEnter ").size(), 1u) << "the posted pointer reached the window";
    EXPECT_FALSE(Main().PluginBusy);
    ui::XmlDocument document;
    EXPECT_EQ(menu_input::SavedItem(document, folder.PathOf(L"1.xml"), {0})->FindChild(L"Caption")->Text(), L"done");
}

TEST_F(PluginHostTest, TheHideMessageWaitsForTheClickUnlessThePluginSaysItIsDone) {
    StartHost();
    core::TForm1& m = Main();
    struct Case {
        std::vector<std::string> script;
        bool hides;
    };
    for (const Case& c : {Case{{"post 1102", "pump 200"}, false}, Case{{"post 1112", "post 1102", "pump 200"}, true}}) {
        SCOPED_TRACE(c.hides);
        if (m.MenuHidden) m.SlideIn();
        ASSERT_FALSE(m.MenuHidden);
        Script(L"A", c.script);
        ClearLog();
        Hover(1);
        // Beside the menu at the row's height: the click's header test reads only y,
        // and the hide message's guard of the pointer in a menu window stays out.
        SetCursorPos(m.Left() + m.Width() + 300, m.Top() + RowY(1));
        m.FormClick();
        EXPECT_EQ(LogWith(" _OnClick ").size(), 1u);
        EXPECT_EQ(m.MenuHidden, c.hides);
        EXPECT_FALSE(m.PluginBusy);
    }
}

// Pop-up mode with the fake hook library and the notification calls recorded.
class PluginPopupTest : public PluginHostTest {
protected:
    void SetUp() override {
        PluginHostTest::SetUp();
        folder.CopyFileIn(testing_support::TestExeDir() + L"fake_zvhook.dll", L"zvhook.dll");
        config += L"Position=5\r\n";
        core::SetNotifyIconForTests([](DWORD, NOTIFYICONDATAW&) { return TRUE; });
    }
    void TearDown() override {
        PluginHostTest::TearDown();
        core::SetNotifyIconForTests(nullptr);
        core::PopupMode = false;
        // The program keeps the hook library for its life; the test must let the folder go.
        for (int i = 0; i < 16; ++i) {
            HMODULE module = GetModuleHandleW(folder.PathOf(L"zvhook.dll").c_str());
            if (!module) break;
            FreeLibrary(module);
        }
    }
};

TEST_F(PluginPopupTest, AMenuSwitchWhileOnClickRunsWritesIntoNeitherFile) {
    // The other menu holds a row of the same library at the same place.
    folder.WriteFile(L"2.xml", menu_input::MenuXml({Row(11, "Other", "A.dll"), Row(0, "X", "x.exe")}));
    StartHost();
    ASSERT_TRUE(core::PopupMode);
    ASSERT_TRUE(Main().Visible());
    Script(L"A", {"post 1101", "atom 1101 2.xml", "pump 300", "caption " + Short("lost")});
    const std::string one = folder.ReadFile(L"1.xml");
    const std::string two = folder.ReadFile(L"2.xml");
    Click(1, 1);
    EXPECT_EQ(LogWith(" _OnClick ").size(), 1u);
    EXPECT_EQ(core::MenuFileName, L"2.xml") << "hidden, then switched and shown";
    EXPECT_TRUE(Main().Visible());
    EXPECT_EQ(folder.ReadFile(L"1.xml"), one);
    EXPECT_EQ(folder.ReadFile(L"2.xml"), two);
    EXPECT_EQ(Main().ItemLists[1][0].Caption, L"Other");
    EXPECT_FALSE(Main().PluginBusy);
}

}  // namespace
