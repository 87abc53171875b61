// Glass: the frame extended into dialogs and the desktop window manager's blur behind
// the menu windows, limited to the shape the skin's blur mask paints.
#pragma once

#include "ui/form.h"
#include "ui/images.h"

#include <windows.h>

#include <functional>
#include <optional>

namespace core {

// Left, Top, Right, Bottom; the window manager takes them as left, right, top, bottom.
struct Margins {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};
// Margins.Left of this value with blur: no region, the whole window, on when Top is 1.
inline constexpr int GlassWholeWindow = 2222;

// The three window-manager calls, reached through a table so that tests can observe
// what would be sent. A missing export is an empty function.
struct DwmFunctions {
    std::function<HRESULT(BOOL* enabled)> IsCompositionEnabled;
    std::function<HRESULT(HWND, const Margins&)> ExtendFrameIntoClientArea;
    // flags, enable, region (may be null), transition on maximized
    std::function<HRESULT(HWND, DWORD flags, BOOL enable, HRGN region, BOOL transition)> EnableBlurBehindWindow;
};
// Loads dwmapi.dll for one call: nullopt when the library is missing. The table
// stays valid until the returned holder is destroyed.
struct DwmSession {
    DwmFunctions functions;
    std::function<void()> unload;
};
using DwmLoader = std::function<std::optional<DwmSession>()>;
void SetDwmLoaderForTests(DwmLoader loader);

// The mask that MaskToRegion reads; set by ApplyBlurBehind for the time of its call.
extern const ui::Dib* GlassMask;

// Extends the frame (blur false) or switches blur-behind (blur true) for the form.
void ExtendGlass(ui::Form& form, const Margins& margins, bool blur);
// The non-key pixels of GlassMask as a region of one-pixel-high runs; null when there
// is no mask or no pixel outside the key. The caller owns the region.
HRGN MaskToRegion(COLORREF key, COLORREF tolerance);

}  // namespace core
