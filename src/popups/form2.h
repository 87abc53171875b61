// The two sub-menu windows: TForm2 shows the first nested level, TForm3 the second.
// They are twins: every handler reads the level from the window's Tag, so TForm3
// runs TForm2's handlers with itself as the sender.
#pragma once

#include "core/menu_document.h"
#include "popups/form2_drag_out.h"
#include "ui/form.h"

#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>

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

    // --- clicks, launches and deletes (form2_click.cpp, form2_delete.cpp)
    // A click and a double click on a row, dispatched by the row's Type.
    void FormClick();
    void FormDblClick();
    // Removes the item at `Row` (0-based, in the level's group) after the question,
    // unless `NoAsk`; false when nothing was removed.
    bool DeleteSubItem(int Row, bool NoAsk);

    // --- drag and drop (form2_drag.cpp, form2_drag_out.cpp)
    // The end of an item drag that began on this window: a drop on a menu window, a
    // reorder within the level, or a delete outside every window.
    void EndItemDrag();
    // Reorders the level: the item at `From` (0-based) lands after row `To` (1-based).
    void MoveSubItem(int From, int To);
    // Files dropped from Explorer.
    void WMDropFiles(HDROP drop);

    // The number of child items of the group this window shows.
    int RowCount = 0;

protected:
    void CreateParams(ui::CreateParams& params) override;
    void FormCreate() override;
    void FormDestroy() override;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void MouseEnter() override;  // CMMouseEnter
    void MouseDown(ui::MouseButton button, UINT shift, int x, int y) override;
    void MouseMove(UINT shift, int x, int y) override;
    void MouseUp(ui::MouseButton button, UINT shift, int x, int y) override;
    void MouseWheel(UINT shift, int delta, int x, int y) override;
    void CaptureLost() override;
    void Click() override;
    void DblClick() override;

    // The right button's menu for the selected row of this window (form2_menu.cpp).
    void ShowRowMenu();

private:
    // Level 2 only: the window hides (WM_SHOWWINDOW), and its panels with it.
    void FormHide();
    // Opens level 3 beside row `row` (1-based) of this window for its group or
    // folder item, as the pointer reaches it.
    void OpenThirdLevelByHover(int row, const core::TLNItem& item);
    // Puts Form3 beside row `row` (0-based, counted from the first row shown) of
    // level 2, kept on the screen: one placement for the hover and the panels.
    static void PlaceThirdLevel(int row);
    // Shows Form3 unhighlighted with the opening animation, on top of the topmost band.
    static void ShowThirdLevel();
    // The end of every release: the cursor back, and on level 2 the drag ended and
    // the panels hidden; level 3 only leaves drag mode.
    void EndRelease();

    // A left press on this window whose release has not come yet.
    bool pressed_ = false;

    // --- the drag-out of a listed file to other programs (form2_drag_out.cpp)
    // The listed entry under a left press: the drag-out carries it, whichever row
    // the pointer has reached when the drag starts.
    struct DragOutEntry {
        int position = -1;  // in the level's list, counted from 0
        std::wstring Run;
    };
    // At every left press: the entry pressed on when this window lists a folder.
    void RecordDragOutEntry();
    // The button is still held on the pressed entry and the pointer (client
    // coordinates) has left its row, onto another row or out of the window.
    bool DragOutStarts(int x, int y) const;
    // Ends the press without its release and hands the pressed entry to OLE's drag
    // loop, which runs until the drop or the cancel.
    void DragOut();
    std::optional<DragOutEntry> dragOut_;
    SubMenuDropSource dropSource_;
};

class TForm3 : public TForm2 {
public:
    TForm3() { Tag = 3; }

protected:
    void CreateParams(ui::CreateParams& params) override;
};

}  // namespace popups
