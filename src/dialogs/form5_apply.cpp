// TForm5's Apply: the controls into the main window's settings, the placement, the
// index folders, the start-with-Windows entry, the language and the skin, then one
// write of config.ini.
#include "dialogs/form5.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/menu_document.h"
#include "core/motion.h"
#include "core/run_value.h"
#include "core/search_index.h"
#include "core/startup.h"
#include "popups/form2.h"
#include "popups/zv_hint.h"
#include "ui/controls.h"
#include "ui/cursor.h"
#include "ui/files.h"
#include "ui/handles.h"
#include "ui/ini.h"
#include "ui/message_box.h"
#include "ui/strings.h"

#include <commctrl.h>

namespace dialogs {

using namespace form5;

namespace {

constexpr wchar_t kPopupMessage[] = L"Press START button for Zarvo.";
constexpr wchar_t kRunValueFailed[] = L"Zarvo could not change its start with Windows.";
constexpr wchar_t kConfigFailed[] = L"Zarvo could not save its settings to config.ini.";
constexpr int kPopupMessageMs = 2000;

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }
int Rounded(double value) { return static_cast<int>(ui::RoundEven(value)); }
std::uint8_t Flag(bool on) { return on ? 1 : 0; }

void HideForm(ui::Form* form) {
    if (form) form->Hide();
}

}  // namespace

int TForm5::Stored(int id, int stored, int fromControl) const { return kept_.count(id) ? stored : fromControl; }

void TForm5::CollectSettings() {
    core::TForm1& main = *core::Form1;
    core::Settings& s = main.Settings;
    s.OnMouse = static_cast<std::uint8_t>(Stored(kComboBox1, s.OnMouse, ui::ComboIndex(Control(kComboBox1))));
    s.Menu = static_cast<std::uint8_t>(Stored(kComboBox2, s.Menu, ui::ComboIndex(Control(kComboBox2))));
    s.OnClick = static_cast<std::uint8_t>(Stored(kComboBox3, s.OnClick, ui::ComboIndex(Control(kComboBox3))));
    s.BackgroundTransparent =
        static_cast<std::uint8_t>(Stored(kTrackBar1, s.BackgroundTransparent, Bar(kTrackBar1)));
    s.Zoom = Stored(kTrackBar6, s.Zoom, Bar(kTrackBar6));
    s.PlaceZVOnDesktop = Box(kRadioButton7);
    s.RollOutAfterRun = Flag(Box(kCheckBox2));
    s.DoubleClickRun = Flag(Box(kCheckBox3));
    s.GroupItemAnimationOFF = Flag(Box(kCheckBox7));
    s.OpenOnClick = Flag(Box(kCheckBox9));
    s.Colorize = Flag(Box(kCheckBox11));
    s.HideFromScreen = Flag(Box(kCheckBox12));
    s.DisableAnimation = Flag(!Box(kCheckBox8));
    s.DisableTab = Flag(!Box(kCheckBox14));
    s.RollOutOnMouseOut = Flag(Box(kRollOutOnMouseOutCB));
    s.IndexOnStart = Flag(Box(kIndexOnStartCB));
    const int count = static_cast<int>(SendMessageW(Control(kFolderMenuItemsSpin), UDM_GETPOS32, 0, 0));
    s.ShowCount = Stored(kFolderMenuItemsCount, s.ShowCount, count);
    main.ShowCount = s.ShowCount;
    s.DegreeType = Box(kRadioButton5) ? 0 : 1;
    s.WeatherCode = std::wstring(ui::TrimSpaces(ui::ControlText(Control(kWeatherEdit))));
    s.WeatherDayOffset =
        Stored(kWeatherDayCombo, s.WeatherDayOffset, ui::ComboIndex(Control(kWeatherDayCombo)));
    s.ColorizeColor = static_cast<int>(PanelColor);
    s.ShowHint = Flag(Box(kCheckBox4));
    s.MoveSound = Flag(Box(kCheckBox5));
    s.ClickSound = Flag(Box(kCheckBox6));
    s.UseHandCursor = Flag(Box(kCheckBox10));
    s.HideWarnings = Flag(Box(kCheckBox13));
    s.SlideInSpeed = static_cast<std::uint8_t>(Stored(kTrackBar2, s.SlideInSpeed, BarToSpeed(Bar(kTrackBar2))));
    s.SlideOutSpeed = static_cast<std::uint8_t>(Stored(kTrackBar3, s.SlideOutSpeed, BarToSpeed(Bar(kTrackBar3))));
    s.ShowDelay = Stored(kTrackBar4, s.ShowDelay, BarToDelay(Bar(kTrackBar4)));
    s.HideGroupDelay = Stored(kTrackBar5, s.HideGroupDelay, BarToDelay(Bar(kTrackBar5)));
}

