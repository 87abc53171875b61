// The shell's own context menu for a path (the file manager's menu of a file, folder
// or drive), and the flag that keeps the menu windows up while it is open.
#pragma once

#include "ui/handles.h"

#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <functional>
#include <string>

namespace core {

// True exactly while the shell's context menu is being tracked; the housekeeping
// timer and the hide message leave the menu up meanwhile.
extern bool ContextMenuOpen;

// Frees an item identifier list the shell allocator handed out and clears the
// reference. Null counts as done; false for a list the allocator did not make.
bool FreePidl(LPITEMIDLIST& pidl);

struct PidlTraits {
    using Handle = LPITEMIDLIST;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { FreePidl(h); }
};
using UniquePidl = ui::Unique<PidlTraits>;

// The path with one "\" at its end, appended only when it is missing.
std::wstring AddBackslash(const std::wstring& path);

// The item of a path (the path macros expanded first) relative to its parent folder,
// which lands in `folder`; empty when the path does not resolve.
UniquePidl PathToPidl(const std::wstring& path, Microsoft::WRL::ComPtr<IShellFolder>& folder);
// The same for a drive root, parsed inside My Computer.
UniquePidl DriveToPidl(const std::wstring& path, Microsoft::WRL::ComPtr<IShellFolder>& folder);

// Builds the item's menu, tracks it at `point` (client coordinates of `window`) and
// carries out the chosen command. True when one was chosen and the shell did it.
bool DisplayContextMenuPidl(HWND window, IShellFolder* folder, LPCITEMIDLIST pidl, POINT point);

// The hidden window that owns the tracked menu and hands its owner-draw and menu
// messages to the menu object (`menu2`, which the creator keeps alive).
HWND CreateMenuCallbackWnd(IContextMenu2* menu2);
LRESULT CALLBACK MenuCallbackWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
inline constexpr wchar_t kMenuCallbackClass[] = L"ICMCALLBACKWND";

// The shell's menu of `path` at `point` in `window`'s client coordinates; true when
// a command was chosen and carried out. Nothing shows for a path that does not
// resolve.
bool ShowShellContextMenu(HWND window, const std::wstring& path, POINT point);

// What a caller asked the shell menu for. Tests of the callers see it in place of a
// tracked menu; the handler's answer is the call's.
struct ShellMenuRequest {
    HWND window = nullptr;
    std::wstring path;
    POINT point{};
};
void SetShellMenuForTests(std::function<bool(const ShellMenuRequest&)> handler);

}  // namespace core
