// Position-based mouse enter and leave for every own window. The old toolkit told a
// control the pointer entered or left it by where the pointer is, whatever window
// holds the capture; Win32's WM_MOUSELEAVE follows the capture instead. So the
// application runs one hit test whenever its queue has emptied.
#pragma once

namespace ui {

// Finds our own window under the pointer (WindowFromPoint) and, when it changed
// since the last call, tells the old one MouseLeave and the new one MouseEnter.
// While one of our windows is under the pointer a short thread timer keeps the
// queue waking, so leaving to a foreign window is noticed too.
void TrackMouseHover();
// Forgets the window under the pointer without notifications (tests, shut-down).
void ResetMouseHover();

}  // namespace ui
