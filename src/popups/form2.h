// The two sub-menu windows: TForm2 shows the first nested level, TForm3 the second.
// They are twins: every handler reads the level from the window's Tag, so TForm3
// runs TForm2's handlers with itself as the sender.
#pragma once

#include "ui/form.h"

#include <windows.h>

namespace core {
class TMouseControl;
}

namespace popups {

class TForm2 : public ui::Form {
public:
    TForm2() {
        Tag = 2;
        Cursor = ui::FormCursor::HandPoint;
    }
    // Makes a sub-menu window layered, lets it take dropped files and advances the
    // start-up splash by one step.
    static void InitDropTarget(ui::Form& form);

    // Prepares `Form` (Form2 or Form3, its Tag the level) for the compositor: the
    // group's rows, the icon strip and caption image (from the cache when allowed),
    // the hot-zone panels, the window's size and its backdrop. Draws nothing.
    void RenderSubMenu(bool UseCache, ui::Form& Form);

    // Level 2's hot-zone panels shown or hidden.
    void ShowPanels(bool visible);
    // Opens level 3 for a hot-zone panel of level 2 (a drag that began in the main
    // window gets no pointer moves here).
    void OpenThirdLevel(core::TMouseControl& panel);
    // The properties editor for the selected row of this window's level when its
    // item has no target; true when it opened.
    bool EditIfNoTarget();

    // The pointer tracking, the press, the release and the wheel of this window.
    void FormMouseMove(UINT shift, int x, int y);
    void FormMouseDown(ui::MouseButton button, UINT shift, int x, int y);
    void FormMouseUp(ui::MouseButton button, UINT shift, int x, int y);
    void FormMouseWheel(int delta);

    // The number of child items of the group this window shows.
    int RowCount = 0;

protected:
    void CreateParams(ui::CreateParams& params) override;
    void FormCreate() override;
    void FormDestroy() override;

    // The right button's menu for the selected row of this window (form2_menu.cpp).
    void ShowRowMenu();
};

class TForm3 : public TForm2 {
public:
    TForm3() { Tag = 3; }

protected:
    void CreateParams(ui::CreateParams& params) override;
};

}  // namespace popups
