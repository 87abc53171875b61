// A stand-in for zvhook.dll: each call of Hook appends "Hook(1)" or "Hook(0)" to
// hook.log beside the library. With a file hook.fault beside it, Hook(1) writes
// through a null pointer, as a broken library would. Built a second time without
// the export (FAKE_HOOK_WITHOUT_EXPORT), for the host's missing-export path.
#include <windows.h>

#include <cstdint>
#include <string>

namespace {

HMODULE g_module = nullptr;

std::wstring Beside(const wchar_t* name) {
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(g_module, path, MAX_PATH);
    std::wstring folder = path;
    folder.resize(folder.find_last_of(L'\\') + 1);
    return folder + name;
}

void Append(const char* line) {
    HANDLE file = CreateFileW(Beside(L"hook.log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
    CloseHandle(file);
}

void Record(std::int32_t on) {
    Append(on ? "Hook(1)\r\n" : "Hook(0)\r\n");
    if (on && GetFileAttributesW(Beside(L"hook.fault").c_str()) != INVALID_FILE_ATTRIBUTES) {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
    }
}

}  // namespace

#ifndef FAKE_HOOK_WITHOUT_EXPORT
extern "C" __declspec(dllexport) void __stdcall Hook(std::int32_t on) { Record(on); }
#else
extern "C" __declspec(dllexport) void __stdcall NotHook(std::int32_t on) { Record(on); }
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}
