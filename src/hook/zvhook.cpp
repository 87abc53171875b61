// zvhook.dll: watches the Start button and the Windows key for Zarvo's pop-up mode
// and posts the show and hide messages to the main window of its own process.
//
// Low-level hooks run on the thread that installed them, so they live on a thread of
// this library that does nothing but pump: on the host's GUI thread, which is busy
// for seconds at times, every key and click of the session would wait, and Windows
// drops hooks that time out.
#include <windows.h>

#include <atomic>
#include <cstdint>

namespace {

// Zarvo's messages: pop the menu up (lParam: a global atom naming a menu file, or 0)
// and hide it (no arguments).
constexpr UINT kShowMenu = WM_USER + 77;
constexpr UINT kHideMenu = WM_USER + 78;

// An unassigned key, pressed while the Windows key is down so that the shell takes
// the tap for a key combination and leaves its own Start menu closed.
constexpr WORD kMaskKey = 0xE8;
// Marks the mask key's events, so that this hook passes them by.
constexpr ULONG_PTR kMaskMark = 0x5A56484B;  // "ZVHK"

constexpr DWORD kStartWaitMs = 5000;
constexpr DWORD kStopWaitMs = 2000;

HMODULE g_module = nullptr;
HANDLE g_thread = nullptr;
std::atomic<DWORD> g_threadId{0};
HHOOK g_mouseHook = nullptr;
HHOOK g_keyboardHook = nullptr;

// Touched on the hook thread only.
bool g_swallowLeftUp = false;
bool g_winDown = false;
bool g_otherKeySinceWin = false;

bool ClassIs(HWND window, const wchar_t* name) {
    wchar_t buffer[64] = L"";
    if (!window || !GetClassNameW(window, buffer, 64)) return false;
    return lstrcmpiW(buffer, name) == 0;
}

// The Start button: a "Button" or "Start" child of the taskbar (XP, Windows 8 and
// later), or a top-level "Button" of the taskbar's thread (the Vista and 7 orb).
bool IsStartButton(HWND window) {
    const HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (!taskbar) return false;
    const DWORD taskbarThread = GetWindowThreadProcessId(taskbar, nullptr);
    for (HWND w = window; w; w = GetAncestor(w, GA_PARENT)) {
        if (w == GetDesktopWindow()) break;
        if (!ClassIs(w, L"Button") && !ClassIs(w, L"Start")) continue;
        const HWND parent = GetAncestor(w, GA_PARENT);
        if (ClassIs(parent, L"Shell_TrayWnd")) return true;
        const bool topLevel = parent == GetDesktopWindow() || parent == nullptr;
        if (topLevel && ClassIs(w, L"Button") && GetWindowThreadProcessId(w, nullptr) == taskbarThread) return true;
    }
    return false;
}

// Looked up at each post: "TForm1" is a common class name, and only this process's
// window is ours.
HWND MainWindow() {
    const DWORD self = GetCurrentProcessId();
    for (HWND w = FindWindowExW(nullptr, nullptr, L"TForm1", nullptr); w;
         w = FindWindowExW(nullptr, w, L"TForm1", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == self) return w;
    }
    return nullptr;
}

void PostToMain(UINT msg) {
    if (HWND main = MainWindow()) PostMessageW(main, msg, 0, 0);
}

void PressMaskKey() {
    INPUT keys[2]{};
    for (INPUT& key : keys) {
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = kMaskKey;
        key.ki.dwExtraInfo = kMaskMark;
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

LRESULT CALLBACK MouseProc(int code, WPARAM wp, LPARAM lp) {
    if (code != HC_ACTION) return CallNextHookEx(nullptr, code, wp, lp);
    const auto* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(lp);
    switch (wp) {
    case WM_LBUTTONDOWN:
        if (IsStartButton(WindowFromPoint(event->pt))) {
            PostToMain(kShowMenu);
            g_swallowLeftUp = true;
            return 1;
        }
        PostToMain(kHideMenu);
        break;
    case WM_LBUTTONUP:
        // The release of a swallowed press goes too: the button never saw it go down.
        if (g_swallowLeftUp) {
            g_swallowLeftUp = false;
            return 1;
        }
        break;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN: PostToMain(kHideMenu); break;
    default: break;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

bool IsWinKey(DWORD vk) { return vk == VK_LWIN || vk == VK_RWIN; }

// A lone tap of the Windows key (no other key between its press and release) shows
// the menu. Key-ups always pass: a swallowed one would leave the key down.
LRESULT CALLBACK KeyboardProc(int code, WPARAM wp, LPARAM lp) {
    if (code != HC_ACTION) return CallNextHookEx(nullptr, code, wp, lp);
    const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
    if (event->dwExtraInfo == kMaskMark) return CallNextHookEx(nullptr, code, wp, lp);
    const bool down = wp == WM_KEYDOWN || wp == WM_SYSKEYDOWN;
    const bool up = wp == WM_KEYUP || wp == WM_SYSKEYUP;
    if (IsWinKey(event->vkCode)) {
        if (down && !g_winDown) {
            g_winDown = true;
            g_otherKeySinceWin = false;
            // Injected while the key is down, so it lies between press and release
            // whatever order the system delivers the events in.
            PressMaskKey();
        } else if (up && g_winDown) {
            g_winDown = false;
            if (!g_otherKeySinceWin) PostToMain(kShowMenu);
        }
    } else if (down && g_winDown) {
        g_otherKeySinceWin = true;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

DWORD WINAPI HookThread(LPVOID ready) {
    MSG msg;
    // The queue exists before the starter learns the thread id, so a stop posted at
    // once is never lost.
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    g_swallowLeftUp = g_winDown = g_otherKeySinceWin = false;
    g_mouseHook = SetWindowsHookExW(WH_MOUSE_LL, &MouseProc, g_module, 0);
    g_keyboardHook = SetWindowsHookExW(WH_KEYBOARD_LL, &KeyboardProc, g_module, 0);
    SetEvent(static_cast<HANDLE>(ready));
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    if (g_mouseHook) UnhookWindowsHookEx(g_mouseHook);
    if (g_keyboardHook) UnhookWindowsHookEx(g_keyboardHook);
    g_mouseHook = g_keyboardHook = nullptr;
    return 0;
}

void Start() {
    if (g_thread) return;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!ready) return;
    DWORD id = 0;
    g_thread = CreateThread(nullptr, 0, &HookThread, ready, 0, &id);
    if (g_thread) {
        g_threadId = id;
        HANDLE both[2] = {ready, g_thread};
        WaitForMultipleObjects(2, both, FALSE, kStartWaitMs);
    }
    CloseHandle(ready);
}

void Stop() {
    if (!g_thread) return;
    if (GetCurrentThreadId() == g_threadId) {
        // Called on the hook thread itself (a fault handler runs where the fault
        // happened): unhook here, never wait for ourselves.
        if (g_mouseHook) UnhookWindowsHookEx(g_mouseHook);
        if (g_keyboardHook) UnhookWindowsHookEx(g_keyboardHook);
        g_mouseHook = g_keyboardHook = nullptr;
        PostQuitMessage(0);
    } else {
        PostThreadMessageW(g_threadId, WM_QUIT, 0, 0);
        WaitForSingleObject(g_thread, kStopWaitMs);
    }
    CloseHandle(g_thread);
    g_thread = nullptr;
    g_threadId = 0;
}

}  // namespace

// Hook(1) starts watching, Hook(0) stops; both may be called again at no cost.
extern "C" __declspec(dllexport) void __stdcall Hook(std::int32_t on) {
    if (on) Start();
    else Stop();
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    // Nothing else here: threads may not be started or waited for under the loader lock.
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}
