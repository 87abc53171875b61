// TForm1::RenderMenuWindow: one menu window composed and shown, or handed to its
// open or close effect.
#include "core/form1.h"

#include "core/forms.h"
#include "core/startup.h"
#include "core/window_effects.h"
#include "popups/form2.h"
#include "render/compositor_paint.h"

#include <optional>

namespace core {

namespace {

// The screen rectangle of the row that opened a sub-menu level: the main window's
// row for level 2, TForm2's for level 3; none for level 1 or without TForm2.
std::optional<RECT> OpenerRowRect(const TForm1& main, int level) {
    const auto rowRect = [&main](const ui::Form& window, int parent) {
        return RowScreenRect(window, main.SelectedIndex[parent] - 1, main.LevelWidths[parent],
                             [&main, parent](int row) { return main.DrawnRowTop(parent, row); });
    };
    if (level == 2) return rowRect(main, 1);
    if (level == 3 && Form2) return rowRect(*Form2, 2);
    return std::nullopt;
}

}  // namespace

void TForm1::RenderMenuWindow(bool reuse, ui::Form& form, Gdiplus::Bitmap* image, int selected, int effect) {
    const int level = form.Tag;
    if (SelectedIndex[level] > static_cast<int>(ItemLists[level].size())) {
        SelectedIndex[level] = -1;
        selected = -1;
    }
    const MenuWindowView view{.Skin = Skin,
                              .Parts = Parts,
                              .Compositor = Compositor,
                              .Items = ItemLists[level],
                              .ScrollMode = ScrollMode[level],
                              .ScrollTop = ScrollTop,
                              .FirstShownRow = FirstShownRow(level),
                              .ShowCount = ShowCount,
                              .LevelWidth = LevelWidths[level],
                              .CaptionImage = CaptionImages[level].get(),
                              .Dragging = Dragging,
                              .PopupMode = PopupMode,
                              .Position = Settings.Position,
                              .Zoom = Settings.Zoom,
                              .OnMouse = Settings.OnMouse,
                              .CursorInForm = &TForm1::CursorInForm,
                              .OpenerRowRect = OpenerRowRect(*this, level),
                              .PluginItemRect = PluginItemRect,
                              .SelectedRowRect = SelectedRowRect};
    MenuPainter painter(view, form, image);
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
