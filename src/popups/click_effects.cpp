// The click effects and the deletion puff of the hint window: the plans, the
// schedule, and the player that shows a plan in a temporary window of its own.
#include "popups/click_effects.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/startup.h"
#include "popups/zv_hint.h"
#include "render/compositor_draw.h"
#include "render/skin.h"
#include "ui/files.h"
#include "ui/handles.h"
#include "ui/images.h"
#include "ui/strings.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace popups {
namespace {

int Round(double value) { return static_cast<int>(ui::RoundEven(value)); }

Gdiplus::RectF Square(float x, float y, float side) { return Gdiplus::RectF(x, y, side, side); }

Gdiplus::RectF CellOf(int cell) { return Square(static_cast<float>(kCellSize) * cell, 0, kCellSize); }

ClickEffectPlan Sized(int left, int top, int width, int height) {
    ClickEffectPlan plan;
    plan.window = RECT{left, top, left + width, top + height};
    return plan;
}

ClickEffectFrame Frame(const ClickEffectPlan& plan, int cell, Gdiplus::RectF target, int waitMs) {
    ClickEffectFrame frame;
    frame.window = POINT{plan.window.left, plan.window.top};
    frame.source = CellOf(cell);
    frame.target = target;
    frame.waitMs = waitMs;
    return frame;
}

ClickEffectPlan Glow(POINT at, int c, int cell) {
    ClickEffectPlan plan = Sized(at.x, at.y, c, c);
    for (int g : {0, 1, 2, 3, 4, 4, 3, 2, 1, 0}) {
        ClickEffectFrame frame = Frame(plan, cell, Square(0, 0, c), 30);
        frame.glow = g;
        plan.frames.push_back(frame);
    }
    return plan;
}

ClickEffectPlan Zoom(POINT at, int c, int cell) {
    const int half = Round(c / 2.0);
    ClickEffectPlan plan = Sized(at.x - half, at.y - half, 2 * c, 2 * c);
    const int step = Round(c / 6.0);
    auto add = [&](int side, int waitMs) {
        // With a step rounded up the largest side passes 2c; DrawImage clips it.
        const float p = static_cast<float>(Round((2.0 * c - side) / 2.0));
        plan.frames.push_back(Frame(plan, cell, Square(p, p, static_cast<float>(side)), waitMs));
    };
    for (int r = 1; r <= 6; ++r) add(c + step * r, 15);
    for (int r = 1; r <= 3; ++r) add(2 * c - step * r, 25);
    return plan;
}

ClickEffectPlan Roll(POINT at, int c, int cell) {
    const int half = Round(c / 2.0);
    ClickEffectPlan plan = Sized(at.x - half, at.y - half, 2 * c, 2 * c);
    const int turn = Round(360.0 / 24);
    for (int i = 1; i <= 24; ++i) {
        ClickEffectFrame frame = Frame(plan, cell, Square(half, half, c), 15);
        frame.angle = static_cast<float>(turn * i);
        plan.frames.push_back(frame);
    }
    return plan;
}

ClickEffectPlan Bounce(POINT at, int x, int y, int c, int cell, bool glowHover) {
    const int side = glowHover ? c + 4 : c;
    ClickEffectPlan plan = glowHover ? Sized(x - 2, y - 2, side, side) : Sized(at.x, at.y, side, side);
    plan.drawOnce = true;
    // Absolute positions: a skipped frame leaves the sum intact, so the window still
    // comes back to its start.
    int top = plan.window.top;
    for (int i = -10; i <= 10; ++i) {
        top += Round(std::sin(i / 10.0) * side / 6.0);
        ClickEffectFrame frame = Frame(plan, cell, Square(0, 0, side), 15);
        frame.window.y = top;
        plan.frames.push_back(frame);
    }
    return plan;
}

ClickEffectPlan Ripple(POINT at, int c, int cell) {
    ClickEffectPlan plan = Sized(at.x, at.y, c, c);
    plan.antiAlias = true;
    const double k = (c - 6) / 2.0 / 9.0;
    for (int n = 9; n >= 0; --n) {
        ClickEffectFrame frame = Frame(plan, cell, Square(0, 0, c), 30);
        if (n > 0)
            frame.rings = {{50, static_cast<float>((n + 4) * k)},
                           {150, static_cast<float>((n + 2) * k)},
                           {255, static_cast<float>(n * k)}};
        plan.frames.push_back(frame);
    }
    return plan;
}

}  // namespace

int ClickEffectPlan::TotalMs() const {
    int total = 0;
    for (const ClickEffectFrame& frame : frames) total += frame.waitMs;
    return total;
}

