// Window open and close animations: each effect code is planned as a list of frames
// by a pure function and played by a thin player, so the plans can be checked exactly.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace core {

// When the player waits after a frame, and when it stops instead.
enum class EffectWait {
    Fade,      // pointer on the opening row, settings dialog visible, or pop-up main window
    Standard,  // pointer on the opening row or pop-up main window; otherwise stop
    Always,    // closing codes and the closing fade
    Vista,     // pointer on the opening row or the main window; otherwise go on at once
};

// The update after the last frame.
enum class EffectFinal {
    None,          // the window keeps the last frame
    Whole,         // the whole window at the current constant alpha
    Opaque,        // the whole window at 255
    Per23Shown,    // the whole window at 23 x the frames shown
    Transparent,   // the whole window at 0
};

struct EffectFrame {
    bool direct = false;  // WorkBitmap itself; otherwise a scaled copy in the frame bitmap
    int x = 0, y = 0, width = 0, height = 0;  // target in the frame bitmap; a negative width mirrors
    std::uint8_t alpha = 255;
    bool clear = false;  // clear the frame bitmap before drawing
};

struct EffectPlan {
    std::vector<EffectFrame> frames;
    int waitMs = 0;
    EffectWait wait = EffectWait::Always;
    EffectFinal final = EffectFinal::None;
    bool rollStopsInPopup = false;  // the pop-up main window shows the first frame only
};

struct EffectInput {
    int levelWidth = 0;  // L
    int workWidth = 0;   // T, the width of WorkBitmap
    int height = 0;      // H, the height of WorkBitmap
    int position = 0;
    int backgroundTransparent = 100;
};

bool IsEffectCode(int code);
// Null for a code that is no animation.
std::optional<EffectPlan> PlanEffect(int code, const EffectInput& input);

// What the player needs of the world; tests record it.
struct EffectPlayer {
    std::function<void(const EffectFrame&)> showFrame;
    std::function<void(std::uint8_t alpha)> showWhole;  // WorkBitmap at this constant alpha
    std::function<void(int ms)> sleep;
    std::function<bool()> pointerOnOpeningRow;           // PluginItemRect
    std::function<std::optional<bool>()> settingsVisible;  // nullopt before the dialog exists
    bool mainWindow = false;
    bool popupMode = false;
};
// Plays the plan; returns the number of frames shown.
int PlayEffect(const EffectPlan& plan, const EffectPlayer& player);

// The waits between frames on the real windows (tests skip them).
void SetEffectSleepForTests(std::function<void(int ms)> sleep);

}  // namespace core
