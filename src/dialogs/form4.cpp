// TForm4's window: its layout, the message dispatch, showing, hiding and activation.
#include "dialogs/form4.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/glass.h"
#include "dialogs/language.h"
#include "ui/controls.h"
#include "ui/glyph_button.h"
#include "ui/handles.h"

#include <commctrl.h>
#include <windowsx.h>

#include <vector>

namespace dialogs {
namespace {

constexpr int kClientWidth = 472;
constexpr int kClientHeight = 250;
// The right-hand column: GroupBox1 at (8, 8) in Panel1, the column at 224 in it.
constexpr int kColumnX = 8 + 224;
constexpr int kColumnWidth = 225;
constexpr int kLabelX = 168;
constexpr int kRowTop = 24;
constexpr int kRowStep = 28;
constexpr int kDropListHeight = 200;

int RowY(int row) { return kRowTop + row * kRowStep; }

// The English text of a control the language files relabel, from their table.
std::wstring Keyed(int id) { return std::wstring(DefaultControlText(TextForm::TForm4, id)); }

std::vector<std::wstring> Texts(auto const& table) { return std::vector<std::wstring>(table.begin(), table.end()); }

ui::ControlLayout Layout(const wchar_t* className, std::wstring text, DWORD style, int x, int y, int width, int height,
                     int id, bool hidden = false) {
    ui::ControlLayout layout;
    layout.className = className;
    layout.text = std::move(text);
    layout.style = style;
    layout.x = x;
    layout.y = y;
    layout.width = width;
    layout.height = height;
    layout.id = id;
    layout.hidden = hidden;
    return layout;
}

HWND DropList(HWND parent, int x, int y, int width, int id, bool hidden = false) {
    HWND combo = ui::CreateControl(parent, Layout(WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, x, y,
                                                width, kDropListHeight, id, hidden));
    SendMessageW(combo, CB_SETMINVISIBLE, 10, 0);
    return combo;
}

}  // namespace

TForm4::TForm4() { IconMenu.Add(L"RecentlyUsed", L"Recently used").Enabled = false; }

void TForm4::CreateParams(ui::CreateParams& params) {
    params.className = L"TForm4";
    params.caption = DefaultWindowCaption(TextForm::TForm4);
    ui::SetDialogFrame(params, kClientWidth, kClientHeight);
}

void TForm4::FormCreate() {
    preview_.Resize(kPreviewSize, kPreviewSize);
    CreateControls();
    core::Form1->SplashTimerTimer();
}

void TForm4::CreateControls() {
    HWND form = Handle();
    // Panel1 and the group boxes first, and kept at the bottom of the z-order, so the
    // controls over them are drawn after them.
    // WS_CLIPSIBLINGS: a repaint of one of them leaves the controls over it alone.
    HWND panel =
        ui::CreateControl(form, Layout(WC_STATICW, L"", SS_NOTIFY | WS_CLIPSIBLINGS, 0, 0, 473, 200, kPanel1));
    HWND group1 =
        ui::CreateControl(form, Layout(WC_BUTTONW, L"", BS_GROUPBOX | WS_CLIPSIBLINGS, 8, 8, 457, 185, kGroupBox1));
    HWND group2 =
        ui::CreateControl(form, Layout(WC_BUTTONW, L"", BS_GROUPBOX | WS_CLIPSIBLINGS, 16, 16, 145, 169, kGroupBox2));
    ui::CreateControl(form, Layout(WC_STATICW, L"", SS_OWNERDRAW, 16 + (145 - 113) / 2, 30, 113, 89, kImage1));
    for (const auto& [id, y] : {std::pair{kButton4, 126}, std::pair{kButton5, 154}})
        ui::CreateControl(form, Layout(WC_BUTTONW, Keyed(id), BS_PUSHBUTTON | WS_TABSTOP, 24, y, 129, 23, id));
    CreateRightColumn();
    ui::CreateGlyphButton(form, Layout(WC_BUTTONW, L"OK", 0, 280, 216, 89, 29, kButton3), ui::Glyph::Ok);
    ui::CreateGlyphButton(form, Layout(WC_BUTTONW, Keyed(kButton6), 0, 376, 216, 89, 29, kButton6), ui::Glyph::Cancel);
    for (HWND back : {group2, group1, panel})
        SetWindowPos(back, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowSubclass(Control(kButton1), &TForm4::Button1Proc, 1, reinterpret_cast<DWORD_PTR>(this));
}

void TForm4::CreateRightColumn() {
    HWND form = Handle();
    const int labels[] = {kLabel4, kLabel1, kLabel5, kLabel2, kLabel3};
    for (int row = 0; row < 5; ++row)
        ui::CreateControl(form, Layout(WC_STATICW, Keyed(labels[row]), 0, kLabelX, RowY(row) + 3, 60, 14, labels[row]));
    ui::SetComboItems(DropList(form, kColumnX, RowY(0), kColumnWidth, kComboBox1), Texts(TypeCaptions));
    ui::CreateControl(form, Layout(WC_EDITW, L"", ES_AUTOHSCROLL | WS_TABSTOP, kColumnX, RowY(1), 193, 21, kEdit1));
    ui::CreateControl(form, Layout(WC_BUTTONW, L"...", BS_PUSHBUTTON, kColumnX + 193, RowY(1), 33, 21, kButton1));
    DropList(form, kColumnX, RowY(1), kColumnWidth, kSysBox, true);
    ui::CreateControl(form,
                      Layout(WC_EDITW, L"", ES_AUTOHSCROLL | WS_TABSTOP, kColumnX, RowY(2), kColumnWidth, 21, kEdit3));
    ui::CreateControl(form,
                      Layout(WC_EDITW, L"", ES_AUTOHSCROLL | WS_TABSTOP, kColumnX, RowY(3), kColumnWidth, 21, kEdit2));
    ui::SetComboItems(DropList(form, kColumnX, RowY(4), kColumnWidth, kComboBox2), Texts(ShowCaptions));
    for (HWND edit : {Control(kEdit1), Control(kEdit2), Control(kEdit3)})
        SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(2, 2));
    for (int box : {kCheckBox1, kCheckBox2})
        ui::CreateControl(form, Layout(WC_BUTTONW, Keyed(box), BS_AUTOCHECKBOX | WS_TABSTOP, kColumnX, RowY(5) + 2,
                                     kColumnWidth, 17, box, true));
}

void TForm4::SetTypeCaptions(const std::array<std::wstring, 14>& captions) {
    HWND combo = Control(kComboBox1);
    const int selected = ui::ComboIndex(combo);
    std::vector<std::wstring> entries(captions.begin(), captions.end());
    entries.push_back(ui::ComboItemText(combo, kPluginType));
    ui::SetComboItems(combo, entries);
    ui::SetComboIndex(combo, selected);
}

LRESULT TForm4::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND: OnCommand(LOWORD(wp), HIWORD(wp)); return 0;
    case WM_DROPFILES: WMDropFiles(reinterpret_cast<HDROP>(wp)); return 0;
    case WM_DRAWITEM: DrawImage1(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp)); return TRUE;
    case WM_SHOWWINDOW:
        // lParam names an owner's minimise or restore, which ends no showing.
        if (lp == 0 && wp) FormShow();
        else if (lp == 0) FormHide();
        break;
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(Handle(), focus)) focus_ = focus;
            return 0;
        }
        FormActivate();
        return 0;
    }
    return Form::OnMessage(msg, wp, lp);
}