std::optional<int> EffectSide(int iconSize, int zoom, int limit) {
    const double c = ui::RoundEven(static_cast<double>(iconSize) * zoom * 10 / 100);
    if (!(c >= 1) || c > limit) return std::nullopt;
    return static_cast<int>(c);
}

std::optional<ClickEffectPlan> PlanClickEffect(ClickEffectKind kind, int x, int y, int cell,
                                               const ClickEffectInput& input) {
    const std::optional<int> side = EffectSide(input.iconSize, input.zoom, input.screenExtent);
    if (!side) return std::nullopt;
    const int c = *side;
    const int shift = Round((c - input.iconSize) / 2.0);
    const POINT at{x - shift, y - shift};
    std::optional<ClickEffectPlan> plan;
    switch (kind) {
    case ClickEffectKind::Glow: plan = Glow(at, c, cell); break;
    case ClickEffectKind::Zoom: plan = Zoom(at, c, cell); break;
    case ClickEffectKind::Roll: plan = Roll(at, c, cell); break;
    case ClickEffectKind::Bounce: plan = Bounce(at, x, y, c, cell, input.onMouse == 1); break;
    case ClickEffectKind::Ripple: plan = Ripple(at, c, cell); break;
    }
    if (!plan || std::max(plan->Width(), plan->Height()) > input.screenExtent) return std::nullopt;
    return plan;
}

std::optional<ClickEffectPlan> PlanPoof(int x, int y, int pictureWidth, int screenExtent) {
    const int a = pictureWidth;
    if (a < 1 || a > screenExtent) return std::nullopt;
    const int half = Round(a / 2.0);
    ClickEffectPlan plan = Sized(x - half, y - half, a, a);
    for (int i = 0; i < kPoofFrames; ++i) {
        ClickEffectFrame frame;
        frame.window = POINT{plan.window.left, plan.window.top};
        // A shorter strip leaves the missing frames empty: the part is clipped away.
        frame.source = Square(0, static_cast<float>(a) * i, static_cast<float>(a));
        frame.target = Square(0, 0, static_cast<float>(a));
        frame.waitMs = 50;
        plan.frames.push_back(frame);
    }
    return plan;
}

