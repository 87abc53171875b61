// TForm5's window: its controls from one table, the five tab pages, the message
// dispatch and the owner-drawn preview and colour panel.
#include "dialogs/form5.h"

#include "core/form1.h"
#include "core/forms.h"
#include "dialogs/language.h"
#include "ui/controls.h"
#include "ui/cursor.h"
#include "ui/glyph_button.h"

#include <commctrl.h>
#include <shellapi.h>

#include <stdexcept>

namespace dialogs {

using namespace form5;

namespace {

constexpr int kClientWidth = 384;
constexpr int kClientHeight = 455;
constexpr int kDropListHeight = 200;
constexpr int kTabWidth = 72;
constexpr int kTabHeight = 20;
constexpr wchar_t kPageClass[] = L"TForm5Page";
constexpr int kDialog = -1;  // the tab of a control that sits on the dialog itself

constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kRadio = BS_AUTORADIOBUTTON | WS_TABSTOP;
// WS_CLIPSIBLINGS: a repaint of a frame leaves the controls inside it alone.
constexpr DWORD kGroupBox = BS_GROUPBOX | WS_CLIPSIBLINGS;
constexpr DWORD kDrop = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kBar = TBS_HORZ | TBS_AUTOTICKS | WS_TABSTOP;
constexpr DWORD kLabel = SS_LEFT;

// One control: its page, class, caption, style, place and (bars, spin) range.
struct ControlRow {
    int id;
    int tab;
    const wchar_t* className;
    const wchar_t* caption;
    DWORD style;
    int x, y, width, height;
    int minimum = 0;
    int maximum = 0;
    // The radio buttons after the first of their group: arrows move between them,
    // and every other control starts a group of its own.
    bool continuesGroup = false;
};

// The caption of a control the language files relabel: its English text lives in the
// language table, so each text has one definition.
constexpr const wchar_t* kKeyed = nullptr;

// Page coordinates: each page's client area starts inside the page control's frame.
const ControlRow kControls[] = {
    // Appearance
    {kGroupBox1, kAppearanceTab, WC_BUTTONW, kKeyed, kGroupBox, 8, 4, 345, 276},
    {kSkinComboBox, kAppearanceTab, WC_COMBOBOXW, L"", kDrop, 16, 22, 329, kDropListHeight},
    {kThemeFrame, kAppearanceTab, WC_STATICW, L"", SS_ETCHEDFRAME, 16, 52, 204, 154},
    {kThemePrwImage, kAppearanceTab, WC_STATICW, L"", SS_OWNERDRAW, 18, 54, 200, 150},
    {kImage_t1, kAppearanceTab, WC_STATICW, L"", SS_ICON | SS_NOTIFY, 232, 56, 32, 32},
    {kImage8, kAppearanceTab, WC_STATICW, L"", SS_ICON | SS_NOTIFY, 276, 56, 32, 32},
    {kLabel12, kAppearanceTab, WC_STATICW, kKeyed, kLabel, 232, 104, 113, 14},
    {kLBautor, kAppearanceTab, WC_STATICW, L"---", kLabel | SS_ENDELLIPSIS, 232, 120, 113, 28},
    {kMemo1, kAppearanceTab, WC_EDITW, L"", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER,
     16, 214, 329, 58},
    {kCheckBox11, kAppearanceTab, WC_BUTTONW, kKeyed, kCheck, 16, 292, 60, 17},
    {kColorPanel, kAppearanceTab, WC_STATICW, L"", SS_OWNERDRAW | SS_NOTIFY, 84, 290, 48, 21},
    {kCheckBox10, kAppearanceTab, WC_BUTTONW, kKeyed, kCheck, 16, 320, 330, 17},
    {kCheckBox4, kAppearanceTab, WC_BUTTONW, kKeyed, kCheck, 16, 344, 330, 17},
    // Position
    {kRadioButton1, kPositionTab, WC_BUTTONW, L"Left", kRadio, 16, 14, 330, 17},
    {kRadioButton2, kPositionTab, WC_BUTTONW, L"Right", kRadio, 16, 38, 330, 17, 0, 0, true},
    {kRadioButton4, kPositionTab, WC_BUTTONW, L"Top", kRadio, 16, 62, 330, 17, 0, 0, true},
    {kRadioButton3, kPositionTab, WC_BUTTONW, kKeyed, kRadio, 16, 86, 330, 17, 0, 0, true},
    {kRadioButton7, kPositionTab, WC_BUTTONW, L"On Desktop", kRadio, 16, 110, 330, 17, 0, 0, true},
    {kCheckBox12, kPositionTab, WC_BUTTONW, kKeyed, kCheck | BS_MULTILINE, 16, 142, 330, 30},
    {kLabel8, kPositionTab, WC_STATICW, kKeyed, kLabel, 16, 184, 330, 14},
    {kTrackBar4, kPositionTab, TRACKBAR_CLASSW, L"", kBar, 16, 200, 330, 30, 0, 10},
    {kLabel5, kPositionTab, WC_STATICW, kKeyed, kLabel, 16, 242, 330, 14},
    {kTrackBar5, kPositionTab, TRACKBAR_CLASSW, L"", kBar, 16, 258, 330, 30, 0, 10},
    // Effects
    {kLabel1, kEffectsTab, WC_STATICW, kKeyed, kLabel, 16, 16, 130, 14},
    {kComboBox1, kEffectsTab, WC_COMBOBOXW, L"", kDrop, 150, 12, 195, kDropListHeight},
    {kLabel9, kEffectsTab, WC_STATICW, kKeyed, kLabel, 16, 46, 130, 14},
    {kTrackBar6, kEffectsTab, TRACKBAR_CLASSW, L"", kBar, 144, 40, 160, 30, 10, 25},
    {kLabel10, kEffectsTab, WC_STATICW, L"", kLabel, 306, 46, 45, 14},
    {kLabel11, kEffectsTab, WC_STATICW, kKeyed, kLabel, 16, 80, 130, 14},
    {kComboBox3, kEffectsTab, WC_COMBOBOXW, L"", kDrop, 150, 76, 195, kDropListHeight},
    {kLabel2, kEffectsTab, WC_STATICW, kKeyed, kLabel, 16, 108, 130, 14},
    {kComboBox2, kEffectsTab, WC_COMBOBOXW, L"", kDrop, 150, 104, 195, kDropListHeight},
    {kLabel3, kEffectsTab, WC_STATICW, kKeyed, kLabel, 16, 140, 130, 14},
    {kTrackBar1, kEffectsTab, TRACKBAR_CLASSW, L"", kBar, 144, 134, 160, 30, 10, 100},
    {kLabel4, kEffectsTab, WC_STATICW, L"", kLabel, 306, 140, 45, 14},
    {kLabel6, kEffectsTab, WC_STATICW, kKeyed, kLabel, 16, 176, 130, 14},
    {kTrackBar2, kEffectsTab, TRACKBAR_CLASSW, L"", kBar, 144, 170, 207, 30, 0, kSpeedBarMax},
    {kLabel7, kEffectsTab, WC_STATICW, kKeyed, kLabel, 16, 212, 130, 14},
    {kTrackBar3, kEffectsTab, TRACKBAR_CLASSW, L"", kBar, 144, 206, 207, 30, 0, kSpeedBarMax},
    {kGroupBox4, kEffectsTab, WC_BUTTONW, kKeyed, kGroupBox, 8, 248, 345, 72},
    {kCheckBox5, kEffectsTab, WC_BUTTONW, kKeyed, kCheck, 16, 268, 330, 17},
    {kCheckBox6, kEffectsTab, WC_BUTTONW, kKeyed, kCheck, 16, 292, 330, 17},
    // Indexing
    {kIndexNotelbl, kIndexingTab, WC_STATICW, kKeyed, kLabel, 8, 8, 345, 42},
    {kIndexListBox, kIndexingTab, WC_LISTBOXW, L"",
     LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_BORDER | WS_TABSTOP, 8, 54, 345, 236},
    {kAddToIndexBtn, kIndexingTab, WC_BUTTONW, kKeyed, BS_PUSHBUTTON | WS_TABSTOP, 8, 298, 90, 25},
    {kDelIndexBtn, kIndexingTab, WC_BUTTONW, kKeyed, BS_PUSHBUTTON | WS_TABSTOP, 104, 298, 90, 25},
    {kIndexOnStartCB, kIndexingTab, WC_BUTTONW, kKeyed, kCheck, 8, 336, 345, 17},
    // Advanced
    {kGroupBox3, kAdvancedTab, WC_BUTTONW, kKeyed, kGroupBox, 8, 4, 170, 50},
    {kLangComboBox, kAdvancedTab, WC_COMBOBOXW, L"", kDrop, 16, 22, 154, kDropListHeight},
    {kWeatherBox, kAdvancedTab, WC_BUTTONW, kKeyed, kGroupBox, 184, 4, 169, 96},
    {kLabel15, kAdvancedTab, WC_STATICW, kKeyed, kLabel, 192, 25, 36, 14},
    {kWeatherEdit, kAdvancedTab, WC_EDITW, L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 230, 22, 115, 21},
    {kRadioButton5, kAdvancedTab, WC_BUTTONW, kKeyed, kRadio, 192, 50, 72, 17},
    {kRadioButton6, kAdvancedTab, WC_BUTTONW, kKeyed, kRadio, 270, 50, 75, 17, 0, 0, true},
    {kLabel17, kAdvancedTab, WC_STATICW, kKeyed, kLabel, 192, 76, 36, 14},
    {kWeatherDayCombo, kAdvancedTab, WC_COMBOBOXW, L"", kDrop, 230, 72, 60, kDropListHeight},
    {kLabel16, kAdvancedTab, WC_STATICW, L"Count of visible items in folder menu", kLabel, 8, 62, 120, 28},
    {kFolderMenuItemsCount, kAdvancedTab, WC_EDITW, L"", ES_NUMBER | WS_BORDER | WS_TABSTOP, 130, 64, 48, 21, 5,
     40},
    {kRollOutOnMouseOutCB, kAdvancedTab, WC_BUTTONW, kKeyed, kCheck, 8, 110, 345, 17},
    {kCheckBox9, kAdvancedTab, WC_BUTTONW, kKeyed, kCheck, 8, 132, 345, 17},
    {kCheckBox2, kAdvancedTab, WC_BUTTONW, kKeyed, kCheck, 8, 154, 345, 17},
    {kCheckBox3, kAdvancedTab, WC_BUTTONW, kKeyed, kCheck, 8, 176, 345, 17},
    {kCheckBox13, kAdvancedTab, WC_BUTTONW, kKeyed, kCheck, 8, 198, 345, 17},
    {kCheckBox8, kAdvancedTab, WC_BUTTONW, kKeyed, kCheck, 8, 220, 345, 17},
    {kCheckBox14, kAdvancedTab, WC_BUTTONW, kKeyed, kCheck, 8, 242, 345, 17},
    {kCheckBox7, kAdvancedTab, WC_BUTTONW, kKeyed, kCheck, 8, 264, 345, 17},
    {kCheckBox1, kAdvancedTab, WC_BUTTONW, kKeyed, kCheck, 8, 286, 345, 17},
};

const std::array<std::wstring_view, 7> kDays{L"0", L"+1", L"+2", L"+3", L"+4", L"+5", L"+6"};

template <size_t N> std::vector<std::wstring> Texts(const std::array<std::wstring_view, N>& texts) {
    return std::vector<std::wstring>(texts.begin(), texts.end());
}

ui::ControlLayout LayoutOf(const ControlRow& row) {
    ui::ControlLayout layout;
    layout.className = row.className;
    layout.text = row.caption ? row.caption : DefaultControlText(TextForm::TForm5, row.id);
    layout.style = row.style | (row.continuesGroup ? 0 : WS_GROUP);
    layout.x = row.x;
    layout.y = row.y;
    layout.width = row.width;
    layout.height = row.height;
    layout.id = row.id;
    return layout;
}

HICON ShellIcon(int index) {
    HICON icon = nullptr;
    ExtractIconExW(L"shell32.dll", index, &icon, nullptr, 1);
    return icon;
}

bool IsForwarded(UINT msg) {
    switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_DRAWITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR: return true;
    default: return false;
    }
}

// A page hands its controls' notifications to the dialog, which owns every handler.
LRESULT CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    try {
        HWND dialog = GetParent(hwnd);
        if (IsForwarded(msg) && dialog) return SendMessageW(dialog, msg, wp, lp);
        if (msg == WM_SETCURSOR && GetDlgCtrlID(reinterpret_cast<HWND>(wp)) == kColorPanel) {
            HCURSOR screen = ui::ScreenCursor();
            SetCursor(screen ? screen : ui::HandPointCursor());
            return TRUE;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    } catch (...) {
        return 0;
    }
}

void RegisterPageClass() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &PageProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = kPageClass;
        return RegisterClassExW(&wc) != 0;
    }();
    if (!registered) throw std::runtime_error("the settings pages' window class could not be registered");
}

}  // namespace

