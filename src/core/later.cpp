// Entry points of concerns that are not built yet. Each does the least that keeps
// the program running, and says what is missing.
#include "core/form1.h"

namespace core {

void TForm1::TrayIcon(int /*operation*/) {
    // TODO(pop-up mode): add, delete or modify the notification-area icon.
}

void TForm1::InstallHook() {
    // TODO(pop-up mode): load zvhook.dll and call Hook(1).
}

void TForm1::RemoveHook() {
    // TODO(pop-up mode): Hook(0) when the hook is installed.
}

void TForm1::LoadPlugins() {
    // TODO(plug-ins): load the libraries of plugins\.
}

void TForm1::UnloadPlugins() {
    // TODO(plug-ins): call each plug-in's unload export and free it.
}

void TForm1::BuildIndex() {
    // TODO(search index): write Index.dat from the folders of index.txt.
}

bool TForm1::BuildFolderMenu(const std::wstring& /*folder*/, const std::wstring& /*filter*/, bool /*addParent*/,
                             ui::XmlNode /*subitem*/) {
    // TODO(search index): replace the children of subitem by the folder's entries and
    // save the menu. Until then a folder menu shows what its subitem already holds.
    return true;
}

}  // namespace core
