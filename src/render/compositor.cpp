#include "render/compositor.h"

#include "render/compositor_draw.h"
#include "ui/strings.h"

#include <algorithm>
#include <cstdlib>

namespace core {

void InitColorMatrices(CompositorState& state) {
    state.GlowMatrix = Gdiplus::ColorMatrix{};
    state.DisabledMatrix = Gdiplus::ColorMatrix{};
    state.IconMatrix = Gdiplus::ColorMatrix{};
    const float dimmed[5] = {0.7f, 0.7f, 0.7f, 1.1f, 1.1f};
    for (int i = 0; i < 5; ++i) {
        state.GlowMatrix.m[i][i] = 1.1f;
        state.DisabledMatrix.m[i][i] = dimmed[i];
        state.IconMatrix.m[i][i] = 1.0f;
    }
    for (int c = 0; c < 3; ++c) {
        state.GlowMatrix.m[3][c] = 0.1f;
        state.DisabledMatrix.m[3][c] = 0.11f;
    }
}

const TLNItem* HoveredItem(const TLNItemList& list, int selected, int scrollMode, int scrollTop) {
    if (selected < 0) return nullptr;
    const long long index = static_cast<long long>(selected) + static_cast<long long>(scrollMode) * scrollTop;
    if (index < 0 || index >= static_cast<long long>(list.size())) return nullptr;
    return &list[static_cast<size_t>(index)];
}

POINT IconPosition(const TLNItem& item, const SkinMetrics& skin) {
    const bool group = item.Type == 2;
    POINT p{group ? skin.GroupIconX : skin.IconX, group ? skin.GroupIconY : skin.IconY};
    if (skin.FlipBackground) {
        // The two flip spaces apply crosswise: FlipSpace to sub-menu rows.
        const int flipSpace = group ? skin.FlipSpace : skin.GroupFlipSpace;
        p.x = skin.FlipIconsAndText ? skin.SkinWidth - p.x - skin.IconSize + flipSpace : p.x + flipSpace;
    }
    return p;
}

std::vector<SlicePiece> ThreeSlicePieces(const SkinMetrics& skin, int width, int targetX, int leftWidth,
                                         int rightWidth) {
    std::vector<SlicePiece> pieces;
    auto add = [&pieces](SlicePiece piece) {
        if (piece.sourceWidth > 0 && piece.targetWidth > 0) pieces.push_back(piece);
    };
    add({0, leftWidth, targetX, leftWidth});
    const int middle = width - leftWidth - rightWidth;
    // A tiled middle needs a tile; without one the middle stretches. A band narrower
    // than its two fixed slices has no middle at all.
    if (skin.StretchBackground == 1 || skin.SliceSize <= 0) {
        add({leftWidth, skin.SkinWidth - leftWidth - rightWidth, targetX + leftWidth, middle});
    } else if (middle >= 0) {
        const int slice = skin.SliceSize;
        const int n = static_cast<int>(ui::RoundEven(static_cast<double>(middle) / slice));
        // The tiles are read at the target's own x: skins are drawn with that layout.
        const int sourceX = targetX + leftWidth;
        for (int k = 0; k <= n - 2; ++k) add({sourceX, slice, targetX + leftWidth + k * slice, slice});
        // The last piece, copied at its own width, fills or overlaps up to the right
        // slice; for a middle under half a slice it starts a slice left of the middle.
        const int last = std::abs((n - 1) * slice - middle);
        add({sourceX, last, targetX + width - last - rightWidth, last});
    }
    add({skin.SkinWidth - rightWidth, rightWidth, targetX + width - rightWidth, rightWidth});
    return pieces;
}

void DrawThreeSlice(HDC source, HDC target, const SkinMetrics& skin, int width, int sourceHeight,
                    int targetHeight, int targetX, int targetY, int sourceY, int leftWidth, int rightWidth) {
    for (const SlicePiece& piece : ThreeSlicePieces(skin, width, targetX, leftWidth, rightWidth))
        BlendClipped(target, {piece.targetX, targetY, piece.targetWidth, targetHeight}, source,
                     {piece.sourceX, sourceY, piece.sourceWidth, sourceHeight});
}

int QuickRunEditWidth(const SkinMetrics& skin, int levelWidth) {
    return skin.ShowCaption ? levelWidth + skin.EditBoxWidth - skin.SkinWidth : skin.EditBoxWidth;
}

}  // namespace core
