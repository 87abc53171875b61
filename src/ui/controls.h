// Standard comctl32 controls for our dialogs: made at pixel positions in the dialogs'
// font, read and set through a few plain calls.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace ui {

// Tahoma 8 pt at the screen's resolution, made once and kept for the process.
HFONT DialogFont();

struct ControlLayout {
    const wchar_t* className = L"STATIC";  // WC_BUTTON, WC_EDIT, WC_COMBOBOX, ...
    std::wstring text;
    DWORD style = 0;    // WS_CHILD and WS_VISIBLE are added unless `hidden`
    DWORD exStyle = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int id = 0;
    bool hidden = false;
};

// A child window of `parent` in the dialog font. Throws std::runtime_error when the
// window cannot be made: a dialog without its controls is a bug, not input.
HWND CreateControl(HWND parent, const ControlLayout& layout);

std::wstring ControlText(HWND control);
void SetControlText(HWND control, std::wstring_view text);

// Combo boxes and list boxes of the drop-down-list kind.
void SetComboItems(HWND combo, const std::vector<std::wstring>& items);
int ComboIndex(HWND combo);  // -1 for none
void SetComboIndex(HWND combo, int index);
int ComboCount(HWND combo);
std::wstring ComboItemText(HWND combo, int index);  // empty outside the list

bool Checked(HWND button);
void SetChecked(HWND button, bool checked);

void SetEnabled(HWND control, bool enabled);
void SetVisible(HWND control, bool visible);
bool ControlEnabled(HWND control);
bool ControlVisible(HWND control);  // its own style bit: true in a hidden dialog too

// The control's rectangle in its parent's client coordinates.
RECT ChildRect(HWND control);

}  // namespace ui
