// Drawing primitives of the compositor: clipped per-pixel-alpha blends of skin parts,
// clipped GDI+ image parts, clearing and copying of 32-bit surfaces.
#pragma once

#include "ui/images.h"

#include <windows.h>
#include <gdiplus.h>

#include <memory>

namespace core {

// A rectangle as origin and size, the way AlphaBlend takes it.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Source-over with per-pixel alpha and full constant alpha: how parts are laid down.
inline constexpr BLENDFUNCTION kPartBlend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};

// The size of the bitmap selected into a memory DC (0 x 0 when there is none).
SIZE SelectedBitmapSize(HDC dc);

// AlphaBlend of `source` onto `target`, scaled, with the source rectangle first cut
// to the source bitmap and the target cut in proportion: AlphaBlend refuses a source
// rectangle that leaves the bitmap and would draw nothing at all. Empty rectangles
// draw nothing.
void BlendClipped(HDC target, PixelRect to, HDC source, PixelRect from, BLENDFUNCTION blend = kPartBlend);

// DrawImage of a part of `image`, with the part cut to the image and the target in
// proportion; a part wholly outside the image draws nothing.
void DrawImageClipped(Gdiplus::Graphics& graphics, Gdiplus::Image& image, const Gdiplus::RectF& to,
                      const Gdiplus::RectF& from, const Gdiplus::ImageAttributes* attributes = nullptr);

// Sets every pixel of the rectangle (right and bottom excluded) to transparent.
void ClearRect(ui::Dib& dib, const RECT& rect);
// Copies the pixels the two surfaces have in common, from the top-left corner.
void CopyPixels(const ui::Dib& from, ui::Dib& to);
// The rows where two surfaces of the same size differ, as top and bottom (bottom
// excluded); top == bottom when they are equal.
struct RowSpan {
    int top = 0;
    int bottom = 0;
    bool Empty() const { return bottom <= top; }
};
RowSpan ChangedRows(const ui::Dib& a, const ui::Dib& b);
// The smallest span holding both; an empty span adds nothing.
RowSpan Union(RowSpan a, RowSpan b);

// One layered-window update at `position` and `size` from `source` with per-pixel
// alpha; with `dirty` (window coordinates) the window takes only that part from the
// source and keeps the rest. The screen's DC is taken for the call and released.
bool UpdateLayered(HWND window, POINT position, SIZE size, HDC source, const BLENDFUNCTION& blend,
                   const RECT* dirty);
// A premultiplied GDI+ bitmap with a copy of the surface's pixels.
std::unique_ptr<Gdiplus::Bitmap> CopyToBitmap(const ui::Dib& dib);

// A GDI+ drawing surface over a DIB with the compositor's quality settings: low-
// quality interpolation, half-pixel offsets, high-speed compositing and smoothing,
// source-over. GDI's pending work is flushed first and GDI+'s at the end, so GDI and
// GDI+ can take turns on the same bits.
class Surface {
public:
    explicit Surface(ui::Dib& dib);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    Gdiplus::Graphics& Graphics() { return *graphics_; }
    bool Ok() const { return graphics_ && graphics_->GetLastStatus() == Gdiplus::Ok; }

private:
    std::unique_ptr<Gdiplus::Graphics> graphics_;
};

}  // namespace core