EffectClock RealEffectClock() {
    EffectClock clock;
    clock.now = [] {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    clock.sleep = [](int ms) { Sleep(static_cast<DWORD>(std::max(ms, 0))); };
    return clock;
}

EffectRun PlayEffectFrames(const ClickEffectPlan& plan, const EffectClock& clock,
                           const std::function<bool(size_t)>& show) {
    EffectRun run;
    const double start = clock.now();
    const double end = start + plan.TotalMs();
    double slotEnd = start;
    double cost = 0;  // of the last frame shown: the next one will take about as long
    for (size_t i = 0; i < plan.frames.size(); ++i) {
        slotEnd += plan.frames[i].waitMs;
        const bool last = i + 1 == plan.frames.size();
        const double now = clock.now();
        // A frame that would keep the last one from starting by the end is late too.
        if (!last && (now >= slotEnd || now + cost > end)) {
            ++run.skipped;
            continue;
        }
        if (!show(i)) {
            run.stopped = true;
            return run;
        }
        ++run.shown;
        const double shownAt = clock.now();
        cost = shownAt - now;
        const double remaining = slotEnd - shownAt;
        if (remaining > 0) clock.sleep(static_cast<int>(std::ceil(remaining)));
    }
    return run;
}

// --- playing on the real windows

namespace {

EffectClock& Clock() {
    static EffectClock clock = RealEffectClock();
    return clock;
}

std::function<void(const EffectFrameRecord&)>& Recorder() {
    static std::function<void(const EffectFrameRecord&)> recorder;
    return recorder;
}

// A temporary window that never takes the pointer or the focus, owned by the hint
// window so that it goes with it.
class EffectWindow : public ui::Form {
public:
    EffectWindow(HWND owner, const RECT& bounds) : owner_(owner), bounds_(bounds) {}

protected:
    void CreateParams(ui::CreateParams& params) override {
        params.className = L"TZVEffect";
        params.style = WS_POPUP;
        params.exStyle = WS_EX_TRANSPARENT | WS_EX_NOACTIVATE;
        params.x = bounds_.left;
        params.y = bounds_.top;
        params.width = bounds_.right - bounds_.left;
        params.height = bounds_.bottom - bounds_.top;
        params.parent = owner_;
    }

private:
    HWND owner_;
    RECT bounds_;
};

// The owner's destruction takes the window with it, and the form forgets its handle.
bool Alive(const ui::Form& window) { return window.Handle() && IsWindow(window.Handle()); }

void Record(const ui::Form& window, const ui::Dib& surface) {
    if (!Recorder()) return;
    EffectFrameRecord record;
    record.window = window.Handle();
    GetWindowRect(window.Handle(), &record.rect);
    record.width = surface.Width();
    record.height = surface.Height();
    const std::uint32_t* bits = surface.Bits();
    record.pixels.assign(bits, bits + static_cast<size_t>(record.width) * record.height);
    Recorder()(record);
}

class FramePainter {
public:
    FramePainter(ui::Dib& surface, Gdiplus::Graphics& graphics, Gdiplus::Image& source)
        : surface_(surface), graphics_(graphics), source_(source) {}

    void Paint(const ClickEffectFrame& frame) {
        graphics_.Clear(Gdiplus::Color(0, 255, 255, 255));
        graphics_.ResetTransform();
        if (frame.angle != 0) {
            Gdiplus::Matrix turn;
            turn.RotateAt(frame.angle, Gdiplus::PointF(surface_.Width() / 2.0f, surface_.Height() / 2.0f));
            graphics_.SetTransform(&turn);
        }
        const Gdiplus::ImageAttributes* attributes = nullptr;
        if (frame.glow != 0) {
            Gdiplus::ColorMatrix matrix{};
            for (int i = 0; i < 5; ++i) matrix.m[i][i] = 1;
            for (int column = 0; column < 3; ++column) matrix.m[3][column] = 0.075f * frame.glow;
            attributes_.SetColorMatrix(&matrix);
            attributes = &attributes_;
        }
        core::DrawImageClipped(graphics_, source_, frame.target, frame.source, attributes);
        const float width = static_cast<float>(surface_.Width());
        for (const EffectRing& ring : frame.rings) {
            pen_.SetColor(Gdiplus::Color(ring.alpha, 255, 255, 255));
            graphics_.DrawEllipse(&pen_, ring.inset, ring.inset, width - 2 * ring.inset, width - 2 * ring.inset);
        }
        graphics_.ResetTransform();
        // The layered update reads the bits through GDI.
        graphics_.Flush(Gdiplus::FlushIntentionSync);
        GdiFlush();
    }

private:
    ui::Dib& surface_;
    Gdiplus::Graphics& graphics_;
    Gdiplus::Image& source_;
    Gdiplus::ImageAttributes attributes_;
    Gdiplus::Pen pen_{Gdiplus::Color(255, 255, 255, 255), 3.0f};
};

// Plays the plan in a new window owned by the hint window; the window, still
// existing, or null when it could not be made or went with its owner.
std::unique_ptr<ui::Form> Play(TZVHint& hint, const ClickEffectPlan& plan, Gdiplus::Image& source) {
    auto window = std::make_unique<EffectWindow>(hint.Handle(), plan.window);
    try {
        window->Create();
    } catch (const std::runtime_error&) {
        return nullptr;  // out of windows: the click goes on without its effect
    }
    core::MakeLayeredToolWindow(*window);
    SetWindowPos(window->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    ui::Dib surface(plan.Width(), plan.Height());
    core::Surface drawing(surface);
    if (!drawing.Ok()) return nullptr;
    Gdiplus::Graphics& graphics = drawing.Graphics();
    if (plan.antiAlias) graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    FramePainter painter(surface, graphics, source);
    const SIZE size{plan.Width(), plan.Height()};
    const BLENDFUNCTION blend = hint.Blend;
    bool painted = false;
    bool gone = false;
    PlayEffectFrames(plan, Clock(), [&](size_t i) {
        const ClickEffectFrame& frame = plan.frames[i];
        if (!plan.drawOnce || !painted) painter.Paint(frame);
        painted = true;
        core::UpdateLayered(window->Handle(), frame.window, size, surface.Dc(), blend, nullptr);
        if (Alive(*window)) {
            if (!IsWindowVisible(window->Handle())) window->Show();
            Record(*window, surface);
        }
        gone = !Alive(*window);
        return !gone;
    });
    if (gone) return nullptr;
    return window;
}

// The larger side of the primary screen: no effect window is ever larger.
int ScreenExtent() { return std::max(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)); }

// Reads the size from a PNG's header, so that a bad poof.png never makes the decoder
// allocate a huge bitmap. Nullopt for a file that is no PNG: GDI+ would read other
// formats under that name too, sized by headers nobody checked.
std::optional<std::pair<std::uint32_t, std::uint32_t>> PngSize(const std::wstring& path) {
    ui::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (!file) return std::nullopt;
    unsigned char header[24] = {};
    DWORD read = 0;
    if (!ReadFile(file.Get(), header, sizeof header, &read, nullptr) || read != sizeof header) return std::nullopt;
    static constexpr unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!std::equal(std::begin(kSignature), std::end(kSignature), header)) return std::nullopt;
    static constexpr unsigned char kHeaderChunk[] = {'I', 'H', 'D', 'R'};
    if (!std::equal(std::begin(kHeaderChunk), std::end(kHeaderChunk), header + 12)) return std::nullopt;
    auto big = [&](int at) {
        return (std::uint32_t{header[at]} << 24) | (std::uint32_t{header[at + 1]} << 16) |
               (std::uint32_t{header[at + 2]} << 8) | std::uint32_t{header[at + 3]};
    };
    return std::make_pair(big(16), big(20));
}

// Pictures beyond this many pixels are not decoded.
constexpr double kMaxPoofPixels = 16.0 * 1024 * 1024;

std::unique_ptr<ui::Form> ClickEffect(TZVHint& hint, ClickEffectKind kind, int X, int Y, int Cell,
                                      Gdiplus::Bitmap* Strip) {
    if (!hint.Handle() || !Strip || !core::Form1) return nullptr;
    const long long stripWidth = Strip->GetWidth();
    if (Cell < 0 || (static_cast<long long>(Cell) + 1) * kCellSize > stripWidth) return nullptr;
    ClickEffectInput input;
    input.iconSize = core::Form1->Skin.IconSize;
    input.zoom = core::Form1->Settings.Zoom;
    input.onMouse = core::Form1->Settings.OnMouse;
    input.screenExtent = ScreenExtent();
    const std::optional<ClickEffectPlan> plan = PlanClickEffect(kind, X, Y, Cell, input);
    if (!plan) return nullptr;
    return Play(hint, *plan, *Strip);
}

}  // namespace

