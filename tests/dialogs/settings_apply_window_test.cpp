// What Apply puts into effect: a skin switch (and a broken skin), the index folders,
// the start-with-Windows entry, and the placement of the menu.
#include "form5_fixture.h"

#include "core/search_index.h"
#include "core/startup.h"
#include "popups/form2.h"
#include "popups/zv_hint.h"
#include "ui/cursor.h"
#include "ui/files.h"
#include "ui/strings.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace dialogs::form5;

class SettingsSkinTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        WriteSkin(L"alpha", 50, true, true, L"Autor=Ann\r\nComments=First skin\r\n");
        WriteSkin(L"Beta", 70, false, false, L"Autor=Bob\r\n");
        WriteSkin(L"gamma", 60, true, false);
        folder.WriteFile(L"Themes\\gamma\\back.png", "not a picture");
        config += L"LastSkin=alpha\r\n";
    }
};

TEST_F(SettingsSkinTest, RowsAreSortedWithTheStoredSkinSelectedAndItsDetailsShown) {
    Start();
    ASSERT_EQ(Main().Width(), 50);
    ASSERT_TRUE(RunSettings({[&] {
                                 ASSERT_EQ(ui::ComboCount(Control(kSkinComboBox)), 3);
                                 EXPECT_EQ(ui::ComboItemText(Control(kSkinComboBox), 0), L"alpha");
                                 EXPECT_EQ(ui::ComboItemText(Control(kSkinComboBox), 1), L"Beta");
                                 EXPECT_EQ(ui::ComboItemText(Control(kSkinComboBox), 2), L"gamma");
                                 EXPECT_EQ(Index(kSkinComboBox), 0);
                                 EXPECT_TRUE(Dialog().PreviewShown());
                                 EXPECT_EQ(Text(kLBautor), L"Ann");
                                 EXPECT_EQ(Text(kMemo1), L"First skin");
                                 EXPECT_TRUE(Enabled(kCheckBox11));
                                 EXPECT_FALSE(Enabled(kButton3));
                                 Pick(kSkinComboBox, 1);
                                 EXPECT_FALSE(Dialog().PreviewShown());
                                 EXPECT_EQ(Text(kLBautor), L"Bob");
                                 EXPECT_EQ(Text(kMemo1), L"");
                                 EXPECT_FALSE(Enabled(kCheckBox11));
                                 EXPECT_FALSE(Enabled(kColorPanel));
                                 EXPECT_TRUE(Enabled(kButton3));
                                 Notify(kImage_t1, STN_CLICKED);
                                 Notify(kImage8, STN_CLICKED);
                             },
                             [&] { Cancel(); }}));
    // Cancel: the mask-less row's state does not outlive the showing.
    ASSERT_TRUE(RunSettings({[&] { EXPECT_TRUE(Enabled(kCheckBox11)); }, [&] { Cancel(); }}));
    EXPECT_EQ(shellCalls, (std::vector<std::wstring>{L"open " + folder.PathOf(L"Themes\\Beta"),
                                                     L"open " + folder.PathOf(L"Themes\\Beta\\skin.ini")}));
}

TEST_F(SettingsSkinTest, SwitchingSkinsResizesTheMenuAndRewritesOnlyTheCache) {
    Start();
    folder.WriteFile(L"1.bak", "backup");
    const std::string menu = folder.ReadFile(L"1.xml");
    ASSERT_TRUE(folder.Exists(L"cache\\main.png"));
    folder.WriteFile(L"cache\\main.png", "stale");
    ASSERT_TRUE(RunSettings({[&] {
                                 ShowTab(kAppearanceTab);
                                 Pick(kSkinComboBox, 1);
                             },
                             [&] {
                                 Apply();
                                 EXPECT_FALSE(Enabled(kButton3));
                                 // Shown at the left edge until the closing dialog takes the activation along.
                                 EXPECT_EQ(Main().Left(), -Main().Skin.MainLeftSpace);
                                 Ok();
                             }}));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Main().Width(), 70);
    EXPECT_EQ(General(L"LastSkin"), L"Beta");
    EXPECT_EQ(Main().Settings.LastSkin, L"Beta");
    EXPECT_EQ(folder.ReadFile(L"cache\\main.png").substr(0, 4), "\x89PNG");
    EXPECT_TRUE(folder.ReadFile(L"1.xml") == menu);
    EXPECT_EQ(folder.ReadFile(L"1.bak"), "backup");
}

