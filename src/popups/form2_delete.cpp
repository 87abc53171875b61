// The removal of a sub-menu row, with its question: both windows, the level from the
// window's Tag.
#include "popups/form2.h"

#include "core/edit_commands.h"
#include "core/form1.h"
#include "core/forms.h"
#include "core/menu_nodes.h"
#include "core/startup.h"
#include "popups/zv_hint.h"
#include "ui/handles.h"
#include "ui/message_box.h"
#include "ui/strings.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace popups {
namespace {

void HideForm(ui::Form* form) {
    if (form) form->Hide();
}

// A listing is written anew at each opening, so a row taken out would come back;
// emptying it turned the folder into a plain item. A window below a listing is part
// of it too.
bool InAListing(const core::TForm1& f, int level) {
    for (int shown = 2; shown <= level; ++shown)
        if (core::IsFolderMenuItem(f.ItemLists, f.SelectedIndex, f.ScrollMode, f.ScrollTop, shown)) return true;
    return false;
}

// The question for the row, with Timer1 off while it is up (and on again only when
// it was running, as before the question). True for Yes.
bool Confirmed(core::TForm1& f, HWND owner, const core::TLNItem& item, bool noAsk) {
    const bool timerWasRunning = f.TimerRunning(core::TForm1::kTimer1);
    f.StopTimer(core::TForm1::kTimer1);
    ui::ScopeExit restart([&f, timerWasRunning] {
        if (timerWasRunning) f.StartTimer(core::TForm1::kTimer1, 300);
    });
    if (noAsk) return true;
    const std::wstring text = ui::FormatS(core::DeleteQuestion(item.Type, f.Messages), item.Caption);
    // Before Vista the box has no owner: a menu window may slide away beneath it.
    const int answer = core::VistaOrLater ? core::ShowTaskDialog(owner, L"Zarvo", text, core::kDeleteNote,
                                                                 core::kTaskYes | core::kTaskNo,
                                                                 core::kIconInformation)
                                          : ui::ShowMessageBox(nullptr, text, L"Zarvo", MB_YESNO);
    return answer == IDYES;
}

// An emptied group opens nothing any more. Only a sub-menu (Type "2" in the file)
// becomes a plain item without its ID; a folder whose sub-items made it a group row
// stays a folder. Returns the ID element that names the group's cached images, taken
// out of the document when the ID goes.
std::optional<ui::XmlNode> EmptyGroup(ui::XmlNode group) {
    auto id = group.FindChild(L"ID");
    auto type = group.FindChild(L"Type");
    if (!type || core::ParseItemNumber(type->Text()) != 2) return id;
    type->SetText(L"0");
    if (id) group.RemoveChild(*id);
    return id;
}

// The IDs of the groups that windows 2 .. `last` show: their images are live.
std::vector<std::wstring> IdsShown(core::TForm1& f, int last) {
    std::vector<std::wstring> ids;
    ui::XmlNode root = f.XMLDocument1.Root();
    for (int level = 2; level <= last; ++level) {
        auto above = core::LevelContainer(root, level - 1, f.SelectedIndex, f.ScrollMode, f.ScrollTop);
        const int position = core::SelectedPosition(level - 1, f.SelectedIndex, f.ScrollMode, f.ScrollTop);
        if (!above || position < 0 || position >= static_cast<int>(above->ElementCount())) break;
        if (auto id = above->ElementAt(static_cast<size_t>(position)).FindChild(L"ID")) ids.push_back(id->Text());
    }
    return ids;
}

// The cached images named by the ID elements in and below `node`, except those a
// shown group uses: an ID whose files were gone (a cleaned cache) may since have been
// given to a group, whose images would then vanish from under it.
void DeleteImagesOf(ui::XmlNode node, const std::vector<std::wstring>& shown) {
    if (node.Name() == L"ID") {
        if (std::find(shown.begin(), shown.end(), node.Text()) == shown.end())
            core::DeleteCachedImages(node, core::CacheDir, core::ImageExt);
        return;
    }
    for (const ui::XmlNode& child : node.ElementChildren()) DeleteImagesOf(child, shown);
}

}  // namespace

