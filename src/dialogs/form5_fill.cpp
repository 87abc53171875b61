// TForm5's showing and its change handlers: the settings into the controls, the two
// folder lists with the skin's preview, the colour and the index folders.
#include "dialogs/form5.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/launch.h"
#include "core/run_value.h"
#include "core/startup.h"
#include "ui/controls.h"
#include "ui/files.h"
#include "ui/handles.h"
#include "ui/images.h"

#include <commctrl.h>
#include <commdlg.h>

namespace dialogs {

using namespace form5;

namespace {

ColorChooser& ReplacedColorChooser() {
    static ColorChooser chooser;
    return chooser;
}

std::optional<COLORREF> RealChooseColor(HWND owner, COLORREF initial) {
    static COLORREF custom[16] = {};
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = owner;
    choose.rgbResult = initial;
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&choose)) return std::nullopt;
    return choose.rgbResult;
}

std::optional<COLORREF> ChooseColorFor(HWND owner, COLORREF initial) {
    if (ReplacedColorChooser()) return ReplacedColorChooser()(owner, initial);
    return RealChooseColor(owner, initial);
}

std::wstring Percent(int value) { return std::to_wstring(value) + L"%"; }

}  // namespace

void SetColorDialogForTests(ColorChooser chooser) { ReplacedColorChooser() = std::move(chooser); }

bool TForm5::Box(int id) const { return ui::Checked(Control(id)); }

int TForm5::Bar(int id) const { return static_cast<int>(SendMessageW(Control(id), TBM_GETPOS, 0, 0)); }

void TForm5::ShowBar(int id, int wanted) {
    const int minimum = static_cast<int>(SendMessageW(Control(id), TBM_GETRANGEMIN, 0, 0));
    const int maximum = static_cast<int>(SendMessageW(Control(id), TBM_GETRANGEMAX, 0, 0));
    const ShownValue shown = ShowInRange(wanted, minimum, maximum);
    SendMessageW(Control(id), TBM_SETPOS, TRUE, shown.position);
    if (!shown.fits) kept_.insert(id);
}

void TForm5::ShowCombo(int id, int wanted) {
    const bool fits = wanted >= 0 && wanted < ui::ComboCount(Control(id));
    ui::SetComboIndex(Control(id), fits ? wanted : -1);
    if (!fits) kept_.insert(id);
}

void TForm5::ShowSpin(int wanted) {
    const ShownValue shown = ShowInRange(wanted, 5, 40);
    SendMessageW(Control(kFolderMenuItemsSpin), UDM_SETPOS32, 0, shown.position);
    ui::SetControlText(Control(kFolderMenuItemsCount), std::to_wstring(shown.position));
    if (!shown.fits) kept_.insert(kFolderMenuItemsCount);
}

void TForm5::FormShow() {
    FormShowing = true;
    ui::ScopeExit shown([this] { FormShowing = false; });
    kept_.clear();
    if (!shownOnce_) ShowTab(kPositionTab);
    shownOnce_ = true;
    LoadIndexList();
    FillFolderCombo(core::AppDir + kThemesFolder, 0);
    FillFolderCombo(core::AppDir + kLanguagesFolder, 1);
    ui::SetEnabled(Control(kLangComboBox), !LanguageRows.empty());
    ShowSettings();
    ui::SetChecked(Control(kCheckBox1), core::StartsWithWindows());
    // No notification reports what was set above: the derived states are set here.
    TrackBar1Change();
    TrackBar6Change();
    ui::SetEnabled(Control(kTrackBar6), ui::ComboIndex(Control(kComboBox1)) == 2);
    ShowSkinDetails();
    ui::SetEnabled(Control(kButton3), false);
    ui::SetEnabled(Control(kDelIndexBtn), false);
    AppearanceChanged = LanguageChanged = OptionsChanged = false;
}

