// TForm5, the settings dialog: the main window's settings shown on five tabs and, on
// Apply, copied back, written to config.ini and put into effect at once.
#pragma once

#include "dialogs/form5_values.h"
#include "ui/form.h"
#include "ui/images.h"

#include <windows.h>

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace dialogs {

// Control ids, named after the components; their own namespace, since the
// properties dialog has components of the same names.
namespace form5 {
inline constexpr int kPageControl1 = 200;
inline constexpr int kPngBitBtn2 = 201;  // OK
inline constexpr int kButton1 = 202;     // Cancel
inline constexpr int kButton3 = 203;     // Apply
// Appearance
inline constexpr int kGroupBox1 = 210;
inline constexpr int kSkinComboBox = 211;
inline constexpr int kThemeFrame = 212;
inline constexpr int kThemePrwImage = 213;
inline constexpr int kImage_t1 = 214;
inline constexpr int kImage8 = 215;
inline constexpr int kLabel12 = 216;
inline constexpr int kLBautor = 217;
inline constexpr int kMemo1 = 218;
inline constexpr int kCheckBox11 = 219;
inline constexpr int kColorPanel = 220;
inline constexpr int kCheckBox10 = 221;
inline constexpr int kCheckBox4 = 222;
// Position
inline constexpr int kRadioButton1 = 230;
inline constexpr int kRadioButton2 = 231;
inline constexpr int kRadioButton4 = 232;
inline constexpr int kRadioButton3 = 233;
inline constexpr int kRadioButton7 = 234;
inline constexpr int kCheckBox12 = 235;
inline constexpr int kLabel8 = 236;
inline constexpr int kTrackBar4 = 237;
inline constexpr int kLabel5 = 238;
inline constexpr int kTrackBar5 = 239;
// Effects
inline constexpr int kLabel1 = 250;
inline constexpr int kComboBox1 = 251;
inline constexpr int kLabel9 = 252;
inline constexpr int kTrackBar6 = 253;
inline constexpr int kLabel10 = 254;
inline constexpr int kLabel11 = 255;
inline constexpr int kComboBox3 = 256;
inline constexpr int kLabel2 = 257;
inline constexpr int kComboBox2 = 258;
inline constexpr int kLabel3 = 259;
inline constexpr int kTrackBar1 = 260;
inline constexpr int kLabel4 = 261;
inline constexpr int kLabel6 = 262;
inline constexpr int kTrackBar2 = 263;
inline constexpr int kLabel7 = 264;
inline constexpr int kTrackBar3 = 265;
inline constexpr int kGroupBox4 = 266;
inline constexpr int kCheckBox5 = 267;
inline constexpr int kCheckBox6 = 268;
// Indexing
inline constexpr int kIndexNotelbl = 280;
inline constexpr int kIndexListBox = 281;
inline constexpr int kAddToIndexBtn = 282;
inline constexpr int kDelIndexBtn = 283;
inline constexpr int kIndexOnStartCB = 284;
// Advanced
inline constexpr int kGroupBox3 = 300;
inline constexpr int kLangComboBox = 301;
inline constexpr int kWeatherBox = 302;
inline constexpr int kLabel15 = 303;
inline constexpr int kWeatherEdit = 304;
inline constexpr int kRadioButton5 = 305;
inline constexpr int kRadioButton6 = 306;
inline constexpr int kLabel17 = 307;
inline constexpr int kWeatherDayCombo = 308;
inline constexpr int kLabel16 = 309;
inline constexpr int kFolderMenuItemsCount = 310;
inline constexpr int kFolderMenuItemsSpin = 311;
inline constexpr int kRollOutOnMouseOutCB = 312;
inline constexpr int kCheckBox9 = 313;
inline constexpr int kCheckBox2 = 314;
inline constexpr int kCheckBox3 = 315;
inline constexpr int kCheckBox13 = 316;
inline constexpr int kCheckBox8 = 317;
inline constexpr int kCheckBox14 = 318;
inline constexpr int kCheckBox7 = 319;
inline constexpr int kCheckBox1 = 320;

// The tabs, in their order on the page control.
enum SettingsTab { kAppearanceTab, kPositionTab, kEffectsTab, kIndexingTab, kAdvancedTab, kTabCount };

}  // namespace form5

// The colour dialog: the confirmed colour, nullopt when cancelled.
using ColorChooser = std::function<std::optional<COLORREF>(HWND owner, COLORREF initial)>;
// Replaces the real colour dialog; null puts it back.
void SetColorDialogForTests(ColorChooser chooser);

class TForm5 : public ui::Form {
public:
    // The control of an id above, wherever its page is.
    HWND Control(int id) const;
    // The page window of a tab.
    HWND Page(int tab) const { return pages_[static_cast<size_t>(tab)]; }
    int CurrentTab() const;

    // --- handlers
    void FormShow();
    void Button3Click();  // Apply
    void Button2Click();  // OK
    void Button1Click();  // Cancel
    void ComboBox1Change(int id);
    void TrackBar1Change();
    void TrackBar6Change();
    void CheckBox14Click();
    void SkinComboBoxChange();
    void LangComboBoxChange();
    void CheckBox11MouseUp();
    void ColorPanel1MouseUp();
    void AddIndexBtnClick();
    void DelIndexBtnClick();
    void IndexListBoxClick();
    void IndexListBoxDblClick();
    // The folders of the index list, in its order.
    std::vector<std::wstring> IndexFolders() const;
    void Image_t1Click();
    void Image8Click();
    void PageControl1Change();
    void FillFolderCombo(const std::wstring& folder, int list);

    // --- state
    bool IndexChanged = false;
    bool OptionsChanged = false;
    bool AppearanceChanged = false;
    bool LanguageChanged = false;
    bool FormShowing = false;
    // The preview picture is shown (the skin has a preview.jpg that loaded).
    bool PreviewShown() const;
    const ui::Dib& PreviewBitmap() const noexcept { return preview_; }
    // The colour the panel shows, taken by Apply only.
    COLORREF PanelColor = 0;
    // The rows of the two lists (each list's Tag: 0 skins, 1 languages).
    std::vector<TData> SkinRows;
    std::vector<TData> LanguageRows;

protected:
    void CreateParams(ui::CreateParams& params) override;
    void FormCreate() override;
    void FormDestroy() override;
    void FormClose() override;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // form5.cpp
    void CreateControls();
    void CreatePages();
    void OnCommand(int id, int code);
    void OnNotify(const NMHDR& header);
    void OnScroll(HWND bar);
    bool DrawItem(const DRAWITEMSTRUCT& item);
    void ShowTab(int tab);
    // form5_fill.cpp
    void ShowSettings();
    void ShowBar(int id, int wanted);
    void ShowCombo(int id, int wanted);
    void ShowSpin(int wanted);
    void ShowSkinDetails();
    void UpdateColorControls();
    void LoadIndexList();
    void LoadPreview(const std::wstring& file);
    void Changed(int id);
    void OpenSelectedSkin(const std::wstring& file);
    const TData* SelectedRow(int list) const;
    // form5_apply.cpp
    void CollectSettings();
    int Stored(int id, int stored, int fromControl) const;
    void ApplyPlacement();
    void ApplyIndex();
    void ApplyStartWithWindows();
    void ApplyLanguage();
    void ApplyAppearance();
    bool Box(int id) const;
    int Bar(int id) const;

    std::map<int, HWND> controls_;
    std::array<HWND, form5::kTabCount> pages_{};
    // The preview's picture; empty when the skin has none.
    ui::Dib preview_;
    // Stored values the control could not show: kept by Apply unless the user
    // changes the control.
    std::set<int> kept_;
    HICON folderIcon_ = nullptr;  // owned
    HICON fileIcon_ = nullptr;    // owned
    bool shownOnce_ = false;
};

}  // namespace dialogs
