// The layered-window compositor's shared drawing state: every menu window is composed
// into WorkBitmap and shown with one layered-window update.
#pragma once

#include "ui/images.h"

#include <windows.h>
#include <gdiplus.h>

#include <memory>

namespace core {

struct CompositorState {
    // Source-over with per-pixel alpha; the constant alpha is 255 except during animations.
    BLENDFUNCTION WindowBlend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    Gdiplus::ColorMatrix GlowMatrix{};
    Gdiplus::ColorMatrix DisabledMatrix{};
    Gdiplus::ColorMatrix IconMatrix{};
    std::unique_ptr<ui::Dib> WorkBitmap;
    std::unique_ptr<Gdiplus::ImageAttributes> IconAttributes;
    std::unique_ptr<Gdiplus::ImageAttributes> TransparencyAttributes;
    HICON TrayIconImage = nullptr;  // owned; loaded from tray.ico when the icon is shown
};

// The constant matrices set up at start-up: glow (1.1 on the diagonal, alpha added to
// red, green and blue), the dimmed one, and the identity.
void InitColorMatrices(CompositorState& state);

}  // namespace core
