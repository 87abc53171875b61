// The click effects and the deletion puff: a pure plan per effect (its window and,
// per frame, where the window stands, what is drawn and how long the frame lasts)
// and the schedule that paces the frames against deadlines.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace popups {

enum class ClickEffectKind { Glow, Zoom, Roll, Bounce, Ripple };

// The side of an icon cell in the level strips.
inline constexpr int kCellSize = 48;
// The puff plays this many frames of poof.png.
inline constexpr int kPoofFrames = 5;

// One ripple ring: a white ellipse inset by `inset` on every side of the window.
struct EffectRing {
    std::uint8_t alpha = 255;
    float inset = 0;
};

struct ClickEffectFrame {
    POINT window{};            // the window's top-left corner on the screen
    Gdiplus::RectF source;     // the part of the strip or picture drawn
    Gdiplus::RectF target;     // where it lands in the window
    int glow = 0;              // g: each colour channel gains 0.075 x g x the pixel's alpha
    float angle = 0;           // degrees clockwise about the window's centre, from the start
    std::vector<EffectRing> rings;  // drawn over the icon, innermost and faintest first
    int waitMs = 0;            // the frame's slot
};

struct ClickEffectPlan {
    RECT window{};            // where the window starts, and its size
    bool drawOnce = false;    // the first frame's drawing stays; later frames only move the window
    bool antiAlias = false;
    std::vector<ClickEffectFrame> frames;
    int Width() const { return window.right - window.left; }
    int Height() const { return window.bottom - window.top; }
    int TotalMs() const;
};

struct ClickEffectInput {
    int iconSize = 32;      // the skin's IconSize
    int zoom = 100;         // [Effects] Zoom as stored
    int onMouse = 0;        // [Effects] OnMouse
    int screenExtent = 0;   // the screen's larger dimension
};

// c = RoundEven(IconSize x Zoom x 10 / 100); null when it is below 1 or larger than
// `limit`, so a hand-edited Zoom never sizes a window.
std::optional<int> EffectSide(int iconSize, int zoom, int limit);

// The effect over the icon whose top-left corner is at (x, y), from cell `cell`
// (x = 48 x cell of the strip); null when it plays nothing: c below 1, or a window
// side beyond the screen's larger dimension.
std::optional<ClickEffectPlan> PlanClickEffect(ClickEffectKind kind, int x, int y, int cell,
                                               const ClickEffectInput& input);
// The puff of a picture `pictureWidth` wide, centred on (x, y); null for a width
// below 1 or beyond `screenExtent`.
std::optional<ClickEffectPlan> PlanPoof(int x, int y, int pictureWidth, int screenExtent);

// Time for the player: milliseconds from any origin, and a plain sleep.
struct EffectClock {
    std::function<double()> now;
    std::function<void(int ms)> sleep;
};
// The real steady clock and Sleep.
EffectClock RealEffectClock();

struct EffectRun {
    int shown = 0;
    int skipped = 0;
    bool stopped = false;  // show() asked to stop
};
// Shows the frames in turn, each waiting for the end of its slot, counted from the
// start, so drawing time and coarse sleeps do not add up. A frame whose slot has
// already passed is skipped, except the last, and so is one that, taking as long as
// the frame before it, would start the last frame after the schedule's end.
// show(i) returns false to stop.
EffectRun PlayEffectFrames(const ClickEffectPlan& plan, const EffectClock& clock,
                           const std::function<bool(size_t frame)>& show);

// Replaces the clock of the effects on the real windows; empty members restore the
// real one.
void SetClickEffectClockForTests(EffectClock clock);

// What one layered update of an effect window showed.
struct EffectFrameRecord {
    HWND window = nullptr;
    RECT rect{};  // GetWindowRect after the update
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // premultiplied BGRA, top-down, rows of `width`
    std::uint32_t Pixel(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
// Called after each layered update of an effect window; null removes it.
void SetEffectRecorderForTests(std::function<void(const EffectFrameRecord&)> recorder);

}  // namespace popups
