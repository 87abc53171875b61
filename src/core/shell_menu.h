// The shell's own context menu for a path, and the flag that keeps the menu windows
// up while it is open.
#pragma once

namespace core {

// True exactly while the shell's context menu is being tracked; the housekeeping
// timer and the hide message leave the menu up meanwhile.
extern bool ContextMenuOpen;

// TODO(shell context menu): ShowShellContextMenu, which sets ContextMenuOpen while it tracks.

}  // namespace core
