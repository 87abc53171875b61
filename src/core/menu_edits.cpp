// The context menu's edit commands on the three menu levels (new shortcut, separator
// and sub-menu, cut, copy, paste, lock, settings, about) and files dropped on the main
// window.
#include "core/form1.h"

#include "render/compositor.h"
#include "core/forms.h"
#include "core/menu_nodes.h"
#include "core/startup.h"
#include "dialogs/about.h"
#include "dialogs/form5.h"
#include "popups/form2.h"
#include "popups/zv_hint.h"
#include "ui/files.h"
#include "ui/handles.h"
#include "ui/message_box.h"
#include "ui/modal.h"

namespace core {
namespace {

constexpr wchar_t kWriteFailedText[] = L"The menu file could not be written, so the change was not made.";

void HideForm(ui::Form* form) {
    if (form) form->Hide();
}

// Opening a level's edit closes the windows below it: their rows are about to move.
void HideWindowsBelow(int level) {
    if (level <= 2) HideForm(Form3);
    if (level == 1) HideForm(Form2);
}

// A folder's listing is generated anew at each opening: an item put there would be
// lost, one taken out would come back. The menu hides these entries on a listing;
// the commands refuse it as well, whoever calls them.
bool ListsFolder(const TForm1& main, int level) {
    return IsFolderMenuItem(main.ItemLists, main.SelectedIndex, main.ScrollMode, main.ScrollTop, level);
}

}  // namespace

bool TForm1::SaveMenuAndRebuild(int levelIndex) {
    if (!MenuEditable()) return false;
    if (MenuFile.SaveMenu(XMLDocument1, MenuPath()) != MenuStore::SaveResult::Saved) {
        ui::ShowMessageBox(Handle(), kWriteFailedText, L"Zarvo", MB_ICONERROR | MB_OK);
        // An edit kept in the document while the windows show the file's rows would
        // make the next command act on the wrong row and save what nobody sees. The
        // main-menu build loads the document from the file and refills level 1; the
        // lists of levels 2 and 3 never took the edit.
        ui::ScopeExit ask([this] { offerRestore_ = true; });
        offerRestore_ = false;
        BuildMainMenu();
        // The sub-menu window is rebuilt from the reloaded document too.
        if (levelIndex == 1 && Form2) Form2->RenderSubMenu(false, *Form2);
        if (levelIndex == 2 && Form2 && Form3) Form2->RenderSubMenu(false, *Form3);
        return false;
    }
    switch (levelIndex) {
    case 0: BuildMainMenu(); break;
    case 1:
        if (Form2) Form2->RenderSubMenu(false, *Form2);
        break;
    case 2:
        if (Form2 && Form3) Form2->RenderSubMenu(false, *Form3);
        break;
    default: break;
    }
    return true;
}

ui::Form* TForm1::LevelForm(int level) {
    switch (level) {
    case 1: return this;
    case 2: return Form2;
    case 3: return Form3;
    default: return nullptr;
    }
}

void TForm1::RepaintLevel(int level) {
    ui::Form* form = LevelForm(level);
    if (!form) return;
    RenderMenuWindow(false, *form, LevelImages[level].get(), -1, 0);
}

// The properties dialog's new-item marker is started by NewItem, once the item exists.
void TForm1::NewMIClick() { NewItem(PopupMenu1.Tag + 1, false); }

void TForm1::NewSepMIClick() { NewItem(PopupMenu1.Tag + 1, true); }

void TForm1::NewGroupMIClick() { NewGroup(PopupMenu1.Tag + 1); }

void TForm1::NewItem(int level, bool separator) {
    bool edit = false;
    try {
        if (level < 1 || level > 3 || !XMLDocument1.HasRoot() || ListsFolder(*this, level)) return;
        auto container =
            LevelContainer(XMLDocument1.Root(), level, SelectedIndex, ScrollMode, ScrollTop);
        const int position = SelectedPosition(level, SelectedIndex, ScrollMode, ScrollTop);
        if (!container || position < 0 || position > static_cast<int>(container->ElementCount())) return;
        if (!MenuEditable()) return;
        HideWindowsBelow(level);
        InsertItemNode(*container, static_cast<size_t>(position),
                       NewShortcutFields(PopupMenu1.Item(L"NewMI").Caption, SystemDir, separator));
        const bool saved = SaveMenuAndRebuild(level - 1);
        RepaintLevel(level);
        edit = saved && !separator;
    } catch (...) {
        // The document and the windows stay as far as the command got.
        return;
    }
    if (!edit) return;
    if (Settings.ShowHint == 1) popups::ShowSelectedRowHint(level);
    // The new row took the selected row's place, so the dialog finds it there.
    EditItemProperties(level, true);
}

void TForm1::NewGroup(int level) {
    try {
        if (level < 1 || level > 3 || !XMLDocument1.HasRoot() || ListsFolder(*this, level)) return;
        auto container = LevelContainer(XMLDocument1.Root(), level, SelectedIndex, ScrollMode, ScrollTop);
        const int position = SelectedPosition(level, SelectedIndex, ScrollMode, ScrollTop);
        if (!container || position < 0 || position > static_cast<int>(container->ElementCount())) return;
        if (level == 3) {
            // Sub-menus are two levels deep: nothing to insert, but the level is saved
            // and rebuilt as after any edit.
            SaveMenuAndRebuild(2);
            return;
        }
        if (!MenuEditable()) return;
        HideWindowsBelow(level);
        InsertGroupNode(*container, static_cast<size_t>(position), PopupMenu1.Item(L"NewGroupMI").Caption,
                        PopupMenu1.Item(L"NewMI").Caption, SystemDir);
        SaveMenuAndRebuild(level - 1);
        RepaintLevel(level);
    } catch (...) {
        // The document and the windows stay as far as the command got.
    }
}

void TForm1::Copy1Click(const ui::MenuItem& sender) {
    const int level = PopupMenu1.Tag + 1;
    const bool cut = sender.Name == L"Cut";
    if (level < 1 || level > 3 || !XMLDocument1.HasRoot()) return;
    // A listed entry may be copied; a cut would take it out of the listing.
    if (cut && ListsFolder(*this, level)) return;
    auto container = LevelContainer(XMLDocument1.Root(), level, SelectedIndex, ScrollMode, ScrollTop);
    const int position = SelectedPosition(level, SelectedIndex, ScrollMode, ScrollTop);
    if (!container || position < 0 || position >= static_cast<int>(container->ElementCount())) return;
    // A copy outside the menu: the cut below removes the original.
    ClipboardNode = container->ElementAt(static_cast<size_t>(position)).CloneDeep();
    if (!cut) return;
    if (level == 1) {
        DeleteItem(position, true);
        return;
    }
    popups::TForm2* window = level == 2 ? Form2 : Form3;
    if (window) window->DeleteSubItem(position, true);
}

void TForm1::Paste1Click() {
    const int level = PopupMenu1.Tag + 1;
    if (!ClipboardNode || level < 1 || level > 3 || !XMLDocument1.HasRoot() || ListsFolder(*this, level)) return;
    auto container = LevelContainer(XMLDocument1.Root(), level, SelectedIndex, ScrollMode, ScrollTop);
    const int position = SelectedPosition(level, SelectedIndex, ScrollMode, ScrollTop);
    if (!container || position < 0 || position > static_cast<int>(container->ElementCount())) return;
    if (!MenuEditable()) return;
    // Each paste inserts a copy of its own: inserting the held node would move it, and
    // converting it would change what a later paste on another level brings.
    ui::XmlNode copy = ClipboardNode->CloneDeep();
    if (level == 3) FitForLastLevel(copy);
    container->InsertElementAt(copy, static_cast<size_t>(position));
    const bool saved = SaveMenuAndRebuild(level - 1);
    RepaintLevel(level);
    if (!saved) return;
    if (Settings.ShowHint == 1) popups::ShowSelectedRowHint(level);
}

void TForm1::Lock1Click() {
    Lock1.Checked = !Lock1.Checked;
    Settings.lock = Lock1.Checked;
    Lock1.Caption = Lock1.Checked ? L"Unlock" : L"Lock";
}

void TForm1::SettingsMIClick() {
    if (!Form5) return;
    Form5->CenterOnScreen();
    ui::ShowModal(*Form5, ui::DialogKeys{true, dialogs::form5::kPngBitBtn2, dialogs::form5::kButton1});
}

void TForm1::AboutMIClick() {
    if (!About) return;
    const bool timerWasRunning = TimerRunning(kTimer1);
    StopTimer(kTimer1);
    ui::ScopeExit restart([this, timerWasRunning] {
        if (timerWasRunning) StartTimer(kTimer1, 300);
    });
    // Enter and Esc both close the box, as OK does.
    ui::ShowModal(*About, ui::DialogKeys{true, dialogs::kAboutButton3, dialogs::kAboutButton3});
}

void TForm1::WMDropFiles(HDROP drop) {
    ui::ScopeExit finish([this, drop] {
        DragFinish(drop);
        ShowHotZones(false);
    });
    const auto dropped = FirstDroppedFile(drop);
    if (!dropped) return;
    const int row = DropPosition(ItemLists[1], dropped->Point.y, FirstShownRow(1), ScrollMode[1] != 0, ShowCount, Skin);
    if (row < 0 || !XMLDocument1.HasRoot()) return;
    const int position = row + ScrollMode[1] * ScrollTop;
    ui::XmlNode root = XMLDocument1.Root();
    const int count = static_cast<int>(root.ElementCount());
    if (position > std::min(count, 255)) return;
    const auto fields = DroppedItemFields(dropped->Path);
    if (!fields || !MenuEditable()) return;
    HideForm(Form3);
    HideForm(Form2);
    InsertItemNode(root, static_cast<size_t>(position), *fields);
    SaveMenuAndRebuild(0);
    RepaintLevel(1);
}

}  // namespace core
