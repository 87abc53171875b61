#include "ui/form.h"

#include "ui/application.h"
#include "ui/cursor.h"
#include "ui/popup_menu.h"

#include <windowsx.h>

#include <stdexcept>
#include <string>

namespace ui {

UINT MouseShiftState(WPARAM wp) {
    UINT shift = static_cast<UINT>(wp) & (MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL | MK_MBUTTON |
                                          MK_XBUTTON1 | MK_XBUTTON2);
    if (GetKeyState(VK_MENU) < 0) shift |= kMkAlt;
    return shift;
}

Form::~Form() {
    if (background_) DeleteObject(background_);
    // Destroy() is the normal path; this only keeps a stray window from
    // calling into a dead object.
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void Form::RegisterClassOnce(const std::wstring& className) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, className.c_str(), &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &Form::Thunk;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = className.c_str();
    if (!RegisterClassExW(&wc)) throw std::runtime_error("RegisterClassExW failed");
}

void SetDialogFrame(CreateParams& params, int clientWidth, int clientHeight) {
    params.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    params.exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_CONTROLPARENT;
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, params.style, FALSE, params.exStyle);
    params.width = frame.right - frame.left;
    params.height = frame.bottom - frame.top;
}

void Form::Create() {
    ui::CreateParams params;
    params.parent = Application::Instance().Handle();
    CreateParams(params);
    RegisterClassOnce(params.className);
    HWND hwnd = CreateWindowExW(params.exStyle, params.className.c_str(), params.caption.c_str(),
                                params.style, params.x, params.y, params.width, params.height,
                                params.parent, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd) throw std::runtime_error("CreateWindowExW failed: " + std::to_string(GetLastError()));
    FormCreate();
}

void Form::Destroy() {
    if (destroyed_) return;
    destroyed_ = true;
    for (const auto& timer : timers_) KillTimer(hwnd_, timer.first);
    timers_.clear();
    FormDestroy();
    if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT CALLBACK Form::Thunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);  // WM_GETMINMAXINFO comes before WM_NCCREATE
    LRESULT result = 0;
    try {
        result = self->OnMessage(msg, wp, lp);
    } catch (...) {
        Application::Instance().HandleException();
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

LRESULT Form::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        if (timers_.count(static_cast<UINT_PTR>(wp))) {
            OnTimer(static_cast<UINT_PTR>(wp));
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        if (background_) {
            RECT r{};
            GetClientRect(hwnd_, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, background_);
            return 1;
        }
        break;
    case WM_CLOSE:
        if (FormCloseQuery()) FormClose();
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT && SetCursorForClient()) return TRUE;
        break;
    case WM_LBUTTONDOWN: ButtonDown(MouseButton::Left, wp, lp, false); return 0;
    case WM_RBUTTONDOWN: ButtonDown(MouseButton::Right, wp, lp, false); return 0;
    case WM_MBUTTONDOWN: ButtonDown(MouseButton::Middle, wp, lp, false); return 0;
    case WM_LBUTTONDBLCLK: ButtonDown(MouseButton::Left, wp, lp, true); return 0;
    case WM_RBUTTONDBLCLK: ButtonDown(MouseButton::Right, wp, lp, true); return 0;
    case WM_MBUTTONDBLCLK: ButtonDown(MouseButton::Middle, wp, lp, true); return 0;
    case WM_LBUTTONUP: ButtonUp(MouseButton::Left, wp, lp); return 0;
    case WM_RBUTTONUP: ButtonUp(MouseButton::Right, wp, lp); return 0;
    case WM_MBUTTONUP: ButtonUp(MouseButton::Middle, wp, lp); return 0;
    case WM_MOUSEMOVE:
        // No WM_SETCURSOR arrives while the pointer is captured.
        if (GetCapture() == hwnd_ && ScreenCursor()) SetCursor(ScreenCursor());
        MouseMove(MouseShiftState(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        return 0;
    case WM_MOUSEWHEEL: {
        // The wheel goes to the focus window, and the menu windows never take the
        // focus: it is passed on to our own window under the pointer, which the user
        // turns it for. Only a window of this thread: a sent message must not wait
        // on another program. A hot-zone panel under it passes it to its window.
        const POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        HWND under = GetAncestor(WindowFromPoint(at), GA_ROOT);
        Form* target = under && under != hwnd_ ? FromHandle(under) : nullptr;
        if (target && GetWindowThreadProcessId(under, nullptr) == GetCurrentThreadId())
            return SendMessageW(under, msg, wp, lp);
        MouseWheel(MouseShiftState(GET_KEYSTATE_WPARAM(wp)), GET_WHEEL_DELTA_WPARAM(wp), at.x, at.y);
        return 0;
    }
    case WM_CAPTURECHANGED:
        // Whoever took the capture (a menu, a dialog, another window) also took the
        // release: it is no click of ours any more, and the release never comes.
        if (reinterpret_cast<HWND>(lp) != hwnd_) {
            clicked_ = false;
            if (!releasing_ && !destroyed_) CaptureLost();
        }
        break;
    case WM_MEASUREITEM:
        if (wp == 0 && PopupMenu::MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp))) return TRUE;
        break;
    case WM_DRAWITEM:
        if (wp == 0 && PopupMenu::DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp))) return TRUE;
        break;
    }
    return DefaultHandling(msg, wp, lp);
}