TEST_F(SettingsSkinTest, BrokenSkinBringsTheOldOneBackAndKeepsLastSkin) {
    Start();
    ASSERT_TRUE(RunSettings({[&] { Pick(kSkinComboBox, 2); }, [&] { Ok(); }}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], L"Error in theme!");
    EXPECT_EQ(Main().Width(), 50);
    EXPECT_EQ(Main().Settings.LastSkin, L"alpha");
    EXPECT_EQ(General(L"LastSkin"), L"alpha");
}

TEST_F(SettingsSkinTest, NoSelectedRowReloadsTheStoredSkinWithoutWritingAnEmptyOne) {
    Start();
    Main().Settings.LastSkin = L"missing";
    ASSERT_TRUE(RunSettings({[&] {
                                 EXPECT_EQ(Index(kSkinComboBox), -1);
                                 EXPECT_EQ(Text(kLBautor), L"---");
                                 Notify(kImage_t1, STN_CLICKED);
                                 Slide(kTrackBar1, 50);
                             },
                             [&] { Ok(); }}));
    EXPECT_TRUE(shellCalls.empty());
    EXPECT_EQ(General(L"LastSkin"), L"missing");
    EXPECT_EQ(Effects(L"BackgroundTransparent"), L"50");
}

TEST_F(SettingsTest, IndexFoldersAreSavedInTheMarkedEncodingOnlyWhenNeeded) {
    Start();
    std::vector<std::wstring> chosen;
    dialogs::ChooserFunctions choosers;
    choosers.BrowseFolder = [&](HWND, std::wstring& name, std::wstring& path) {
        if (chosen.empty()) return false;
        path = chosen.front();
        name = path;
        chosen.erase(chosen.begin());
        return true;
    };
    dialogs::SetChoosersForTests(choosers);
    chosen = {L"C:\\caf\u00e9"};
    ASSERT_TRUE(RunSettings({[&] {
                                 ShowTab(kIndexingTab);
                                 Click(kAddToIndexBtn);
                             },
                             [&] { Ok(); }}));
    EXPECT_EQ(folder.ReadFile(core::kIndexListFile), "C:\\caf\xe9\r\n");
    chosen = {L"C:\\\u65e5\u672c"};
    ASSERT_TRUE(RunSettings({[&] {
                                 ASSERT_EQ(SendMessageW(Control(kIndexListBox), LB_GETCOUNT, 0, 0), 1);
                                 Click(kAddToIndexBtn);
                                 // A folder is opened by a double click on its row.
                                 SendMessageW(Control(kIndexListBox), LB_SETCURSEL, 1, 0);
                                 Notify(kIndexListBox, LBN_SELCHANGE);
                                 EXPECT_TRUE(Enabled(kDelIndexBtn));
                                 Notify(kIndexListBox, LBN_DBLCLK);
                             },
                             [&] { Ok(); }}));
    EXPECT_EQ(folder.ReadFile(core::kIndexListFile), "\xEF\xBB\xBF" "C:\\caf\xC3\xA9\r\nC:\\\xE6\x97\xA5\xE6\x9C\xAC\r\n");
    EXPECT_EQ(core::ReadIndexList(folder.PathOf(core::kIndexListFile)),
              (std::vector<std::wstring>{L"C:\\caf\u00e9", L"C:\\\u65e5\u672c"}));
    ASSERT_EQ(shellCalls.size(), 1u);
    EXPECT_EQ(shellCalls[0], L"open C:\\\u65e5\u672c");
}

