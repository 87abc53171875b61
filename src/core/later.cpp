// Entry points of concerns that are not built yet. Each does the least that keeps
// the program running, and says what is missing.
#include "core/form1.h"

namespace core {

void TForm1::FormMouseMove(UINT /*shift*/, int /*x*/, int /*y*/) {
    // TODO(mouse input): hover tracking, header drag, slide-in over the edge.
}

void TForm1::FormMouseDown(ui::MouseButton /*button*/, UINT /*shift*/, int /*x*/, int /*y*/) {
    // TODO(mouse input): start a header or item drag.
}

void TForm1::FormMouseUp(ui::MouseButton /*button*/, UINT /*shift*/, int /*x*/, int /*y*/) {
    // TODO(mouse input): end drags, the context menu, the middle-button reveal.
}

void TForm1::EndDrag() {
    // TODO(mouse input): also the default screen cursor and the drag timer.
    Dragging = false;
}

void TForm1::SetPopupItemsVisible(bool /*itemCommands*/, std::uint8_t /*variant*/) {
    // TODO(mouse input): choose the context-menu entries for where it opens.
}

bool TForm1::DeleteItem(int /*position*/, bool /*silent*/) {
    return false;  // TODO(menu edits): the question by Type, the cache files, the rebuild
}

void TForm1::ApplyHandCursor() {
    // TODO(mouse input): the hand cursor over the menu windows when UseHandCursor is set.
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
