#include "support/process.h"

#include "ui/files.h"
#include "ui/strings.h"

#include <algorithm>
#include <stdexcept>

namespace testing_support {
namespace {

constexpr DWORD kPollMs = 20;
constexpr UINT kTextTimeoutMs = 2000;

bool SameText(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// WM_GETTEXT is marshalled across processes, unlike what GetWindowTextW reads for
// another process's controls; the timeout keeps a hung program from hanging the test.
std::wstring TextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTextTimeoutMs, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kTextTimeoutMs, &copied))
        return {};
    text.resize(std::min<size_t>(copied, length));
    return text;
}

// An environment block from the current one with `overrides` replacing or adding
// variables, sorted by name as CreateProcessW expects.
std::vector<wchar_t> EnvironmentBlock(const std::vector<std::pair<std::wstring, std::wstring>>& overrides) {
    std::vector<std::wstring> entries;
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* p = block; *p; p += wcslen(p) + 1) entries.emplace_back(p);
        FreeEnvironmentStringsW(block);
    }
    // The name ends at the first '=' after the first character: "=C:=C:\x" is a name too.
    auto nameOf = [](const std::wstring& entry) {
        size_t eq = entry.find(L'=', 1);
        return entry.substr(0, eq);
    };
    for (const auto& [name, value] : overrides) {
        std::erase_if(entries, [&](const std::wstring& e) { return SameText(nameOf(e), name); });
        entries.push_back(name + L"=" + value);
    }
    std::sort(entries.begin(), entries.end(), [&](const std::wstring& a, const std::wstring& b) {
        std::wstring na = nameOf(a), nb = nameOf(b);
        return CompareStringOrdinal(na.c_str(), -1, nb.c_str(), -1, TRUE) == CSTR_LESS_THAN;
    });
    std::vector<wchar_t> out;
    for (const auto& e : entries) {
        out.insert(out.end(), e.begin(), e.end());
        out.push_back(L'\0');
    }
    out.push_back(L'\0');
    if (entries.empty()) out.push_back(L'\0');
    return out;
}

struct WindowSearch {
    DWORD pid;
    std::vector<HWND> found;
};

// Named callbacks, not lambdas: the 32-bit build needs the CALLBACK convention.
BOOL CALLBACK CollectProcessWindow(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search->pid) search->found.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM lp) {
    if (SameText(ClassOf(child), L"Static")) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(child);
    return TRUE;
}

}  // namespace

std::wstring QuoteArgument(std::wstring_view argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos)
        return std::wstring(argument);
    // Backslashes are literal except before a quote, where they escape in pairs:
    // double every run that precedes a quote, including the closing one.
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            out.append(backslashes * 2 + 1, L'\\');
        } else {
            out.append(backslashes, L'\\');
        }
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes * 2, L'\\');
    out.push_back(L'"');
    return out;
}

std::wstring BuildCommandLine(const std::wstring& exePath, const std::vector<std::wstring>& args) {
    // The program name is parsed by different rules (no escapes), and a path holds no quote.
    std::wstring line = L"\"" + exePath + L"\"";
    for (const auto& arg : args) line += L" " + QuoteArgument(arg);
    return line;
}

std::vector<HWND> TopLevelWindowsOf(DWORD pid) {
    WindowSearch search{pid, {}};
    EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring ClassOf(HWND hwnd) {
    // Class names are at most 256 characters.
    wchar_t name[257] = {};
    int n = GetClassNameW(hwnd, name, 257);
    return std::wstring(name, n > 0 ? static_cast<size_t>(n) : 0);
}

namespace {

HWND PollForWindow(DWORD pid, std::wstring_view className, bool visibleOnly, DWORD timeoutMs,
                   HANDLE process) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        // Sampled before the search, so a window made just before the exit is still seen.
        bool ended = process && WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        for (HWND hwnd : TopLevelWindowsOf(pid))
            if (SameText(ClassOf(hwnd), className) && (!visibleOnly || IsWindowVisible(hwnd)))
                return hwnd;
        if (ended || GetTickCount64() >= deadline) return nullptr;
        Sleep(kPollMs);
    }
}

}  // namespace