bool TForm2::DeleteSubItem(int Row, bool NoAsk) {
    core::TForm1* main = core::Form1;
    const int level = Tag;
    if (!main || (level != 2 && level != 3)) return false;
    core::TForm1& f = *main;
    bool removed = false;
    try {
        if (!f.XMLDocument1.HasRoot() || InAListing(f, level)) return false;
        ui::XmlNode root = f.XMLDocument1.Root();
        auto above = core::LevelContainer(root, level - 1, f.SelectedIndex, f.ScrollMode, f.ScrollTop);
        const int groupPosition = core::SelectedPosition(level - 1, f.SelectedIndex, f.ScrollMode, f.ScrollTop);
        auto container = core::LevelContainer(root, level, f.SelectedIndex, f.ScrollMode, f.ScrollTop);
        if (!above || !container || groupPosition < 0 ||
            groupPosition >= static_cast<int>(above->ElementCount()))
            return false;
        // The list and the document must agree on the row, or the question would name
        // one item and the removal take another.
        const core::TLNItemList& list = f.ItemLists[level];
        const int count = static_cast<int>(container->ElementCount());
        if (Row < 0 || Row >= count || Row >= static_cast<int>(list.size())) return false;
        if (!f.MenuEditable()) return false;
        const core::TLNItem item = list[static_cast<size_t>(Row)];
        const core::PerLevel<int> selected = f.SelectedIndex;

        if (level == 2) HideForm(core::Form3);
        if (!Confirmed(f, Handle(), item, NoAsk)) return false;
        // Hiding the windows may have moved the selections that lead to the group.
        for (int l = 1; l <= level; ++l) f.SelectedIndex[l] = selected[l];

        ui::XmlNode group = above->ElementAt(static_cast<size_t>(groupPosition));
        ui::XmlNode node = container->ElementAt(static_cast<size_t>(Row));
        const bool emptied = count == 1;
        // The row's top as drawn before the rebuild moves the rows (below the up arrow
        // while the level scrolls); the window's width is taken after it.
        const int puffY = Top() + f.DrawnRowTop(level, Row - f.FirstShownRow(level));
        container->RemoveChild(node);
        std::optional<ui::XmlNode> groupId;
        if (emptied) groupId = EmptyGroup(group);
        // The main window's rows change only when level 2's group empties; the writer
        // rebuilds that level. A failed write reloads the unchanged file and the
        // windows, and nothing below happens.
        const int rebuilt = emptied && level == 2 ? 0 : level - 1;
        if (!f.SaveMenuAndRebuild(rebuilt)) return false;
        removed = true;

        // The row's images, and those of the rows below it, whatever its Type; an
        // emptied group's own images show nothing any more.
        const std::vector<std::wstring> shown = IdsShown(f, emptied ? level - 1 : level);
        DeleteImagesOf(node, shown);
        if (groupId) DeleteImagesOf(*groupId, shown);
        if (level == 2) {
            HideForm(core::Form3);
            f.LevelImages[3].reset();
            f.CaptionImages[3].reset();
        }
        if (!emptied) {
            // The rebuild wrote the group's images under a new ID and removed the old ones.
            f.RenderMenuWindow(false, *this, f.LevelImages[level].get(), -1, 0);
            if (core::ZVHint)
                core::ZVHint->PlayPoof(static_cast<int>(ui::RoundEven(Left() + Width() / 2.0)), puffY);
            return true;
        }
        f.LevelImages[level].reset();
        f.CaptionImages[level].reset();
        if (level == 2) {
            // The window goes; rows it no longer has must not answer a later command.
            f.ItemLists[2].clear();
            RowCount = 0;
            f.RenderMenuWindow(false, f, f.LevelImages[1].get(), -1, 0);
            Hide();
            return true;
        }
        // Level 2's images are still those of its group, whose ID did not change. Form2
        // prepares itself: its panels call back into the window that made them.
        if (core::Form2) {
            core::Form2->RenderSubMenu(true, *core::Form2);
            f.RenderMenuWindow(false, *core::Form2, f.LevelImages[2].get(), -1, 0);
        }
        Hide();
        return true;
    } catch (...) {
        // Quietly: the document and the windows stay as far as the delete got.
        return removed;
    }
}

}  // namespace popups
