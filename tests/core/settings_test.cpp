#include "core/settings.h"
#include "support/temp_folder.h"
#include "ui/files.h"
#include "ui/ini.h"
#include "ui/strings.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <type_traits>
#include <string>
#include <vector>

namespace {

using core::Settings;

using testing_support::TempFolder;

void WriteAnsi(const std::wstring& path, const std::string& text) {
    ASSERT_TRUE(ui::WriteFileAtomic(path, text));
}

void WriteUtf16(const std::wstring& path, const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    ASSERT_TRUE(ui::WriteFileAtomic(path, bytes));
}

std::string Bytes(const std::wstring& path) { return ui::ReadFileBytes(path).value_or(""); }

// The non-empty lines of a file that starts with the UTF-16 mark.
std::vector<std::wstring> Utf16Lines(const std::wstring& path) {
    std::string bytes = Bytes(path);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    if (bytes.size() < 2) return {};
    std::wstring text((bytes.size() - 2) / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), bytes.data() + 2, text.size() * sizeof(wchar_t));
    std::vector<std::wstring> lines;
    std::wstring line;
    for (wchar_t c : text) {
        if (c == L'\r' || c == L'\n') {
            if (!line.empty()) lines.push_back(line);
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// What start-up reads, in its order.
Settings ReadAll(const std::wstring& iniPath, const std::wstring& appDir, bool vistaOrLater = true) {
    ui::Ini ini(iniPath);
    Settings s;
    bool desktopMode = core::ReadDesktopMode(ini);
    s.HideSplashScreen = core::ReadHideSplashScreen(ini);
    core::ReadLock(ini, s);
    core::ReadAppearance(ini, s, desktopMode, vistaOrLater);
    core::ReadRemaining(ini, s, appDir);
    return s;
}

// ---- Ini ----------------------------------------------------------------------

TEST(Ini, UnicodeValueSurvivesInAFileItCreates) {
    TempFolder dir;
    ui::Ini ini(dir.PathOf(L"config.ini"));
    // Start-up reads the missing file first; the close then creates it.
    EXPECT_EQ(ini.ReadString(L"General", L"Language", L"none"), L"none");
    EXPECT_EQ(ini.ReadInteger(L"General", L"X", 200), 200);

    ASSERT_TRUE(ini.WriteString(L"General", L"Language", L"Привет ✓"));
    ASSERT_TRUE(ini.WriteInteger(L"General", L"X", -30));

    EXPECT_EQ(Bytes(ini.Path()).substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(ini.ReadString(L"General", L"Language", L""), L"Привет ✓");
    EXPECT_EQ(ui::Ini(ini.Path()).ReadInteger(L"General", L"X", 0), -30);
}

TEST(Ini, ExistingAnsiFileStaysAnsi) {
    TempFolder dir;
    const std::wstring path = dir.PathOf(L"config.ini");
    WriteAnsi(path, "[General]\r\nLastSkin=Old\r\n");
    ui::Ini ini(path);

    ASSERT_TRUE(ini.WriteString(L"General", L"Language", L"English"));

    std::string bytes = Bytes(path);
    EXPECT_EQ(bytes.substr(0, 9), "[General]");
    EXPECT_NE(bytes.find("Language=English"), std::string::npos);
    EXPECT_EQ(ini.ReadString(L"General", L"LastSkin", L""), L"Old");
}

TEST(Ini, LongValuesAreReadWhole) {
    TempFolder dir;
    ui::Ini ini(dir.PathOf(L"config.ini"));
    // Around the first buffer's size, where a truncated answer looks like a full one.
    for (size_t length : {254u, 255u, 256u, 257u, 511u, 5000u}) {
        std::wstring value(length, L'a');
        value.back() = L'z';
        ASSERT_TRUE(ini.WriteString(L"General", L"WeatherCode", value));
        EXPECT_EQ(ini.ReadString(L"General", L"WeatherCode", L""), value) << length;
    }
}

TEST(Ini, WriteIntoAMissingFolderFailsAndCreatesNothing) {
    TempFolder dir;
    ui::Ini ini(dir.PathOf(L"absent\\config.ini"));
    EXPECT_FALSE(ini.WriteString(L"General", L"X", L"1"));
    EXPECT_FALSE(ini.WriteInteger(L"General", L"X", 1));
    EXPECT_FALSE(ui::DirectoryExists(dir.PathOf(L"absent")));
}

// ---- reading --------------------------------------------------------------------

// A field of Settings as text, so one table covers every kind.
template <auto Member> std::wstring Field(const Settings& s) {
    if constexpr (std::is_same_v<std::decay_t<decltype(s.*Member)>, std::wstring>)
        return s.*Member;
    else
        return std::to_wstring(static_cast<long long>(s.*Member));
}
#define KEY(name) L## #name, &Field<&Settings::name>

struct Row {
    const wchar_t* section;
    const wchar_t* key;
    std::wstring (*field)(const Settings&);
    const wchar_t* stored;  // nullptr: the key is not in the file
    const wchar_t* expected;
};

std::string Line(const std::wstring& text) { return ui::WideToAnsi(text) + "\r\n"; }

TEST(SettingsRead, EveryKeyComesFromItsOwnSection) {
    // Non-default values: a key looked up in another section would read its default.
    // PlaceZVOnDesktop is left out since it forces Position; it has its own test.
    const Row rows[] = {
        {L"General", KEY(HideSplashScreen), L"1", L"1"},
        {L"General", KEY(lock), L"1", L"1"},
        {L"General", KEY(LastSkin), L"Glass", L"Glass"},
        {L"Effects", KEY(ColorizeColor), L"255", L"255"},
        {L"Effects", KEY(Colorize), L"1", L"1"},
        {L"General", KEY(Position), L"3", L"3"},
        {L"General", KEY(VistaBlur), L"1", L"1"},
        {L"General", KEY(X), L"-40", L"-40"},
        {L"General", KEY(Y), L"300", L"300"},
        {L"General", KEY(Language), L"Deutsch", L"Deutsch"},
        {L"Effects", KEY(OnMouse), L"2", L"2"},
        {L"Effects", KEY(Menu), L"6", L"6"},
        {L"Effects", KEY(OnClick), L"5", L"5"},
        {L"Effects", KEY(Zoom), L"25", L"25"},
        {L"Effects", KEY(MoveSound), L"1", L"1"},
        {L"Effects", KEY(ClickSound), L"1", L"1"},
        {L"General", KEY(SlideInSpeed), L"12", L"12"},
        {L"General", KEY(StandardContextMenu), L"0", L"0"},
        {L"Effects", KEY(DisableAnimation), L"1", L"1"},
        {L"General", KEY(DisableTab), L"1", L"1"},
        {L"General", KEY(GroupItemAnimationOFF), L"0", L"0"},
        {L"General", KEY(SlideOutSpeed), L"20", L"20"},
        {L"Effects", KEY(BackgroundTransparent), L"70", L"70"},
        {L"General", KEY(HintFontSize), L"9", L"9"},
        {L"General", KEY(HintFontName), L"Tahoma", L"Tahoma"},
        {L"General", KEY(RollOutAfterRun), L"0", L"0"},
        {L"General", KEY(DoubleClickRun), L"0", L"0"},
        {L"General", KEY(ShowHint), L"0", L"0"},
        {L"General", KEY(HideGroupDelay), L"300", L"300"},
        {L"General", KEY(ShowDelay), L"500", L"500"},
        {L"General", KEY(OpenOnClick), L"1", L"1"},
        {L"General", KEY(UseHandCursor), L"1", L"1"},
        {L"General", KEY(HideFromScreen), L"1", L"1"},
        {L"General", KEY(HideWarnings), L"1", L"1"},
        {L"Weather", KEY(DegreeType), L"1", L"1"},
        {L"Weather", KEY(WeatherCode), L"UKXX0085", L"UKXX0085"},
        {L"Weather", KEY(WeatherDayOffset), L"3", L"3"},
        {L"General", KEY(IndexOnStart), L"1", L"1"},
        {L"General", KEY(RollOutOnMouseOut), L"1", L"1"},
        {L"General", KEY(ShowCount), L"12", L"12"},
    };
    TempFolder dir;
    std::string text;
    for (const wchar_t* section : {L"General", L"Effects", L"Weather"}) {
        text += Line(std::wstring(L"[") + section + L"]");
        for (const Row& r : rows)
            if (std::wstring_view(r.section) == section)
                text += Line(std::wstring(r.key) + L"=" + r.stored);
    }
    WriteAnsi(dir.PathOf(L"config.ini"), text);
    WriteAnsi(dir.PathOf(L"move.wav"), "RIFF");
    WriteAnsi(dir.PathOf(L"click.wav"), "RIFF");

    const Settings s = ReadAll(dir.PathOf(L"config.ini"), dir.Path());
    for (const Row& r : rows) EXPECT_EQ(r.field(s), r.expected) << r.key;
}

TEST(SettingsRead, StoredTextFollowsTheKeyRules) {
    const Row rows[] = {
        // An empty config.ini: left edge at X 200, speeds 3 and 8, double click,
        // roll-out after a launch, hints, no skin.
        {L"General", KEY(Position), nullptr, L"0"},
        {L"General", KEY(X), nullptr, L"200"},
        {L"General", KEY(Y), nullptr, L"200"},
        {L"General", KEY(SlideInSpeed), nullptr, L"3"},
        {L"General", KEY(SlideOutSpeed), nullptr, L"8"},
        {L"General", KEY(DoubleClickRun), nullptr, L"1"},
        {L"General", KEY(RollOutAfterRun), nullptr, L"1"},
        {L"General", KEY(ShowHint), nullptr, L"1"},
        {L"General", KEY(LastSkin), nullptr, L""},
        {L"Effects", KEY(ColorizeColor), nullptr, L"16777215"},
        {L"Effects", KEY(Zoom), nullptr, L"100"},
        {L"Effects", KEY(BackgroundTransparent), nullptr, L"100"},
        {L"General", KEY(StandardContextMenu), nullptr, L"1"},
        {L"General", KEY(GroupItemAnimationOFF), nullptr, L"1"},
        {L"General", KEY(HintFontSize), nullptr, L"14"},
        {L"General", KEY(HintFontName), nullptr, L"Arial"},
        {L"General", KEY(ShowCount), nullptr, L"8"},
        // Malformed numbers give the key's default, whatever its kind.
        {L"General", KEY(X), L"abc", L"200"},
        {L"General", KEY(Y), L"12abc", L"200"},
        {L"General", KEY(ShowCount), L"99999999999", L"8"},
        {L"General", KEY(HintFontSize), L"", L"14"},
        {L"General", KEY(DoubleClickRun), L"abc", L"1"},
        {L"General", KEY(ShowHint), L"12abc", L"1"},
        {L"Effects", KEY(BackgroundTransparent), L"99999999999", L"100"},
        {L"General", KEY(SlideInSpeed), L"", L"3"},
        {L"General", KEY(lock), L"1x", L"0"},
        // Bytes keep the low eight bits; integers are kept whole.
        {L"Effects", KEY(Colorize), L"300", L"44"},
        {L"Effects", KEY(OnMouse), L"-1", L"255"},
        {L"Effects", KEY(Menu), L"256", L"0"},
        {L"General", KEY(Position), L"261", L"5"},
        {L"General", KEY(X), L"-5", L"-5"},
        {L"Effects", KEY(ColorizeColor), L"-1", L"-1"},
        {L"Effects", KEY(Zoom), L"300", L"300"},
        // Speeds above 30 stop, judged on the byte.
        {L"General", KEY(SlideInSpeed), L"30", L"30"},
        {L"General", KEY(SlideInSpeed), L"31", L"0"},
        {L"General", KEY(SlideInSpeed), L"286", L"30"},
        {L"General", KEY(SlideInSpeed), L"300", L"0"},
        {L"General", KEY(SlideInSpeed), L"-1", L"0"},
        {L"General", KEY(SlideOutSpeed), L"30", L"30"},
        {L"General", KEY(SlideOutSpeed), L"31", L"0"},
        // Opacity below 10 is raised to 10, judged on the byte.
        {L"Effects", KEY(BackgroundTransparent), L"5", L"10"},
        {L"Effects", KEY(BackgroundTransparent), L"9", L"10"},
        {L"Effects", KEY(BackgroundTransparent), L"10", L"10"},
        {L"Effects", KEY(BackgroundTransparent), L"300", L"44"},
        {L"Effects", KEY(BackgroundTransparent), L"256", L"10"},
        // Flags are exactly 1.
        {L"General", KEY(lock), L"1", L"1"},
        {L"General", KEY(lock), L"2", L"0"},
        {L"General", KEY(lock), L"-1", L"0"},
        {L"General", KEY(lock), L"257", L"0"},
        {L"General", KEY(HideSplashScreen), L"2", L"0"},
        {L"General", KEY(HideSplashScreen), L"-1", L"0"},
        {L"General", KEY(VistaBlur), L"2", L"0"},
        {L"General", KEY(PlaceZVOnDesktop), L"-1", L"0"},
        {L"General", KEY(PlaceZVOnDesktop), L"257", L"0"},
        // The rows a scrolling window shows stay within what a screen can hold.
        {L"General", KEY(ShowCount), L"0", L"1"},
        {L"General", KEY(ShowCount), L"-3", L"1"},
        {L"General", KEY(ShowCount), L"40", L"40"},
        {L"General", KEY(ShowCount), L"100000", L"200"},
    };
    for (const Row& r : rows) {
        TempFolder dir;
        std::string text;
        if (r.stored) text = Line(std::wstring(L"[") + r.section + L"]") +
                             Line(std::wstring(r.key) + L"=" + r.stored);
        WriteAnsi(dir.PathOf(L"config.ini"), text);
        const Settings s = ReadAll(dir.PathOf(L"config.ini"), dir.Path());
        EXPECT_EQ(r.field(s), r.expected) << r.key << L"=" << (r.stored ? r.stored : L"(absent)");
    }
}

TEST(SettingsRead, SoundsAreKeptOnlyWithTheirWaveFile) {
    struct Case {
        bool moveWav, clickWav;
        const char* stored;
        int moveSound, clickSound;
    };
    const Case cases[] = {
        {false, false, "MoveSound=1\r\nClickSound=1\r\n", 0, 0},
        {true, false, "MoveSound=1\r\nClickSound=1\r\n", 1, 0},
        {false, true, "MoveSound=1\r\nClickSound=1\r\n", 0, 1},
        {true, true, "MoveSound=257\r\nClickSound=2\r\n", 1, 2},
    };
    for (const Case& c : cases) {
        TempFolder dir;
        WriteAnsi(dir.PathOf(L"config.ini"), std::string("[Effects]\r\n") + c.stored);
        if (c.moveWav) WriteAnsi(dir.PathOf(L"move.wav"), "RIFF");
        if (c.clickWav) WriteAnsi(dir.PathOf(L"click.wav"), "RIFF");
        const Settings s = ReadAll(dir.PathOf(L"config.ini"), dir.Path());
        EXPECT_EQ(s.MoveSound, c.moveSound) << c.stored << " move.wav " << c.moveWav;
        EXPECT_EQ(s.ClickSound, c.clickSound) << c.stored << " click.wav " << c.clickWav;
    }
}

TEST(SettingsRead, DesktopModeForcesTheLeftEdgeAndBlurNeedsVista) {
    struct Case {
        const char* stored;
        bool vistaOrLater;
        bool desktopMode;
        int position;
        bool vistaBlur;
    };
    const Case cases[] = {
        {"PlaceZVOnDesktop=1\r\nPosition=1\r\n", true, true, 0, false},
        {"PlaceZVOnDesktop=1\r\nPosition=5\r\n", true, true, 0, false},
        {"PlaceZVOnDesktop=2\r\nPosition=1\r\n", true, false, 1, false},
        {"Position=5\r\n", true, false, 5, false},
        {"VistaBlur=1\r\n", true, false, 0, true},
        {"VistaBlur=1\r\n", false, false, 0, false},
    };
    for (const Case& c : cases) {
        TempFolder dir;
        WriteAnsi(dir.PathOf(L"config.ini"), std::string("[General]\r\n") + c.stored);
        ui::Ini ini(dir.PathOf(L"config.ini"));
        EXPECT_EQ(core::ReadDesktopMode(ini), c.desktopMode) << c.stored;
        const Settings s = ReadAll(ini.Path(), dir.Path(), c.vistaOrLater);
        EXPECT_EQ(s.PlaceZVOnDesktop, c.desktopMode) << c.stored;
        EXPECT_EQ(s.Position, c.position) << c.stored;
        EXPECT_EQ(s.VistaBlur, c.vistaBlur) << c.stored << " vista " << c.vistaOrLater;
    }
}

TEST(SettingsRead, TopOutsideTheScreenBecomesZero) {
    struct Case { int top, screenHeight, expected; };
    const Case cases[] = {
        {-5, 1024, 0}, {-1, 1024, 0}, {0, 1024, 0}, {200, 1024, 200},
        {1024, 1024, 1024}, {1025, 1024, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(core::ClampTop(c.top, c.screenHeight), c.expected) << c.top << " " << c.screenHeight;
}

// ---- writing --------------------------------------------------------------------

TEST(SettingsWrite, ApplyWritesItsKeysInOrderAndNoHandOnlyKey) {
    Settings s;
    // Distinct values, so a field written under another key shows.
    s.OnMouse = 3; s.Menu = 6; s.OnClick = 5; s.MoveSound = 1; s.ClickSound = 0;
    s.ColorizeColor = 255; s.BackgroundTransparent = 70; s.Zoom = 15;
    s.RollOutAfterRun = 11; s.DoubleClickRun = 12; s.ShowHint = 13; s.Position = 3;
    s.PlaceZVOnDesktop = true; s.OpenOnClick = 14; s.UseHandCursor = 15; s.HideFromScreen = 16;
    s.Colorize = 17; s.DisableAnimation = 18; s.DisableTab = 19; s.SlideInSpeed = 21;
    s.SlideOutSpeed = 22; s.ShowDelay = 500; s.HideGroupDelay = 200;
    s.GroupItemAnimationOFF = 23; s.HideWarnings = 24; s.DegreeType = 1;
    s.WeatherCode = L"UKXX0085"; s.WeatherDayOffset = 2; s.IndexOnStart = 25;
    s.RollOutOnMouseOut = 26; s.ShowCount = 40; s.Language = L"Русский"; s.LastSkin = L"Glass";
    // Keys only a user edits, at values that would show if they were written.
    s.HideSplashScreen = true; s.VistaBlur = true; s.StandardContextMenu = 0;
    s.HintFontSize = 20; s.HintFontName = L"Tahoma"; s.lock = true; s.X = 7; s.Y = 8;

    // The profile routines group keys by section, in the order each was first written.
    for (bool languageChanged : {false, true}) {
        for (bool appearanceChanged : {false, true}) {
            std::vector<std::wstring> expected = {
                L"[Effects]", L"OnMouse=3", L"Menu=6", L"OnClick=5", L"MoveSound=1",
                L"ClickSound=0", L"ColorizeColor=255", L"BackgroundTransparent=70", L"Zoom=15",
                L"Colorize=17", L"DisableAnimation=18",
                L"[General]", L"RollOutAfterRun=11", L"DoubleClickRun=12", L"ShowHint=13",
                L"Position=3", L"PlaceZVOnDesktop=1", L"OpenOnClick=14", L"UseHandCursor=15",
                L"HideFromScreen=16", L"DisableTab=19", L"SlideInSpeed=21", L"SlideOutSpeed=22",
                L"ShowDelay=500", L"HideGroupDelay=200", L"GroupItemAnimationOFF=23",
                L"HideWarnings=24", L"IndexOnStart=25", L"RollOutOnMouseOut=26", L"ShowCount=40"};
            if (languageChanged) expected.push_back(L"Language=Русский");
            if (appearanceChanged) expected.push_back(L"LastSkin=Glass");
            expected.insert(expected.end(), {L"[Weather]", L"DegreeType=1",
                                             L"WeatherCode=UKXX0085", L"WeatherDayOffset=2"});

            TempFolder dir;
            ui::Ini ini(dir.PathOf(L"config.ini"));
            EXPECT_TRUE(core::WriteApplySettings(ini, s, languageChanged, appearanceChanged));
            EXPECT_EQ(Utf16Lines(ini.Path()), expected)
                << "language " << languageChanged << " appearance " << appearanceChanged;
        }
    }
}

TEST(SettingsWrite, ApplyLeavesHandEditedKeysAsTheyWere) {
    TempFolder dir;
    const std::wstring path = dir.PathOf(L"config.ini");
    const std::vector<std::wstring> handLines = {
        L"[General]", L"HideSplashScreen=1", L"VistaBlur=1", L"StandardContextMenu=0",
        L"HintFontSize=20", L"HintFontName=Tahoma"};
    std::wstring text;
    for (const auto& line : handLines) text += line + L"\r\n";
    WriteUtf16(path, text);

    ui::Ini ini(path);
    EXPECT_TRUE(core::WriteApplySettings(ini, Settings{}, true, true));

    std::vector<std::wstring> lines = Utf16Lines(path);
    ASSERT_GE(lines.size(), handLines.size());
    EXPECT_EQ(std::vector<std::wstring>(lines.begin(), lines.begin() + handLines.size()), handLines);
    const Settings s = ReadAll(path, dir.Path());
    EXPECT_TRUE(s.HideSplashScreen);
    EXPECT_TRUE(s.VistaBlur);
    EXPECT_EQ(s.StandardContextMenu, 0);
    EXPECT_EQ(s.HintFontSize, 20);
    EXPECT_EQ(s.HintFontName, L"Tahoma");
}

TEST(SettingsWrite, CloseWritesTopLeftLockAndThePositionOnlyWhenGivenOne) {
    {
        TempFolder dir;
        ui::Ini ini(dir.PathOf(L"config.ini"));
        EXPECT_TRUE(core::WriteCloseSettings(ini, 120, -30, true, std::nullopt));
        EXPECT_EQ(Utf16Lines(ini.Path()),
                  (std::vector<std::wstring>{L"[General]", L"Y=120", L"X=-30", L"lock=1"}));
    }
    {
        TempFolder dir;
        ui::Ini ini(dir.PathOf(L"config.ini"));
        EXPECT_TRUE(core::WriteCloseSettings(ini, 0, 5, false, 5));
        EXPECT_EQ(Utf16Lines(ini.Path()), (std::vector<std::wstring>{
                                              L"[General]", L"Y=0", L"X=5", L"lock=0",
                                              L"Position=5"}));
    }
    {
        // Not asked: a stored position and the hand-edited keys stay as they are.
        TempFolder dir;
        WriteAnsi(dir.PathOf(L"config.ini"),
                  "[General]\r\nPosition=3\r\nHideSplashScreen=1\r\nVistaBlur=1\r\n");
        ui::Ini ini(dir.PathOf(L"config.ini"));
        EXPECT_TRUE(core::WriteCloseSettings(ini, 10, 20, false, std::nullopt));
        const Settings s = ReadAll(ini.Path(), dir.Path());
        EXPECT_EQ(s.Position, 3);
        EXPECT_TRUE(s.HideSplashScreen);
        EXPECT_TRUE(s.VistaBlur);
        EXPECT_EQ(s.Y, 10);
        EXPECT_EQ(s.X, 20);
    }
}

}  // namespace
