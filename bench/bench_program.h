// What the in-process benchmarks share: the program's windows started over a menu in
// a staged program folder, the median timing, and the entry that runs a benchmark.
#pragma once

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
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bench {

// The performance counter in milliseconds, for spans the median helper cannot time.
inline double NowMs() {
    static const double perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / perMs;
}

inline double MedianMilliseconds(int repetitions, const std::function<void()>& work) {
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

// The forms over `menuXml` as 1.xml in the staged program folder with its default
// skin, the splash off (its steps wait 50 ms each). Message boxes are answered No
// and kept, so a benchmark that met one can say so and fail.
class BenchProgram {
public:
    explicit BenchProgram(const std::string& menuXml) {
        folder_.WriteFile(L"1.xml", menuXml);
        ui::Ini config(folder_.PathOf(L"config.ini"));
        config.WriteInteger(L"General", L"HideSplashScreen", 1);
        skin_ = config.ReadString(L"General", L"LastSkin", L"");
        ui::SetMessageBoxHandler([this](const ui::MessageBoxRequest& request) {
            boxes_.push_back(request.text);
            return IDNO;
        });
        ui::Application::Instance().Initialize(L"Zarvo");
        core::SetProgramFolderForTests(folder_.Path());
        core::SetFirstArgumentForTests(std::wstring());
        core::CreateForms();
    }
    ~BenchProgram() { Close(); }
    BenchProgram(const BenchProgram&) = delete;
    BenchProgram& operator=(const BenchProgram&) = delete;

    // Ends the forms before the figures are printed.
    void Close() {
        if (closed_) return;
        closed_ = true;
        core::DestroyForms();
        ui::SetMessageBoxHandler(nullptr);
        core::SetProgramFolderForTests(std::nullopt);
        core::SetFirstArgumentForTests(std::nullopt);
    }
    std::string SkinName() const { return ui::WideToUtf8(skin_); }
    // Reports the message boxes met; 1 when there were any.
    int Status() const {
        for (const auto& text : boxes_) std::fprintf(stderr, "message box: %s\n", ui::WideToUtf8(text).c_str());
        return boxes_.empty() ? 0 : 1;
    }

private:
    testing_support::ProgramFolder folder_;
    std::wstring skin_;
    std::vector<std::wstring> boxes_;
    bool closed_ = false;
};

// The entry of a benchmark: repetitions from the first argument (default 50), COM
// and GDI+ for the run, and an error turned into status 2.
inline int Main(int argc, char** argv, const char* name, int (*run)(int repetitions)) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    ui::ComSession com(COINIT_APARTMENTTHREADED);
    ui::GdiplusSession gdiplus;
    try {
        return run(repetitions);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", name, e.what());
        return 2;
    }
}

}  // namespace bench
