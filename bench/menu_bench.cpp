// Times what a menu costs to show: the main menu build, a full composition of the
// main window and the repaint as the pointer moves on to the next row, over a 20-row
// captioned menu in the shipped default skin; beside them one update of the whole
// main window and of a 16 x 16 layered window, the floor that any repaint pays. Not
// a test: it prints the median of each in milliseconds. Usage: menu_bench [repetitions]
#include "bench_program.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/startup.h"
#include "render/compositor_draw.h"
#include "ui/strings.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 20;

// Programs with shell32 icons, two sub-menus, a separator and a quick-run row, with
// captions of mixed lengths so the window takes its width from the longest.
std::string MenuText() {
    const char* captions[] = {"Editor", "Documents and settings", "Calculator", "Command prompt",
                              "Paint", "Tools", "Recycle bin", "Control panel", "Music",
                              "Pictures", "", "Downloads", "Network places", "Notes",
                              "Search", "Games", "Printers and faxes", "Terminal", "Calendar",
                              "Run"};
    std::string text = "<?xml version=\"1.0\"?>\r\n<Items>\r\n";
    for (int i = 0; i < kRows; ++i) {
        std::string type = "0";
        std::string sub;
        if (i == 5 || i == 15) {
            type = "2";
            sub = "<item><Run>C:\\WINDOWS\\notepad.exe</Run><Type>0</Type><Caption>Inner</Caption></item>"
                  "<item><Run>C:\\WINDOWS\\regedit.exe</Run><Type>0</Type><Caption>Other</Caption></item>";
        } else if (i == 10) {
            type = "777";
        } else if (i == kRows - 1) {
            type = "6";
        }
        text += "\t<item><Run>C:\\WINDOWS\\notepad.exe</Run>"
                "<ImageFile>C:\\WINDOWS\\System32\\shell32.dll</ImageFile><Index>" +
                std::to_string(i + 1) + "</Index><Type>" + type + "</Type><Caption>" + captions[i] +
                "</Caption><subitem>" + sub + "</subitem><RunVis>0</RunVis><Params></Params></item>\r\n";
    }
    return text + "</Items>\r\n";
}

// One update of a shown 16 x 16 layered window: what the window manager charges
// for an update of almost nothing.
double UpdateFloorMilliseconds(int repetitions) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ZarvoBenchLayered";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, windowClass.lpszClassName,
                                  L"", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) return -1;
    ui::Dib pixels(16, 16);
    pixels.Fill(0xFF808080);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    auto update = [&] { core::UpdateLayered(window, POINT{0, 0}, SIZE{16, 16}, pixels.Dc(), blend, nullptr); };
    update();
    ShowWindow(window, SW_SHOWNOACTIVATE);
    const double floor = bench::MedianMilliseconds(repetitions, update);
    DestroyWindow(window);
    UnregisterClassW(windowClass.lpszClassName, windowClass.hInstance);
    return floor;
}

int Run(int repetitions) {
    bench::BenchProgram program(MenuText());

    core::TForm1& main = *core::Form1;
    const double build = bench::MedianMilliseconds(repetitions, [&] { main.BuildMainMenu(); });
    const double full = bench::MedianMilliseconds(
        repetitions, [&] { main.RenderMenuWindow(false, main, main.LevelImages[1].get(), -1, 0); });
    // The static hover: the animation would time its own sleeps.
    main.Settings.OnMouse = 0;
    main.Parts.AnimationLoaded = false;
    // From row to row, as the pointer moves down the menu: each repaint has the row
    // that was highlighted and the one that is.
    int row = 3;
    const double hover = bench::MedianMilliseconds(repetitions, [&] {
        row = row == 3 ? 4 : 3;
        main.RenderMenuWindow(true, main, main.LevelImages[1].get(), row, 0);
    });
    ui::Dib& work = *main.Compositor.WorkBitmap;
    const double whole = bench::MedianMilliseconds(repetitions, [&] { main.UpdateLayeredFrom(main, work.Dc()); });
    const int workWidth = work.Width();
    const int workHeight = work.Height();
    const double floor = UpdateFloorMilliseconds(repetitions);

    program.Close();

    std::printf("menu_bench: %d rows, skin \"%s\", median of %d runs\n", kRows,
                program.SkinName().c_str(), repetitions);
    auto line = [](const std::string& label, double ms) { std::printf("  %-36s %9.3f ms\n", label.c_str(), ms); };
    line("BuildMainMenu", build);
    line("RenderMenuWindow, full composition", full);
    line("RenderMenuWindow, hover to next row", hover);
    line("update of the whole window, " + std::to_string(workWidth) + "x" + std::to_string(workHeight), whole);
    line("update of a 16x16 layered window", floor);
    return program.Status();
}

}  // namespace

int main(int argc, char** argv) { return bench::Main(argc, argv, "menu_bench", Run); }