void SetClickEffectClockForTests(EffectClock clock) {
    EffectClock real = RealEffectClock();
    if (!clock.now) clock.now = real.now;
    if (!clock.sleep) clock.sleep = real.sleep;
    Clock() = std::move(clock);
}

void SetEffectRecorderForTests(std::function<void(const EffectFrameRecord&)> recorder) {
    Recorder() = std::move(recorder);
}

std::unique_ptr<ui::Form> TZVHint::GlowEffect(int X, int Y, int Cell, Gdiplus::Bitmap* Strip) {
    return ClickEffect(*this, ClickEffectKind::Glow, X, Y, Cell, Strip);
}
std::unique_ptr<ui::Form> TZVHint::ZoomEffect(int X, int Y, int Cell, Gdiplus::Bitmap* Strip) {
    return ClickEffect(*this, ClickEffectKind::Zoom, X, Y, Cell, Strip);
}
std::unique_ptr<ui::Form> TZVHint::RollEffect(int X, int Y, int Cell, Gdiplus::Bitmap* Strip) {
    return ClickEffect(*this, ClickEffectKind::Roll, X, Y, Cell, Strip);
}
std::unique_ptr<ui::Form> TZVHint::BounceEffect(int X, int Y, int Cell, Gdiplus::Bitmap* Strip) {
    return ClickEffect(*this, ClickEffectKind::Bounce, X, Y, Cell, Strip);
}
std::unique_ptr<ui::Form> TZVHint::RippleEffect(int X, int Y, int Cell, Gdiplus::Bitmap* Strip) {
    return ClickEffect(*this, ClickEffectKind::Ripple, X, Y, Cell, Strip);
}

void TZVHint::PlayPoof(int X, int Y) {
    if (!Handle()) return;
    const std::wstring path = core::AppDir + L"poof.png";
    if (!ui::FileExists(path)) return;
    const int extent = ScreenExtent();
    const auto size = PngSize(path);
    if (!size || size->first > static_cast<std::uint32_t>(extent) ||
        static_cast<double>(size->first) * size->second > kMaxPoofPixels)
        return;
    const std::unique_ptr<Gdiplus::Bitmap> picture = ui::LoadImageFile(path);
    if (!picture) return;
    const std::optional<ClickEffectPlan> plan =
        PlanPoof(X, Y, static_cast<int>(std::min<UINT>(picture->GetWidth(), INT_MAX)), extent);
    if (!plan) return;
    Play(*this, *plan, *picture);  // the window goes here
}

}  // namespace popups
