#include "render/skin_color.h"

#include "ui/strings.h"

#include <algorithm>
#include <cmath>

namespace core {
namespace {

std::uint8_t Channel(Gdiplus::ARGB color, int shift) { return static_cast<std::uint8_t>(color >> shift); }

Gdiplus::ARGB MakeArgb(std::uint8_t a, int r, int g, int b) {
    auto clamp = [](int v) { return static_cast<Gdiplus::ARGB>(std::clamp(v, 0, 255)); };
    return (static_cast<Gdiplus::ARGB>(a) << 24) | (clamp(r) << 16) | (clamp(g) << 8) | clamp(b);
}

int HexPair(std::wstring_view digits) {
    if (digits.empty()) throw SkinError("empty colour digits");
    int value = 0;
    for (wchar_t c : digits) {
        int d;
        if (c >= L'0' && c <= L'9') d = c - L'0';
        else if (c >= L'a' && c <= L'f') d = c - L'a' + 10;
        else if (c >= L'A' && c <= L'F') d = c - L'A' + 10;
        else throw SkinError("not a hexadecimal digit in a colour");
        value = value * 16 + d;
    }
    return value;
}

std::wstring_view Sub(std::wstring_view text, size_t from, size_t count) {
    return from >= text.size() ? std::wstring_view() : text.substr(from, count);
}

}  // namespace

std::wstring StripHash(std::wstring_view text) {
    std::wstring out(text);
    if (!out.empty() && out.front() == L'#') out.erase(std::remove(out.begin(), out.end(), L'#'), out.end());
    return out;
}

Gdiplus::ARGB ParseSkinColor(std::uint8_t alpha, std::wstring_view text) {
    if (text.size() < 6 || text.front() != L'#') return 0;
    const std::wstring digits = StripHash(text);
    return MakeArgb(alpha, HexPair(Sub(digits, 0, 2)), HexPair(Sub(digits, 2, 2)), HexPair(Sub(digits, 4, 2)));
}

std::uint8_t GrayValue(Gdiplus::ARGB color) {
    const double y = 0.3 * Channel(color, 16) + 0.59 * Channel(color, 8) + 0.11 * Channel(color, 0);
    return static_cast<std::uint8_t>(std::clamp(ui::RoundEven(y), 0.0, 255.0));
}

Gdiplus::ARGB GrayColor(Gdiplus::ARGB color) {
    const std::uint8_t y = GrayValue(color);
    return MakeArgb(255, y, y, y);
}

Gdiplus::ARGB BlendColor(std::uint8_t alpha, Gdiplus::ARGB c1, Gdiplus::ARGB c2, double low, double value,
                         double high) {
    double t = (value - low) / (high - low);
    if (!(t >= 0)) t = 0;  // below 0, or not a number
    if (t > 1) t = 1;
    auto mix = [t](int a, int b) { return a + static_cast<int>(ui::RoundEven((b - a) * t)); };
    return MakeArgb(alpha, mix(Channel(c1, 16), Channel(c2, 16)), mix(Channel(c1, 8), Channel(c2, 8)),
                    mix(Channel(c1, 0), Channel(c2, 0)));
}

COLORREF ResolveColor(COLORREF color) {
    if ((color & 0xFF000000u) == 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFFu;
}

Gdiplus::ARGB LightenColor(COLORREF color, int n) {
    const COLORREF c = ResolveColor(color);
    auto up = [n](int v) { return v + MulDiv(255 - v, n, 255); };
    return MakeArgb(255, up(GetRValue(c)), up(GetGValue(c)), up(GetBValue(c)));
}

COLORREF DarkenColor(COLORREF color, int n) {
    const COLORREF c = ResolveColor(color);
    // Callers pass up to 255 where 100 is the meaningful top: a channel would go
    // below zero and wrap into a bright colour, so it stops at black.
    auto down = [n](int v) { return std::clamp(v - MulDiv(v, n, 100), 0, 255); };
    return RGB(down(GetRValue(c)), down(GetGValue(c)), down(GetBValue(c)));
}

}  // namespace core
