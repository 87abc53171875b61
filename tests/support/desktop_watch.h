// What a test program sees of the one desktop all test programs share: who took the
// activation from it, and what a suite outside the desktop lock must never do.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// "class "title" (visible) of thread T of process P (name.exe)"; for null, "none".
std::wstring DescribeWindow(HWND hwnd);
// "thread T of process P (name.exe), windows: ..." with the thread's top-level windows.
std::wstring DescribeThread(DWORD threadId);
// The foreground window and the visible top-level windows of other processes, one per line.
std::wstring DescribeDesktop();

// Installs the watch on the calling thread (the one that runs the tests) and adds a
// GoogleTest listener for it. Every test program calls this once before its tests.
//
// Each WM_ACTIVATEAPP the program's windows get is recorded with where the activation
// went or came from (its lParam names the other application's thread); a failing test
// prints that log and the desktop at the failure, so a lost activation tells its cause.
//
// `holdsDesktopLock` is false for a suite that ctest runs beside the others: such a
// suite fails any test that shows or activates a top-level window, since that window
// could take the foreground from a suite that drives the real pointer.
void InstallDesktopWatch(bool holdsDesktopLock);

}  // namespace testing_support
