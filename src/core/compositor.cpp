#include "core/compositor.h"

#include "core/form1.h"

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

void TForm1::RenderMenuWindow(bool /*reuse*/, ui::Form& /*form*/, Gdiplus::Bitmap* /*image*/,
                              int /*selected*/, int /*effect*/) {
    // TODO(compositor): compose the window from the skin parts and the level's images
    // and update the layered window; the effect codes come with the animations.
}

}  // namespace core

namespace core {

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

std::vector<SlicePiece> ThreeSlicePieces(const SkinMetrics&, int, int, int, int) {
    return {};  // TODO(compositor)
}

void DrawThreeSlice(HDC, HDC, const SkinMetrics&, int, int, int, int, int, int, int, int) {
    // TODO(compositor)
}

}  // namespace core
