// TForm4, the item properties dialog: one menu item's kind, target, parameters,
// caption, show command and icon, written back into its node of the menu document.
#pragma once

#include "core/menu_document.h"
#include "dialogs/item_properties.h"
#include "ui/form.h"
#include "ui/images.h"
#include "ui/popup_menu.h"
#include "ui/xml_document.h"

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace dialogs {

// Control ids, named after the components.
inline constexpr int kPanel1 = 100;
inline constexpr int kGroupBox1 = 101;
inline constexpr int kGroupBox2 = 102;
inline constexpr int kComboBox1 = 103;
inline constexpr int kEdit1 = 104;
inline constexpr int kButton1 = 105;
inline constexpr int kEdit3 = 106;
inline constexpr int kEdit2 = 107;
inline constexpr int kComboBox2 = 108;
inline constexpr int kCheckBox1 = 109;
inline constexpr int kCheckBox2 = 110;
inline constexpr int kSysBox = 111;
inline constexpr int kImage1 = 112;
inline constexpr int kButton4 = 113;
inline constexpr int kButton5 = 114;
inline constexpr int kButton3 = 115;  // OK
inline constexpr int kButton6 = 116;  // Cancel
inline constexpr int kLabel1 = 117;
inline constexpr int kLabel2 = 118;
inline constexpr int kLabel3 = 119;
inline constexpr int kLabel4 = 120;
inline constexpr int kLabel5 = 121;

// Edge of the icon preview's picture.
inline constexpr int kPreviewSize = 48;

class TForm4 : public ui::Form {
public:
    TForm4();

    // The control of an id above.
    HWND Control(int id) const { return GetDlgItem(Handle(), id); }

    // The caller's part of an edit: every control and the dialog's state set from the
    // item of `level` whose node lies at `position` of its container. `newItem`
    // starts the new-item marker for this showing. False, with nothing to show, for
    // a Type the dialog does not edit.
    bool Fill(int level, const core::TLNItem& item, ui::XmlNode node, int position, bool newItem);
    // The language loader's texts for entries 0..13 of the type list; 14 stays.
    void SetTypeCaptions(const std::array<std::wstring, 14>& captions);

    // --- handlers
    void FormShow();
    void FormHide();
    void FormActivate();
    void ComboBox1Change();
    void Edit1Change();
    void SysBoxChange();
    void Button1MouseUp(ui::MouseButton button, int x, int y);
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void WMDropFiles(HDROP drop);

    // Shows the icon of a path and index in Image1; a path that gives no picture
    // shows icon 23 of shell32.dll. True when the path gave the picture.
    bool LoadIconPreview(const std::wstring& path, int index);
    void FillSystemBox();
    void FillConnectionBox();
    void FillPluginBox();
    void PickIcon(const std::wstring& file);
    // The shell's folder chooser through the chooser table; the settings dialog adds
    // index folders with it. True when a folder was chosen.
    static bool BrowseFolder(HWND owner, std::wstring& displayName, std::wstring& path);

    // The preview's 48 x 48 picture, as Image1 shows it.
    const ui::Dib& PreviewBitmap() const noexcept { return preview_; }
    // The values OK would write now.
    DialogValues CurrentValues() const;
    // The position, at fill time, of the item being edited.
    int ItemPosition() const noexcept { return position_; }

    // --- state
    std::wstring IconFile;
    int IconIndex = 0;
    std::wstring ItemRun;
    std::wstring ItemParams;
    // The new-item marker: 1 while the item was just made by the new-item command and
    // nothing has changed; only Cancel reads it, and every close clears it.
    int Button6Tag = 0;
    ui::PopupMenu IconMenu{*this};

protected:
    void CreateParams(ui::CreateParams& params) override;
    void FormCreate() override;
    void FormClose() override;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // form4.cpp
    void CreateControls();
    void CreateRightColumn();
    void OnCommand(int id, int code);
    void DrawImage1(const DRAWITEMSTRUCT& item);
    static LRESULT CALLBACK Button1Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                        DWORD_PTR self) noexcept;
    // form4_fill.cpp
    void ApplyTypeControls(int typeIndex);
    void SetEntries(std::vector<std::wstring> entries, int selected);
    void ShowMessage(const std::wstring& text);
    int TypeIndex() const;
    // form4_icon.cpp
    bool DrawPicture(ui::Dib& into, const std::wstring& path, int index) const;
    void DrawFallback(ui::Dib& into) const;
    // Shows the picture only when the path gives one; the preview stays otherwise.
    bool TryIconPreview(const std::wstring& path, int index);
    void Browse();
    // An icon file chosen by the user: taken when it gives a picture, else a message.
    bool TakeIconFile(const std::wstring& path, int index);
    void ChooseIconFile(const std::wstring& initialFolder, bool relativeAllowed);
    // form4_ok.cpp
    bool SaveNode(const DialogValues& values);
    void RemoveBlankNewItem();

    ui::Dib preview_;
    std::optional<ui::XmlNode> node_;
    int position_ = -1;
    int storedType_ = 0;
    bool keepStoredKind_ = false;
    // Set while the fill sets the controls: WM_SETTEXT reports EN_CHANGE even for the
    // text the control already shows, and the fill is no change by the user.
    bool filling_ = false;
    HWND focus_ = nullptr;  // the control the focus goes back to on activation
};

}  // namespace dialogs
