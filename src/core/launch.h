// Launching an item through the shell: the request a click hands to its worker, the
// worker itself, the shell routines around it, and the seams that let tests see
// what would be started.
#pragma once

#include "core/menu_document.h"
#include "core/settings.h"
#include "ui/form.h"
#include "ui/xml_document.h"

#include <windows.h>

#include <concepts>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace core {

class TForm1;

// The show command and parameters a click takes from its item.
struct LaunchParams {
    std::uint8_t RunVis = 0;  // 0 normal, 1 minimized, 2 maximized; the show command is RunVis + 1
    std::wstring Params;
};

// One launch through ShellExecuteExW. Empty parameters and folder reach the shell as null.
struct ShellCall {
    HWND owner = nullptr;
    std::wstring verb;
    std::wstring file;
    std::wstring parameters;
    std::wstring directory;
    int show = SW_SHOWNORMAL;
};

// The shell's answer to one call as ShellExecute gives it: above 32 when the target
// started, else the error code (2 for a file not found). A function that returns
// nothing, as a test's recorder may, counts as a start.
class ShellExecuteFunction {
public:
    ShellExecuteFunction() = default;
    template <class F>
        requires std::invocable<F&, const ShellCall&> && (!std::same_as<std::decay_t<F>, ShellExecuteFunction>)
    ShellExecuteFunction(F function) {  // NOLINT: converts like std::function
        if constexpr (std::is_void_v<std::invoke_result_t<F&, const ShellCall&>>)
            function_ = [f = std::move(function)](const ShellCall& call) mutable -> INT_PTR {
                f(call);
                return kStarted;
            };
        else
            function_ = std::move(function);
    }
    INT_PTR operator()(const ShellCall& call) const { return function_(call); }
    explicit operator bool() const noexcept { return static_cast<bool>(function_); }

    static constexpr INT_PTR kStarted = 33;

private:
    std::function<INT_PTR(const ShellCall&)> function_;
};

// What the launch path does to the outside world. Tests replace it to see what
// would be started; every real launch goes through ShellExecuteExW.
struct ShellFunctions {
    ShellExecuteFunction execute;
    std::function<void()> beep;                             // the default system beep
    std::function<void(const std::wstring& file)> playSound;  // asynchronous, from a file
};
// The real functions, or the ones a test set; nullopt restores the real ones.
ShellFunctions CurrentShellFunctions();
void SetShellForTests(std::optional<ShellFunctions> functions);

// Everything the launch worker reads, copied on the GUI thread at the click: the
// worker never reads state the GUI thread may change meanwhile.
struct LaunchRequest {
    std::wstring Target;  // the item's Run with its path macros expanded
    LaunchParams Params;
    bool CtrlDown = false;
    std::wstring ClickSoundFile;  // empty when ClickSound is off
    HWND Owner = nullptr;         // the application's window
    ShellFunctions Shell;
};

// The item's show command and parameters. A system tool (Type 4) keeps the tool's
// number in RunVis, and a hand-edited RunVis may hold anything: both start normally.
LaunchParams LaunchParamsFor(const TLNItem& item);
// The request for launching the item now, with the Ctrl key as it is at this moment.
LaunchRequest MakeLaunchRequest(const TLNItem& item, const Settings& settings);

// The shell call for a request with a target: the working folder of an existing
// file, the desktop object as the desktop's folder, Ctrl for the containing folder.
ShellCall PlanLaunch(const LaunchRequest& request);
// Starts one item (an empty target only beeps); the result is not reported. Runs on
// a worker thread or inline; initialises COM on the calling thread for the shell.
void LaunchItemThread(const LaunchRequest& request) noexcept;
// Starts LaunchItemThread on a new thread that owns its request; the click waits
// for nothing.
void StartLaunchThread(LaunchRequest request);
// Waits until every started launch has returned from the shell, at most timeoutMs;
// false when some still run.
bool WaitForLaunches(DWORD timeoutMs);

// File-system path of the desktop folder, or "No Desktop Folder found.".
std::wstring GetDesktopFolder(HWND owner);
// The Ctrl key is down in the calling thread's keyboard state.
bool IsCtrlDown();

// Reveals the selected item of a menu level (1..3), as the Find object command does.
void RevealSelectedItem(TForm1& form, int level);

// The clicks every menu window shares, for `window` (its Tag the level, 1..3) and its
// visible row `row` (0-based); the caller has found the row by the one row rule.
// The quick-run box over the row, shown modally; the hover state and Timer1 come
// back on every way out.
void OpenRunBox(TForm1& form, ui::Form& window, int row, const TLNItem& item);
// A fresh readout written into the selected row's node, saved and the level rebuilt.
void WeatherRowClick(TForm1& form, ui::Form& window);
// The plug-in rows' click is PluginRowClick (plugins.h).
// Starts the item (on this thread when asked, else on a thread of its own), plays
// the click effect and rolls the menu out when RollOutAfterRun says so.
void LaunchRow(TForm1& form, ui::Form& window, int row, const TLNItem& item, bool onGuiThread);
// Whether a double click on a row of this Type launches it: not for sub-menus,
// separators, quick-run, weather and plug-in rows.
bool DoubleClickLaunches(int type);

// The same folder for a listing: case ignored, and one trailing backslash on either.
bool SameFolderPath(std::wstring_view a, std::wstring_view b);

// The degree sign of the weather captions: Celsius for DegreeType 1, else Fahrenheit.
std::wstring DegreeSymbol(int degreeType);

// One day of the weather readout, as the weather update leaves it.
struct WeatherDay {
    std::wstring Temperature;
    std::wstring Icon;  // the service's icon code
};
// Writes a weather row's node: Run the bare temperature, Caption through the row's
// own format (Params, "%s" when blank), ImageFile the day's picture or "N/A".
void WriteWeatherReadout(ui::XmlNode item, const WeatherDay& day, int degreeType, const std::wstring& appDir);

// The properties dialog the click path opens for a file or folder row without a
// target: tests see the level it is opened for instead of a modal dialog.
void SetPropertiesDialogForTests(std::function<void(int level)> open);

}  // namespace core