void TForm5::CreateParams(ui::CreateParams& params) {
    params.className = L"TForm5";
    params.caption = DefaultWindowCaption(TextForm::TForm5);
    params.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    params.exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_CONTROLPARENT;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, params.style, FALSE, params.exStyle);
    params.width = frame.right - frame.left;
    params.height = frame.bottom - frame.top;
}

void TForm5::FormCreate() {
    preview_.Resize(200, 150);
    CreateControls();
    core::Form1->SplashTimerTimer();
}

void TForm5::FormDestroy() {
    for (HICON* icon : {&folderIcon_, &fileIcon_}) {
        if (*icon) DestroyIcon(*icon);
        *icon = nullptr;
    }
}

void TForm5::CreatePages() {
    HWND form = Handle();
    ui::ControlLayout tabs;
    tabs.className = WC_TABCONTROLW;
    tabs.style = TCS_FIXEDWIDTH | WS_TABSTOP | WS_CLIPSIBLINGS | WS_GROUP;
    tabs.x = 8;
    tabs.y = 9;
    tabs.width = 369;
    tabs.height = 409;
    tabs.id = kPageControl1;
    HWND tab = ui::CreateControl(form, tabs);
    controls_[kPageControl1] = tab;
    SendMessageW(tab, TCM_SETITEMSIZE, 0, MAKELPARAM(kTabWidth, kTabHeight));
    for (int i = 0; i < kTabCount; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        const std::wstring caption(DefaultTabCaption(i));
        item.pszText = const_cast<wchar_t*>(caption.c_str());
        SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    RECT display = ui::ChildRect(tab);
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    RegisterPageClass();
    for (int i = 0; i < kTabCount; ++i) {
        // No WS_CLIPCHILDREN: a group box paints no inside, so the page's own erase
        // must reach under it.
        HWND page = CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD, display.left,
                                    display.top, display.right - display.left, display.bottom - display.top, form,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!page) throw std::runtime_error("a settings page could not be created");
        pages_[static_cast<size_t>(i)] = page;
    }
}

