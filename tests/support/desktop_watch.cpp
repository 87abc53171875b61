#include "support/desktop_watch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace testing_support {
namespace {

std::wstring ProcessName(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return L"?";
    std::wstring path(1024, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    const bool ok = QueryFullProcessImageNameW(process, 0, path.data(), &size) != FALSE;
    CloseHandle(process);
    if (!ok) return L"?";
    path.resize(size);
    return path.substr(path.find_last_of(L"\\/") + 1);
}

std::wstring ThreadAndProcess(DWORD tid, DWORD pid) {
    std::wstring text = L"thread " + std::to_wstring(tid) + L" of process " + std::to_wstring(pid) + L" (" +
                        ProcessName(pid) + L")";
    if (pid == GetCurrentProcessId()) text += L" = this test program";
    return text;
}

// Class, title and state only: InternalGetWindowText sends nothing, so describing a
// window of a busy or hung process cannot block the test.
std::wstring WindowOnly(HWND hwnd) {
    wchar_t name[257] = {};
    GetClassNameW(hwnd, name, 257);
    wchar_t title[128] = {};
    InternalGetWindowText(hwnd, title, 128);
    std::wstring text = std::wstring(name) + L" \"" + title + L"\"";
    if (IsWindowVisible(hwnd)) text += L" visible";
    if (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) text += L" topmost";
    RECT r{};
    if (GetWindowRect(hwnd, &r))
        text += L" at (" + std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L")-(" + std::to_wstring(r.right) +
                L"," + std::to_wstring(r.bottom) + L")";
    return text;
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

struct ActivationRecord {
    ULONGLONG at;
    bool active;
    DWORD otherThread;  // WM_ACTIVATEAPP's lParam
    std::wstring receiver;
    std::wstring other;
    std::wstring foreground;
};

struct Watch {
    bool holdsDesktopLock = true;
    ULONGLONG testStart = 0;
    std::vector<ActivationRecord> activations;
    std::wstring desktopAtFailure;
};

Watch& TheWatch() {
    static Watch watch;
    return watch;
}

void RecordActivateApp(HWND receiver, bool active, DWORD otherThread) {
    Watch& watch = TheWatch();
    const ULONGLONG now = GetTickCount64();
    // Every top-level window of the thread gets the message: one record per change.
    if (!watch.activations.empty()) {
        const ActivationRecord& last = watch.activations.back();
        if (last.active == active && last.otherThread == otherThread && now - last.at < 200) return;
    }
    watch.activations.push_back(ActivationRecord{now, active, otherThread, WindowOnly(receiver),
                                                 otherThread ? DescribeThread(otherThread) : L"no thread (lParam 0)",
                                                 DescribeWindow(GetForegroundWindow())});
}

bool IsTopLevel(HWND hwnd) { return GetAncestor(hwnd, GA_PARENT) == GetDesktopWindow(); }

void FailOutsideTheLock(const char* what, HWND hwnd) {
    ADD_FAILURE() << "this suite runs beside the pointer-driven ones (outside the desktop lock) and " << what << " "
                  << Narrow(DescribeWindow(hwnd))
                  << ": a test that shows or activates a window belongs in a *_window_test.cpp file";
}

LRESULT CALLBACK CallWndProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lp);
        if (call->message == WM_ACTIVATEAPP) RecordActivateApp(call->hwnd, call->wParam != 0, static_cast<DWORD>(call->lParam));
        if (!TheWatch().holdsDesktopLock && call->message == WM_WINDOWPOSCHANGED &&
            (reinterpret_cast<const WINDOWPOS*>(call->lParam)->flags & SWP_SHOWWINDOW) && IsTopLevel(call->hwnd))
            FailOutsideTheLock("showed", call->hwnd);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK CbtProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_ACTIVATE) FailOutsideTheLock("activated", reinterpret_cast<HWND>(wp));
    return CallNextHookEx(nullptr, code, wp, lp);
}

std::wstring DescribeActivations(const Watch& watch) {
    std::wstring text;
    for (const ActivationRecord& r : watch.activations) {
        const long long ms = static_cast<long long>(r.at) - static_cast<long long>(watch.testStart);
        text += L"  at " + std::to_wstring(ms) + L" ms: WM_ACTIVATEAPP(" + (r.active ? L"TRUE" : L"FALSE") + L") to " +
                r.receiver + L"\n    " + (r.active ? L"taken from " : L"given to ") + r.other +
                L"\n    foreground then: " + r.foreground + L"\n";
    }
    return text.empty() ? L"  none\n" : text;
}

