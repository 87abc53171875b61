// The GDI+ side of the skin parts: the images a skin load tints, mirrors and makes
// transparent before they become the premultiplied DIBs every menu window draws from.
#pragma once

#include "render/skin_color.h"
#include "render/skin_tint.h"
#include "ui/images.h"

#include <windows.h>
#include <gdiplus.h>

#include <memory>

namespace core {

// Throws SkinError with `what` for any status but Ok.
void CheckSkinStatus(Gdiplus::Status status, const char* what);

inline int WidthOf(Gdiplus::Bitmap& image) { return static_cast<int>(image.GetWidth()); }
inline int HeightOf(Gdiplus::Bitmap& image) { return static_cast<int>(image.GetHeight()); }

// LockBits / UnlockBits of a whole bitmap as 32-bit ARGB.
class LockedPixels {
public:
    LockedPixels(Gdiplus::Bitmap& bitmap, UINT mode) : bitmap_(bitmap) {
        Gdiplus::Rect all(0, 0, WidthOf(bitmap), HeightOf(bitmap));
        CheckSkinStatus(bitmap.LockBits(&all, mode, PixelFormat32bppARGB, &data_),
                        "cannot lock the pixels of a skin part");
    }
    LockedPixels(const LockedPixels&) = delete;
    LockedPixels& operator=(const LockedPixels&) = delete;
    ~LockedPixels() { bitmap_.UnlockBits(&data_); }

    PixelView View() const {
        return PixelView{static_cast<std::uint32_t*>(data_.Scan0), static_cast<int>(data_.Width),
                         static_cast<int>(data_.Height), data_.Stride};
    }

private:
    Gdiplus::Bitmap& bitmap_;
    Gdiplus::BitmapData data_{};
};

// A 32-bit ARGB image of at least 1 x 1 pixels, every pixel `fill`.
std::unique_ptr<Gdiplus::Bitmap> FilledSkinImage(int width, int height, Gdiplus::ARGB fill);

// Source-over of the whole source into `dest` of the target.
void DrawOver(Gdiplus::Bitmap& target, Gdiplus::Bitmap& source, const Gdiplus::Rect& dest, bool smooth);

// The image's pixels premultiplied into a DIB; false (the DIB released) when there is
// no part or its pixels cannot be read.
bool ToDib(Gdiplus::Bitmap* image, ui::Dib& dib) noexcept;

// The last resort for back and box when not even their fallback image could be made:
// every later drawing still finds a DIB to read.
void FillFallback(ui::Dib& dib, int width, int height, Gdiplus::ARGB color) noexcept;

}  // namespace core