void TForm4::OnCommand(int id, int code) {
    switch (id) {
    case kComboBox1: if (code == CBN_SELCHANGE) ComboBox1Change(); return;
    case kSysBox: if (code == CBN_SELCHANGE) SysBoxChange(); return;
    case kComboBox2: if (code == CBN_SELCHANGE) Edit1Change(); return;
    case kEdit1:
    case kEdit2:
    case kEdit3: if (code == EN_CHANGE) Edit1Change(); return;
    case kCheckBox1:
    case kCheckBox2: if (code == BN_CLICKED) Edit1Change(); return;
    case kButton3: if (code == BN_CLICKED) Button3Click(); return;
    case kButton4: if (code == BN_CLICKED) Button4Click(); return;
    case kButton5: if (code == BN_CLICKED) Button5Click(); return;
    case kButton6:
    case IDCANCEL: if (code == BN_CLICKED) Button6Click(); return;
    case IDOK: if (code == BN_CLICKED) Button3Click(); return;
    default: return;
    }
}

// Esc, the close box and the system menu's Close all act as Cancel.
void TForm4::FormClose() { Button6Click(); }

void TForm4::FormShow() {
    DragAcceptFiles(Handle(), TRUE);
    HWND edit1 = Control(kEdit1);
    HWND edit2 = Control(kEdit2);
    focus_ = nullptr;
    if (ui::ControlVisible(edit1) && ui::ControlEnabled(edit1)) focus_ = edit1;
    else if (ui::ControlVisible(edit2) && ui::ControlEnabled(edit2)) focus_ = edit2;
    ui::SetEnabled(Control(kButton3), false);
    ui::SetEnabled(Control(kButton5), ui::ControlEnabled(Control(kComboBox1)));
}

void TForm4::FormHide() {
    DragAcceptFiles(Handle(), FALSE);
    Button6Tag = 0;
}

void TForm4::FormActivate() {
    core::ExtendGlass(*this, {0, 0, 0, 50}, false);
    // The activation would otherwise leave the focus on the form itself.
    if (focus_ && IsWindow(focus_) && ui::ControlEnabled(focus_)) SetFocus(focus_);
    else SetFocus(Handle());
}

void TForm4::DrawImage1(const DRAWITEMSTRUCT& item) {
    if (item.CtlID != kImage1) return;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    const int x = item.rcItem.left + (item.rcItem.right - item.rcItem.left - kPreviewSize) / 2;
    const int y = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - kPreviewSize) / 2;
    BitBlt(item.hDC, x, y, kPreviewSize, kPreviewSize, preview_.Dc(), 0, 0, SRCCOPY);
}

// Button1's release point decides between browsing and the icon menu, which a click
// notification does not carry.
LRESULT CALLBACK TForm4::Button1Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                     DWORD_PTR self) noexcept {
    try {
        if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &TForm4::Button1Proc, id);
        if (msg != WM_LBUTTONUP && msg != WM_RBUTTONUP) return DefSubclassProc(hwnd, msg, wp, lp);
        // The button releases its capture and state first: the chooser is modal.
        const LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
        reinterpret_cast<TForm4*>(self)->Button1MouseUp(
            msg == WM_LBUTTONUP ? ui::MouseButton::Left : ui::MouseButton::Right, GET_X_LPARAM(lp),
            GET_Y_LPARAM(lp));
        return result;
    } catch (...) {
        return 0;
    }
}

}  // namespace dialogs