void TForm5::ShowSettings() {
    const core::Settings& s = core::Form1->Settings;
    PanelColor = static_cast<COLORREF>(s.ColorizeColor);
    ShowCombo(kComboBox1, s.OnMouse);
    ShowCombo(kComboBox2, s.Menu);
    ShowCombo(kComboBox3, s.OnClick);
    ShowBar(kTrackBar1, s.BackgroundTransparent);
    ShowBar(kTrackBar2, SpeedToBar(s.SlideInSpeed));
    ShowBar(kTrackBar3, SpeedToBar(s.SlideOutSpeed));
    ShowBar(kTrackBar4, DelayToBar(s.ShowDelay));
    ShowBar(kTrackBar5, DelayToBar(s.HideGroupDelay));
    ShowBar(kTrackBar6, s.Zoom);
    ui::SetChecked(Control(kCheckBox2), s.RollOutAfterRun == 1);
    ui::SetChecked(Control(kCheckBox3), s.DoubleClickRun == 1);
    ui::SetChecked(Control(kCheckBox5), s.MoveSound != 0);
    ui::SetChecked(Control(kCheckBox6), s.ClickSound != 0);
    ui::SetChecked(Control(kCheckBox4), s.ShowHint != 0);
    ui::SetChecked(Control(kCheckBox8), s.DisableAnimation != 1);
    ui::SetChecked(Control(kCheckBox14), s.DisableTab != 1);
    ui::SetChecked(Control(kRollOutOnMouseOutCB), s.RollOutOnMouseOut == 1);
    ShowSpin(s.ShowCount);
    ui::SetChecked(Control(kCheckBox7), s.GroupItemAnimationOFF == 1);
    ui::SetChecked(Control(kIndexOnStartCB), s.IndexOnStart == 1);
    // One exclusive group: desktop placement wins over pop-up mode, pop-up mode over the edge.
    int position = s.Position == 0 ? kRadioButton1 : s.Position == 1 ? kRadioButton2 : s.Position == 3 ? kRadioButton4 : 0;
    if (core::PopupMode) position = kRadioButton3;
    if (s.PlaceZVOnDesktop) position = kRadioButton7;
    for (int id : {kRadioButton1, kRadioButton2, kRadioButton4, kRadioButton3, kRadioButton7})
        ui::SetChecked(Control(id), id == position);
    ui::SetEnabled(Control(kRadioButton3), !core::VistaOrLater);
    ui::SetChecked(Control(kCheckBox9), s.OpenOnClick != 0);
    ui::SetChecked(Control(kCheckBox10), s.UseHandCursor != 0);
    ui::SetChecked(Control(kCheckBox11), s.Colorize != 0);
    ui::SetChecked(Control(kCheckBox12), s.HideFromScreen != 0);
    ui::SetChecked(Control(kCheckBox13), s.HideWarnings != 0);
    ui::SetChecked(Control(kRadioButton5), s.DegreeType == 0);
    ui::SetChecked(Control(kRadioButton6), s.DegreeType != 0);
    ui::SetControlText(Control(kWeatherEdit), s.WeatherCode);
    ShowCombo(kWeatherDayCombo, s.WeatherDayOffset);
}

void TForm5::FillFolderCombo(const std::wstring& folder, int list) {
    std::vector<TData>& rows = list == 0 ? SkinRows : LanguageRows;
    rows = list == 0 ? ListSkins(folder) : ListLanguages(folder);
    HWND combo = Control(list == 0 ? kSkinComboBox : kLangComboBox);
    std::vector<std::wstring> names;
    for (const TData& row : rows) names.push_back(row.Name);
    ui::SetComboItems(combo, names);
    const core::Settings& s = core::Form1->Settings;
    ui::SetComboIndex(combo, RowNamed(rows, list == 0 ? s.LastSkin : s.Language));
}

const TData* TForm5::SelectedRow(int list) const {
    const std::vector<TData>& rows = list == 0 ? SkinRows : LanguageRows;
    const int index = ui::ComboIndex(Control(list == 0 ? kSkinComboBox : kLangComboBox));
    if (index < 0 || index >= static_cast<int>(rows.size())) return nullptr;
    return &rows[static_cast<size_t>(index)];
}

bool TForm5::PreviewShown() const { return ui::ControlVisible(Control(kThemePrwImage)); }

void TForm5::LoadPreview(const std::wstring& file) {
    std::unique_ptr<Gdiplus::Bitmap> image = ui::FileExists(file) ? ui::LoadImageFile(file) : nullptr;
    ui::SetVisible(Control(kThemePrwImage), image != nullptr);
    if (!image) return;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    preview_.Fill(0xFF000000u | (static_cast<std::uint32_t>(GetRValue(face)) << 16) |
                  (static_cast<std::uint32_t>(GetGValue(face)) << 8) | GetBValue(face));
    GdiFlush();
    Gdiplus::Graphics surface(&preview_.AsGdiplus());
    surface.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    surface.DrawImage(image.get(), Gdiplus::Rect(0, 0, preview_.Width(), preview_.Height()));
    InvalidateRect(Control(kThemePrwImage), nullptr, FALSE);
}

