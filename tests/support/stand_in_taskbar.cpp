#include "support/stand_in_taskbar.h"

#include <commctrl.h>

#include <stdexcept>

namespace testing_support {
namespace {

constexpr wchar_t kTaskbarClass[] = L"Shell_TrayWnd";
constexpr int kBarHeight = 40;
constexpr int kButtonWidth = 60;

void RegisterTaskbarClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(instance, kTaskbarClass, &wc)) return;
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &DefWindowProcW;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = kTaskbarClass;
    RegisterClassExW(&wc);
}

}  // namespace

StandInTaskbar::StandInTaskbar() {
    RegisterTaskbarClass();
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int top = GetSystemMetrics(SM_CYSCREEN) - kBarHeight;
    taskbar_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kTaskbarClass, L"",
                               WS_POPUP | WS_VISIBLE, 0, top, width, kBarHeight, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (!taskbar_) throw std::runtime_error("the stand-in taskbar cannot be created");
    button_ = CreateWindowExW(0, L"Button", L"Start", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, kButtonWidth,
                              kBarHeight, taskbar_, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!button_) throw std::runtime_error("the stand-in Start button cannot be created");
    SetWindowSubclass(button_, &CountPresses, 1, reinterpret_cast<DWORD_PTR>(this));
}

StandInTaskbar::~StandInTaskbar() {
    if (button_) RemoveWindowSubclass(button_, &CountPresses, 1);
    if (taskbar_) DestroyWindow(taskbar_);
}

POINT StandInTaskbar::OverStart() const {
    RECT r{};
    GetWindowRect(button_, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT StandInTaskbar::OverBar() const {
    RECT r{};
    GetWindowRect(taskbar_, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void PressAt(POINT at, DWORD down, DWORD up) {
    SetCursorPos(at.x, at.y);
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = down;
    in[1].mi.dwFlags = up;
    SendInput(2, in, sizeof(INPUT));
}

LRESULT CALLBACK StandInTaskbar::CountPresses(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
    if (msg == WM_LBUTTONDOWN) ++reinterpret_cast<StandInTaskbar*>(self)->presses_;
    return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace testing_support
