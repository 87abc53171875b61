#include "core/settings.h"

#include "ui/files.h"

#include <algorithm>

namespace core {
namespace {

const Settings kDefaults{};

// A flag is exactly the stored 1: 2 or -1 are false.
bool ReadFlag(const ui::Ini& ini, SettingKey k, bool def) {
    return ini.ReadInteger(k.section, k.key, def ? 1 : 0) == 1;
}

// Bytes keep the low eight bits of the 32-bit value: -1 is 255, 300 is 44.
std::uint8_t ReadByte(const ui::Ini& ini, SettingKey k, std::uint8_t def) {
    return static_cast<std::uint8_t>(ini.ReadInteger(k.section, k.key, def) & 0xFF);
}

int ReadInt(const ui::Ini& ini, SettingKey k, int def) {
    return ini.ReadInteger(k.section, k.key, def);
}

std::wstring ReadStr(const ui::Ini& ini, SettingKey k, const std::wstring& def) {
    return ini.ReadString(k.section, k.key, def);
}

std::uint8_t SpeedRule(std::uint8_t speed) { return speed > 30 ? 0 : speed; }

// Checked once, at start-up: a sound file added later is not noticed.
std::uint8_t SoundRule(std::uint8_t value, const std::wstring& soundFile) {
    return ui::FileExists(soundFile) ? value : 0;
}

// Every write is attempted even after one fails, so a single bad key does not lose
// the rest; the result says whether all of them landed.
class Writer {
public:
    explicit Writer(ui::Ini& ini) : ini_(ini) {}
    void Int(SettingKey k, int value) { ok_ &= ini_.WriteInteger(k.section, k.key, value); }
    void Flag(SettingKey k, bool value) { Int(k, value ? 1 : 0); }
    void Str(SettingKey k, const std::wstring& value) {
        ok_ &= ini_.WriteString(k.section, k.key, value);
    }
    bool Ok() const { return ok_; }

private:
    ui::Ini& ini_;
    bool ok_ = true;
};

}  // namespace

bool ReadDesktopMode(const ui::Ini& ini) {
    return ReadFlag(ini, kKeys.PlaceZVOnDesktop, kDefaults.PlaceZVOnDesktop);
}

bool ReadHideSplashScreen(const ui::Ini& ini) {
    return ReadFlag(ini, kKeys.HideSplashScreen, kDefaults.HideSplashScreen);
}

void ReadLock(const ui::Ini& ini, Settings& s) {
    s.lock = ReadFlag(ini, kKeys.lock, kDefaults.lock);
}

void ReadAppearance(const ui::Ini& ini, Settings& s, bool desktopMode, bool vistaOrLater) {
    s.PlaceZVOnDesktop = desktopMode;
    s.LastSkin = ReadStr(ini, kKeys.LastSkin, kDefaults.LastSkin);
    s.ColorizeColor = ReadInt(ini, kKeys.ColorizeColor, kDefaults.ColorizeColor);
    s.Colorize = ReadByte(ini, kKeys.Colorize, kDefaults.Colorize);
    s.Position = ReadByte(ini, kKeys.Position, kDefaults.Position);
    if (desktopMode) s.Position = 0;  // a desktop-level window never sits at an edge
    s.VistaBlur = ReadFlag(ini, kKeys.VistaBlur, kDefaults.VistaBlur) && vistaOrLater;
}

void ReadRemaining(const ui::Ini& ini, Settings& s, const std::wstring& appDir) {
    s.X = ReadInt(ini, kKeys.X, kDefaults.X);
    s.Y = ReadInt(ini, kKeys.Y, kDefaults.Y);
    s.Language = ReadStr(ini, kKeys.Language, kDefaults.Language);
    s.OnMouse = ReadByte(ini, kKeys.OnMouse, kDefaults.OnMouse);
    s.Menu = ReadByte(ini, kKeys.Menu, kDefaults.Menu);
    s.OnClick = ReadByte(ini, kKeys.OnClick, kDefaults.OnClick);
    s.Zoom = ReadInt(ini, kKeys.Zoom, kDefaults.Zoom);
    s.MoveSound = SoundRule(ReadByte(ini, kKeys.MoveSound, kDefaults.MoveSound),
                            appDir + L"move.wav");
    s.ClickSound = SoundRule(ReadByte(ini, kKeys.ClickSound, kDefaults.ClickSound),
                             appDir + L"click.wav");
    s.SlideInSpeed = SpeedRule(ReadByte(ini, kKeys.SlideInSpeed, kDefaults.SlideInSpeed));
    s.StandardContextMenu = ReadInt(ini, kKeys.StandardContextMenu, kDefaults.StandardContextMenu);
    s.DisableAnimation = ReadByte(ini, kKeys.DisableAnimation, kDefaults.DisableAnimation);
    s.DisableTab = ReadByte(ini, kKeys.DisableTab, kDefaults.DisableTab);
    s.GroupItemAnimationOFF =
        ReadByte(ini, kKeys.GroupItemAnimationOFF, kDefaults.GroupItemAnimationOFF);
    s.SlideOutSpeed = SpeedRule(ReadByte(ini, kKeys.SlideOutSpeed, kDefaults.SlideOutSpeed));
    // The clamp works on the byte: 300 is 44 and stays 44.
    std::uint8_t opacity =
        ReadByte(ini, kKeys.BackgroundTransparent, kDefaults.BackgroundTransparent);
    s.BackgroundTransparent = opacity < 10 ? 10 : opacity;
    s.HintFontSize = ReadInt(ini, kKeys.HintFontSize, kDefaults.HintFontSize);
    s.HintFontName = ReadStr(ini, kKeys.HintFontName, kDefaults.HintFontName);
    s.RollOutAfterRun = ReadByte(ini, kKeys.RollOutAfterRun, kDefaults.RollOutAfterRun);
    s.DoubleClickRun = ReadByte(ini, kKeys.DoubleClickRun, kDefaults.DoubleClickRun);
    s.ShowHint = ReadByte(ini, kKeys.ShowHint, kDefaults.ShowHint);
    s.HideGroupDelay = ReadInt(ini, kKeys.HideGroupDelay, kDefaults.HideGroupDelay);
    s.ShowDelay = ReadInt(ini, kKeys.ShowDelay, kDefaults.ShowDelay);
    s.OpenOnClick = ReadByte(ini, kKeys.OpenOnClick, kDefaults.OpenOnClick);
    s.UseHandCursor = ReadByte(ini, kKeys.UseHandCursor, kDefaults.UseHandCursor);
    s.HideFromScreen = ReadByte(ini, kKeys.HideFromScreen, kDefaults.HideFromScreen);
    s.HideWarnings = ReadByte(ini, kKeys.HideWarnings, kDefaults.HideWarnings);
    s.DegreeType = ReadInt(ini, kKeys.DegreeType, kDefaults.DegreeType);
    s.WeatherCode = ReadStr(ini, kKeys.WeatherCode, kDefaults.WeatherCode);
    s.WeatherDayOffset = ReadInt(ini, kKeys.WeatherDayOffset, kDefaults.WeatherDayOffset);
    s.IndexOnStart = ReadByte(ini, kKeys.IndexOnStart, kDefaults.IndexOnStart);
    s.RollOutOnMouseOut = ReadByte(ini, kKeys.RollOutOnMouseOut, kDefaults.RollOutOnMouseOut);
    // It sizes a scrolling window and its strip: held to what a screen can show (the
    // settings dialog offers 5 to 40).
    s.ShowCount = std::clamp(ReadInt(ini, kKeys.ShowCount, kDefaults.ShowCount), 1, kMaxShowCount);
}

int ClampTop(int top, int screenHeight) { return top < 0 || top > screenHeight ? 0 : top; }

bool WriteCloseSettings(ui::Ini& ini, int top, int left, bool locked, std::optional<std::uint8_t> position) {
    Writer w(ini);
    w.Int(kKeys.Y, top);
    w.Int(kKeys.X, left);
    w.Flag(kKeys.lock, locked);
    if (position) w.Int(kKeys.Position, *position);
    return w.Ok();
}

bool WriteApplySettings(ui::Ini& ini, const Settings& s, bool languageChanged,
                        bool appearanceChanged) {
    Writer w(ini);
    w.Int(kKeys.OnMouse, s.OnMouse);
    w.Int(kKeys.Menu, s.Menu);
    w.Int(kKeys.OnClick, s.OnClick);
    w.Int(kKeys.MoveSound, s.MoveSound);
    w.Int(kKeys.ClickSound, s.ClickSound);
    w.Int(kKeys.ColorizeColor, s.ColorizeColor);
    w.Int(kKeys.BackgroundTransparent, s.BackgroundTransparent);
    w.Int(kKeys.Zoom, s.Zoom);
    w.Int(kKeys.RollOutAfterRun, s.RollOutAfterRun);
    w.Int(kKeys.DoubleClickRun, s.DoubleClickRun);
    w.Int(kKeys.ShowHint, s.ShowHint);
    w.Int(kKeys.Position, s.Position);
    w.Flag(kKeys.PlaceZVOnDesktop, s.PlaceZVOnDesktop);
    w.Int(kKeys.OpenOnClick, s.OpenOnClick);
    w.Int(kKeys.UseHandCursor, s.UseHandCursor);
    w.Int(kKeys.HideFromScreen, s.HideFromScreen);
    w.Int(kKeys.Colorize, s.Colorize);
    w.Int(kKeys.DisableAnimation, s.DisableAnimation);
    w.Int(kKeys.DisableTab, s.DisableTab);
    w.Int(kKeys.SlideInSpeed, s.SlideInSpeed);
    w.Int(kKeys.SlideOutSpeed, s.SlideOutSpeed);
    w.Int(kKeys.ShowDelay, s.ShowDelay);
    w.Int(kKeys.HideGroupDelay, s.HideGroupDelay);
    w.Int(kKeys.GroupItemAnimationOFF, s.GroupItemAnimationOFF);
    w.Int(kKeys.HideWarnings, s.HideWarnings);
    w.Int(kKeys.DegreeType, s.DegreeType);
    w.Str(kKeys.WeatherCode, s.WeatherCode);
    w.Int(kKeys.WeatherDayOffset, s.WeatherDayOffset);
    w.Int(kKeys.IndexOnStart, s.IndexOnStart);
    w.Int(kKeys.RollOutOnMouseOut, s.RollOutOnMouseOut);
    w.Int(kKeys.ShowCount, s.ShowCount);
    if (languageChanged) w.Str(kKeys.Language, s.Language);
    if (appearanceChanged) w.Str(kKeys.LastSkin, s.LastSkin);
    return w.Ok();
}

}  // namespace core
