#include "ui/controls.h"

#include "ui/handles.h"


#include <stdexcept>

namespace ui {

HFONT DialogFont() {
    static UniqueFont font = [] {
        HDC screen = GetDC(nullptr);
        const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen) ReleaseDC(nullptr, screen);
        LOGFONTW lf{};
        lf.lfHeight = -MulDiv(8, dpi, 72);
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = DEFAULT_QUALITY;
        wcscpy_s(lf.lfFaceName, L"Tahoma");
        return UniqueFont(CreateFontIndirectW(&lf));
    }();
    return font ? font.Get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HWND CreateControl(HWND parent, const ControlLayout& layout) {
    DWORD style = layout.style | WS_CHILD;
    if (!layout.hidden) style |= WS_VISIBLE;
    HWND hwnd = CreateWindowExW(layout.exStyle, layout.className, layout.text.c_str(), style, layout.x, layout.y,
                                layout.width, layout.height, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)),
                                GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) throw std::runtime_error("a dialog control could not be created");
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), FALSE);
    return hwnd;
}

std::wstring ControlText(HWND control) {
    const int length = GetWindowTextLengthW(control);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

void SetControlText(HWND control, std::wstring_view text) {
    const std::wstring copy(text);
    SetWindowTextW(control, copy.c_str());
}

void SetComboItems(HWND combo, const std::vector<std::wstring>& items) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& item : items)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int ComboIndex(HWND combo) {
    const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void SetComboIndex(HWND combo, int index) { SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

int ComboCount(HWND combo) {
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    return count == CB_ERR ? 0 : static_cast<int>(count);
}

std::wstring ComboItemText(HWND combo, int index) {
    if (index < 0 || index >= ComboCount(combo)) return {};
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}

bool Checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetChecked(HWND button, bool checked) {
    SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SetEnabled(HWND control, bool enabled) { EnableWindow(control, enabled ? TRUE : FALSE); }

void SetVisible(HWND control, bool visible) { ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE); }

bool ControlEnabled(HWND control) { return IsWindowEnabled(control) != FALSE; }

bool ControlVisible(HWND control) { return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0; }

RECT ChildRect(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace ui
