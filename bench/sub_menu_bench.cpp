// Times what a sub-menu costs to show: RenderSubMenu and the first full paint of a
// 20-row group, built anew and taken from the image cache, and one scroll step of
// a 200-entry folder listing beside a full preparation of that listing, in the
// shipped default skin. Not a test: it prints the median of each in milliseconds.
// Usage: sub_menu_bench [repetitions]
#include "bench_program.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/motion.h"
#include "core/startup.h"
#include "popups/form2.h"
#include "ui/strings.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kGroupRows = 20;
constexpr int kListingRows = 200;

std::string Entry(int type, const std::string& caption, int index) {
    return "<item><Run>C:\\WINDOWS\\notepad.exe</Run><ImageFile>C:\\WINDOWS\\System32\\shell32.dll</ImageFile>"
           "<Index>" + std::to_string(index) + "</Index><Type>" + std::to_string(type) + "</Type><Caption>" +
           caption + "</Caption><subitem></subitem><RunVis>0</RunVis><Params></Params></item>";
}

// Row 1: a group of 20 programs with a separator; row 2: a folder shown as its
// contents, with a listing of 200 entries written in as the folder builder would.
std::string MenuText() {
    std::string group;
    for (int i = 0; i < kGroupRows; ++i)
        group += i == 10 ? Entry(777, "", 0) : Entry(0, "Program number " + std::to_string(i), i + 1);
    std::string listing;
    for (int i = 0; i < kListingRows; ++i) listing += Entry(55, "file " + std::to_string(i) + ".txt", 0);
    return "<?xml version=\"1.0\"?>\r\n<Items>"
           "<item><Run></Run><Type>2</Type><Caption>Programs</Caption><subitem>" + group + "</subitem></item>"
           "<item><Run>C:\\WINDOWS</Run><Type>1</Type><Param1>1</Param1><Caption>Windows</Caption><subitem>" +
           listing + "</subitem></item></Items>\r\n";
}

int Run(int repetitions) {
    bench::BenchProgram program(MenuText());

    core::TForm1& main = *core::Form1;
    popups::TForm2& form2 = *core::Form2;
    form2.SetBounds(main.Left() + main.Width(), 50, form2.Width(), form2.Height());
    auto open = [&](int row, bool useCache) {
        main.SelectedIndex[1] = row;
        main.ScrollMode[2] = row == 2 ? 1 : 0;
        form2.RenderSubMenu(useCache, form2);
        main.RenderMenuWindow(false, form2, main.LevelImages[2].get(), -1, 0);
    };
    const double uncached = bench::MedianMilliseconds(repetitions, [&] { open(1, false); });
    const double cached = bench::MedianMilliseconds(repetitions, [&] { open(1, true); });

    open(2, true);
    const double listing = bench::MedianMilliseconds(repetitions, [&] {
        main.SelectedIndex[1] = 2;
        main.ScrollMode[2] = 1;
        form2.RenderSubMenu(true, form2);
    });
    // Down and up in turn, so every step has a row to bring in.
    bool down = true;
    const double step = bench::MedianMilliseconds(repetitions, [&] {
        main.ScrollTop += down ? 1 : -1;
        core::ScrollState = down ? 1 : 0;
        down = !down;
        core::RedrawOnly = true;
        form2.RenderSubMenu(true, form2);
        core::RedrawOnly = false;
    });
    const double scrollMenu =
        bench::MedianMilliseconds(repetitions, [&] { core::ScrollMenu(form2, main.ScrollTop > 0); });
    main.StopTimer(core::TForm1::kScrolltimer);

    program.Close();

    std::printf("sub_menu_bench: skin \"%s\", median of %d runs\n", program.SkinName().c_str(), repetitions);
    auto line = [](const std::string& label, double ms) { std::printf("  %-52s %9.3f ms\n", label.c_str(), ms); };
    line("RenderSubMenu + first paint, 20 rows, uncached", uncached);
    line("RenderSubMenu + first paint, 20 rows, from the cache", cached);
    line("RenderSubMenu, 200-entry listing, full preparation", listing);
    line("RenderSubMenu, 200-entry listing, one scroll step", step);
    line("ScrollMenu (step + full paint), 200-entry listing", scrollMenu);
    return program.Status();
}

}  // namespace

int main(int argc, char** argv) { return bench::Main(argc, argv, "sub_menu_bench", Run); }