void TForm5::CreateControls() {
    CreatePages();
    for (const ControlRow& row : kControls) {
        HWND hwnd = ui::CreateControl(Page(row.tab), LayoutOf(row));
        controls_[row.id] = hwnd;
        // Frames lie under the controls they hold, so those are drawn after them.
        if ((row.style & BS_TYPEMASK) == BS_GROUPBOX && std::wstring_view(row.className) == WC_BUTTONW)
            SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (std::wstring_view(row.className) == TRACKBAR_CLASSW) {
            SendMessageW(hwnd, TBM_SETRANGE, TRUE, MAKELPARAM(row.minimum, row.maximum));
            SendMessageW(hwnd, TBM_SETTICFREQ, row.id == kTrackBar1 ? 10 : 1, 0);
        }
    }
    ui::ControlLayout spin;
    spin.className = UPDOWN_CLASSW;
    spin.style = UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
    spin.id = kFolderMenuItemsSpin;
    HWND upDown = ui::CreateControl(Page(kAdvancedTab), spin);
    controls_[kFolderMenuItemsSpin] = upDown;
    SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Control(kFolderMenuItemsCount)), 0);
    SendMessageW(upDown, UDM_SETRANGE32, 5, 40);
    ui::SetComboItems(Control(kComboBox1), Texts(MouseEnterEffects));
    ui::SetComboItems(Control(kComboBox3), Texts(ClickEffects));
    ui::SetComboItems(Control(kComboBox2), Texts(MenuEffects));
    ui::SetComboItems(Control(kWeatherDayCombo), Texts(kDays));
    folderIcon_ = ShellIcon(3);
    fileIcon_ = ShellIcon(70);
    SendMessageW(Control(kImage_t1), STM_SETICON, reinterpret_cast<WPARAM>(folderIcon_), 0);
    SendMessageW(Control(kImage8), STM_SETICON, reinterpret_cast<WPARAM>(fileIcon_), 0);

    HWND form = Handle();
    auto button = [form](int id, int x, int width, ui::Glyph glyph) {
        ui::ControlLayout layout;
        layout.className = WC_BUTTONW;
        layout.text = id == kPngBitBtn2 ? L"OK" : DefaultControlText(TextForm::TForm5, id);
        layout.style = WS_TABSTOP | WS_GROUP;
        layout.x = x;
        layout.y = 424;
        layout.width = width;
        layout.height = 25;
        layout.id = id;
        return ui::CreateGlyphButton(form, layout, glyph);
    };
    controls_[kPngBitBtn2] = button(kPngBitBtn2, 88, 89, ui::Glyph::Ok);
    controls_[kButton1] = button(kButton1, 184, 89, ui::Glyph::Cancel);
    controls_[kButton3] = button(kButton3, 279, 97, ui::Glyph::Ok);
    SetWindowPos(Control(kPageControl1), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowTab(kPositionTab);
}

