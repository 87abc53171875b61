// TZVHint, the hint window that shows an item's caption beside the menu windows. It
// also plays the click effects and the deletion puff (click_effects.cpp), each in a
// temporary window of its own that it owns.
#pragma once

#include "ui/form.h"
#include "ui/handles.h"
#include "ui/images.h"

#include <gdiplus.h>

#include <memory>
#include <string>

namespace core {
struct TLNItem;
}

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

    // Relabels the context menu and the dialogs from languages\ + Name + ".ini".
    void LoadLanguage(const std::wstring& Name);

    BLENDFUNCTION Blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};

    // What the last show drew (premultiplied BGRA), for tests to read.
    const ui::Dib& Image() const noexcept { return Bitmap; }

private:
    SIZE MeasureText(const std::wstring& text) const;
    void PaintText(const std::wstring& text);

    // The window's surface, sized to the window at each show.
    ui::Dib Bitmap;
    // The outline and its pen; each show sets the pen's width from the skin's StrokeSize.
    std::unique_ptr<Gdiplus::GraphicsPath> Path;
    std::unique_ptr<Gdiplus::Pen> Pen;
    // The hint font settings' font: it sizes the window, the skin's font draws in it.
    ui::UniqueFont measureFont_;

protected:
    void CreateParams(ui::CreateParams& params) override;
    void FormCreate() override;
    void FormDestroy() override;
};

// The caption of `item` as the hint of row `row` (0-based, counted from the first
// row shown) of the window of `level` (1..3), where that window's hover puts it.
void ShowRowHint(int level, int row, const core::TLNItem& item);
// The same for the selected row of a level: the row an edit has just put there.
void ShowSelectedRowHint(int level);

}  // namespace popups
