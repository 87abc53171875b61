// Times what a menu costs to show: the main menu build, a full composition of the
// main window and the repaint of one hovered row, over a 20-row captioned menu in
// the shipped default skin. Not a test: it prints the median of each in
// milliseconds. Usage: menu_bench [repetitions]
#include "core/form1.h"
#include "core/forms.h"
#include "core/startup.h"
#include "support/program_folder.h"
#include "ui/application.h"
#include "ui/ini.h"
#include "ui/message_box.h"
#include "ui/sessions.h"
#include "ui/strings.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
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

double MedianMilliseconds(int repetitions, const std::function<void()>& work) {
    work();  // first use: caches, fonts, lazily made objects
    std::vector<double> times;
    times.reserve(static_cast<size_t>(repetitions));
    for (int i = 0; i < repetitions; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

int Run(int repetitions) {
    testing_support::ProgramFolder folder;  // the staged program folder with its skin
    folder.WriteFile(L"1.xml", MenuText());
    ui::Ini config(folder.PathOf(L"config.ini"));
    config.WriteInteger(L"General", L"HideSplashScreen", 1);  // its steps wait 50 ms each
    const std::wstring skin = config.ReadString(L"General", L"LastSkin", L"");

    std::vector<std::wstring> boxes;
    ui::SetMessageBoxHandler([&boxes](const ui::MessageBoxRequest& request) {
        boxes.push_back(request.text);
        return IDNO;
    });
    auto& app = ui::Application::Instance();
    app.Initialize(L"Zarvo");
    core::SetProgramFolderForTests(folder.Path());
    core::SetFirstArgumentForTests(std::wstring());
    core::CreateForms();

    core::TForm1& main = *core::Form1;
    const double build = MedianMilliseconds(repetitions, [&] { main.BuildMainMenu(); });
    const double full = MedianMilliseconds(
        repetitions, [&] { main.RenderMenuWindow(false, main, main.LevelImages[1].get(), -1, 0); });
    // The static hover: the animation would time its own sleeps.
    main.Settings.OnMouse = 0;
    main.Parts.AnimationLoaded = false;
    const double hover = MedianMilliseconds(
        repetitions, [&] { main.RenderMenuWindow(true, main, main.LevelImages[1].get(), 3, 0); });

    core::DestroyForms();
    ui::SetMessageBoxHandler(nullptr);
    core::SetProgramFolderForTests(std::nullopt);
    core::SetFirstArgumentForTests(std::nullopt);

    std::printf("menu_bench: %d rows, skin \"%s\", median of %d runs\n", kRows,
                ui::WideToUtf8(skin).c_str(), repetitions);
    std::printf("  BuildMainMenu                      %9.3f ms\n", build);
    std::printf("  RenderMenuWindow, full composition %9.3f ms\n", full);
    std::printf("  RenderMenuWindow, hovered row      %9.3f ms\n", hover);
    for (const auto& text : boxes) std::fprintf(stderr, "message box: %s\n", ui::WideToUtf8(text).c_str());
    return boxes.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    ui::ComSession com(COINIT_APARTMENTTHREADED);
    ui::GdiplusSession gdiplus;
    try {
        return Run(repetitions);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "menu_bench: %s\n", e.what());
        return 2;
    }
}
