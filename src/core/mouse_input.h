// Mouse input of the menu windows: the drag cursor, the button and key tests, the
// context menu's entries and its menu-end hook, shared by the three menu windows.
#pragma once

#include <windows.h>

namespace ui {
class PopupMenu;
}

namespace core {

// The command IDs of PopupMenu1's entries, in menu order.
enum ContextMenuCommand : UINT {
    kFindMI = 1,
    kContextmenu1,
    kN4,
    kNewMI,
    kNewGroupMI,
    kNewSepMI,
    kN15,
    kCut,
    kCopy1,
    kPaste1,
    kDelMI,
    kN8,
    kPropMI,
    kN9,
    kBlank1,
    kLock1,
    kSettingsMI,
    kAboutMI,
    kN12,
    kCloseMI,
};

// The twenty entries with their English captions; the language files relabel them
// by name.
void AddContextMenuEntries(ui::PopupMenu& menu);

// Cursors of an item drag and of a wait.
inline const LPCWSTR kDragCursor = IDC_SIZEALL;
inline const LPCWSTR kWaitCursor = IDC_WAIT;

// The screen cursor saved when a Shift-drag starts; every release puts it back.
extern LPCWSTR SavedScreenCursor;

// The logical left button is down now (swapped buttons respected).
bool IsLeftButtonDown();
// Shift is down in the calling thread's keyboard state.
bool IsShiftDown();

// Ends the context menu's state when any popup menu closes (EVENT_SYSTEM_MENUPOPUPEND).
void CALLBACK MenuEndWinEventProc(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG object, LONG child,
                                  DWORD thread, DWORD time);

// Size of the preview line for a picture: 250 wide when it is at least as wide as
// high, otherwise 300 high, keeping the proportions.
SIZE PreviewSize(int width, int height);

}  // namespace core
