// The shell's context menu of a path: the path resolved to its parent folder and
// child item, the menu the folder's menu object fills, tracked while
// ContextMenuOpen holds the launcher up, and the chosen command carried out.
#include "core/shell_menu.h"

#include "core/form1.h"
#include "core/path_macros.h"
#include "render/compositor.h"

#include <utility>

namespace core {

using Microsoft::WRL::ComPtr;

bool ContextMenuOpen = false;

namespace {

// The identifiers the menu object may give its entries; the chosen one minus the
// first is the command's offset.
constexpr UINT kFirstCommand = 1;
constexpr UINT kLastCommand = 0x7FFF;

std::function<bool(const ShellMenuRequest&)> g_shellMenuForTests;

}  // namespace

bool FreePidl(LPITEMIDLIST& pidl) {
    if (!pidl) return true;
    ComPtr<IMalloc> allocator;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator) return false;
    // 1 is "mine" and -1 "cannot tell"; every list handed here came from the shell,
    // so only a definite "not mine" keeps it.
    if (allocator->DidAlloc(pidl) == 0) return false;
    allocator->Free(pidl);
    pidl = nullptr;
    return true;
}

std::wstring AddBackslash(const std::wstring& path) {
    // Twice at the end ("C:\\") is a name the shell rejects.
    if (!path.empty() && path.back() == L'\\') return path;
    return path + L'\\';
}

UniquePidl PathToPidl(const std::wstring& path, ComPtr<IShellFolder>& folder) {
    folder.Reset();
    // Items are stored with the path macros; unexpanded they name nothing.
    const std::wstring expanded = ExpandPathMacros(path);
    // An empty name parses as the desktop itself, which is no item's target.
    if (expanded.empty()) return UniquePidl();
    // The wide path as it is: no code page and no length limit cut it.
    LPITEMIDLIST absolute = nullptr;
    if (FAILED(SHParseDisplayName(expanded.c_str(), nullptr, &absolute, 0, nullptr)) || !absolute)
        return DriveToPidl(expanded, folder);
    const UniquePidl whole(absolute);
    LPCITEMIDLIST child = nullptr;
    if (FAILED(SHBindToParent(whole.Get(), IID_PPV_ARGS(&folder), &child)) || !child || !folder) {
        folder.Reset();
        return UniquePidl();
    }
    // The child lies inside the whole list, which goes at the end of this scope.
    UniquePidl own(ILClone(child));
    if (!own) folder.Reset();
    return own;
}

UniquePidl DriveToPidl(const std::wstring& path, ComPtr<IShellFolder>& folder) {
    folder.Reset();
    ComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop) return UniquePidl();
    LPITEMIDLIST computerList = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computerList)) || !computerList)
        return UniquePidl();
    const UniquePidl computerPidl(computerList);
    ComPtr<IShellFolder> computer;
    if (FAILED(desktop->BindToObject(computerPidl.Get(), nullptr, IID_PPV_ARGS(&computer))) || !computer)
        return UniquePidl();
    std::wstring name = AddBackslash(path);
    LPITEMIDLIST item = nullptr;
    if (FAILED(computer->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, &item, nullptr)) || !item)
        return UniquePidl();
    folder = std::move(computer);
    return UniquePidl(item);
}

LRESULT CALLBACK MenuCallbackWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        // The creator keeps the menu object alive for the window's whole life.
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    auto* menu2 = reinterpret_cast<IContextMenu2*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!menu2 || (msg != WM_DRAWITEM && msg != WM_MEASUREITEM && msg != WM_INITMENUPOPUP && msg != WM_MENUCHAR))
        return DefWindowProcW(hwnd, msg, wp, lp);
    // The newer interface answers the menu's keys (WM_MENUCHAR) as well.
    ComPtr<IContextMenu3> menu3;
    if (SUCCEEDED(menu2->QueryInterface(IID_PPV_ARGS(&menu3))) && menu3) {
        LRESULT result = 0;
        if (FAILED(menu3->HandleMenuMsg2(msg, wp, lp, &result))) return DefWindowProcW(hwnd, msg, wp, lp);
        if (msg == WM_MENUCHAR) return result;
    } else {
        if (msg == WM_MENUCHAR) return DefWindowProcW(hwnd, msg, wp, lp);
        menu2->HandleMenuMsg(msg, wp, lp);
    }
    return msg == WM_INITMENUPOPUP ? 0 : TRUE;
}

