// Pixel comparisons for rendering tests: colour-matrix and scaling results may
// differ by one from exact arithmetic.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace testing_support {

// Every channel of the two 32-bit pixels (ARGB, or BGRA of a DIB: the same layout)
// within `tolerance`.
inline ::testing::AssertionResult PixelNear(std::uint32_t actual, std::uint32_t expected, int tolerance = 1) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance) {
            char text[64];
            std::snprintf(text, sizeof text, "0x%08X, expected 0x%08X", static_cast<unsigned>(actual),
                          static_cast<unsigned>(expected));
            return ::testing::AssertionFailure() << text;
        }
    }
    return ::testing::AssertionSuccess();
}

// A pixel of a GDI+ image as straight ARGB.
inline Gdiplus::ARGB PixelAt(Gdiplus::Bitmap& image, int x, int y) {
    Gdiplus::Color c;
    image.GetPixel(x, y, &c);
    return c.GetValue();
}

// Every pixel of rows [top, bottom) of the image, row by row.
inline std::vector<Gdiplus::ARGB> Band(Gdiplus::Bitmap& image, int top, int bottom) {
    std::vector<Gdiplus::ARGB> pixels;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < static_cast<int>(image.GetWidth()); ++x) pixels.push_back(PixelAt(image, x, y));
    return pixels;
}

// How many of the pixels are not wholly transparent: where text or an icon was drawn.
inline int CountInk(const std::vector<Gdiplus::ARGB>& pixels) {
    int ink = 0;
    for (auto p : pixels) ink += (p >> 24) != 0;
    return ink;
}

}  // namespace testing_support
