// Click-to-process-start latency: the main window's click on a row whose target is
// the marker program, until the marker has recorded its start. Prints the median,
// the fastest and the slowest run; asserts nothing.
// Run (on an X display, alone: it moves the pointer):
//   scripts/bench.sh (or build/wine-run.sh build/launch_bench.exe [runs] on a display)
#include "bench_program.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/startup.h"
#include "support/marker_log.h"
#include "support/temp_folder.h"
#include "ui/application.h"
#include "ui/message_box.h"
#include "ui/sessions.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using bench::NowMs;

}  // namespace

int main(int argc, char** argv) {
    const int runs = std::max(1, argc > 1 ? std::atoi(argv[1]) : 20);
    ui::ComSession com(COINIT_APARTMENTTHREADED);
    ui::GdiplusSession gdiplus;
    testing_support::TempFolder folder;
    folder.WriteUtf16(L"config.ini", L"[General]\r\nHideSplashScreen=1\r\n");
    folder.CopyFileIn(testing_support::MarkerExePath(), L"bin\\marker.exe");
    const std::wstring logFile = folder.PathOf(L"bin\\marker.log");

    auto& app = ui::Application::Instance();
    app.Initialize(L"Zarvo");
    core::SetProgramFolderForTests(folder.Path());
    core::SetFirstArgumentForTests(std::wstring());
    ui::SetMessageBoxHandler([](const ui::MessageBoxRequest&) { return IDNO; });
    core::CreateForms();

    auto& main = *core::Form1;
    main.Settings.DoubleClickRun = 0;
    main.Settings.RollOutAfterRun = 0;
    core::TLNItem item;
    item.Run = folder.PathOf(L"bin\\marker.exe");
    main.ItemLists[1] = {item};
    main.MainItemCount = 1;

    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        main.SelectedIndex[1] = 1;
        SetCursorPos(main.Left() + 5, main.Top() + main.Skin.HeaderSize + 1);
        const size_t before = testing_support::ReadMarkerLog(logFile).size();
        const double start = NowMs();
        main.FormClick();
        while (testing_support::ReadMarkerLog(logFile).size() <= before) {
            if (NowMs() - start > 20000) {
                std::fprintf(stderr, "run %d: the program did not start\n", run);
                return 1;
            }
            Sleep(1);
        }
        times.push_back(NowMs() - start);
        app.ProcessMessages();
    }
    core::DestroyForms();
    ui::SetMessageBoxHandler(nullptr);
    core::SetProgramFolderForTests(std::nullopt);

    std::sort(times.begin(), times.end());
    const double median = times.size() % 2 ? times[times.size() / 2]
                                           : (times[times.size() / 2 - 1] + times[times.size() / 2]) / 2;
    std::printf("click to process start over %d runs: median %.1f ms, fastest %.1f ms, slowest %.1f ms\n",
                runs, median, times.front(), times.back());
    return 0;
}
