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
