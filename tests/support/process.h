// Starts Zarvo.exe (or any program) for end-to-end tests and finds its windows and dialogs.
#pragma once

#include "support/program_folder.h"
#include "support/temp_folder.h"
#include "ui/handles.h"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testing_support {

// One argument quoted so that CommandLineToArgvW and the C runtime give it back unchanged.
std::wstring QuoteArgument(std::wstring_view argument);
// The program path quoted, then each argument quoted, separated by spaces.
std::wstring BuildCommandLine(const std::wstring& exePath, const std::vector<std::wstring>& args);

// Top-level windows of the process, visible or not.
std::vector<HWND> TopLevelWindowsOf(DWORD pid);
std::wstring ClassOf(HWND hwnd);
// Polls until a top-level window of the class belongs to the process; nullptr on
// timeout, or at once when `process` is given and has ended without one.
HWND WaitForWindowOf(DWORD pid, std::wstring_view className, DWORD timeoutMs,
                     HANDLE process = nullptr);
// Polls for a visible message box or task dialog ("#32770") of the process. Visible,
// because the window exists before its text and buttons are filled in.
HWND WaitForDialogOf(DWORD pid, DWORD timeoutMs, HANDLE process = nullptr);
// The texts of the dialog's static controls (message and instruction lines), one per line.
std::wstring DialogText(HWND dialog);
// Answers a message box or task dialog as a click on its button `id` (IDYES, IDNO, ...)
// would. Throws when the dialog has no such button.
void ClickDialogButton(HWND dialog, int id);

// A started program that is killed, if still running, when the object goes.
// Declare it after the ProgramFolder it runs from: the folder cannot be removed
// while the program still runs in it.
class ZarvoProcess {
public:
    ZarvoProcess() = default;
    ~ZarvoProcess();
    ZarvoProcess(const ZarvoProcess&) = delete;
    ZarvoProcess& operator=(const ZarvoProcess&) = delete;

    // Set before starting; the child gets the test's environment plus these.
    void SetEnvironment(std::wstring name, std::wstring value);

    // Starts the folder's Zarvo.exe. Without a working folder the child runs in a
    // temporary folder of its own, never in the program folder, so the program
    // cannot come to rely on its current directory. Throws on failure.
    void Start(const ProgramFolder& folder, std::vector<std::wstring> args = {},
               std::wstring workingDir = {});
    void StartExe(const std::wstring& exePath, std::vector<std::wstring> args = {},
                  std::wstring workingDir = {});

    DWORD Pid() const { return pid_; }
    HANDLE Handle() const { return process_.Get(); }
    // The child's current directory as given at the start, with a trailing backslash.
    const std::wstring& WorkingDir() const { return workingDir_; }

    HWND WaitForWindow(std::wstring_view className, DWORD timeoutMs = 20000) const;
    std::vector<HWND> TopLevelWindows() const { return TopLevelWindowsOf(pid_); }
    static std::wstring ClassOf(HWND hwnd) { return testing_support::ClassOf(hwnd); }
    // A visible message box or task dialog of this process.
    HWND WaitForDialog(DWORD timeoutMs = 20000) const;
    static std::wstring DialogText(HWND dialog) { return testing_support::DialogText(dialog); }
    static void ClickDialogButton(HWND dialog, int id) { testing_support::ClickDialogButton(dialog, id); }

    bool WaitForExit(DWORD timeoutMs = 20000) const;
    bool IsRunning() const;
    // STILL_ACTIVE while running.
    DWORD ExitCode() const;
    // Asks the main window to close, as the user would; false when it has none.
    bool Close() const;
    void Kill();

private:
    std::vector<std::pair<std::wstring, std::wstring>> environment_;
    std::unique_ptr<TempFolder> ownWorkingFolder_;
    std::wstring workingDir_;
    ui::UniqueHandle process_;
    DWORD pid_ = 0;
};

}  // namespace testing_support

namespace testing_support {

// A plain visible top-level window of the test process, for z-order checks.
class TestWindow {
public:
    TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    ~TestWindow();
    HWND Handle() const noexcept { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

// True when `upper` lies above `lower` in the z-order of top-level windows.
bool IsAbove(HWND upper, HWND lower);

}  // namespace testing_support
