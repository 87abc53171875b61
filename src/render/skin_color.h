// Colour arithmetic of skins: colour strings and the colourize tint.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace core {

// A skin file holds something that is not a valid colour.
class SkinError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Every "#" removed when the text begins with one; otherwise unchanged.
std::wstring StripHash(std::wstring_view text);
// "#RRGGBB" (the digits after the hash counted from the stripped text) with the
// given alpha; any other text is transparent black. Throws SkinError on a character
// that is not a hexadecimal digit.
Gdiplus::ARGB ParseSkinColor(std::uint8_t alpha, std::wstring_view text);
// Opaque grey of the colour's luminance (0.3 red, 0.59 green, 0.11 blue).
Gdiplus::ARGB GrayColor(Gdiplus::ARGB color);
std::uint8_t GrayValue(Gdiplus::ARGB color);
// c1 moved towards c2 by (value - low) / (high - low), limited to 0..1.
Gdiplus::ARGB BlendColor(std::uint8_t alpha, Gdiplus::ARGB c1, Gdiplus::ARGB c2, double low,
                         double value, double high);
// Each channel c + MulDiv(255 - c, n, 255), opaque; system colours resolved first.
Gdiplus::ARGB LightenColor(COLORREF color, int n);
// Each channel c - MulDiv(c, n, 100), kept at 0 or above.
COLORREF DarkenColor(COLORREF color, int n);
// A toolkit colour: system colour indexes (0x80000000 | index) become their RGB.
COLORREF ResolveColor(COLORREF color);

}  // namespace core
