// The global screen-cursor override every own window honours (the old toolkit's
// Screen.Cursor): while set, it wins over the class cursor.
#pragma once

#include <windows.h>

namespace ui {

// nullptr restores the default (each window's own cursor).
void SetScreenCursor(LPCWSTR systemCursor);
HCURSOR ScreenCursor();

}  // namespace ui
