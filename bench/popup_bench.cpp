// Start-button latency in pop-up mode: from a SendInput press on the stand-in
// taskbar's Start button to Zarvo's main window visible at the pointer, with the
// real Zarvo.exe and zvhook.dll. Prints the median of 20 toggles; asserts nothing.
// Run (on an X display, alone: it moves the pointer):
//   scripts/bench.sh (or build/wine-run.sh build/popup_bench.exe [runs] on a display)
#include "bench_program.h"

#include "support/process.h"
#include "support/program_folder.h"
#include "support/stand_in_taskbar.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

using bench::NowMs;

// Spins (dispatching the stand-in's messages) until `done`; false after 10 s.
bool SpinUntil(const std::function<bool()>& done) {
    const double start = NowMs();
    while (!done()) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        if (NowMs() - start > 10000) return false;
        Sleep(0);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = std::max(1, argc > 1 ? std::atoi(argv[1]) : 20);
    testing_support::ProgramFolder folder;
    folder.WriteUtf16(L"config.ini", L"[General]\r\nHideSplashScreen=1\r\nPosition=5\r\n");
    testing_support::ZarvoProcess zarvo;
    zarvo.Start(folder);
    if (!zarvo.WaitForWindow(L"TEditBox")) {
        std::fprintf(stderr, "Zarvo did not start\n");
        return 1;
    }
    const HWND menu = zarvo.WaitForWindow(L"TForm1");
    testing_support::StandInTaskbar taskbar;
    const POINT start = taskbar.OverStart();
    const auto atPointer = [&] {
        RECT r{};
        return IsWindowVisible(menu) && GetWindowRect(menu, &r) && r.left == start.x && r.bottom == start.y;
    };
    const auto hidden = [&] { return !IsWindowVisible(menu); };

    testing_support::PressAt(taskbar.OverBar(), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    if (!SpinUntil(hidden)) return 1;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const double begin = NowMs();
        testing_support::PressAt(start, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
        if (!SpinUntil(atPointer)) {
            std::fprintf(stderr, "run %d: the menu did not pop up\n", run);
            return 1;
        }
        times.push_back(NowMs() - begin);
        testing_support::PressAt(start, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
        if (!SpinUntil(hidden)) return 1;
    }
    zarvo.Close();
    zarvo.WaitForExit();

    std::sort(times.begin(), times.end());
    const double median = times.size() % 2 ? times[times.size() / 2]
                                           : (times[times.size() / 2 - 1] + times[times.size() / 2]) / 2;
    std::printf("Start-button press to the pop-up menu shown over %d toggles: median %.1f ms, fastest %.1f ms, "
                "slowest %.1f ms\n",
                runs, median, times.front(), times.back());
    return 0;
}
