#include "ui/cursor.h"

namespace ui {
namespace {
LPCWSTR g_overrideName = nullptr;
HCURSOR g_override = nullptr;
HCURSOR g_handPoint = nullptr;
}  // namespace

void SetScreenCursor(LPCWSTR systemCursor) {
    g_overrideName = systemCursor;
    g_override = systemCursor ? LoadCursorW(nullptr, systemCursor) : nullptr;
    // WM_SETCURSOR is not sent under capture, so the change is applied at once too.
    if (g_override) {
        SetCursor(g_override);
        return;
    }
    // Back to the default: the window under the pointer chooses, as a move over it
    // would make it (an arrow in between would flicker over a hand-point window).
    POINT p{};
    HWND under = GetCursorPos(&p) ? WindowFromPoint(p) : nullptr;
    if (under && GetWindowThreadProcessId(under, nullptr) == GetCurrentThreadId()) {
        const LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
        SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(hit, WM_MOUSEMOVE));
        return;
    }
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

HCURSOR ScreenCursor() { return g_override; }
LPCWSTR ScreenCursorName() { return g_overrideName; }

void SetHandPointCursor(LPCWSTR systemCursor) {
    g_handPoint = LoadCursorW(nullptr, systemCursor ? systemCursor : IDC_HAND);
}

HCURSOR HandPointCursor() {
    if (!g_handPoint) g_handPoint = LoadCursorW(nullptr, IDC_HAND);
    return g_handPoint;
}

}  // namespace ui
