#include "support/gdi_counts.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

namespace testing_support {
namespace {

// Wine keeps a per-process table of GDI handles and publishes it through the PEB,
// as Windows does. Its entries are the same 24 bytes on both architectures (Wine
// shares the layout with WoW64); an entry is in use when its type byte is set.
constexpr std::size_t kHandleEntries = 0x10000;
constexpr std::size_t kEntrySize = 24;
constexpr std::size_t kTypeOffset = 14;
#ifdef _WIN64
constexpr std::size_t kPebGdiTableOffset = 0xF8;
#else
constexpr std::size_t kPebGdiTableOffset = 0x94;
#endif

// The PEB through NtQueryInformationProcess: GCC takes NtCurrentTeb's segment read
// for a null dereference and warns.
const std::uint8_t* GdiHandleTable() {
    struct BasicInformation {
        LONG_PTR exitStatus;
        const std::uint8_t* pebBaseAddress;
        ULONG_PTR affinityMask;
        LONG_PTR basePriority;
        ULONG_PTR uniqueProcessId;
        ULONG_PTR inheritedFromUniqueProcessId;
    };
    using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) return nullptr;
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryInformationProcess")));
    if (!query) return nullptr;
    BasicInformation info{};
    if (query(GetCurrentProcess(), 0 /* ProcessBasicInformation */, &info, sizeof(info), nullptr) != 0 ||
        !info.pebBaseAddress)
        return nullptr;
    return *reinterpret_cast<const std::uint8_t* const*>(info.pebBaseAddress + kPebGdiTableOffset);
}

int CountTableEntries() {
    const std::uint8_t* table = GdiHandleTable();
    if (!table) return -1;
    int used = 0;
    for (std::size_t i = 0; i < kHandleEntries; ++i) used += table[i * kEntrySize + kTypeOffset] != 0;
    return used;
}

// The IME windows come and go with the thread's first and last window; they are
// the system's, never ours.
BOOL CALLBACK CountWindow(HWND window, LPARAM counter) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (lstrcmpiW(name, L"IME") != 0 && lstrcmpiW(name, L"MSCTFIME UI") != 0) ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

}  // namespace

int GdiObjectCount() {
    SetLastError(0);
    const DWORD answered = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (answered != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return static_cast<int>(answered);
    return CountTableEntries();
}

void WarmUpResourceCounts() {
    HDC screen = GetDC(nullptr);
    if (screen) ReleaseDC(nullptr, screen);
    // Every leak check compares two counts: equal failures would pass it unmeasured.
    if (GdiObjectCount() <= 0) ADD_FAILURE() << "this process's GDI objects cannot be counted";
}

int ThreadWindowCount() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

ResourceCounts CurrentResourceCounts() { return ResourceCounts{GdiObjectCount(), ThreadWindowCount()}; }

}  // namespace testing_support
