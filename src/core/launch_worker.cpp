// The launch request, its worker and the shell routines around it. Nothing here
// touches a window: the worker runs on a thread of its own.
#include "core/launch.h"

#include "core/path_macros.h"
#include "core/startup.h"
#include "ui/application.h"
#include "ui/files.h"
#include "ui/sessions.h"

#include <mmsystem.h>
#include <shellapi.h>
#include <shlobj.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace core {
namespace {

// The desktop shell object; compared exactly, as the menu stores it.
constexpr wchar_t kDesktopObject[] = L"::{00021400-0000-0000-C000-000000000046}";

const wchar_t* NullWhenEmpty(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

ShellFunctions RealShellFunctions() {
    ShellFunctions real;
    real.execute = [](const ShellCall& call) -> INT_PTR {
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof(info);
        // The shell may finish an activation on a thread of its own after the call
        // returns; waiting for it here keeps it inside this thread's apartment and
        // inside the count that the end of the program waits for. Failures still
        // get the shell's own message.
        info.fMask = SEE_MASK_NOASYNC;
        info.hwnd = call.owner;
        info.lpVerb = call.verb.c_str();
        info.lpFile = call.file.c_str();
        info.lpParameters = NullWhenEmpty(call.parameters);
        info.lpDirectory = NullWhenEmpty(call.directory);
        info.nShow = call.show;
        const bool started = ShellExecuteExW(&info) != FALSE;
        // hInstApp holds ShellExecute's result code; some handlers leave it unset.
        const auto code = reinterpret_cast<INT_PTR>(info.hInstApp);
        if (started) return code > 32 ? code : ShellExecuteFunction::kStarted;
        return code > 0 && code <= 32 ? code : SE_ERR_NOASSOC;
    };
    real.beep = [] { MessageBeep(MB_OK); };
    real.playSound = [](const std::wstring& file) {
        PlaySoundW(file.c_str(), nullptr, SND_ASYNC | SND_FILENAME);
    };
    return real;
}

std::optional<ShellFunctions>& TestShell() {
    static std::optional<ShellFunctions> functions;
    return functions;
}

}  // namespace

ShellFunctions CurrentShellFunctions() { return TestShell() ? *TestShell() : RealShellFunctions(); }

void SetShellForTests(std::optional<ShellFunctions> functions) { TestShell() = std::move(functions); }

LaunchParams LaunchParamsFor(const TLNItem& item) {
    LaunchParams params;
    params.Params = item.Params;
    if (item.Type != 4 && item.RunVis >= 0 && item.RunVis <= 2) params.RunVis = static_cast<std::uint8_t>(item.RunVis);
    return params;
}

LaunchRequest MakeLaunchRequest(const TLNItem& item, const Settings& settings) {
    LaunchRequest request;
    request.Target = ExpandPathMacros(item.Run);
    request.Params = LaunchParamsFor(item);
    request.CtrlDown = IsCtrlDown();
    if (settings.ClickSound != 0) request.ClickSoundFile = AppDir + L"click.wav";
    request.Owner = ui::Application::Instance().Handle();
    request.Shell = CurrentShellFunctions();
    return request;
}

ShellCall PlanLaunch(const LaunchRequest& request) {
    ShellCall call;
    call.owner = request.Owner;
    call.verb = L"open";
    call.file = request.Target;
    call.parameters = request.Params.Params;
    call.show = request.Params.RunVis + 1;
    if (ui::FileExists(call.file)) call.directory = ui::ExtractFilePath(call.file);
    // The working folder stays as found for the object's own text.
    if (call.file == kDesktopObject) call.file = GetDesktopFolder(request.Owner);
    if (request.CtrlDown) {
        const std::wstring folder = ui::ExtractFilePath(call.file);
        if (!folder.empty() && ui::DirectoryExists(folder)) {
            call.file = folder;
            call.parameters.clear();
            call.directory.clear();
        }
    }
    return call;
}

void LaunchItemThread(const LaunchRequest& request) noexcept {
    try {
        if (request.Target.empty()) {
            if (request.Shell.beep) request.Shell.beep();
            return;
        }
        if (!request.ClickSoundFile.empty() && ui::FileExists(request.ClickSoundFile) && request.Shell.playSound)
            request.Shell.playSound(request.ClickSoundFile);
        // Shell extensions that handle the verb may need an apartment; DDE is
        // switched off so that no hidden conversation window can stall the start.
        ui::ComSession com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        const ShellCall call = PlanLaunch(request);
        if (request.Shell.execute) request.Shell.execute(call);
    } catch (...) {
        // A launch is fire-and-forget: its failures are not reported.
    }
}

namespace {

// Launches still running: the program waits for them before it ends, or a launch
// clicked just before the end (the one-shot pop-up closes right after its click)
// would die with the process.
std::mutex g_launchesMutex;
std::condition_variable g_launchesDone;
int g_launches = 0;

}  // namespace

bool WaitForLaunches(DWORD timeoutMs) {
    std::unique_lock lock(g_launchesMutex);
    return g_launchesDone.wait_for(lock, std::chrono::milliseconds(timeoutMs), [] { return g_launches == 0; });
}

void StartLaunchThread(LaunchRequest request) {
    // Shared, so that the request survives a thread that could not be started.
    auto owned = std::make_shared<const LaunchRequest>(std::move(request));
    try {
        {
            std::lock_guard lock(g_launchesMutex);
            ++g_launches;
        }
        std::thread([owned] {
            LaunchItemThread(*owned);
            std::lock_guard lock(g_launchesMutex);
            --g_launches;
            g_launchesDone.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        {
            std::lock_guard lock(g_launchesMutex);
            --g_launches;
        }
        // No thread to be had: the click is still answered, on this thread.
        LaunchItemThread(*owned);
    }
}

std::wstring GetDesktopFolder(HWND owner) {
    std::wstring result = L"No Desktop Folder found.";
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(owner, CSIDL_DESKTOP, &list)) || !list) return result;
    // SHGetPathFromIDListW never writes more than MAX_PATH characters.
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(list, path)) result = path;
    CoTaskMemFree(list);
    return result;
}

bool IsCtrlDown() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }

}  // namespace core
