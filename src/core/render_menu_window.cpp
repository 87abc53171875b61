// TForm1::RenderMenuWindow: one menu window composed and shown, or handed to its
// open or close effect.
#include "core/form1.h"

#include "core/compositor_paint.h"
#include "core/window_effects.h"

namespace core {

void TForm1::RenderMenuWindow(bool reuse, ui::Form& form, Gdiplus::Bitmap* image, int selected, int effect) {
    const int level = form.Tag;
    if (SelectedIndex[level] > static_cast<int>(ItemLists[level].size())) {
        SelectedIndex[level] = -1;
        selected = -1;
    }
    MenuPainter painter(*this, form, image);
    painter.SizeWorkBitmap();
    if (reuse) {
        if (level == 1 && Parts.TabEnabled && MenuHidden)
            painter.DrawTab();
        else
            painter.RestoreBaseFrame();
    } else {
        painter.ComposeBaseFrame();
    }
    painter.UpdateRowRects(selected);
    if (IsEffectCode(effect)) {
        // The effects play from the whole composed window, shown once first.
        painter.UpdateWindow(true);
        PlayWindowEffect(form, effect);
        return;
    }
    // One update, after the hover is drawn, so the window never shows the frame
    // without its hover first. The hover animation shows each of its frames itself.
    if (!painter.DrawHoverState(selected)) painter.UpdateWindow();
    form.Show();
}

}  // namespace core