class SettingsRunTest : public SettingsTest {};

TEST_F(SettingsRunTest, CheckedWritesTheQuotedPathAndClearedDeletesIt) {
    Start();
    ASSERT_TRUE(RunSettings({[&] {
                                 EXPECT_FALSE(Checked(kCheckBox1));
                                 ShowTab(kAdvancedTab);
                                 Click(kCheckBox1);
                             },
                             [&] { Ok(); }}));
    ASSERT_EQ(runValues.size(), 1u);
    EXPECT_EQ(runValues[HKEY_CURRENT_USER], L"\"" + ui::ModuleFileName() + L"\"");
    ASSERT_TRUE(RunSettings({[&] {
                                 EXPECT_TRUE(Checked(kCheckBox1));
                                 Click(kCheckBox1);
                             },
                             [&] { Ok(); }}));
    EXPECT_TRUE(runValues.empty());
}

TEST_F(SettingsRunTest, MachineEntryShowsCheckedAndAddsNoUserEntry) {
    runValues[HKEY_LOCAL_MACHINE] = L"C:\\old\\Zarvo.exe";
    Start();
    ASSERT_TRUE(RunSettings({[&] {
                                 EXPECT_TRUE(Checked(kCheckBox1));
                                 Click(kCheckBox13);
                             },
                             [&] { Ok(); }}));
    EXPECT_EQ(runValues.size(), 1u);
    EXPECT_EQ(runValues.count(HKEY_CURRENT_USER), 0u);
    EXPECT_EQ(runWrites, 0);
}

TEST_F(SettingsRunTest, FailedWriteIsReportedOnceAndTheOtherStepsStillRun) {
    WriteSkin(L"alpha", 50, true, false);
    WriteSkin(L"beta", 64, true, false);
    folder.WriteUtf16(L"Languages\\Deutsch.ini", L"[Info]\r\nAutor=Dora\r\n");
    folder.WriteUtf16(L"Languages\\notes.INI", L"");
    // The slide-in at the end of Apply waits for no pointer over the menu.
    config += L"LastSkin=alpha\r\nOpenOnClick=1\r\n";
    Start();
    failRunWrites = true;
    Main().SlideOut();
    ASSERT_TRUE(Main().MenuHidden);
    ASSERT_TRUE(RunSettings({[&] {
                                 ASSERT_EQ(ui::ComboCount(Control(kLangComboBox)), 1);
                                 EXPECT_EQ(ui::ComboItemText(Control(kLangComboBox), 0), L"Deutsch");
                                 Pick(kLangComboBox, 0);
                                 Pick(kSkinComboBox, 1);
                                 Click(kCheckBox1);
                             },
                             [&] {
                                 Apply();
                                 EXPECT_FALSE(Main().MenuHidden);
                                 EXPECT_EQ(ui::ScreenCursorName(), nullptr);
                                 Cancel();
                             }}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], L"Zarvo could not change its start with Windows.");
    EXPECT_EQ(General(L"Language"), L"Deutsch");
    EXPECT_EQ(General(L"LastSkin"), L"beta");
}

