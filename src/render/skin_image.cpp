#include "render/skin_image.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace core {

void CheckSkinStatus(Gdiplus::Status status, const char* what) {
    if (status != Gdiplus::Ok) throw SkinError(what);
}

std::unique_ptr<Gdiplus::Bitmap> FilledSkinImage(int width, int height, Gdiplus::ARGB fill) {
    auto image = std::make_unique<Gdiplus::Bitmap>(std::max(1, width), std::max(1, height), PixelFormat32bppARGB);
    CheckSkinStatus(image->GetLastStatus(), "cannot create a skin image");
    LockedPixels pixels(*image, Gdiplus::ImageLockModeWrite);
    const PixelView view = pixels.View();
    for (int y = 0; y < view.height; ++y) std::fill_n(view.Row(y), view.width, fill);
    return image;
}

void DrawOver(Gdiplus::Bitmap& target, Gdiplus::Bitmap& source, const Gdiplus::Rect& dest, bool smooth) {
    Gdiplus::Graphics graphics(&target);
    CheckSkinStatus(graphics.GetLastStatus(), "cannot draw on a skin part");
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    graphics.SetInterpolationMode(smooth ? Gdiplus::InterpolationModeHighQualityBilinear
                                         : Gdiplus::InterpolationModeNearestNeighbor);
    // Scaled edges would otherwise fade into the transparent outside of the source.
    Gdiplus::ImageAttributes edges;
    edges.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    CheckSkinStatus(
        graphics.DrawImage(&source, dest, 0, 0, WidthOf(source), HeightOf(source), Gdiplus::UnitPixel, &edges),
        "cannot draw a skin part");
}

bool ToDib(Gdiplus::Bitmap* image, ui::Dib& dib) noexcept {
    dib.Reset();
    if (!image) return false;
    try {
        LockedPixels pixels(*image, Gdiplus::ImageLockModeRead);
        const PixelView view = pixels.View();
        dib.Resize(view.width, view.height);
        if (!dib.Bits() || dib.Width() != view.width || dib.Height() != view.height) {
            dib.Reset();
            return false;
        }
        for (int y = 0; y < view.height; ++y) {
            const std::uint32_t* row = view.Row(y);
            std::uint32_t* out = dib.Bits() + static_cast<std::size_t>(y) * view.width;
            for (int x = 0; x < view.width; ++x) out[x] = Premultiply(row[x]);
        }
        return true;
    } catch (const std::exception&) {
        dib.Reset();
        return false;
    }
}

void FillFallback(ui::Dib& dib, int width, int height, Gdiplus::ARGB color) noexcept {
    dib.Resize(width, height);
    if (!dib.Bits()) dib.Resize(1, 1);
    dib.Fill(Premultiply(color));
}

}  // namespace core
