#include "ui/mouse_hover.h"

#include "ui/form.h"

#include <windows.h>

namespace ui {
namespace {

HWND hovered = nullptr;
UINT_PTR wakeTimer = 0;

void CALLBACK Wake(HWND, UINT, UINT_PTR, DWORD) {}

void KeepWaking(bool on) {
    if (on && !wakeTimer) {
        wakeTimer = SetTimer(nullptr, 0, 50, &Wake);
    } else if (!on && wakeTimer) {
        KillTimer(nullptr, wakeTimer);
        wakeTimer = 0;
    }
}

}  // namespace

void TrackMouseHover() {
    HWND now = nullptr;
    POINT p{};
    if (GetCursorPos(&p)) {
        HWND under = WindowFromPoint(p);
        if (Form::FromHandle(under)) now = under;
    }
    KeepWaking(now != nullptr);
    if (now == hovered) return;
    HWND old = hovered;
    hovered = now;
    // A window destroyed meanwhile is no longer ours and gets nothing.
    if (Form* form = Form::FromHandle(old)) form->MouseLeave();
    if (Form* form = Form::FromHandle(now)) form->MouseEnter();
}

void ResetMouseHover() {
    hovered = nullptr;
    KeepWaking(false);
}

}  // namespace ui