// Visible top-level windows of other programs than this one and Wine's own shell.
std::vector<HWND> ForeignWindows() {
    std::vector<HWND> all;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
    std::vector<HWND> foreign;
    for (HWND w : all) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (IsWindowVisible(w) && pid != GetCurrentProcessId() && _wcsicmp(ProcessName(pid).c_str(), L"explorer.exe"))
            foreign.push_back(w);
    }
    return foreign;
}

// A test that drives the desktop starts on one where no other program shows a window:
// a visible window of another program can take the activation (Wine hands it to the
// next visible window when the active one goes) or the press meant for ours. A
// program an earlier test started is given a moment to end.
void ExpectCleanDesktop() {
    constexpr ULONGLONG kGraceMs = 5000;
    const ULONGLONG start = GetTickCount64();
    std::vector<HWND> foreign = ForeignWindows();
    while (!foreign.empty() && GetTickCount64() - start < kGraceMs) {
        Sleep(50);
        foreign = ForeignWindows();
    }
    if (foreign.empty()) return;
    std::wstring list;
    for (HWND w : foreign) list += L"\n  " + DescribeWindow(w);
    ADD_FAILURE() << "another program shows windows on the desktop this test drives (left behind by an earlier test, or "
                     "shown by a suite outside the desktop lock):"
                  << Narrow(list);
}

class DesktopListener : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override {
        Watch& watch = TheWatch();
        watch.testStart = GetTickCount64();
        watch.activations.clear();
        watch.desktopAtFailure.clear();
        if (watch.holdsDesktopLock) ExpectCleanDesktop();
    }
    void OnTestPartResult(const ::testing::TestPartResult& result) override {
        Watch& watch = TheWatch();
        if (result.failed() && watch.desktopAtFailure.empty()) watch.desktopAtFailure = DescribeDesktop();
    }
    void OnTestEnd(const ::testing::TestInfo& info) override {
        if (!info.result()->Failed()) return;
        const Watch& watch = TheWatch();
        const std::wstring report = L"Desktop at the first failure:\n" + watch.desktopAtFailure +
                                    L"Activation changes of this program during the test:\n" +
                                    DescribeActivations(watch);
        std::fputs(Narrow(report).c_str(), stdout);
        std::fflush(stdout);
    }
};

}  // namespace

std::wstring DescribeWindow(HWND hwnd) {
    if (!hwnd) return L"none";
    DWORD pid = 0;
    const DWORD tid = GetWindowThreadProcessId(hwnd, &pid);
    return WindowOnly(hwnd) + L" of " + ThreadAndProcess(tid, pid);
}

std::wstring DescribeThread(DWORD threadId) {
    DWORD pid = 0;
    if (HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, threadId)) {
        pid = GetProcessIdOfThread(thread);
        CloseHandle(thread);
    }
    std::vector<HWND> windows;
    EnumThreadWindows(threadId, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    if (!pid && !windows.empty()) GetWindowThreadProcessId(windows.front(), &pid);
    std::wstring text = pid ? ThreadAndProcess(threadId, pid) : L"thread " + std::to_wstring(threadId) + L" (ended)";
    text += L", windows:";
    if (windows.empty()) text += L" none";
    for (HWND w : windows) text += L" [" + WindowOnly(w) + L"]";
    return text;
}

std::wstring DescribeDesktop() {
    std::wstring text = L"  foreground: " + DescribeWindow(GetForegroundWindow()) + L"\n";
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    text += L"  visible top-level windows, top first:\n";
    for (HWND w : windows)
        if (IsWindowVisible(w)) text += L"    " + DescribeWindow(w) + L"\n";
    return text;
}

void InstallDesktopWatch(bool holdsDesktopLock) {
    TheWatch().holdsDesktopLock = holdsDesktopLock;
    // Hooks of this thread only: the tests drive their windows from it, and a hook
    // of the whole desktop would reach into the other test programs.
    SetWindowsHookExW(WH_CALLWNDPROC, CallWndProc, nullptr, GetCurrentThreadId());
    if (!holdsDesktopLock) SetWindowsHookExW(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
    ::testing::UnitTest::GetInstance()->listeners().Append(new DesktopListener);
}

}  // namespace testing_support
