// The colourize tint of skin parts, pixel by pixel, over plain ARGB pixel buffers.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <cstddef>
#include <cstdint>

namespace core {

// Rows of 32-bit ARGB pixels (not premultiplied) owned by someone else, such as a
// locked Gdiplus::Bitmap. The stride is in bytes and may exceed width * 4.
struct PixelView {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;

    std::uint32_t* Row(int y) const {
        return reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(pixels) + y * stride);
    }
    // A mask marks a pixel when it has one there with non-zero alpha; outside its
    // size nothing is marked, so a mask smaller than its part leaves the rest alone.
    bool Marks(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height && (Row(y)[x] >> 24) != 0;
    }
};

// The largest grey value of an image pixel that the mask marks; 0 when none is marked.
int MaskedMaxGray(const PixelView& image, const PixelView& mask);

// The tint of one pixel for the colourize colour (a Windows colour, red lowest):
// white stays white, black takes the colour, the alpha is kept. maxGray is the
// brightest masked grey of the background.
Gdiplus::ARGB TintPixel(Gdiplus::ARGB pixel, COLORREF colorize, int maxGray);

// Tints the marked pixels of the upper-left `columns` x `rows` of the image, never
// past the image's own size.
void TintMasked(const PixelView& image, const PixelView& mask, int columns, int rows, COLORREF colorize,
                int maxGray);

// A caption colour moved towards the colourize colour by how dark it is; its alpha kept.
Gdiplus::ARGB TintCaptionColor(Gdiplus::ARGB color, COLORREF colorize);

// Opaque ARGB colour of a Windows colour.
Gdiplus::ARGB ArgbOf(COLORREF color);

// ARGB to the premultiplied BGRA of a 32-bit DIB (the same byte order, colour
// scaled by alpha).
std::uint32_t Premultiply(Gdiplus::ARGB pixel);

}  // namespace core
