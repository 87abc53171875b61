#include "core/form1.h"

#include "core/row_geometry.h"
#include "core/startup.h"
#include "ui/application.h"
#include "ui/files.h"
#include "ui/message_box.h"
#include "ui/strings.h"

#include <algorithm>

namespace core {
namespace {

constexpr wchar_t kNotSavedText[] =
    L"The menu file could not be loaded, so changes to the menu are not saved.";
constexpr wchar_t kWriteFailedText[] = L"The menu file could not be written; the change is not saved yet.";

struct LoadFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace

void TForm1::BuildMainMenu() {
    // TODO(menu build): recreate LevelBitmaps level 1 (step 1).
    int height = Skin.HeaderSize;
    try {
        // 3
        std::wstring error;
        if (!XMLDocument1.Load(MenuPath(), &error)) {
            MenuFile.SetLoadState(MenuStore::LoadState::ParseFailed);
            throw LoadFailed("the menu file did not load");
        }
        MenuFile.SetLoadState(MenuStore::LoadState::BuildFailed);  // until the build completes
        ui::XmlNode root = XMLDocument1.Root();
        MainItemCount = static_cast<int>(root.ElementCount());
        // 4: TODO(menu build): the width from the captions or the skin.
        LevelWidths[1] = Skin.SkinWidth;
        // 5
        ItemLists[1].clear();
        LoadItemList(ItemLists[1], root);
        // 6: an empty or non-numeric Type fails the build
        auto children = root.ElementChildren();
        for (size_t u = 0; u < children.size(); ++u) {
            ui::XmlNode typeNode = children[u].Child(L"Type");
            const auto type = ParseItemNumber(typeNode.Text());
            if (!type) throw ConversionError("bad Type");
            ItemLists[1][u].Type = *type;
            height += RowHeight(*type, Skin);
        }
        height += Skin.BottomMargin;
        // 7-11: TODO(menu build): icon strip, caption image, hot-zone panels, cache files.
        MenuFile.SetLoadState(MenuStore::LoadState::Good);
    } catch (const std::exception&) {
        // Rows the list never got must not be reachable by clicks and drags.
        MainItemCount = std::min<int>(MainItemCount, static_cast<int>(ItemLists[1].size()));
        // 13
        const int answer = ui::ShowMessageBox(Handle(), Messages.LoadProblem, L"Error",
                                              MB_ICONERROR | MB_YESNO);
        const std::wstring backup = ui::ChangeFileExt(MenuPath(), L".bak");
        // One atomic replace instead of delete-then-rename: the menu file is never
        // missing, whatever happens in between; a failed replace claims nothing.
        if (answer == IDYES && ui::FileExists(backup) && ui::ReplaceFileWith(backup, MenuPath())) {
            ui::ShowMessageBox(Handle(), Messages.RestartProgram, L"Zarvo", MB_OK);
            ui::Application::Instance().Terminate();
        }
    }
    // 14
    MainHeight = height;
    SetHeight(height);
    SetWidth(Skin.ShowCaption ? LevelWidths[1] : Skin.SkinWidth);
    // TODO(glass): ApplyBlurBehind for the main window; LevelBitmaps level 1 sizing.
}

bool TForm1::MenuEditable() {
    if (MenuFile.CheckMenuWritable(XMLDocument1)) return true;
    if (MenuFile.TakeRefusalWarning())
        ui::ShowMessageBox(Handle(), kNotSavedText, L"Zarvo", MB_ICONWARNING | MB_OK);
    return false;
}

void TForm1::SaveMenuAndRebuild(int levelIndex) {
    if (!MenuEditable()) return;
    if (MenuFile.SaveMenu(XMLDocument1, MenuPath()) != MenuStore::SaveResult::Saved) {
        // A rebuild would reload the old file and drop the edit without a word; the
        // document keeps it for the next save.
        ui::ShowMessageBox(Handle(), kWriteFailedText, L"Zarvo", MB_ICONERROR | MB_OK);
        return;
    }
    switch (levelIndex) {
    case 0: BuildMainMenu(); break;
    case 1:  // TODO(sub-menus): TForm2.RenderSubMenu of Form2, UseCache false
    case 2:  // TODO(sub-menus): TForm2.RenderSubMenu of Form3, UseCache false
    default: break;
    }
}

void TForm1::MoveItem(int from, int to) {
    ui::ScopeExit endDrag([this] { Dragging = false; });
    if (!MenuEditable()) return;
    if (!MoveItemInDocument(XMLDocument1.Root(), from, to)) return;
    SaveMenuAndRebuild(0);
}

}  // namespace core

namespace core {

int TForm1::MeasureCaptions(ui::XmlNode /*element*/) {
    return Skin.SkinWidth;  // TODO(menu build): the widest caption with ShowCaption
}

}  // namespace core