// Every case that applies the pop-up branch sits here: the hook's own messages
// are answered through the task-dialog seam.
class SettingsPlacementTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        core::SetTaskDialogHandler([](const core::TaskDialogRequest&) { return IDOK; });
    }
    void TearDown() override {
        core::SetTaskDialogHandler(nullptr);
        SettingsTest::TearDown();
    }
    bool Topmost() { return (GetWindowLongW(Main().Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
    bool LastInZOrder() {
        for (HWND below = GetWindow(Main().Handle(), GW_HWNDNEXT); below; below = GetWindow(below, GW_HWNDNEXT))
            if (IsWindowVisible(below)) return false;
        return true;
    }
    static int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }
};

TEST_F(SettingsPlacementTest, EachEdgeAndTheDesktopPlaceTheMenu) {
    Start();
    const int middle = static_cast<int>(std::nearbyint(ScreenHeight() / 2.0 - Main().Height() / 2.0));
    struct Case {
        int button;
        int position;
        std::optional<int> left;
        int top;
        bool desktop;
    };
    const Case cases[] = {{kRadioButton2, 1, std::nullopt, middle, false},
                          {kRadioButton4, 3, 200, 0, false},
                          {kRadioButton7, 0, 100, 100, true},
                          {kRadioButton1, 0, -Main().Skin.MainLeftSpace, middle, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        // Checked inside the loop: the closing dialog takes the activation along, and
        // the menu slides out.
        ASSERT_TRUE(RunSettings({[&] {
                                     ShowTab(kPositionTab);
                                     Click(c.button);
                                 },
                                 [&] {
                                     Apply();
                                     EXPECT_EQ(Main().Settings.Position, c.position);
                                     const int left = c.left ? *c.left
                                                             : GetSystemMetrics(SM_CXSCREEN) - Main().Width() +
                                                                   Main().Skin.RightEdgeSize;
                                     EXPECT_EQ(Main().Left(), left);
                                     EXPECT_EQ(Main().Top(), c.top);
                                     EXPECT_EQ(core::DesktopMode, c.desktop);
                                     EXPECT_EQ(Topmost(), !c.desktop);
                                     if (c.desktop) {
                                         EXPECT_TRUE(LastInZOrder());
                                     }
                                     Cancel();
                                 }}));
        EXPECT_EQ(General(L"Position"), std::to_wstring(c.position));
        EXPECT_EQ(General(L"PlaceZVOnDesktop"), c.desktop ? L"1" : L"0");
    }
}

TEST_F(SettingsPlacementTest, PopupModeAddsTheIconAndShowsTheCentredMessage) {
    UseVista(false);
    Start();
    ASSERT_TRUE(RunSettings({[&] {
                                 ShowTab(kPositionTab);
                                 ASSERT_TRUE(Enabled(kRadioButton3));
                                 Click(kRadioButton3);
                             },
                             [&] {
                                 Apply();
                                 // The message is up while the dialog is still open.
                                 ASSERT_TRUE(core::ZVHint->Visible());
                                 const int width = core::ZVHint->Width();
                                 EXPECT_EQ(core::ZVHint->Left(),
                                           static_cast<int>(std::nearbyint(GetSystemMetrics(SM_CXSCREEN) / 2.0 - width / 2.0)));
                                 EXPECT_EQ(core::ZVHint->Top(), static_cast<int>(std::nearbyint(ScreenHeight() / 2.0)));
                             },
                             [&] { Cancel(); }}));
    EXPECT_TRUE(core::PopupMode);
    EXPECT_EQ(Main().Settings.Position, 0);
    EXPECT_EQ(General(L"Position"), L"0");
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), 1000), 2);
}

TEST_F(SettingsPlacementTest, PopupButtonIsDisabledFromVistaOn) {
    UseVista(true);
    Start();
    ASSERT_TRUE(RunSettings({[&] { EXPECT_FALSE(Enabled(kRadioButton3)); }, [&] { Cancel(); }}));
}

TEST_F(SettingsPlacementTest, OneShotModeLeavesThePlacementAlone) {
    Start();
    core::SetFirstArgumentForTests(L"other.xml");
    POINT before{};
    ASSERT_TRUE(RunSettings({[&] {
                                 before = {Main().Left(), Main().Top()};
                                 ShowTab(kPositionTab);
                                 Click(kRadioButton4);
                             },
                             [&] {
                                 Apply();
                                 EXPECT_EQ(Main().Left(), before.x);
                                 EXPECT_EQ(Main().Top(), before.y);
                                 Cancel();
                             }}));
    core::SetFirstArgumentForTests(std::wstring());
    EXPECT_EQ(Main().Settings.Position, 0);
    EXPECT_FALSE(core::PopupMode);
}

}  // namespace
