#include "ui/cursor.h"

namespace ui {
namespace {
HCURSOR g_override = nullptr;
}

void SetScreenCursor(LPCWSTR systemCursor) {
    g_override = systemCursor ? LoadCursorW(nullptr, systemCursor) : nullptr;
    // WM_SETCURSOR is not sent under capture, so the change is applied at once too.
    SetCursor(g_override ? g_override : LoadCursorW(nullptr, IDC_ARROW));
}

HCURSOR ScreenCursor() { return g_override; }

}  // namespace ui
