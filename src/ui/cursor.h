// The global screen-cursor override every own window honours (the old toolkit's
// Screen.Cursor): while set, it wins over the window's own cursor. Also the
// hand-point cursor the menu windows use, whose shape a setting chooses.
#pragma once

#include <windows.h>

namespace ui {

// nullptr restores the default (each window's own cursor).
void SetScreenCursor(LPCWSTR systemCursor);
HCURSOR ScreenCursor();
// The system cursor id last given to SetScreenCursor, so it can be saved and put back.
LPCWSTR ScreenCursorName();

// The shape behind FormCursor::HandPoint: IDC_HAND until told otherwise.
void SetHandPointCursor(LPCWSTR systemCursor);
HCURSOR HandPointCursor();

}  // namespace ui