bool Form::SetCursorForClient() {
    HCURSOR cursor = ScreenCursor();
    if (!cursor && Cursor == FormCursor::HandPoint) cursor = HandPointCursor();
    if (!cursor) return false;
    SetCursor(cursor);
    return true;
}

void Form::ButtonDown(MouseButton button, WPARAM wp, LPARAM lp, bool doubleClick) {
    UINT shift = MouseShiftState(wp);
    if (button == MouseButton::Left) {
        // Capture first: a handler that opens a menu or dialog takes it away again,
        // and that must cancel the click.
        SetCapture(hwnd_);
        clicked_ = !doubleClick;
        if (doubleClick) DblClick();
    }
    if (doubleClick) shift |= kMkDouble;
    MouseDown(button, shift, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
}

void Form::ButtonUp(MouseButton button, WPARAM wp, LPARAM lp) {
    const int x = GET_X_LPARAM(lp);
    const int y = GET_Y_LPARAM(lp);
    if (button == MouseButton::Left) {
        const bool clicked = clicked_;
        clicked_ = false;
        if (GetCapture() == hwnd_) {
            releasing_ = true;
            ReleaseCapture();
            releasing_ = false;
        }
        RECT client{};
        GetClientRect(hwnd_, &client);
        const POINT p{x, y};
        if (clicked && PtInRect(&client, p)) Click();
        // The click may have destroyed the window (a close command).
        if (!hwnd_) return;
    }
    MouseUp(button, MouseShiftState(wp), x, y);
}

void Form::EndPressWithoutRelease() {
    clicked_ = false;
    if (GetCapture() != hwnd_) return;
    releasing_ = true;
    ReleaseCapture();
    releasing_ = false;
}

LRESULT Form::DefaultHandling(UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

Form* Form::FromHandle(HWND hwnd) {
    // Other windows of the process (message boxes, common controls) may use their
    // user data for something else: only our own window procedure vouches for it.
    if (!hwnd || !IsWindow(hwnd)) return nullptr;
    if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&Form::Thunk)) return nullptr;
    return reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

bool Form::Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }
void Form::Show() { ShowWindow(hwnd_, SW_SHOWNOACTIVATE); }
void Form::Hide() { ShowWindow(hwnd_, SW_HIDE); }

namespace {
RECT WindowRectOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}
}  // namespace

int Form::Left() const { return WindowRectOf(hwnd_).left; }
int Form::Top() const { return WindowRectOf(hwnd_).top; }
int Form::Width() const { RECT r = WindowRectOf(hwnd_); return r.right - r.left; }
int Form::Height() const { RECT r = WindowRectOf(hwnd_); return r.bottom - r.top; }

void Form::SetBounds(int left, int top, int width, int height) {
    SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}
void Form::CenterOnScreen() {
    SetBounds((GetSystemMetrics(SM_CXSCREEN) - Width()) / 2, (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2,
              Width(), Height());
}
void Form::SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
void Form::SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
void Form::SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
void Form::SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }

void Form::SetColor(COLORREF color) {
    if (background_) DeleteObject(background_);
    background_ = CreateSolidBrush(color);
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Form::Close() { PostMessageW(hwnd_, WM_CLOSE, 0, 0); }

void Form::StartTimer(UINT_PTR id, UINT intervalMs) {
    // Without a window SetTimer would make a thread timer under another id.
    if (!hwnd_) return;
    // SetTimer with an existing id restarts it with the new interval.
    if (SetTimer(hwnd_, id, intervalMs, nullptr)) timers_[id] = intervalMs;
}

UINT Form::TimerInterval(UINT_PTR id) const {
    auto it = timers_.find(id);
    return it == timers_.end() ? 0 : it->second;
}

void Form::StopTimer(UINT_PTR id) {
    if (timers_.erase(id)) KillTimer(hwnd_, id);
}

}  // namespace ui
