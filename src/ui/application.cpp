#include "ui/application.h"

#include "ui/mouse_hover.h"

namespace ui {
namespace {
constexpr wchar_t kApplicationClass[] = L"TApplication";

LRESULT CALLBACK ApplicationProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd, msg, wp, lp);
}
}  // namespace

Application& Application::Instance() {
    static Application app;
    return app;
}

void Application::Initialize(const std::wstring& title) {
    if (hwnd_) {
        SetTitle(title);
        return;
    }
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(instance, kApplicationClass, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &ApplicationProc;
        wc.hInstance = instance;
        wc.hIcon = LoadIconW(instance, L"MAINICON");
        wc.lpszClassName = kApplicationClass;
        RegisterClassExW(&wc);
    }
    hwnd_ = CreateWindowExW(0, kApplicationClass, title.c_str(),
                            WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0, nullptr,
                            nullptr, instance, nullptr);
}

void Application::SetTitle(const std::wstring& title) {
    if (hwnd_) SetWindowTextW(hwnd_, title.c_str());
}

void Application::RunIdle() noexcept {
    try {
        TrackMouseHover();
    } catch (...) {
        HandleException();
    }
    for (auto& handler : idleHandlers_) {
        try {
            handler();
        } catch (...) {
            HandleException();
        }
    }
}

// Dispatches everything queued; false once WM_QUIT arrived.
bool Application::PumpQueued() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

void Application::Run() {
    while (!terminated_) {
        if (!PumpQueued() || terminated_) return;
        RunIdle();
        WaitMessage();
    }
}

void Application::ProcessMessages() { PumpQueued(); }

void Application::Terminate() {
    if (terminated_) return;
    terminated_ = true;
    PostQuitMessage(0);
}

void Application::HandleException() noexcept {
    if (exceptionHandler_) {
        try {
            exceptionHandler_();
            return;
        } catch (...) {
        }
    }
    Terminate();
}

void Application::ResetForTests() {
    terminated_ = false;
    exceptionHandler_ = nullptr;
    idleHandlers_.clear();
    // A quit posted by the previous lifetime must not end the next one.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

}  // namespace ui
