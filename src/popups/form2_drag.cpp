// The end of an item drag on the sub-menu windows, reordering, and files dropped in.
// Every edit checks its positions first and changes nothing when one fails; moves
// between levels insert the copy before they remove the original, so a failure in
// between never loses the item.
#include "popups/form2.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/menu_nodes.h"
#include "core/mouse_input.h"
#include "render/row_geometry.h"
#include "ui/cursor.h"
#include "ui/handles.h"

#include <optional>

namespace popups {
namespace {

void HideForm(ui::Form* form) {
    if (form) form->Hide();
}

// A folder's listing is made anew at each opening: an item moved in would be lost
// and one moved out would come back, so a listing is neither source nor target.
bool ListsFolder(const core::TForm1& f, int level) {
    return core::IsFolderMenuItem(f.ItemLists, f.SelectedIndex, f.ScrollMode, f.ScrollTop, level);
}

std::optional<ui::XmlNode> Group(core::TForm1& f, int level) {
    if (!f.XMLDocument1.HasRoot()) return std::nullopt;
    return core::LevelContainer(f.XMLDocument1.Root(), level, f.SelectedIndex, f.ScrollMode, f.ScrollTop);
}

bool Holds(const ui::XmlNode& container, int position) {
    return position >= 0 && position < static_cast<int>(container.ElementCount());
}

// The 1-based visible row under client y by the hover's row walk (real heights,
// rows below the up-arrow band of a scrolling level); 0 over the header, the arrow
// bands, below the last row and on a window without rows.
int RowUnderPoint(const core::TForm1& f, const ui::Form& form, int level, int y) {
    const core::SkinMetrics& skin = f.Skin;
    const int band = f.ScrollMode[level] != 0 ? skin.ItemSize : 0;
    const long long areaTop = static_cast<long long>(skin.HeaderSize) + band;
    const long long areaBottom = static_cast<long long>(form.Height()) - skin.BottomMargin - band;
    if (y < areaTop || y > areaBottom) return 0;
    const int row = core::RowAtY(f.ItemLists[level], y, f.FirstShownRow(level), band, skin);
    if (f.ScrollMode[level] != 0 && row > f.ShowCount) return 0;
    return row;
}

// The row under the pointer of a window, as above.
int RowUnderCursor(const core::TForm1& f, const ui::Form& form, int level) {
    POINT p{};
    if (!GetCursorPos(&p) || !ScreenToClient(form.Handle(), &p)) return 0;
    return RowUnderPoint(f, form, level, p.y);
}

void Paint(core::TForm1& f, ui::Form& form, int row) {
    f.RenderMenuWindow(false, form, f.LevelImages[form.Tag].get(), row, 0);
}

// Level 2 onto the main window: the item follows the sub-menu's own row. A group's
// last child stays, as the group would be left empty.
void MoveOutToMainWindow(core::TForm1& f, TForm2& form2, int source) {
    auto group = Group(f, 2);
    if (!group || group->ElementCount() <= 1 || !Holds(*group, source)) return;
    ui::XmlNode root = f.XMLDocument1.Root();
    const int after = core::SelectedPosition(1, f.SelectedIndex, f.ScrollMode, f.ScrollTop) + 1;
    if (after < 1 || after > static_cast<int>(root.ElementCount())) return;
    if (!f.MenuEditable()) return;
    ui::XmlNode moving = group->ElementAt(static_cast<size_t>(source));
    root.InsertElementAt(moving.CloneDeep(), static_cast<size_t>(after));
    group->RemoveChild(moving);
    // Level 3 belongs to a row of level 2, whose rows just moved up under it.
    HideForm(core::Form3);
    if (!f.SaveMenuAndRebuild(0)) return;
    form2.RenderSubMenu(false, form2);
    f.EndDrag();
    Paint(f, form2, 0);
    Paint(f, f, f.SelectedIndex[1] - 1);
}

// Level 2 onto the open level 3: the item becomes the group's first.
void MoveIntoThirdLevel(core::TForm1& f, TForm2& form2, int source) {
    if (!core::Form3 || ListsFolder(f, 3)) return;
    const int groupRow = core::SelectedPosition(2, f.SelectedIndex, f.ScrollMode, f.ScrollTop);
    if (groupRow == source) return;  // the open group itself
    auto group2 = Group(f, 2);
    auto group3 = Group(f, 3);
    if (!group2 || !group3 || !Holds(*group2, source)) return;
    if (!f.MenuEditable()) return;
    ui::XmlNode moving = group2->ElementAt(static_cast<size_t>(source));
    group3->InsertElementAt(moving.CloneDeep(), 0);
    group2->RemoveChild(moving);
    if (!f.SaveMenuAndRebuild(1)) return;
    // The group's row moved up with the item gone from above it.
    if (source < groupRow) --f.SelectedIndex[2];
    form2.RenderSubMenu(false, *core::Form3);
    Paint(f, form2, f.SelectedIndex[2] - 1);
    Paint(f, *core::Form3, 0);
}

// Level 3 onto level 2: the item follows the row of the group it came from.
void MoveOutToSecondLevel(core::TForm1& f, TForm2& form3, int source) {
    if (!core::Form2 || ListsFolder(f, 2)) return;
    auto group2 = Group(f, 2);
    auto group3 = Group(f, 3);
    if (!group2 || !group3 || group3->ElementCount() <= 1 || !Holds(*group3, source)) return;
    const int after = core::SelectedPosition(2, f.SelectedIndex, f.ScrollMode, f.ScrollTop) + 1;
    if (after < 1 || after > static_cast<int>(group2->ElementCount())) return;
    if (!f.MenuEditable()) return;
    ui::XmlNode moving = group3->ElementAt(static_cast<size_t>(source));
    group2->InsertElementAt(moving.CloneDeep(), static_cast<size_t>(after));
    group3->RemoveChild(moving);
    if (!f.SaveMenuAndRebuild(1)) return;
    form3.RenderSubMenu(false, form3);
    f.EndDrag();
    Paint(f, form3, 0);
    Paint(f, *core::Form2, f.SelectedIndex[2] - 1);
}

}  // namespace

void TForm2::EndItemDrag() {
    core::TForm1* main = core::Form1;
    if (!main) return;
    core::TForm1& f = *main;
    const int level = Tag;
    if (ListsFolder(f, level)) return;
    const int source = f.DragSourceIndex[level];
    if (level == 2 && core::TForm1::CursorInForm(f)) {
        MoveOutToMainWindow(f, *this, source);
    } else if (level == 2 && core::Form3 && core::TForm1::CursorInForm(*core::Form3)) {
        MoveIntoThirdLevel(f, *this, source);
    } else if (level == 3 && core::Form2 && core::TForm1::CursorInForm(*core::Form2)) {
        MoveOutToSecondLevel(f, *this, source);
    } else if (core::TForm1::CursorInForm(*this)) {
        // The row under the pointer now, not the last one it passed: a release below
        // the last row moves nothing.
        const int row = RowUnderCursor(f, *this, level);
        if (row == 0) return;
        f.SelectedIndex[level] = row;
        const int target = row + f.FirstShownRow(level);
        if (source == target) return;  // onto the row directly above: the order stays
        if (level == 2) HideForm(core::Form3);
        ui::SetScreenCursor(core::kWaitCursor);
        MoveSubItem(source, target);
        Paint(f, *this, row - 1);
        ui::SetScreenCursor(core::SavedScreenCursor);
        if (level == 2) ShowPanels(false);
    } else {
        DeleteSubItem(source, f.Settings.HideWarnings != 0);
    }
}

void TForm2::MoveSubItem(int From, int To) {
    core::TForm1* main = core::Form1;
    if (!main) return;
    core::TForm1& f = *main;
    ui::ScopeExit endDrag([&f] { f.Dragging = false; });
    if (ListsFolder(f, Tag)) return;
    auto group = Group(f, Tag);
    if (!group || !f.MenuEditable()) return;
    // The item lands directly below the one on row To.
    if (!core::MoveItemInDocument(*group, From, To)) return;
    f.SaveMenuAndRebuild(Tag - 1);
}

void TForm2::WMDropFiles(HDROP drop) {
    ui::ScopeExit finish([this, drop] {
        DragFinish(drop);
        if (core::Form1) core::Form1->ShowHotZones(false);
        ShowPanels(false);
    });
    core::TForm1* main = core::Form1;
    if (!main) return;
    core::TForm1& f = *main;
    const int level = Tag;
    const auto dropped = core::FirstDroppedFile(drop);
    if (!dropped || ListsFolder(f, level)) return;
    const int row = RowUnderPoint(f, *this, level, dropped->Point.y);
    if (row == 0) return;
    // Directly after the item of the row dropped on.
    const int position = row + f.FirstShownRow(level);
    auto group = Group(f, level);
    if (!group || position > static_cast<int>(group->ElementCount())) return;
    const auto fields = core::DroppedItemFields(dropped->Path);
    if (!fields || !f.MenuEditable()) return;
    if (level == 2) HideForm(core::Form3);
    core::InsertItemNode(*group, static_cast<size_t>(position), *fields);
    f.SaveMenuAndRebuild(level - 1);
    Paint(f, *this, -1);
}

}  // namespace popups
