// Entry points of concerns that are not built yet. Each does the least that keeps
// the program running, and says what is missing.
#include "core/form1.h"

namespace core {

void TForm1::SlideIn() {
    // TODO(motion): slide the menu in from its edge or pop it up at PopupPoint.
    Show();
}

void TForm1::Timer1Timer() {
    // TODO(motion): the housekeeping duties (edge tab, hide on leave, gluing, full screen).
}

void TForm1::SlideOut() {
    // TODO(motion): slide the menu back into its edge, or hide it in pop-up mode.
}

bool TForm1::CursorOnTab() {
    return false;  // TODO(motion): the pointer in the tab rectangle of the hidden menu
}

void TForm1::ScrolltimerTimer() {
    // TODO(motion): repeat the scroll of the sub-menu window while the button is held.
}

void TForm1::FormClick() {
    // TODO(launching): dispatch the click on a row by its Type.
}

void TForm1::FormDblClick() {
    // TODO(launching): launch on a double click when DoubleClickRun is 0.
}

bool TForm1::ForceForeground(HWND /*window*/) {
    return false;  // TODO(launching): bring a window forward against the foreground lock
}

void TForm1::PlayClickEffect(ui::Form& /*form*/, Gdiplus::Bitmap* /*image*/, int /*row*/) {
    // TODO(launching): the configured click effect on the row.
}

void TForm1::RevealInExplorer(const std::wstring& /*path*/, int /*type*/) {
    // TODO(launching): open the folder, or Explorer with the file selected.
}

void TForm1::FindMIClick() {
    // TODO(launching): reveal the selected item's target.
}

bool TForm1::EditIfNoTarget() {
    return false;  // TODO(menu edits): the properties dialog for an item without a target
}

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

}  // namespace core