HWND TForm5::Control(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
}

int TForm5::CurrentTab() const {
    return static_cast<int>(SendMessageW(Control(kPageControl1), TCM_GETCURSEL, 0, 0));
}

void TForm5::ShowTab(int tab) {
    if (tab < 0 || tab >= kTabCount) return;
    SendMessageW(Control(kPageControl1), TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    // The new page first, so no frame shows the tab body empty.
    ShowWindow(Page(tab), SW_SHOWNA);
    for (int i = 0; i < kTabCount; ++i)
        if (i != tab) ShowWindow(Page(i), SW_HIDE);
}

void TForm5::PageControl1Change() { ShowTab(CurrentTab()); }

LRESULT TForm5::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND: OnCommand(LOWORD(wp), HIWORD(wp)); return 0;
    case WM_NOTIFY: OnNotify(*reinterpret_cast<const NMHDR*>(lp)); return 0;
    case WM_HSCROLL: OnScroll(reinterpret_cast<HWND>(lp)); return 0;
    case WM_DRAWITEM: return DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp)) ? TRUE : FALSE;
    case WM_SHOWWINDOW:
        // lParam names an owner's minimise or restore, which ends no showing.
        if (lp == 0 && wp) FormShow();
        break;
    }
    return Form::OnMessage(msg, wp, lp);
}

