// A stand-in for the shell's taskbar: a top-level "Shell_TrayWnd" window along the
// bottom of the screen with a "Button" child where the Start button sits. Wine shows
// a real one only in a virtual desktop, whose programs lose their exit codes.
#pragma once

#include <windows.h>

namespace testing_support {

class StandInTaskbar {
public:
    StandInTaskbar();
    ~StandInTaskbar();
    StandInTaskbar(const StandInTaskbar&) = delete;
    StandInTaskbar& operator=(const StandInTaskbar&) = delete;

    HWND Handle() const noexcept { return taskbar_; }
    HWND StartButton() const noexcept { return button_; }
    // Screen points over the Start button and over the bar beside it.
    POINT OverStart() const;
    POINT OverBar() const;
    // Left presses the button's window received.
    int StartPresses() const noexcept { return presses_; }

private:
    static LRESULT CALLBACK CountPresses(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);

    HWND taskbar_ = nullptr;
    HWND button_ = nullptr;
    int presses_ = 0;
};

// Moves the pointer to `at` and sends a press and release there (MOUSEEVENTF_*
// flags), as real input: low-level hooks see it.
void PressAt(POINT at, DWORD down, DWORD up);

}  // namespace testing_support
