// The geometry of the main window's motion: the 5-pixel steps and waits of a slide in
// and out, the shown and hidden positions at each edge, the pop-up placement, the tab
// rectangle, the hide-from-screen strip and the edge the hidden window is glued to.
// Everything is computed from explicit sizes, so tests check the tables exactly.
#pragma once

#include "render/skin.h"

#include <windows.h>

#include <optional>
#include <vector>

namespace core {

// Edges of the `Position` setting; 5 is pop-up mode, which never slides.
inline constexpr int kPositionLeft = 0;
inline constexpr int kPositionRight = 1;
inline constexpr int kPositionBottom = 2;
inline constexpr int kPositionTop = 3;

struct SlideGeometry {
    int width = 0;  // the window's
    int height = 0;
    int screenWidth = 0;
    int screenHeight = 0;
};

// The wait after a step that is followed by none (the last step of a slide-out).
inline constexpr int kNoWait = -1;

struct SlidePlan {
    bool vertical = false;  // the steps and the final position change Top, else Left
    int step = 0;           // pixels added to Left or Top by each step
    // One entry per step: the milliseconds waited after it, or kNoWait.
    std::vector<int> waits;
    // Left or Top set at the end; none for a Position that is no edge.
    std::optional<int> final;
};

// n = Round(d / 5.0), half to even.
int SlideStepCount(int distance);
// The slide-in: n - 1 steps inwards when speed > 0 and n >= 2, waiting
// Round(Sin(i / n) x speed x 2) ms after step i = 0 .. n - 2, then the shown position.
SlidePlan PlanSlideIn(int position, const SlideGeometry& geometry, const SkinMetrics& skin, int speed);
// The slide-out: steps i = 1 .. n - 2 outwards when speed > 0 and n > 2, sleeping
// Round(Sin(i / n) x speed x 2) ms after every step but the last, then the hidden
// position, where the edge size of the side stays on screen.
SlidePlan PlanSlideOut(int position, const SlideGeometry& geometry, const SkinMetrics& skin, int speed);

// Top-left corner of the pop-up menu at `point`: above the point when it lies strictly
// below the middle of the screen (Round(screen height / 2.0)), below it otherwise.
POINT PopupPlacement(POINT point, int windowHeight, int screenHeight, const SkinMetrics& skin);

// The tab of the hidden menu in screen coordinates for a window at `window`; empty for
// a Position that has no tab.
RECT TabRectangle(int position, const RECT& window, const SkinMetrics& skin);

// The 3-pixel strip of the work area along the window's edge where a window hidden
// from the screen comes back; empty for a Position that is no edge.
RECT HideFromScreenStrip(int position, const RECT& workArea);

// Where the timer keeps the hidden window: the Left or Top it must have, or none when
// that edge is not glued.
struct GluedPosition {
    bool vertical = false;
    int value = 0;
};
std::optional<GluedPosition> GlueToEdge(int position, bool tabEnabled, int width, int height, int screenWidth,
                                        const SkinMetrics& skin);

// The point lies inside (right and bottom edges excluded).
bool PointIn(const RECT& rect, POINT p);

}  // namespace core