void TForm5::OnCommand(int id, int code) {
    switch (id) {
    case kPngBitBtn2:
    case IDOK: if (code == BN_CLICKED) Button2Click(); return;
    case kButton1:
    case IDCANCEL: if (code == BN_CLICKED) Button1Click(); return;
    case kButton3: if (code == BN_CLICKED) Button3Click(); return;
    case kSkinComboBox: if (code == CBN_SELCHANGE) SkinComboBoxChange(); return;
    case kLangComboBox: if (code == CBN_SELCHANGE) LangComboBoxChange(); return;
    case kComboBox1:
    case kComboBox2:
    case kComboBox3:
    case kWeatherDayCombo: if (code == CBN_SELCHANGE) ComboBox1Change(id); return;
    case kWeatherEdit:
    case kFolderMenuItemsCount: if (code == EN_CHANGE) ComboBox1Change(id); return;
    case kCheckBox11: if (code == BN_CLICKED) CheckBox11MouseUp(); return;
    case kCheckBox8:
    case kCheckBox14: if (code == BN_CLICKED) CheckBox14Click(); return;
    case kColorPanel: if (code == STN_CLICKED) ColorPanel1MouseUp(); return;
    case kImage_t1: if (code == STN_CLICKED) Image_t1Click(); return;
    case kImage8: if (code == STN_CLICKED) Image8Click(); return;
    case kAddToIndexBtn: if (code == BN_CLICKED) AddIndexBtnClick(); return;
    case kDelIndexBtn: if (code == BN_CLICKED) DelIndexBtnClick(); return;
    case kIndexListBox:
        if (code == LBN_SELCHANGE) IndexListBoxClick();
        else if (code == LBN_DBLCLK) IndexListBoxDblClick();
        return;
    default:
        if (code != BN_CLICKED) return;
        // The remaining check boxes and the radio buttons.
        if (Control(id) && GetParent(Control(id)) != Handle()) ComboBox1Change(id);
        return;
    }
}

void TForm5::OnNotify(const NMHDR& header) {
    if (header.idFrom == kPageControl1 && header.code == TCN_SELCHANGE) PageControl1Change();
}

void TForm5::OnScroll(HWND bar) {
    const int id = GetDlgCtrlID(bar);
    switch (id) {
    case kTrackBar1: TrackBar1Change(); return;
    case kTrackBar6: TrackBar6Change(); return;
    case kTrackBar2:
    case kTrackBar3:
    case kTrackBar4:
    case kTrackBar5: ComboBox1Change(id); return;
    default: return;
    }
}

// Esc, the close box and the system menu's Close all act as Cancel.
void TForm5::FormClose() { Button1Click(); }

bool TForm5::DrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlID == kThemePrwImage) {
        BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, preview_.Width(), preview_.Height(), preview_.Dc(), 0, 0,
               SRCCOPY);
        return true;
    }
    if (item.CtlID != kColorPanel) return false;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    const bool enabled = ui::ControlEnabled(item.hwndItem);
    HBRUSH fill = CreateSolidBrush(enabled ? PanelColor : GetSysColor(COLOR_BTNFACE));
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ oldBrush = SelectObject(item.hDC, fill);
    HGDIOBJ oldPen = SelectObject(item.hDC, pen);
    RoundRect(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom, 8, 8);
    SelectObject(item.hDC, oldPen);
    SelectObject(item.hDC, oldBrush);
    DeleteObject(pen);
    DeleteObject(fill);
    return true;
}

}  // namespace dialogs
