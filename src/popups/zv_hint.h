// TZVHint, the hint window that shows an item's caption beside the menu windows. It
// also plays the click effects and the deletion puff (click_effects.cpp), each in a
// temporary window of its own that it owns.
#pragma once

#include "ui/form.h"
#include "ui/images.h"

#include <gdiplus.h>

#include <memory>
#include <string>

namespace popups {

class TZVHint : public ui::Form {
public:
    // Shows Text with the window's top at Top; Left is the anchor, used as Position
    // says. Kind "Message" shows even when the skin draws captions.
    void ShowText(const std::wstring& Text, const std::wstring& Kind, int Top, int Left);

    // The click effects over the icon whose top-left corner is at (X, Y) on the
    // screen, from cell Cell of Strip. Each returns its window, still existing, for
    // the caller to free; null when nothing played.
    std::unique_ptr<ui::Form> GlowEffect(int X, int Y, int Cell, Gdiplus::Bitmap* Strip);
    std::unique_ptr<ui::Form> ZoomEffect(int X, int Y, int Cell, Gdiplus::Bitmap* Strip);
    std::unique_ptr<ui::Form> RollEffect(int X, int Y, int Cell, Gdiplus::Bitmap* Strip);
    std::unique_ptr<ui::Form> BounceEffect(int X, int Y, int Cell, Gdiplus::Bitmap* Strip);
    std::unique_ptr<ui::Form> RippleEffect(int X, int Y, int Cell, Gdiplus::Bitmap* Strip);
    // The puff of smoke centred on the screen point (X, Y); frees its own window.
    void PlayPoof(int X, int Y);

    BLENDFUNCTION Blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};

protected:
    void CreateParams(ui::CreateParams& params) override;
    void FormCreate() override;
    void FormDestroy() override;
};

}  // namespace popups
