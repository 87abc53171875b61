// Marker program: an item's target in end-to-end tests. Records how it was started:
// appends "command line<TAB>current directory<TAB>show command<TAB>startup flags" as
// one UTF-8 line to the file named by ZARVO_MARKER_LOG, or to marker.log beside
// itself, then exits 0. The show command is -1 when the starter set none (no
// STARTF_USESHOWWINDOW); the flags are STARTUPINFO's dwFlags in decimal.
// Self-contained on purpose: it must not depend on the code it helps to test.
// A windows-subsystem program without windows: a console program started by one
// without a console gets a console host of its own, whose window takes the
// activation from the program under test while it is up.
#include <windows.h>

#include <string>

namespace {

std::wstring EnvironmentValue(const wchar_t* name) {
    std::wstring value(256, L'\0');
    for (;;) {
        DWORD n = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        if (n < value.size()) {
            value.resize(n);
            return value;
        }
        value.resize(n);  // too small: n is the size needed
    }
}

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring CurrentDirectory() {
    DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring dir(n, L'\0');
    n = GetCurrentDirectoryW(n, dir.data());
    dir.resize(n);
    return dir;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;

    std::wstring logPath = EnvironmentValue(L"ZARVO_MARKER_LOG");
    if (logPath.empty()) {
        logPath = ModulePath();
        logPath.resize(logPath.find_last_of(L"\\/") + 1);
        logPath += L"marker.log";
    }

    std::wstring line = GetCommandLineW();
    line += L"\t" + CurrentDirectory() + L"\t" + std::to_wstring(show) + L"\t" +
            std::to_wstring(startup.dwFlags) + L"\r\n";
    const std::string bytes = Utf8(line);

    // Append-only access makes each write land at the end even when several
    // markers, started by one test, write to the same log at once; one write per
    // line keeps their lines whole.
    HANDLE log = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && log == INVALID_HANDLE_VALUE; ++attempt) {
        log = CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log == INVALID_HANDLE_VALUE) {
            if (GetLastError() != ERROR_SHARING_VIOLATION) return 2;
            Sleep(10);  // a reader without write sharing has it open
        }
    }
    if (log == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    BOOL ok = WriteFile(log, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(log);
    return ok && written == bytes.size() ? 0 : 2;
}
