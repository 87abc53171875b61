// The user settings of config.ini: their fields, section and key names, and the
// rules by which start-up reads them and the Apply and close paths write them.
#pragma once

#include "ui/ini.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// The most rows a scrolling sub-menu shows at a time, whatever the file says.
inline constexpr int kMaxShowCount = 200;

// Fields carry their key's name; the initialisers are the defaults of a missing or
// malformed value.
struct Settings {
    bool PlaceZVOnDesktop = false;
    bool HideSplashScreen = false;
    bool lock = false;
    std::wstring LastSkin;
    int ColorizeColor = 16777215;  // white, red in the lowest byte
    std::uint8_t Colorize = 0;
    std::uint8_t Position = 0;
    bool VistaBlur = false;
    int X = 200;
    int Y = 200;
    std::wstring Language;
    std::uint8_t OnMouse = 0;
    std::uint8_t Menu = 0;
    std::uint8_t OnClick = 0;
    int Zoom = 100;
    std::uint8_t MoveSound = 0;
    std::uint8_t ClickSound = 0;
    std::uint8_t SlideInSpeed = 3;
    int StandardContextMenu = 1;
    std::uint8_t DisableAnimation = 0;
    std::uint8_t DisableTab = 0;
    std::uint8_t GroupItemAnimationOFF = 1;
    std::uint8_t SlideOutSpeed = 8;
    std::uint8_t BackgroundTransparent = 100;
    int HintFontSize = 14;
    std::wstring HintFontName = L"Arial";
    std::uint8_t RollOutAfterRun = 1;
    std::uint8_t DoubleClickRun = 1;
    std::uint8_t ShowHint = 1;
    int HideGroupDelay = 0;
    int ShowDelay = 0;
    std::uint8_t OpenOnClick = 0;
    std::uint8_t UseHandCursor = 0;
    std::uint8_t HideFromScreen = 0;
    std::uint8_t HideWarnings = 0;
    int DegreeType = 0;
    std::wstring WeatherCode;
    int WeatherDayOffset = 0;
    std::uint8_t IndexOnStart = 0;
    std::uint8_t RollOutOnMouseOut = 0;
    int ShowCount = 8;
};

struct SettingKey {
    std::wstring_view section;
    std::wstring_view key;
};

// Every section and key name, once, so that readers and writers cannot drift apart.
struct SettingKeys {
    static constexpr std::wstring_view kGeneral = L"General";
    static constexpr std::wstring_view kEffects = L"Effects";
    static constexpr std::wstring_view kWeather = L"Weather";

    SettingKey PlaceZVOnDesktop{kGeneral, L"PlaceZVOnDesktop"};
    SettingKey HideSplashScreen{kGeneral, L"HideSplashScreen"};
    SettingKey lock{kGeneral, L"lock"};
    SettingKey LastSkin{kGeneral, L"LastSkin"};
    SettingKey ColorizeColor{kEffects, L"ColorizeColor"};
    SettingKey Colorize{kEffects, L"Colorize"};
    SettingKey Position{kGeneral, L"Position"};
    SettingKey VistaBlur{kGeneral, L"VistaBlur"};
    SettingKey X{kGeneral, L"X"};
    SettingKey Y{kGeneral, L"Y"};
    SettingKey Language{kGeneral, L"Language"};
    SettingKey OnMouse{kEffects, L"OnMouse"};
    SettingKey Menu{kEffects, L"Menu"};
    SettingKey OnClick{kEffects, L"OnClick"};
    SettingKey Zoom{kEffects, L"Zoom"};
    SettingKey MoveSound{kEffects, L"MoveSound"};
    SettingKey ClickSound{kEffects, L"ClickSound"};
    SettingKey SlideInSpeed{kGeneral, L"SlideInSpeed"};
    SettingKey StandardContextMenu{kGeneral, L"StandardContextMenu"};
    SettingKey DisableAnimation{kEffects, L"DisableAnimation"};
    SettingKey DisableTab{kGeneral, L"DisableTab"};
    SettingKey GroupItemAnimationOFF{kGeneral, L"GroupItemAnimationOFF"};
    SettingKey SlideOutSpeed{kGeneral, L"SlideOutSpeed"};
    SettingKey BackgroundTransparent{kEffects, L"BackgroundTransparent"};
    SettingKey HintFontSize{kGeneral, L"HintFontSize"};
    SettingKey HintFontName{kGeneral, L"HintFontName"};
    SettingKey RollOutAfterRun{kGeneral, L"RollOutAfterRun"};
    SettingKey DoubleClickRun{kGeneral, L"DoubleClickRun"};
    SettingKey ShowHint{kGeneral, L"ShowHint"};
    SettingKey HideGroupDelay{kGeneral, L"HideGroupDelay"};
    SettingKey ShowDelay{kGeneral, L"ShowDelay"};
    SettingKey OpenOnClick{kGeneral, L"OpenOnClick"};
    SettingKey UseHandCursor{kGeneral, L"UseHandCursor"};
    SettingKey HideFromScreen{kGeneral, L"HideFromScreen"};
    SettingKey HideWarnings{kGeneral, L"HideWarnings"};
    SettingKey DegreeType{kWeather, L"DegreeType"};
    SettingKey WeatherCode{kWeather, L"WeatherCode"};
    SettingKey WeatherDayOffset{kWeather, L"WeatherDayOffset"};
    SettingKey IndexOnStart{kGeneral, L"IndexOnStart"};
    SettingKey RollOutOnMouseOut{kGeneral, L"RollOutOnMouseOut"};
    SettingKey ShowCount{kGeneral, L"ShowCount"};
};
inline constexpr SettingKeys kKeys{};

// Start-up reads in this order (the main window's creation parameters take the
// first key before the window exists; pop-up mode is decided between the
// appearance and the rest).
bool ReadDesktopMode(const ui::Ini& ini);
bool ReadHideSplashScreen(const ui::Ini& ini);
void ReadLock(const ui::Ini& ini, Settings& settings);
// LastSkin, ColorizeColor, Colorize, Position (0 in desktop mode) and VistaBlur
// (only with vistaOrLater); PlaceZVOnDesktop is set from desktopMode.
void ReadAppearance(const ui::Ini& ini, Settings& settings, bool desktopMode, bool vistaOrLater);
// X to ShowCount. appDir ends with a backslash; the sounds are kept only when their
// .wav lies there. X and Y are stored as read: the caller places the window.
void ReadRemaining(const ui::Ini& ini, Settings& settings, const std::wstring& appDir);

// A top below 0 or greater than the screen height puts the window at 0.
int ClampTop(int top, int screenHeight);

// The close query's writes: Y, X and lock, then Position when there is one to store
// (5 for pop-up mode, or the side a header drag chose); without one the stored
// Position stays as it is. True when every write succeeded. The caller skips it on a
// CD-ROM.
bool WriteCloseSettings(ui::Ini& ini, int top, int left, bool locked, std::optional<std::uint8_t> position);
// The settings dialog's Apply; the keys only a user edits by hand are never
// written. True when every write succeeded.
bool WriteApplySettings(ui::Ini& ini, const Settings& settings, bool languageChanged,
                        bool appearanceChanged);

}  // namespace core
