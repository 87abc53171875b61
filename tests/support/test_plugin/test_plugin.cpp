// A plug-in for the tests. Each call appends a line to plugins.log in the program
// folder (the folder above plugins\):
//   <module> <export>                                   for _LoadPlugin, _UnloadPlugin
//   <module> <export> <L>,<T>,<R>,<B> <buffer[0..15]>   for the row exports, hex bytes
// <module> is the library's own file name, so one DLL copied under several names acts
// as several plug-ins. _OnClick then runs the lines of <module minus ".dll">.txt
// beside it, in order (a missing file runs nothing):
//   caption <hex>     raw bytes at offset 768 (the length byte first, as given)
//   icon <hex>        raw bytes at offset 1024
//   data <hex>        raw bytes at offset 0
//   post <msg> [<lParam>]   PostMessage to the "TForm1" window of this process
//   atom <msg> <name>       a new global atom named <name> posted as lParam
//   click <x> <y>     a move, press and release at client (x, y) of that window
//   pump <ms>         dispatches this thread's messages for that long, then
//                     those still waiting
//   fault             writes through a null pointer
// Built a second time (TEST_PLUGIN_LEAVE_ONLY) without "_OnEnter" and "_OnClick".
#include "core/plugin_abi.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

namespace {

HMODULE g_module = nullptr;

std::wstring ModulePath() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(g_module, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

// The library's own file name, for the log; the tests' names are plain ASCII.
std::string ModuleName() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(g_module, path, MAX_PATH);
    const std::string text = path;
    return text.substr(text.find_last_of('\\') + 1);
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\') + 1); }

void Append(const std::string& line) {
    // The program folder: plugins\ lies in it.
    std::wstring folder = FolderOf(ModulePath());
    folder.pop_back();
    const std::wstring log = FolderOf(folder) + L"plugins.log";
    HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::string Hex(const std::uint8_t* bytes, size_t count) {
    std::string text;
    char pair[3];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(pair, sizeof(pair), "%02x", bytes[i]);
        text += pair;
    }
    return text;
}

int Nibble(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

// Nothing here may throw: an exception crossing the interface ends the host.
std::vector<std::uint8_t> Bytes(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(Nibble(hex[i]) * 16 + Nibble(hex[i + 1])));
    return bytes;
}

void Log(const char* exportName) { Append(ModuleName() + " " + exportName); }

void LogRow(const char* exportName, const RECT* rect, const std::uint8_t* buffer) {
    std::string line = ModuleName() + " " + exportName + " ";
    line += std::to_string(rect->left) + "," + std::to_string(rect->top) + "," + std::to_string(rect->right) + "," +
            std::to_string(rect->bottom) + " " + Hex(buffer, 16);
    Append(line);
}

struct WindowSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindOwnMainWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t name[16] = L"";
    GetClassNameW(window, name, 16);
    if (pid != search->pid || lstrcmpW(name, L"TForm1") != 0) return TRUE;
    search->found = window;
    return FALSE;
}

HWND MainWindow() {
    WindowSearch search{GetCurrentProcessId(), nullptr};
    EnumWindows(&FindOwnMainWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// For at least `ms`, and on until the queue is empty: a message posted before is
// always handled, however long the ones before it took.
void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // A modal loop hands the quit on to the loop around it.
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            continue;
        }
        if (GetTickCount() - start >= ms) return;
        Sleep(5);
    }
}

void Run(const std::string& line, std::uint8_t* buffer) {
    std::istringstream words(line);
    std::string command;
    words >> command;
    if (command == "caption" || command == "icon" || command == "data") {
        std::string hex;
        words >> hex;
        const size_t offset = command == "caption" ? core::kPluginCaptionOffset
                              : command == "icon"  ? core::kPluginIconOffset
                                                   : 0;
        const std::vector<std::uint8_t> bytes = Bytes(hex);
        for (size_t i = 0; i < bytes.size() && offset + i < core::kPluginBufferSize; ++i) buffer[offset + i] = bytes[i];
    } else if (command == "post") {
        UINT msg = 0;
        long long lp = 0;
        words >> msg >> lp;
        PostMessageW(MainWindow(), msg, 0, static_cast<LPARAM>(lp));
    } else if (command == "atom") {
        UINT msg = 0;
        std::string name;
        words >> msg >> name;
        PostMessageW(MainWindow(), msg, 0, GlobalAddAtomA(name.c_str()));
    } else if (command == "click") {
        int x = 0, y = 0;
        words >> x >> y;
        const HWND main = MainWindow();
        PostMessageW(main, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        PostMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageW(main, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    } else if (command == "pump") {
        DWORD ms = 0;
        words >> ms;
        Pump(ms);
    } else if (command == "fault") {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
    }
}

[[maybe_unused]] void RunScript(std::uint8_t* buffer) {
    std::wstring path = ModulePath();
    path = path.substr(0, path.find_last_of(L'.')) + L".txt";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::string text;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0) text.append(chunk, read);
    CloseHandle(file);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) Run(line, buffer);
}

}  // namespace

// The exports, declared through the interface header's convention; the asserts
// below keep them the host's types.
extern "C" {
__declspec(dllexport) void ZV_PLUGIN_CALL _LoadPlugin() { Log("_LoadPlugin"); }
__declspec(dllexport) void ZV_PLUGIN_CALL _UnloadPlugin() { Log("_UnloadPlugin"); }
__declspec(dllexport) void ZV_PLUGIN_CALL _OnLeave(RECT* rect, std::uint8_t* buffer) { LogRow("_OnLeave", rect, buffer); }
#ifndef TEST_PLUGIN_LEAVE_ONLY
__declspec(dllexport) void ZV_PLUGIN_CALL _OnEnter(RECT* rect, std::uint8_t* buffer) { LogRow("_OnEnter", rect, buffer); }
__declspec(dllexport) void ZV_PLUGIN_CALL _OnClick(RECT* rect, std::uint8_t* buffer) {
    LogRow("_OnClick", rect, buffer);
    RunScript(buffer);
}
#endif
}

static_assert(std::is_same_v<decltype(&_LoadPlugin), core::PluginNotifyProc>);
static_assert(std::is_same_v<decltype(&_OnLeave), core::PluginRowProc>);
#ifndef TEST_PLUGIN_LEAVE_ONLY
static_assert(std::is_same_v<decltype(&_OnClick), core::PluginRowProc>);
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}