HWND CreateMenuCallbackWnd(IContextMenu2* menu2) {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &MenuCallbackWndProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kMenuCallbackClass;
    RegisterClassW(&windowClass);  // fails harmlessly once the class exists
    return CreateWindowExW(0, kMenuCallbackClass, kMenuCallbackClass, WS_POPUP | WS_BORDER | WS_SYSMENU, 0, 0, 0, 0,
                           nullptr, nullptr, module, menu2);
}

bool DisplayContextMenuPidl(HWND window, IShellFolder* folder, LPCITEMIDLIST pidl, POINT point) {
    if (!folder || !pidl) return false;
    ComPtr<IContextMenu> menu;
    if (FAILED(folder->GetUIObjectOf(window, 1, &pidl, IID_IContextMenu, nullptr, &menu)) || !menu) return false;
    const ui::UniqueMenu popup(CreatePopupMenu());
    if (!popup) return false;
    if (FAILED(menu->QueryContextMenu(popup.Get(), 0, kFirstCommand, kLastCommand, CMF_EXPLORE))) return false;
    ComPtr<IContextMenu2> menu2;  // IContextMenu3 is one too
    if (FAILED(menu.As(&menu2))) menu2.Reset();
    // Declared after the menu: the window goes first.
    const ui::UniqueWindow callback(menu2 ? CreateMenuCallbackWnd(menu2.Get()) : nullptr);
    // Without a menu object that draws its own entries, the caller's window owns the menu.
    const HWND owner = callback ? callback.Get() : window;
    ClientToScreen(window, &point);
    UINT command = 0;
    {
        const bool wasOpen = std::exchange(ContextMenuOpen, true);
        const ui::ScopeExit closed([wasOpen] { ContextMenuOpen = wasOpen; });
        // Without the foreground the menu would not close on a click elsewhere, and
        // without the message after it the next menu would close at once. A control
        // (the quick-run list) cannot be the foreground window; its form can.
        HWND front = GetAncestor(window, GA_ROOT);
        if (!front) front = window;
        SetForegroundWindow(front);
        command = static_cast<UINT>(
            TrackPopupMenu(popup.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, owner, nullptr));
        PostMessageW(front, WM_NULL, 0, 0);
    }
    if (command < kFirstCommand || command > kLastCommand) return false;
    CMINVOKECOMMANDINFO info{};
    info.cbSize = sizeof(info);
    info.hwnd = window;
    // The verb as the command's offset: the shell takes offsets where it knows no name.
    info.lpVerb = MAKEINTRESOURCEA(command - kFirstCommand);
    info.nShow = SW_SHOWNORMAL;
    return SUCCEEDED(menu->InvokeCommand(&info));
}

bool ShowShellContextMenu(HWND window, const std::wstring& path, POINT point) {
    if (g_shellMenuForTests) return g_shellMenuForTests(ShellMenuRequest{window, path, point});
    ComPtr<IShellFolder> folder;
    const UniquePidl pidl = PathToPidl(path, folder);
    if (!pidl) return false;
    return DisplayContextMenuPidl(window, folder.Get(), pidl.Get(), point);
}

void SetShellMenuForTests(std::function<bool(const ShellMenuRequest&)> handler) {
    g_shellMenuForTests = std::move(handler);
}

void TForm1::Contextmenu1Click() {
    const int level = PopupMenu1.Tag + 1;
    if (level < 1 || level > 3) return;
    const TLNItem* found = HoveredItem(ItemLists[level], SelectedIndex[level] - 1, ScrollMode[level], ScrollTop);
    if (!found) return;
    const std::wstring run = found->Run;  // the menu's loop may rebuild the list
    POINT point = PopupMenu1.LastPoint();
    ScreenToClient(Handle(), &point);
    ShowShellContextMenu(Handle(), run, point);
}

}  // namespace core
