// The context menu of a sub-menu row.
#include "popups/form2_menu.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/shell_menu.h"
#include "popups/form2.h"
#include "render/compositor.h"

namespace popups {

RowMenuChoice SetUpRowMenu(core::TForm1& main, int level) {
    if (level != 2 && level != 3) return {};
    const core::TLNItem* found =
        core::HoveredItem(main.ItemLists[level], main.SelectedIndex[level] - 1, main.ScrollMode[level], main.ScrollTop);
    if (!found) return {};
    const core::TLNItem item = *found;  // the preview's load must not hold a reference into the list

    ui::PopupMenu& menu = main.PopupMenu1;
    // A listed folder's entries (Type 55) are files too: they can be found and have
    // an Explorer menu, but no properties of their own.
    const bool findable = item.Type == 0 || item.Type == 1 || item.Type == 55;
    menu.Item(L"FindMI").Enabled = findable;
    menu.Item(L"Contextmenu1").Enabled = findable;
    menu.Item(L"PropMI").Enabled = item.Type != 777 && item.Type != 55;
    // The main window disables these on its single last row; every sub-menu row may go.
    menu.Item(L"DelMI").Enabled = true;
    menu.Item(L"Cut").Enabled = true;
    menu.Item(L"Paste1").Enabled = main.ClipboardNode.has_value();

    main.InstallMenuEndHook();
    menu.Tag = level - 1;
    const bool listing = core::IsFolderMenuItem(main.ItemLists, main.SelectedIndex, main.ScrollMode, main.ScrollTop, level);
    main.SetPopupItemsVisible(true, listing ? 3 : 2);
    // Lock belongs to the main window. The sub-menu window overlaps the main window's
    // edge, where the shared routine would take the pointer for one over the main
    // window.
    main.Lock1.Visible = false;
    main.LoadPreview(item.Run);
    if (main.Settings.StandardContextMenu == 1 && listing) return {RowMenuKind::Shell, item.Run};
    return {RowMenuKind::Own, item.Run};
}

void TForm2::ShowRowMenu() {
    if (!core::Form1) return;
    core::TForm1& main = *core::Form1;
    const RowMenuChoice choice = SetUpRowMenu(main, Tag);
    if (choice.kind == RowMenuKind::None) return;
    POINT cursor{};
    GetCursorPos(&cursor);
    if (choice.kind == RowMenuKind::Shell) {
        ScreenToClient(Handle(), &cursor);
        core::ShowShellContextMenu(Handle(), choice.path, cursor);
    } else {
        main.PopupMenu1.Popup(cursor.x, cursor.y);
    }
    // The menu's own close has cleaned up already; a menu that never showed (the
    // shell's, or ours refused while another one is tracked) must not leave the hook
    // behind, which would keep the launcher from ever hiding.
    main.MenuEndCleanUp();
}

}  // namespace popups
