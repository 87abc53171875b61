// The about box's credits: their lines, their rendering into a bitmap and the state
// of their endless upward scroll. Free of windows, so each can be checked alone.
#pragma once

#include "ui/images.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dialogs {

// The credits as lines; the first is "+Zarvo " and the version. A line that begins
// with "+" is a heading, and blank lines hold a single space.
std::vector<std::wstring> CreditsText(std::wstring_view version);

// The font the credits are drawn in: GDI, so every script the face holds draws.
struct CreditsFont {
    std::wstring Face = L"MS Shell Dlg 2";
    int PixelHeight = 11;
};

// The height of one line: that of "W" in the font's regular style.
int CreditsLineHeight(const CreditsFont& font);

// The lines drawn one per band of CreditsLineHeight on white, each centred across
// `width` in grey (a heading bold and without its "+"). The bitmap is `width` by
// (lines x line height), at most kMaxCreditsHeight; null for no lines.
inline constexpr int kMaxCreditsHeight = 16384;
std::unique_ptr<ui::Dib> RenderCredits(const std::vector<std::wstring>& lines, const CreditsFont& font, int width);

// The scroll of the credits through an area `AreaHeight` high: the offset is the
// credits row at the area's top, negative while the first line is still below it.
struct CreditsScroll {
    int AreaHeight = 185;
    int CreditsHeight = 0;
    int ScrollOffset = -185;
    bool ScrollPaused = false;

    // A new showing: the credits start again from below the area, running.
    void Start(int creditsHeight);
    // One timer tick: past the last line the credits start again from below; then the
    // offset to draw at is returned and, unless paused, the scroll moves one pixel on.
    int Tick();
};

}  // namespace dialogs
