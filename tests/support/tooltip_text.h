// The text a glyph button's tooltip shows for it.
#pragma once

#include "ui/glyph_button.h"

#include <windows.h>
#include <commctrl.h>

#include <iterator>
#include <string>

namespace testing_support {

inline std::wstring TooltipText(HWND button) {
    HWND tooltip = ui::GlyphButtonTooltip(button);
    if (!tooltip) return L"<no tooltip>";
    wchar_t text[512] = L"<no tool>";
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = GetAncestor(button, GA_ROOT);
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    return text;
}

}  // namespace testing_support
