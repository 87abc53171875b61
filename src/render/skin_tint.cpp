#include "render/skin_tint.h"

#include "render/skin_color.h"

#include <algorithm>

namespace core {

Gdiplus::ARGB ArgbOf(COLORREF color) {
    const COLORREF c = ResolveColor(color);
    return 0xFF000000u | (static_cast<Gdiplus::ARGB>(GetRValue(c)) << 16) |
           (static_cast<Gdiplus::ARGB>(GetGValue(c)) << 8) | GetBValue(c);
}

int MaskedMaxGray(const PixelView& image, const PixelView& mask) {
    int top = 0;
    const int width = std::min(image.width, mask.width);
    const int height = std::min(image.height, mask.height);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = image.Row(y);
        for (int x = 0; x < width; ++x)
            if (mask.Marks(x, y)) top = std::max<int>(top, GrayValue(row[x]));
    }
    return top;
}

Gdiplus::ARGB TintPixel(Gdiplus::ARGB pixel, COLORREF colorize, int maxGray) {
    const int y = GrayValue(pixel);
    // DarkenColor stops at black: the darkening factor 255 - M exceeds 100 whenever
    // the masked area is darker than grey 155.
    const COLORREF dark = DarkenColor(colorize, 255 - maxGray);
    const Gdiplus::ARGB light = LightenColor(dark, y);
    return BlendColor(static_cast<std::uint8_t>(pixel >> 24), light, ArgbOf(colorize), 0, 255 - y, 255);
}

void TintMasked(const PixelView& image, const PixelView& mask, int columns, int rows, COLORREF colorize,
                int maxGray) {
    const int width = std::min({columns, image.width, mask.width});
    const int height = std::min({rows, image.height, mask.height});
    for (int y = 0; y < height; ++y) {
        std::uint32_t* row = image.Row(y);
        for (int x = 0; x < width; ++x)
            if (mask.Marks(x, y)) row[x] = TintPixel(row[x], colorize, maxGray);
    }
}

Gdiplus::ARGB TintCaptionColor(Gdiplus::ARGB color, COLORREF colorize) {
    const int y = GrayValue(color);
    return BlendColor(static_cast<std::uint8_t>(color >> 24), GrayColor(color), ArgbOf(colorize), 0, 255 - y, 255);
}

std::uint32_t Premultiply(Gdiplus::ARGB pixel) {
    const std::uint32_t a = pixel >> 24;
    if (a == 255) return pixel;
    auto scale = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    return (a << 24) | (scale((pixel >> 16) & 0xFF) << 16) | (scale((pixel >> 8) & 0xFF) << 8) |
           scale(pixel & 0xFF);
}

}  // namespace core