// The colour controls, preview, author and comments of the selected skin row.
void TForm5::ShowSkinDetails() {
    const TData* row = SelectedRow(0);
    const std::wstring folder = row ? core::AppDir + kThemesFolder + row->Name + L"\\" : std::wstring();
    ui::SetEnabled(Control(kCheckBox11), !row || ui::FileExists(folder + L"mask.png"));
    UpdateColorControls();
    LoadPreview(row ? folder + L"preview.jpg" : std::wstring());
    ui::SetControlText(Control(kLBautor), row ? row->Author : L"---");
    ui::SetControlText(Control(kMemo1), row ? row->Comments : L"");
}

void TForm5::UpdateColorControls() {
    ui::SetEnabled(Control(kColorPanel), ui::ControlEnabled(Control(kCheckBox11)) && Box(kCheckBox11));
    InvalidateRect(Control(kColorPanel), nullptr, FALSE);
}

void TForm5::Changed(int id) {
    kept_.erase(id);
    ui::SetEnabled(Control(kButton3), true);
}

void TForm5::ComboBox1Change(int id) {
    if (FormShowing) return;
    OptionsChanged = true;
    Changed(id);
    ui::SetEnabled(Control(kTrackBar6), ui::ComboIndex(Control(kComboBox1)) == 2);
}

void TForm5::TrackBar1Change() {
    ui::SetControlText(Control(kLabel4), Percent(Bar(kTrackBar1)));
    if (FormShowing) return;
    AppearanceChanged = true;
    Changed(kTrackBar1);
}

void TForm5::TrackBar6Change() {
    ui::SetControlText(Control(kLabel10), Percent(Bar(kTrackBar6) * 10));
    if (FormShowing) return;
    Changed(kTrackBar6);
}

void TForm5::CheckBox14Click() {
    if (FormShowing) return;
    AppearanceChanged = true;
    Changed(0);
}

void TForm5::SkinComboBoxChange() {
    if (FormShowing || !SelectedRow(0)) return;
    ShowSkinDetails();
    AppearanceChanged = true;
    Changed(kSkinComboBox);
}

void TForm5::LangComboBoxChange() {
    if (FormShowing || !SelectedRow(1)) return;
    LanguageChanged = true;
    Changed(kLangComboBox);
}

// Mouse and keyboard alike: both reach here through BN_CLICKED.
void TForm5::CheckBox11MouseUp() {
    if (FormShowing) return;
    UpdateColorControls();
    if (Visible() && Box(kCheckBox11)) ColorPanel1MouseUp();
    AppearanceChanged = true;
    Changed(kCheckBox11);
}

void TForm5::ColorPanel1MouseUp() {
    if (!Box(kCheckBox11) || !ui::ControlEnabled(Control(kColorPanel))) return;
    const std::optional<COLORREF> chosen = ChooseColorFor(Handle(), PanelColor);
    if (!chosen) return;
    // Kept in the dialog until Apply: a Cancel leaves the main window's colour alone.
    PanelColor = *chosen;
    InvalidateRect(Control(kColorPanel), nullptr, FALSE);
    AppearanceChanged = true;
    Changed(kColorPanel);
}

void TForm5::OpenSelectedSkin(const std::wstring& file) {
    const TData* row = SelectedRow(0);
    if (!row) return;
    core::ShellCall call;
    call.owner = Handle();
    call.verb = L"open";
    call.file = core::AppDir + kThemesFolder + row->Name + file;
    call.show = SW_SHOWNORMAL;
    core::CurrentShellFunctions().execute(call);
}

void TForm5::Image_t1Click() { OpenSelectedSkin(L""); }

void TForm5::Image8Click() { OpenSelectedSkin(L"\\skin.ini"); }

void TForm5::Button2Click() {
    if (ui::ControlEnabled(Control(kButton3))) Button3Click();
    Hide();
}

void TForm5::Button1Click() { Hide(); }

}  // namespace dialogs
