#include "popups/zv_hint.h"

namespace popups {

// TODO(effects): the plans and the player of the click effects and the puff.
std::unique_ptr<ui::Form> TZVHint::GlowEffect(int, int, int, Gdiplus::Bitmap*) { return nullptr; }
std::unique_ptr<ui::Form> TZVHint::ZoomEffect(int, int, int, Gdiplus::Bitmap*) { return nullptr; }
std::unique_ptr<ui::Form> TZVHint::RollEffect(int, int, int, Gdiplus::Bitmap*) { return nullptr; }
std::unique_ptr<ui::Form> TZVHint::BounceEffect(int, int, int, Gdiplus::Bitmap*) { return nullptr; }
std::unique_ptr<ui::Form> TZVHint::RippleEffect(int, int, int, Gdiplus::Bitmap*) { return nullptr; }
void TZVHint::PlayPoof(int, int) {}

}  // namespace popups
