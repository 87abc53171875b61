// The hint window's decisions without a window: whether a text shows, the window's
// size for a measured text, its left edge by the menu's screen edge, and the anchor
// beside a menu row.
#pragma once

#include <windows.h>

#include <string_view>

namespace popups {

// The kind that shows even where the skin draws the captions itself.
inline constexpr wchar_t kMessageKind[] = L"Message";

// HintFontSize outside this range (points) takes its default.
constexpr int kHintFontSizeMin = 1;
constexpr int kHintFontSizeMax = 200;
constexpr int kHintFontSizeDefault = 14;
// No screen is larger: a longer text is clipped at the window's edge, and the
// bitmap stays below 8192 x 2048 pixels whatever a skin or a caption holds.
constexpr int kMaxHintWidth = 8192;
constexpr int kMaxHintHeight = 2048;

// The setting's point size, or the default when it lies outside the range.
int BoundedHintFontSize(int points);
// The measuring font's lfHeight at `dpi` pixels per inch: the point size as a
// character height, negative as LOGFONT takes it.
int HintFontHeight(int points, int dpi);

// Rows whose hint stays hidden: separators, and groups on the levels that open them
// in the next window beside the row.
bool RowHidesHint(int level, int type);

// Whether the text is worth a window at all: never when empty (a "Message" too);
// a "Message" always otherwise; any other kind only when the skin draws no captions.
bool HintWanted(std::wstring_view text, std::wstring_view kind, bool showCaption);

// The window's size for the text's extent in the measuring font: that extent, one
// rounded ShadowSize higher, bounded by kMaxHintWidth x kMaxHintHeight. {0, 0} when
// it would have no pixels (a layered update of an empty window fails).
SIZE HintSize(SIZE textExtent, double shadowSize);

// The window's left edge by Position: 0, 2, 3 at the anchor; 1 (the menu on the
// right edge) to the left of the menu; any other value keeps `oldLeft`.
int HintLeft(int position, int anchor, int width, int skinWidth, int mainLeftSpace, int oldLeft);

// The window of a menu level, as the anchor needs it.
struct LevelWindow {
    int left = 0;
    int top = 0;
    int width = 0;
};

// Where the hint of a row goes: x is the anchor ShowText takes as Left, y its top.
// itemTop is the row's top counted from the first row shown (ItemTop); on levels 2
// and 3 a scrolling window adds its up-arrow band. Level 1 anchors at the skin's
// width, the sub-menu windows at their right edge.
POINT HintAnchor(int level, const LevelWindow& window, int itemTop, int itemSize, int scrollMode, int skinWidth);

}  // namespace popups
