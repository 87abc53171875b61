// Clicks and double clicks on the rows of the sub-menu windows: the guards, then the
// dispatch by the row's Type into the click routines every menu window shares.
#include "popups/form2.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/launch.h"
#include "core/menu_nodes.h"
#include "core/plugins.h"
#include "core/startup.h"
#include "render/compositor.h"
#include "ui/files.h"

#include <optional>

namespace popups {
namespace {

int PointerY() {
    POINT p{};
    GetCursorPos(&p);
    return p.y;
}

// The clicked row of the window of `level`, by the one row rule (ScrollTop counted
// on a scrolling level); null for no row or one the list does not hold.
const core::TLNItem* ClickedItem(const core::TForm1& f, int level, int rowCount) {
    const int row = f.SelectedIndex[level];
    if (row < 1 || row > rowCount) return nullptr;
    return core::HoveredItem(f.ItemLists[level], row - 1, f.ScrollMode[level], f.ScrollTop);
}

// The folder item whose listing the window of `level` shows, or null when it shows
// a group.
const core::TLNItem* ListedFolder(const core::TForm1& f, int level) {
    const int above = level - 1;
    const core::TLNItem* parent =
        core::HoveredItem(f.ItemLists[above], f.SelectedIndex[above] - 1, f.ScrollMode[above], f.ScrollTop);
    if (!parent || parent->Type != 1 || parent->Param1 != L"1") return nullptr;
    return parent;
}

}  // namespace

void TForm2::Click() { FormClick(); }
void TForm2::DblClick() { FormDblClick(); }

void TForm2::FormClick() {
    core::TForm1* main = core::Form1;
    if (!main || Tag < 2 || Tag > 3) return;
    core::TForm1& f = *main;
    const int level = Tag;
    if (f.Dragging) return;
    const core::TLNItem* clicked = ClickedItem(f, level, RowCount);
    if (!clicked || PointerY() <= Top() + f.Skin.HeaderSize) return;
    // A copy: the box, the dialogs and the rebuilds below replace the item lists.
    const core::TLNItem item = *clicked;
    const int row = f.SelectedIndex[level] - 1;
    if (item.Type == 2 || item.Type == 777) return;
    // Here the test comes before every branch: with double-click launching a single
    // click does nothing at all.
    if (f.Settings.DoubleClickRun == 1) return;
    switch (item.Type) {
    case 6: core::OpenRunBox(f, *this, row, item); return;
    case 7:
        // Level 3 launches its weather rows like any other.
        if (level == 2) {
            core::WeatherRowClick(f, *this);
            return;
        }
        break;
    // Plug-in rows are handed over on every level: their Run is a library name.
    case 11: core::PluginRowClick(f, *this, row, item); return;
    default: break;
    }
    if (EditIfNoTarget()) return;
    if (const core::TLNItem* folder = ListedFolder(f, level); folder && ui::DirectoryExists(item.Run)) {
        // A folder inside a listing is listed in its place. The top folder gets no
        // ".." row: its entries' Run and the folder item's may differ in case or in
        // the trailing backslash, which the ".." row always carries.
        const bool up = !core::SameFolderPath(item.Run, folder->Run);
        const std::wstring filter = folder->Params;
        if (!f.XMLDocument1.HasRoot()) return;
        const std::optional<ui::XmlNode> subitem =
            core::LevelContainer(f.XMLDocument1.Root(), level, f.SelectedIndex, f.ScrollMode, f.ScrollTop);
        if (!subitem) return;
        f.BuildFolderMenu(item.Run, filter, up, *subitem);
        RenderSubMenu(false, *this);
        f.RenderMenuWindow(false, *this, f.LevelImages[level].get(), -1, 0);
        return;
    }
    core::LaunchRow(f, *this, row, item, core::PopupMode);
}

void TForm2::FormDblClick() {
    core::TForm1* main = core::Form1;
    if (!main || Tag < 2 || Tag > 3) return;
    core::TForm1& f = *main;
    const int level = Tag;
    if (static_cast<long long>(PointerY()) - Top() <= f.Skin.HeaderSize) return;
    if (f.Settings.DoubleClickRun != 1) return;
    const core::TLNItem* clicked = ClickedItem(f, level, RowCount);
    if (!clicked) return;
    const core::TLNItem item = *clicked;
    if (!core::DoubleClickLaunches(item.Type)) return;
    if (EditIfNoTarget()) return;
    // A double click starts on a thread of its own, in pop-up mode too, and opens a
    // folder of a listing through the shell rather than listing it.
    core::LaunchRow(f, *this, f.SelectedIndex[level] - 1, item, false);
}

}  // namespace popups
