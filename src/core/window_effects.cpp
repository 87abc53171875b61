#include "core/window_effects.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/startup.h"
#include "dialogs/form5.h"
#include "render/compositor_draw.h"
#include "ui/strings.h"

#include <algorithm>

namespace core {
namespace {

int Round(double value) { return static_cast<int>(ui::RoundEven(value)); }

std::uint8_t Alpha(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

EffectFrame Scaled(int x, int y, int width, int height, std::uint8_t alpha, bool clear) {
    return EffectFrame{false, x, y, width, height, alpha, clear};
}

EffectPlan Fade(bool in, int waitMs) {
    EffectPlan plan;
    for (int i = 0; i <= 15; ++i) {
        EffectFrame frame;
        frame.direct = true;
        frame.alpha = Alpha(17 * (in ? i : 15 - i));
        plan.frames.push_back(frame);
    }
    plan.waitMs = waitMs;
    plan.wait = EffectWait::Fade;
    return plan;
}

EffectPlan Roll(int code, const EffectInput& in) {
    const int L = in.levelWidth;
    const int T = in.workWidth;
    const int s = Round(L / 10.0);
    const int h = Round(in.height / 10.0);
    const bool opening = code < 10;
    const bool diagonal = code == 3 || code == 30;
    EffectPlan plan;
    for (int i = 0; i <= 10; ++i) {
        const int rows = h * (opening ? i : 10 - i);
        int width = L;
        if (diagonal) width = opening ? s * i : L - s * i;
        int x = 0;
        if (in.position == 1) x = T - width;
        if (in.position == 0 || in.position == 1)
            plan.frames.push_back(Scaled(x, 0, width, rows, 255, true));
        else
            plan.frames.push_back(Scaled(0, 0, 0, 0, 255, true));  // other edges: empty frames
    }
    plan.waitMs = opening ? 10 : 5;
    plan.wait = opening ? EffectWait::Standard : EffectWait::Always;
    plan.final = opening ? EffectFinal::Whole : EffectFinal::None;
    plan.rollStopsInPopup = true;
    return plan;
}

EffectPlan Vista(bool opening, const EffectInput& in) {
    const int d = Round(Round(in.backgroundTransparent / 11.0) * 255 / 100.0);
    EffectPlan plan;
    for (int i = 0; i <= 9; ++i) {
        // Clamped: from 105 % on, d x (i + 1) passes 255 and would wrap.
        if (opening) {
            const int inset = 10 - i;
            plan.frames.push_back(Scaled(inset, inset, in.levelWidth - 2 * inset, in.height - 2 * inset,
                                         Alpha(d * (i + 1)), false));
        } else {
            plan.frames.push_back(
                Scaled(i, i, in.levelWidth - 2 * i, in.height - 2 * i, Alpha(255 - d * (i + 1)), false));
        }
    }
    plan.waitMs = opening ? 10 : 5;
    plan.wait = EffectWait::Vista;
    plan.final = opening ? EffectFinal::Opaque : EffectFinal::None;
    return plan;
}

EffectPlan Centre(bool opening, const EffectInput& in) {
    const int L = in.levelWidth;
    const int s = Round(L / 2.0 / 10.0);
    EffectPlan plan;
    for (int i = 0; i <= 10; ++i) {
        const int step = opening ? 10 - i : i;
        plan.frames.push_back(Scaled(s * step, 0, L - 2 * s * step, in.height, Alpha(23 * (opening ? i : 10 - i)), true));
    }
    plan.waitMs = opening ? 10 : 5;
    plan.wait = opening ? EffectWait::Standard : EffectWait::Always;
    plan.final = opening ? EffectFinal::Per23Shown : EffectFinal::None;
    return plan;
}

EffectPlan Noise(bool opening, const EffectInput& in) {
    const int L = in.levelWidth;
    EffectPlan plan;
    for (int i = 0; i <= 10; ++i) {
        const int t = Round(L / 10.0) * i;
        // The width turns negative after a few frames, which mirrors the image: the
        // look of this effect.
        if (opening)
            plan.frames.push_back(Scaled(i * t, 0, L - 2 * i * t, in.height, Alpha(23 * i), true));
        else
            plan.frames.push_back(Scaled(-i * t, 0, L + 2 * (10 - i) * t, in.height, Alpha(23 * (10 - i)), true));
    }
    plan.waitMs = opening ? 16 : 8;
    plan.wait = opening ? EffectWait::Standard : EffectWait::Always;
    plan.final = opening ? EffectFinal::Per23Shown : EffectFinal::None;
    return plan;
}

}  // namespace

bool IsEffectCode(int code) {
    return (code >= 1 && code <= 6) || (code >= 10 && code <= 60 && code % 10 == 0) || code == 111;
}

std::optional<EffectPlan> PlanEffect(int code, const EffectInput& input) {
    switch (code) {
    case 1: return Fade(true, 10);
    case 10: return Fade(false, 5);
    case 2:
    case 3:
    case 20:
    case 30: return Roll(code, input);
    case 4: return Vista(true, input);
    case 40: return Vista(false, input);
    case 5: return Centre(true, input);
    case 50: return Centre(false, input);
    case 6: return Noise(true, input);
    case 60: return Noise(false, input);
    case 111: {
        EffectPlan plan = Fade(false, 10);
        plan.wait = EffectWait::Always;
        plan.final = EffectFinal::Transparent;
        return plan;
    }
    default: return std::nullopt;
    }
}

int PlayEffect(const EffectPlan& plan, const EffectPlayer& player) {
    const bool popupMain = player.mainWindow && player.popupMode;
    auto onRow = [&] { return player.pointerOnOpeningRow && player.pointerOnOpeningRow(); };
    int shown = 0;
    for (const EffectFrame& frame : plan.frames) {
        player.showFrame(frame);
        ++shown;
        if (plan.rollStopsInPopup && popupMain) break;
        bool wait = true;
        bool stop = false;
        switch (plan.wait) {
        case EffectWait::Fade: {
            const std::optional<bool> settings = player.settingsVisible ? player.settingsVisible() : std::nullopt;
            if (!settings) {
                wait = false;  // at start-up every frame follows at once
            } else if (!(onRow() || *settings || popupMain)) {
                stop = true;
            }
            break;
        }
        case EffectWait::Standard: stop = !(onRow() || popupMain); break;
        case EffectWait::Always: break;
        case EffectWait::Vista: wait = onRow() || player.mainWindow; break;
        }
        if (stop) break;
        if (wait && plan.waitMs > 0) player.sleep(plan.waitMs);
    }
    switch (plan.final) {
    case EffectFinal::None: break;
    case EffectFinal::Whole:
    case EffectFinal::Opaque: player.showWhole(255); break;
    case EffectFinal::Per23Shown: player.showWhole(Alpha(23 * shown)); break;
    case EffectFinal::Transparent: player.showWhole(0); break;
    }
    return shown;
}

// --- playing on the real windows

namespace {

std::function<void(int)>& EffectSleep() {
    static std::function<void(int)> sleep = [](int ms) { Sleep(static_cast<DWORD>(ms)); };
    return sleep;
}

bool PointerIn(const RECT& rect) {
    POINT p{};
    return GetCursorPos(&p) && PtInRect(&rect, p);
}

}  // namespace

void SetEffectSleepForTests(std::function<void(int)> sleep) {
    EffectSleep() = sleep ? std::move(sleep) : [](int ms) { Sleep(static_cast<DWORD>(ms)); };
}

void TForm1::UpdateLayeredFrom(ui::Form& form, HDC source) {
    // Whatever the source, the window no longer shows a frame the compositor knows.
    if (form.Tag >= 1 && form.Tag <= 3) Compositor.Shown[form.Tag] = ShownFrame{};
    UpdateLayered(form.Handle(), POINT{form.Left(), form.Top()}, SIZE{form.Width(), form.Height()}, source,
                  Compositor.WindowBlend, nullptr);
}

void TForm1::PlayWindowEffect(ui::Form& form, int effect) {
    ui::Dib& work = *Compositor.WorkBitmap;
    const int level = form.Tag;
    EffectInput input;
    input.levelWidth = LevelWidths[level];
    input.workWidth = work.Width();
    input.height = work.Height();
    input.position = Settings.Position;
    input.backgroundTransparent = Settings.BackgroundTransparent;
    const std::optional<EffectPlan> plan = PlanEffect(effect, input);
    if (!plan) return;
    ui::ScopeExit opaqueAgain([this] { Compositor.WindowBlend.SourceConstantAlpha = 255; });

    ui::Dib frame(input.levelWidth, input.height);
    // The default mode corrupts colour and alpha when shrinking; this one also mirrors
    // for negative widths.
    SetStretchBltMode(frame.Dc(), COLORONCOLOR);
    auto update = [&](HDC source, std::uint8_t alpha) {
        Compositor.WindowBlend.SourceConstantAlpha = alpha;
        UpdateLayeredFrom(form, source);
        if (!form.Visible()) form.Show();
    };
    EffectPlayer player;
    player.showFrame = [&](const EffectFrame& f) {
        if (f.direct) {
            update(work.Dc(), f.alpha);
            return;
        }
        if (f.clear) frame.Fill(0);
        GdiFlush();
        if (f.width != 0 && f.height != 0)
            StretchBlt(frame.Dc(), f.x, f.y, f.width, f.height, work.Dc(), 0, 0, input.levelWidth, input.height,
                       SRCCOPY);
        update(frame.Dc(), f.alpha);
    };
    player.showWhole = [&](std::uint8_t alpha) { update(work.Dc(), alpha); };
    player.sleep = EffectSleep();
    player.pointerOnOpeningRow = [this] { return PointerIn(PluginItemRect); };
    player.settingsVisible = []() -> std::optional<bool> {
        if (!Form5) return std::nullopt;
        return Form5->Visible();
    };
    player.mainWindow = level == 1;
    player.popupMode = PopupMode;
    PlayEffect(*plan, player);
}

}  // namespace core
