#include "core/slide_plan.h"

#include "ui/strings.h"

#include <cmath>

namespace core {
namespace {

constexpr int kStepPixels = 5;

int WaitMs(int i, int n, int speed) {
    return static_cast<int>(ui::RoundEven(std::sin(static_cast<double>(i) / n) * (speed * 2.0)));
}

}  // namespace

int SlideStepCount(int distance) { return static_cast<int>(ui::RoundEven(distance / 5.0)); }

SlidePlan PlanSlideIn(int position, const SlideGeometry& g, const SkinMetrics& skin, int speed) {
    SlidePlan plan;
    int distance = 0;
    switch (position) {
    case kPositionLeft:
        distance = g.width - skin.MainLeftSpace - skin.LeftEdgeSize;
        plan.step = kStepPixels;
        plan.final = -skin.MainLeftSpace;
        break;
    case kPositionRight:
        distance = g.width - skin.MainRightSpace - skin.RightEdgeSize;
        plan.step = -kStepPixels;
        plan.final = g.screenWidth - g.width + skin.MainRightSpace;
        break;
    case kPositionBottom:
        // The top metrics, for the bottom edge too.
        distance = g.height - skin.MainTopSpace - skin.TopEdgeSize;
        plan.vertical = true;
        plan.step = -kStepPixels;
        plan.final = g.screenHeight - g.height + skin.MainBottomSpace;
        break;
    case kPositionTop:
        distance = g.height - skin.MainTopSpace - skin.TopEdgeSize;
        plan.vertical = true;
        plan.step = kStepPixels;
        plan.final = -skin.MainTopSpace;
        break;
    default:
        return plan;
    }
    const int n = SlideStepCount(distance);
    if (speed > 0 && n >= 2)
        for (int i = 0; i <= n - 2; ++i) plan.waits.push_back(WaitMs(i, n, speed));
    return plan;
}

SlidePlan PlanSlideOut(int position, const SlideGeometry& g, const SkinMetrics& skin, int speed) {
    SlidePlan plan;
    int distance = 0;
    // The distances take MainLeftSpace on every side, and the hidden positions each
    // side's own edge size.
    switch (position) {
    case kPositionLeft:
        distance = g.width - skin.MainLeftSpace;
        plan.step = -kStepPixels;
        plan.final = skin.LeftEdgeSize - g.width;
        break;
    case kPositionRight:
        distance = g.width - skin.MainLeftSpace;
        plan.step = kStepPixels;
        plan.final = g.screenWidth - skin.RightEdgeSize;
        break;
    case kPositionBottom:
        distance = g.height - skin.MainLeftSpace - skin.TopEdgeSize;
        plan.vertical = true;
        plan.step = kStepPixels;
        plan.final = g.screenHeight - skin.BottomEdgeSize;
        break;
    case kPositionTop:
        distance = g.height - skin.MainLeftSpace - skin.BottomEdgeSize;
        plan.vertical = true;
        plan.step = -kStepPixels;
        plan.final = skin.TopEdgeSize - g.height;
        break;
    default:
        return plan;
    }
    const int n = SlideStepCount(distance);
    if (speed > 0 && n - 2 > 0)
        for (int i = 1; i <= n - 2; ++i) plan.waits.push_back(i == n - 2 ? kNoWait : WaitMs(i, n, speed));
    return plan;
}

POINT PopupPlacement(POINT point, int windowHeight, int screenHeight, const SkinMetrics& skin) {
    const double middle = ui::RoundEven(screenHeight / 2.0);
    POINT p{point.x - skin.MainLeftSpace, 0};
    p.y = point.y > middle ? point.y - windowHeight + skin.MainBottomSpace : point.y - skin.MainTopSpace;
    return p;
}

RECT TabRectangle(int position, const RECT& w, const SkinMetrics& skin) {
    switch (position) {
    case kPositionLeft:
        return RECT{w.right - skin.TabWidth, w.top + skin.TabY, w.right, w.top + skin.TabY + skin.TabHalfHeight};
    case kPositionRight:
        return RECT{w.left, w.top + skin.TabY, w.left + skin.TabWidth, w.top + skin.TabY + skin.TabHalfHeight};
    case kPositionBottom:
        return RECT{w.left, w.top, w.right, w.top + skin.VerticalTabHalfHeight};
    case kPositionTop:
        return RECT{w.left, w.bottom - skin.VerticalTabHalfHeight, w.right, w.bottom};
    default:
        return RECT{};
    }
}

RECT HideFromScreenStrip(int position, const RECT& a) {
    constexpr int kStrip = 3;
    switch (position) {
    case kPositionLeft: return RECT{a.left, a.top, a.left + kStrip, a.bottom};
    case kPositionRight: return RECT{a.right - kStrip, a.top, a.right, a.bottom};
    case kPositionBottom: return RECT{a.left, a.bottom - kStrip, a.right, a.bottom};
    case kPositionTop: return RECT{a.left, a.top, a.right, a.top + kStrip};
    default: return RECT{};
    }
}

std::optional<GluedPosition> GlueToEdge(int position, bool tabEnabled, int width, int height, int screenWidth,
                                        const SkinMetrics& skin) {
    switch (position) {
    case kPositionLeft:
        return GluedPosition{false, -(width - (tabEnabled ? skin.TabWidth : skin.LeftEdgeSize))};
    case kPositionRight:
        return GluedPosition{false, screenWidth - (tabEnabled ? skin.TabWidth : skin.RightEdgeSize)};
    case kPositionTop:
        if (tabEnabled) return GluedPosition{true, -(height - skin.VerticalTabHalfHeight)};
        return std::nullopt;
    default:
        return std::nullopt;  // the bottom edge is not glued
    }
}

bool PointIn(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

}  // namespace core
