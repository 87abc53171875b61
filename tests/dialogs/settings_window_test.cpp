// The settings dialog's round trip: what each stored value shows, what Apply stores
// back, which steps each change brings, and what Cancel leaves alone.
#include "form5_fixture.h"

#include "core/search_index.h"
#include "core/startup.h"
#include "ui/cursor.h"
#include "ui/files.h"

namespace {

using namespace dialogs::form5;

TEST_F(SettingsTest, StoredValuesShowInTheirControlsAndComeBack) {
    struct Case {
        const char* name;
        std::wstring general;  // lines of [General]
        std::wstring effects;  // lines of [Effects]
        std::function<void(SettingsTest&)> change;  // run before Apply, besides the hand-cursor box
        std::function<void(SettingsTest&)> shown;
        std::vector<std::pair<std::wstring, std::wstring>> stored;  // "section/key", value
    };
    const Case cases[] = {
        {"speeds", L"SlideInSpeed=3\r\nSlideOutSpeed=31\r\n", L"", nullptr,
         [](SettingsTest& t) {
             EXPECT_EQ(t.Bar(kTrackBar2), 27);
             EXPECT_EQ(t.Bar(kTrackBar3), 30);  // read as 0
         },
         {{L"General/SlideInSpeed", L"3"}, {L"General/SlideOutSpeed", L"0"}}},
        {"speed bar moved to the end", L"SlideInSpeed=3\r\n", L"", [](SettingsTest& t) { t.Slide(kTrackBar2, 30); },
         nullptr, {{L"General/SlideInSpeed", L"0"}}},
        {"delays round to tenths", L"ShowDelay=260\r\nHideGroupDelay=250\r\n", L"", nullptr,
         [](SettingsTest& t) {
             EXPECT_EQ(t.Bar(kTrackBar4), 3);
             EXPECT_EQ(t.Bar(kTrackBar5), 2);
         },
         {{L"General/ShowDelay", L"300"}, {L"General/HideGroupDelay", L"200"}}},
        {"inverse boxes", L"DisableTab=1\r\n", L"DisableAnimation=0\r\n", nullptr,
         [](SettingsTest& t) {
             EXPECT_TRUE(t.Checked(kCheckBox8));
             EXPECT_FALSE(t.Checked(kCheckBox14));
         },
         {{L"Effects/DisableAnimation", L"0"}, {L"General/DisableTab", L"1"}}},
        {"inverse boxes toggled", L"DisableTab=1\r\n", L"DisableAnimation=0\r\n",
         [](SettingsTest& t) {
             t.Click(kCheckBox8);
             t.Click(kCheckBox14);
         },
         nullptr, {{L"Effects/DisableAnimation", L"1"}, {L"General/DisableTab", L"0"}}},
        {"zoom 100 is kept", L"", L"Zoom=100\r\nOnMouse=1\r\n", nullptr,
         [](SettingsTest& t) {
             EXPECT_EQ(t.Bar(kTrackBar6), 25);
             EXPECT_FALSE(t.Enabled(kTrackBar6));
         },
         {{L"Effects/Zoom", L"100"}}},
        {"zoom once moved", L"", L"Zoom=100\r\nOnMouse=2\r\n",
         [](SettingsTest& t) {
             EXPECT_TRUE(t.Enabled(kTrackBar6));
             t.Slide(kTrackBar6, 20);
             EXPECT_EQ(t.Text(kLabel10), L"200%");
         },
         nullptr, {{L"Effects/Zoom", L"20"}, {L"Effects/OnMouse", L"2"}}},
        {"zoom bar follows the effect", L"", L"OnMouse=2\r\n",
         [](SettingsTest& t) {
             t.Pick(kComboBox1, 3);
             EXPECT_FALSE(t.Enabled(kTrackBar6));
             t.Pick(kComboBox1, 2);
             EXPECT_TRUE(t.Enabled(kTrackBar6));
         },
         nullptr, {{L"Effects/OnMouse", L"2"}}},
        {"values no control shows are kept", L"ShowCount=99\r\n", L"OnClick=9\r\n", nullptr,
         [](SettingsTest& t) {
             EXPECT_EQ(t.Index(kComboBox3), -1);
             EXPECT_EQ(t.Text(kFolderMenuItemsCount), L"40");
         },
         {{L"Effects/OnClick", L"9"}, {L"General/ShowCount", L"99"}}},
        {"a kept value changed by the user", L"ShowCount=99\r\n", L"OnClick=9\r\n",
         [](SettingsTest& t) {
             t.Pick(kComboBox3, 4);
             t.SetText(kFolderMenuItemsCount, L"12");
         },
         nullptr, {{L"Effects/OnClick", L"4"}, {L"General/ShowCount", L"12"}}},
        {"transparency label", L"", L"BackgroundTransparent=60\r\n", nullptr,
         [](SettingsTest& t) { EXPECT_EQ(t.Text(kLabel4), L"60%"); }, {{L"Effects/BackgroundTransparent", L"60"}}},
        {"weather code trimmed", L"", L"", [](SettingsTest& t) { t.SetText(kWeatherEdit, L"  ab  "); }, nullptr,
         {{L"Weather/WeatherCode", L"ab"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        config += c.general + L"[Effects]\r\n" + c.effects;
        Start();
        ASSERT_TRUE(RunSettings({[&] {
                                     if (c.shown) c.shown(*this);
                                     if (c.change) c.change(*this);
                                     Click(kCheckBox10);
                                 },
                                 [&] { Ok(); }}));
        for (const auto& [where, value] : c.stored) {
            const size_t slash = where.find(L'/');
            EXPECT_EQ(Stored(where.substr(0, slash), where.substr(slash + 1)), value) << std::string(where.begin(), where.end());
        }
    }
}

TEST_F(SettingsTest, DegreeUnitShowsMetricForAnyNonZeroValue) {
    for (const auto& [stored, metric, written] : {std::tuple{L"0", false, L"0"}, {L"1", true, L"1"}, {L"7", true, L"1"}}) {
        SCOPED_TRACE(std::string(stored, stored + wcslen(stored)));
        TearDown();
        SetUp();
        config += std::wstring(L"[Weather]\r\nDegreeType=") + stored + L"\r\n";
        Start();
        ASSERT_TRUE(RunSettings({[&] {
                                     EXPECT_EQ(Checked(kRadioButton6), metric);
                                     EXPECT_EQ(Checked(kRadioButton5), !metric);
                                     Click(kCheckBox13);
                                 },
                                 [&] { Ok(); }}));
        EXPECT_EQ(Weather(L"DegreeType"), written);
    }
}

TEST_F(SettingsTest, HandCursorAloneWritesEveryKeyAndTheRunValueButNothingElse) {
    config += L"UseHandCursor=1\r\nLastSkin=Slate\r\n";
    runValues[HKEY_CURRENT_USER] = L"old";
    Start();
    folder.WriteFile(L"cache\\7.png", "strip");
    folder.WriteFile(L"cache\\7s.png", "captions");
    const std::string menu = folder.ReadFile(L"1.xml");
    ASSERT_TRUE(RunSettings({[&] {
                                 EXPECT_TRUE(Checked(kCheckBox1));
                                 EXPECT_FALSE(Enabled(kButton3));
                                 Click(kCheckBox10);
                                 EXPECT_TRUE(Enabled(kButton3));
                             },
                             [&] { Ok(); }}));
    EXPECT_EQ(General(L"UseHandCursor"), L"0");
    EXPECT_EQ(Effects(L"OnMouse"), L"0");
    EXPECT_EQ(General(L"ShowCount"), L"8");
    EXPECT_EQ(Weather(L"WeatherDayOffset"), L"0");
    EXPECT_EQ(runValues[HKEY_CURRENT_USER], L"\"" + ui::ModuleFileName() + L"\"");
    EXPECT_FALSE(folder.Exists(core::kIndexListFile));
    EXPECT_TRUE(folder.Exists(L"cache\\7.png"));
    EXPECT_EQ(General(L"Language"), L"(none)");
    EXPECT_EQ(General(L"LastSkin"), L"Slate");  // as the test wrote it
    EXPECT_EQ(folder.ReadFile(L"1.xml"), menu);
    EXPECT_EQ(ui::HandPointCursor(), LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(ui::ScreenCursorName(), nullptr);
}

TEST_F(SettingsTest, ConfigFileThatCannotBeWrittenIsReported) {
    Start();
    // A folder where the file should be: every write fails.
    const std::wstring path = folder.PathOf(L"config.ini");
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    ASSERT_TRUE(RunSettings({[&] { Click(kCheckBox10); }, [&] { Ok(); }}));
    RemoveDirectoryW(path.c_str());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], L"Zarvo could not save its settings to config.ini.");
}

TEST_F(SettingsTest, CancelledFolderAndColourAreGoneAtTheNextShowing) {
    config += L"[Effects]\r\nColorize=1\r\nColorizeColor=255\r\n";
    Start();
    dialogs::ChooserFunctions choosers;
    choosers.BrowseFolder = [](HWND, std::wstring& name, std::wstring& path) {
        name = L"Work";
        path = L"C:\\Work";
        return true;
    };
    dialogs::SetChoosersForTests(choosers);
    chosenColor = RGB(1, 2, 3);
    ASSERT_TRUE(RunSettings({[&] {
                                 ShowTab(kIndexingTab);
                                 Click(kAddToIndexBtn);
                                 EXPECT_EQ(SendMessageW(Control(kIndexListBox), LB_GETCOUNT, 0, 0), 1);
                                 ShowTab(kAppearanceTab);
                                 Notify(kColorPanel, STN_CLICKED);
                                 EXPECT_EQ(Dialog().PanelColor, RGB(1, 2, 3));
                             },
                             [&] { Cancel(); }}));
    EXPECT_EQ(Main().Settings.ColorizeColor, 255);
    ASSERT_TRUE(RunSettings({[&] {
                                 EXPECT_EQ(SendMessageW(Control(kIndexListBox), LB_GETCOUNT, 0, 0), 0);
                                 EXPECT_EQ(Dialog().PanelColor, RGB(255, 0, 0));
                                 EXPECT_EQ(Dialog().CurrentTab(), kAppearanceTab);  // the last tab stays
                                 Click(kCheckBox10);
                             },
                             [&] { Ok(); }}));
    EXPECT_FALSE(folder.Exists(core::kIndexListFile));
    EXPECT_EQ(Effects(L"ColorizeColor"), L"255");
}

TEST_F(SettingsTest, FirstShowingOpensPositionAndTheEffectListsHoldTheirTexts) {
    Start();
    ASSERT_TRUE(RunSettings({[&] {
                                 EXPECT_EQ(Dialog().CurrentTab(), kPositionTab);
                                 EXPECT_TRUE(ui::ControlVisible(Dialog().Page(kPositionTab)));
                                 EXPECT_FALSE(ui::ControlVisible(Dialog().Page(kAppearanceTab)));
                                 EXPECT_EQ(ui::ComboItemText(Control(kComboBox2), 6), L"Noise");
                                 EXPECT_EQ(ui::ComboCount(Control(kComboBox3)), 6);
                                 EXPECT_EQ(ui::ComboItemText(Control(kWeatherDayCombo), 6), L"+6");
                                 EXPECT_EQ(Text(kAddToIndexBtn), L"Add...");
                                 RECT client{};
                                 GetClientRect(Dialog().Handle(), &client);
                                 EXPECT_EQ(client.right, 384);
                                 EXPECT_EQ(client.bottom, 455);
                                 EXPECT_TRUE(GetWindowLongW(Dialog().Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
                                 ShowTab(kEffectsTab);
                                 EXPECT_TRUE(ui::ControlVisible(Dialog().Page(kEffectsTab)));
                                 EXPECT_FALSE(ui::ControlVisible(Dialog().Page(kPositionTab)));
                             },
                             [&] { Cancel(); }}));
}

// Keys as a user types them: an arrow to the next edge, Esc for Cancel.
TEST_F(SettingsTest, ArrowKeysMoveWithinThePositionGroupAndEscapeCancels) {
    Start();
    bool moved = false;
    RunSettings({[&] {
                     ASSERT_TRUE(Checked(kRadioButton1));
                     SetFocus(Control(kRadioButton1));
                     PostMessageW(Control(kRadioButton1), WM_KEYDOWN, VK_DOWN, 0);
                 },
                 [&] {
                     moved = Checked(kRadioButton2) && Enabled(kButton3);
                     PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
                 }});
    EXPECT_TRUE(moved);
    EXPECT_FALSE(Dialog().Visible());
    EXPECT_EQ(General(L"Position"), L"(none)");
}

}  // namespace
