// Pop-up mode's pieces that need no window: the messages that arrive from the hook
// library, the notification icon and plug-ins, the rule for a menu file named by
// another process, the notification record, and the process-wide fault handler.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

namespace core {

// The notification icon's callback; lParam is the mouse message (WM_RBUTTONUP, ...).
constexpr UINT WM_TRAYNOTIFY = WM_USER + 1;
// From the hook library: pop the menu up, or hide it when it shows. lParam is 0 or a
// global atom whose name is a menu file relative to the program folder; wParam unused.
constexpr UINT WM_HOOK_SHOWMENU = WM_USER + 77;
// From the hook library: hide the menu unless a guard keeps it; no arguments.
constexpr UINT WM_HOOK_HIDEMENU = WM_USER + 78;
// From a plug-in: its click is done, enable the menu windows; no arguments.
constexpr UINT WM_PLUGIN_DONE = WM_USER + 88;

constexpr UINT kTrayIconId = 1;

// Any process may add an atom, so its name is only taken for a plain relative
// ".xml" name inside the program folder: no drive, no ":", no leading separator,
// no ".." part. Whether the file exists is the caller's test.
bool IsAcceptedMenuFileName(const std::wstring& name);

// The name of a global atom (at most 255 characters); empty for 0, an integer
// atom or an atom that does not exist.
std::wstring GlobalAtomName(ATOM atom);

// The notification record: the V2 layout (the 32-bit program's record of old),
// id 1, message, icon and tip, callback WM_TRAYNOTIFY, tip "Zarvo", the rest zero.
NOTIFYICONDATAW MakeTrayRecord(HWND window, HICON icon);

// The shell's notify-icon call; tests record the calls instead.
using NotifyIconFunction = std::function<BOOL(DWORD message, NOTIFYICONDATAW& record)>;
void SetNotifyIconForTests(NotifyIconFunction function);
BOOL CallNotifyIcon(DWORD message, NOTIFYICONDATAW& record);

// The picture of the notification icon: tray.ico from `folder` at the small-icon
// size when it loads, else the program's own icon. Never null; the caller owns it.
HICON LoadTrayIconImage(const std::wstring& folder);

// "Error!" with an error icon and one Ignore button: a task dialog on Vista and
// later (answered by the task-dialog seam in tests), a message box with OK before.
void ShowHookLibraryError(HWND owner);

// Catches what no C++ handler sees (access violations and other structured
// exceptions, on any thread): the main window's fault clean-up runs once, then the
// process ends with the exception's code. Called once from the program entry.
void InstallFaultHandler();

}  // namespace core
