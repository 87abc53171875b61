// The motion flags every window reads, the message-dispatching wait of the slide-in,
// the full-screen test of the housekeeping timer and the scrolling of sub-menu windows.
#pragma once

#include "ui/form.h"

#include <cstdint>
#include <functional>

namespace core {

// A slide (or a weather update) is running: mouse handlers and most timer duties
// skip their work meanwhile.
extern bool Animating;
// Set while ScrollMenu has the sub-menu renderer repaint without re-reading the menu.
extern bool RedrawOnly;
// Direction of the last scroll step: 0 up, 1 down.
extern std::uint8_t ScrollState;

// Waits `ms` milliseconds while dispatching window messages; nothing for ms <= 0.
void WaitWithMessages(int ms);

// The plain sleep of ShowDelay and HideGroupDelay: no message dispatch, nothing for
// ms <= 0, and never longer than the settings dialog's largest delay, 1000 ms.
void SleepDelay(int ms);

// A visible topmost window of exactly the primary screen's size lies anywhere in
// the z-order of top-level windows.
bool IsFullScreenAppActive();

// Scrolls a sub-menu window (its Tag is the level) by one row and starts the
// Scrolltimer that repeats it while the button is held.
void ScrollMenu(ui::Form& form, bool up);

// The waits of the slides: `wait` replaces WaitWithMessages between slide-in steps,
// `sleep` the plain sleeps (ShowDelay, HideGroupDelay and the slide-out steps). Null
// restores them.
void SetMotionClockForTests(std::function<void(int ms)> wait, std::function<void(int ms)> sleep);

}  // namespace core