HWND WaitForWindowOf(DWORD pid, std::wstring_view className, DWORD timeoutMs, HANDLE process) {
    return PollForWindow(pid, className, false, timeoutMs, process);
}

HWND WaitForDialogOf(DWORD pid, DWORD timeoutMs, HANDLE process) {
    return PollForWindow(pid, L"#32770", true, timeoutMs, process);
}

std::wstring DialogText(HWND dialog) {
    std::vector<HWND> statics;
    EnumChildWindows(dialog, CollectStatic, reinterpret_cast<LPARAM>(&statics));
    std::wstring text;
    for (HWND child : statics) {
        std::wstring line = TextOf(child);
        if (line.empty()) continue;  // the icon
        if (!text.empty()) text += L"\n";
        text += line;
    }
    return text;
}

void ClickDialogButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (!button) throw std::runtime_error("the dialog has no button " + std::to_string(id));
    // The notification a real click sends: message boxes end with the id, and task
    // dialogs match the sending button. Posted, so a dialog of this very process
    // (answered from another thread) cannot deadlock the caller.
    if (!PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button)))
        throw std::runtime_error("cannot post to the dialog");
}

ZarvoProcess::~ZarvoProcess() { Kill(); }

void ZarvoProcess::SetEnvironment(std::wstring name, std::wstring value) {
    environment_.emplace_back(std::move(name), std::move(value));
}

void ZarvoProcess::Start(const ProgramFolder& folder, std::vector<std::wstring> args,
                         std::wstring workingDir) {
    StartExe(folder.ExePath(), std::move(args), std::move(workingDir));
}

void ZarvoProcess::StartExe(const std::wstring& exePath, std::vector<std::wstring> args,
                            std::wstring workingDir) {
    if (process_) throw std::logic_error("the process was started already");
    if (workingDir.empty()) {
        ownWorkingFolder_ = std::make_unique<TempFolder>();
        workingDir = ownWorkingFolder_->Path();
    }
    workingDir_ = ui::IncludeTrailingBackslash(workingDir);

    std::wstring commandLine = BuildCommandLine(exePath, args);  // CreateProcessW may write to it
    std::vector<wchar_t> environment = EnvironmentBlock(environment_);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT, environment.data(), workingDir_.c_str(), &startup,
                        &info))
        throw std::runtime_error("cannot start " + ui::WideToUtf8(exePath) + " (error " +
                                 std::to_string(GetLastError()) + ")");
    CloseHandle(info.hThread);
    process_.Reset(info.hProcess);
    pid_ = info.dwProcessId;
}

HWND ZarvoProcess::WaitForWindow(std::wstring_view className, DWORD timeoutMs) const {
    return WaitForWindowOf(pid_, className, timeoutMs, process_.Get());
}

HWND ZarvoProcess::WaitForDialog(DWORD timeoutMs) const {
    return WaitForDialogOf(pid_, timeoutMs, process_.Get());
}

bool ZarvoProcess::WaitForExit(DWORD timeoutMs) const {
    return process_ && WaitForSingleObject(process_.Get(), timeoutMs) == WAIT_OBJECT_0;
}

bool ZarvoProcess::IsRunning() const {
    return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

DWORD ZarvoProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_.Get(), &code);
    return code;
}

bool ZarvoProcess::Close() const {
    for (HWND hwnd : TopLevelWindows())
        if (ClassOf(hwnd) == L"TForm1") return PostMessageW(hwnd, WM_CLOSE, 0, 0) != 0;
    return false;
}

void ZarvoProcess::Kill() {
    if (IsRunning()) {
        TerminateProcess(process_.Get(), 1);
        // The working folder cannot be removed while the process still sits in it.
        WaitForSingleObject(process_.Get(), 10000);
    }
}

}  // namespace testing_support

namespace testing_support {

TestWindow::TestWindow() {
    hwnd_ = CreateWindowExW(0, L"STATIC", L"z-order probe", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

TestWindow::~TestWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

bool IsAbove(HWND upper, HWND lower) {
    for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == lower) return true;
    return false;
}

}  // namespace testing_support