void TForm5::ApplyPlacement() {
    core::TForm1& main = *core::Form1;
    core::Settings& s = main.Settings;
    if (Box(kRadioButton3)) {
        main.TrayIcon(1);
        core::PopupMode = true;
        s.Position = 0;
        main.InstallHook();
        main.SlideOut();
        if (core::ZVHint) {
            core::ZVHint->ShowText(kPopupMessage, L"Message", Rounded(ScreenHeight() / 2.0), 0);
            // Centred with the width ShowText gave the window.
            core::ZVHint->SetLeft(Rounded(ScreenWidth() / 2.0 - core::ZVHint->Width() / 2.0));
        }
        // The motion clock's plain sleep holds 1000 ms at most.
        for (int waited = 0; waited < kPopupMessageMs; waited += 1000) core::SleepDelay(1000);
        return;
    }
    main.TrayIcon(2);
    core::PopupMode = false;
    main.RemoveHook();
    const int middleTop = Rounded(ScreenHeight() / 2.0 - main.Height() / 2.0);
    if (Box(kRadioButton1)) {
        s.Position = 0;
        main.SetTop(middleTop);
    } else if (Box(kRadioButton2)) {
        s.Position = 1;
        main.SetTop(middleTop);
    } else if (Box(kRadioButton7)) {
        s.Position = 0;
        main.SetLeft(100);
        main.SetTop(100);
    } else {
        s.Position = 3;
        main.SetLeft(200);
        main.SetTop(0);
    }
}

// The desktop window lies below every other; leaving it puts the menu back on top.
static void ApplyDesktopMode(core::TForm1& main) {
    core::DesktopMode = main.Settings.PlaceZVOnDesktop;
    constexpr UINT kFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    if (core::DesktopMode) {
        SetWindowPos(main.Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, kFlags);
        SetWindowPos(main.Handle(), HWND_BOTTOM, 0, 0, 0, 0, kFlags);
    } else {
        SetWindowPos(main.Handle(), HWND_TOPMOST, 0, 0, 0, 0, kFlags);
    }
}

void TForm5::ApplyIndex() {
    if (!IndexChanged) return;
    core::WriteIndexList(core::AppDir + core::kIndexListFile, IndexFolders());
    core::Form1->BuildIndex();
    IndexChanged = false;
}

void TForm5::ApplyStartWithWindows() {
    if (!OptionsChanged) return;
    OptionsChanged = false;
    if (!core::ApplyStartWithWindows(Box(kCheckBox1), ui::ModuleFileName()))
        ui::ShowMessageBox(Handle(), kRunValueFailed, L"Zarvo", MB_ICONWARNING | MB_OK);
}

void TForm5::ApplyLanguage() {
    if (!LanguageChanged) return;
    const TData* row = SelectedRow(1);
    if (row) {
        if (core::ZVHint) core::ZVHint->LoadLanguage(row->Name);
        core::Form1->Settings.Language = row->Name;
    }
}

void TForm5::ApplyAppearance() {
    core::TForm1& main = *core::Form1;
    core::Settings& s = main.Settings;
    HideForm(core::Form2);
    HideForm(core::Form3);
    HideForm(core::ZVHint);
    main.RenderMenuWindow(false, main, main.LevelImages[1].get(), -1, 111);
    // Without a selected row the stored skin is loaded again; a skin that fails to
    // load is replaced by the one it was to replace, without a second message.
    const TData* row = SelectedRow(0);
    std::wstring name = row ? row->Name : s.LastSkin;
    if (!main.LoadSkin(name)) {
        name = s.LastSkin;
        main.LoadSkin(name, false);
    }
    for (int level = 1; level <= 3; ++level) main.CaptionImages[level].reset();
    if (main.XMLDocument1.HasRoot()) core::DeleteCachedImages(main.XMLDocument1.Root(), core::CacheDir, core::ImageExt);
    main.BuildMainMenu();
    // The edges' own correction: the top edge and the desktop keep the placement's Left.
    if (!core::PopupMode && !s.PlaceZVOnDesktop && (s.Position == 0 || s.Position == 1))
        main.SetLeft(s.Position == 1 ? ScreenWidth() - main.Width() + main.Skin.RightEdgeSize : -main.Skin.MainLeftSpace);
    s.LastSkin = name;
    main.RenderMenuWindow(false, main, main.LevelImages[1].get(), -1, 1);
}

void TForm5::Button3Click() {
    core::TForm1& main = *core::Form1;
    core::Settings& s = main.Settings;
    ui::SetScreenCursor(IDC_WAIT);
    ui::ScopeExit restore([] { ui::SetScreenCursor(nullptr); });
    ui::SetEnabled(Control(kButton3), false);
    const std::uint8_t oldPosition = s.Position;
    const bool oldDesktop = s.PlaceZVOnDesktop;
    CollectSettings();
    // A one-shot menu ends with its first hide, which the pop-up branch would cause.
    if (core::FirstArgument().empty()) {
        ApplyPlacement();
        ApplyDesktopMode(main);
    } else {
        s.PlaceZVOnDesktop = oldDesktop;
    }
    // The edge sizes of the tab depend on the side at the skin's load. The pop-up
    // menu is hidden now and shows at its point later: its placement is no edge.
    const bool edgeChanged = !core::PopupMode && (s.Position != oldPosition || s.PlaceZVOnDesktop != oldDesktop);
    const bool appearance = AppearanceChanged || edgeChanged;
    const bool language = LanguageChanged;
    ApplyIndex();
    ApplyStartWithWindows();
    ApplyLanguage();
    if (appearance) ApplyAppearance();
    LanguageChanged = AppearanceChanged = false;
    ui::Ini config(core::AppDir + L"config.ini");
    if (!core::WriteApplySettings(config, s, language, appearance))
        ui::ShowMessageBox(Handle(), kConfigFailed, L"Zarvo", MB_ICONWARNING | MB_OK);
    ui::SetScreenCursor(nullptr);
    main.ApplyHandCursor();
    if (main.MenuHidden) main.SlideIn();
}

}  // namespace dialogs
