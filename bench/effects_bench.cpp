// Times the click effects and the deletion puff in the shipped default skin: the
// median cost of one frame (drawing and the layered update) with the waits taken
// out, and each effect's wall time with real sleeps beside its schedule and the
// frames it skipped, at Zoom 10, 25 and 100; and the hint's ShowText for a short and
// a long caption. Not a test: it prints the figures.
// Usage: effects_bench [repetitions]
#include "bench_program.h"

#include "core/form1.h"
#include "core/forms.h"
#include "popups/click_effects.h"
#include "popups/zv_hint.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using popups::ClickEffectKind;
using Clock = std::chrono::steady_clock;

struct EffectEntry {
    const char* name;
    ClickEffectKind kind;
    std::unique_ptr<ui::Form> (popups::TZVHint::*play)(int, int, int, Gdiplus::Bitmap*);
};

const EffectEntry kEffects[] = {
    {"glow", ClickEffectKind::Glow, &popups::TZVHint::GlowEffect},
    {"zoom", ClickEffectKind::Zoom, &popups::TZVHint::ZoomEffect},
    {"roll", ClickEffectKind::Roll, &popups::TZVHint::RollEffect},
    {"bounce", ClickEffectKind::Bounce, &popups::TZVHint::BounceEffect},
    {"ripple", ClickEffectKind::Ripple, &popups::TZVHint::RippleEffect},
};

constexpr int kX = 200;
constexpr int kY = 200;

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The time between one frame's wait and the next: a frame's drawing and update. The
// clock stands still, so no frame is ever late and every wait is asked for at once.
double MedianFrameMs(int runs, const std::function<void()>& play) {
    std::vector<Clock::time_point> waits;
    popups::SetClickEffectClockForTests({[] { return 0.0; }, [&](int) { waits.push_back(Clock::now()); }});
    play();  // first use
    std::vector<double> frames;
    for (int i = 0; i < runs; ++i) {
        waits.clear();
        play();
        for (size_t k = 1; k < waits.size(); ++k) frames.push_back(Ms(waits[k] - waits[k - 1]));
    }
    popups::SetClickEffectClockForTests({});
    return Median(frames);
}

struct WallTime {
    double ms = 0;
    int shown = 0;
};
// One run with the real clock; the recorder counts the frames shown.
WallTime RealRun(const std::function<void()>& play) {
    WallTime result;
    popups::SetEffectRecorderForTests([&](const popups::EffectFrameRecord&) { ++result.shown; });
    const auto start = Clock::now();
    play();
    result.ms = Ms(Clock::now() - start);
    popups::SetEffectRecorderForTests(nullptr);
    return result;
}

std::string Entry(int index) {
    return "<item><Run>C:\\WINDOWS\\notepad.exe</Run><ImageFile>C:\\WINDOWS\\System32\\shell32.dll</ImageFile>"
           "<Index>" + std::to_string(index) + "</Index><Type>0</Type><Caption>Program " + std::to_string(index) +
           "</Caption><subitem></subitem><RunVis>0</RunVis><Params></Params></item>";
}

int Run(int repetitions) {
    bench::BenchProgram program("<?xml version=\"1.0\"?>\r\n<Items>" + Entry(1) + Entry(2) + "</Items>\r\n");
    core::TForm1& main = *core::Form1;
    popups::TZVHint& hint = *core::ZVHint;
    Gdiplus::Bitmap* strip = main.LevelImages[1].get();
    const int runs = std::min(repetitions, 10);  // each run gives a sample per frame
    const int extent = std::max(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));

    struct Line {
        std::string label;
        double frameMs;
        WallTime wall;
        int scheduleMs;
        int frames;
    };
    std::vector<Line> lines;
    for (int zoom : {10, 25, 100}) {
        main.Settings.Zoom = zoom;
        for (const EffectEntry& effect : kEffects) {
            auto play = [&] { (hint.*effect.play)(kX, kY, 0, strip); };
            popups::ClickEffectInput input{main.Skin.IconSize, zoom, main.Settings.OnMouse, extent};
            const auto plan = popups::PlanClickEffect(effect.kind, kX, kY, 0, input);
            if (!plan) {
                lines.push_back({std::string(effect.name) + ", Zoom " + std::to_string(zoom) + " (plays nothing)", 0,
                                 {}, 0, 0});
                continue;
            }
            const double frame = MedianFrameMs(runs, play);
            lines.push_back({std::string(effect.name) + ", Zoom " + std::to_string(zoom) + ", " +
                                 std::to_string(plan->Width()) + " px",
                             frame, RealRun(play), plan->TotalMs(), static_cast<int>(plan->frames.size())});
        }
    }
    auto puff = [&] { hint.PlayPoof(kX, kY); };
    std::unique_ptr<Gdiplus::Bitmap> picture = ui::LoadImageFile(core::AppDir + L"poof.png");
    if (picture) {
        const auto plan = popups::PlanPoof(kX, kY, static_cast<int>(picture->GetWidth()), extent);
        if (plan)
            lines.push_back({"puff, " + std::to_string(plan->Width()) + " px", MedianFrameMs(runs, puff),
                             RealRun(puff), plan->TotalMs(), static_cast<int>(plan->frames.size())});
    }
    // "Message" shows whatever the skin draws, so the shipped skin's captions do not
    // turn the hint off.
    struct HintLine {
        size_t length;
        double ms;
    };
    std::vector<HintLine> hints;
    for (size_t length : {size_t{12}, size_t{60}}) {
        const std::wstring text(length, L'W');
        hints.push_back({length, bench::MedianMilliseconds(repetitions, [&] {
                             hint.ShowText(text, L"Message", kY, kX);
                         })});
    }
    hint.Hide();
    const int iconSize = main.Skin.IconSize;
    program.Close();

    std::printf("effects_bench: skin \"%s\", IconSize %d; frame cost: median over %d runs\n",
                program.SkinName().c_str(), iconSize, runs);
    std::printf("  %-30s %12s %12s %10s %14s\n", "", "frame (ms)", "wall (ms)", "schedule", "frames skipped");
    for (const Line& l : lines) {
        if (l.frames == 0) {
            std::printf("  %s\n", l.label.c_str());
            continue;
        }
        std::printf("  %-30s %12.3f %12.1f %10d %8d of %d\n", l.label.c_str(), l.frameMs, l.wall.ms, l.scheduleMs,
                    l.frames - l.wall.shown, l.frames);
    }
    if (!picture) std::printf("  puff: no poof.png in the program folder\n");
    for (const HintLine& h : hints)
        std::printf("  ShowText, %zu characters: %.3f ms (median of %d)\n", h.length, h.ms, repetitions);
    return program.Status();
}

}  // namespace

int main(int argc, char** argv) { return bench::Main(argc, argv, "effects_bench", Run); }
