// The layered-window compositor's shared drawing state: every menu window is composed
// into WorkBitmap and shown with one layered-window update.
#pragma once

#include "core/menu_document.h"
#include "render/skin.h"
#include "ui/images.h"

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace core {

// What a menu window was last given from WorkBitmap, so that a repaint over the same
// base frame can send the window only the rows that differ.
struct ShownFrame {
    const ui::Dib* base = nullptr;  // the base frame under it; null when the window shows anything else
    std::uint64_t composition = 0;  // which composition of that base frame
    SIZE size{};
    BYTE alpha = 255;  // the constant alpha it was shown with
    int changedTop = 0;  // the rows where it differs from the base frame, bottom excluded
    int changedBottom = 0;
};

struct CompositorState {
    // Source-over with per-pixel alpha; the constant alpha is 255 except during animations.
    BLENDFUNCTION WindowBlend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    Gdiplus::ColorMatrix GlowMatrix{};
    Gdiplus::ColorMatrix DisabledMatrix{};
    Gdiplus::ColorMatrix IconMatrix{};
    std::unique_ptr<ui::Dib> WorkBitmap;
    // The finished base frame of each level's window (everything but the hover state).
    PerLevel<std::unique_ptr<ui::Dib>> LevelBitmaps;
    std::unique_ptr<Gdiplus::ImageAttributes> IconAttributes;
    std::unique_ptr<Gdiplus::ImageAttributes> TransparencyAttributes;
    HICON TrayIconImage = nullptr;  // owned; loaded from tray.ico when the icon is shown
    // Counts the base frames composed; each level's frame keeps the number of its own.
    std::uint64_t Compositions = 0;
    PerLevel<std::uint64_t> FrameComposition;
    PerLevel<ShownFrame> Shown;
    // Cleared by the click path while a click effect plays or the quick-run box is open.
    bool ShowHoverIcon = true;
    // The quick-run box is open over a Type 6 row.
    bool RunBoxOpen = false;
    // Set by the quick-run box: gives its edit control the open row's edit width and
    // background picture each time the row is drawn open.
    std::function<void(int width, Gdiplus::Bitmap* background)> FitRunBoxEdit;
};

// The constant matrices set up at start-up: glow (1.1 on the diagonal, alpha added to
// red, green and blue), the dimmed one, and the identity.
void InitColorMatrices(CompositorState& state);

// One piece of a three-slice band: source columns to target columns.
struct SlicePiece {
    int sourceX = 0;
    int sourceWidth = 0;
    int targetX = 0;
    int targetWidth = 0;
};
// The pieces that draw a band `width` wide at targetX from a source `skinWidth` wide:
// the left slice, the middle (stretched, or tiled in steps of sliceSize), the right slice.
std::vector<SlicePiece> ThreeSlicePieces(const SkinMetrics& skin, int width, int targetX, int leftWidth,
                                         int rightWidth);
// Draws the band of `source` at sourceY, sourceHeight high, into `target` at
// (targetX, targetY), width wide and targetHeight high, with per-pixel alpha.
void DrawThreeSlice(HDC source, HDC target, const SkinMetrics& skin, int width, int sourceHeight,
                    int targetHeight, int targetX, int targetY, int sourceY, int leftWidth, int rightWidth);

// The one row rule: the item under visible row `selected` is
// list[selected + scrollMode * scrollTop]; none when that is outside the list.
const TLNItem* HoveredItem(const TLNItemList& list, int selected, int scrollMode, int scrollTop);

// Where a row's icon is drawn inside the row (x, and y below the row's top): the
// group position for Type 2, and the flip rule. The base frame, the hover and the
// click effects all place icons through this.
POINT IconPosition(const TLNItem& item, const SkinMetrics& skin);

// The width the quick-run box's edit control gets over a Type 6 row: with captions
// it grows with the window beyond the skin's width.
int QuickRunEditWidth(const SkinMetrics& skin, int levelWidth);

}  // namespace core
