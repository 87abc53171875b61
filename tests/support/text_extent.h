// What text measures on this system, for tests that place windows sized by text.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// The extent of `text` in bold Tahoma at `points`, at the screen's resolution.
inline SIZE BoldTahomaExtent(const std::wstring& text, int points) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontW(-MulDiv(points, dpi, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             0, 0, L"Tahoma");
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return extent;
}

}  // namespace testing_support
