#include "popups/hint_layout.h"

#include "ui/strings.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace popups {
namespace {

int Saturated(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

}  // namespace

int BoundedHintFontSize(int points) {
    return points < kHintFontSizeMin || points > kHintFontSizeMax ? kHintFontSizeDefault : points;
}

int HintFontHeight(int points, int dpi) { return -MulDiv(BoundedHintFontSize(points), dpi, 72); }

bool HintWanted(std::wstring_view text, std::wstring_view kind, bool showCaption) {
    if (text.empty()) return false;
    return kind == kMessageKind || !showCaption;
}

SIZE HintSize(SIZE textExtent, double shadowSize) {
    if (textExtent.cx <= 0 || textExtent.cy <= 0) return SIZE{0, 0};
    // A real from skin.ini may be anything a number can be; an unusable one adds nothing.
    const double limit = kMaxHintHeight;
    const double shadow = std::isfinite(shadowSize) ? std::clamp(shadowSize, -limit, limit) : 0.0;
    const long long height = static_cast<long long>(textExtent.cy) + static_cast<long long>(ui::RoundEven(shadow));
    if (height <= 0) return SIZE{0, 0};
    return SIZE{std::min<LONG>(textExtent.cx, kMaxHintWidth),
                static_cast<LONG>(std::min<long long>(height, kMaxHintHeight))};
}

int HintLeft(int position, int anchor, int width, int skinWidth, int mainLeftSpace, int oldLeft) {
    switch (position) {
    case 0:
    case 2:
    case 3: return anchor;
    case 1:
        return Saturated(static_cast<long long>(anchor) - width - skinWidth + mainLeftSpace);
    default: return oldLeft;
    }
}

POINT HintAnchor(int level, const LevelWindow& window, int itemTop, int itemSize, int scrollMode, int skinWidth) {
    long long top =
        static_cast<long long>(window.top) + itemTop + static_cast<long long>(ui::RoundEven(itemSize / 2.0)) - 8;
    long long left = static_cast<long long>(window.left) + skinWidth;
    if (level != 1) {
        top += static_cast<long long>(scrollMode) * itemSize;
        left = static_cast<long long>(window.left) + window.width;
    }
    return POINT{Saturated(left), Saturated(top)};
}

bool RowHidesHint(int level, int type) { return type == 777 || (type == 2 && level < 3); }

}  // namespace popups
