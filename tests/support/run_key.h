// The user's Run key in the test prefix, read and cleaned up by the tests that
// write the start-with-Windows entry for real.
#pragma once

#include "core/run_value.h"

#include <windows.h>

#include <string>

namespace testing_support {

// The entry's text under HKEY_CURRENT_USER; "(none)" when it is missing.
inline std::wstring UserRunValue() {
    wchar_t data[1024] = {};
    DWORD bytes = sizeof(data) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, core::kRunKeyPath, core::kRunValueName, RRF_RT_REG_SZ, nullptr, data,
                     &bytes) != ERROR_SUCCESS)
        return L"(none)";
    return data;
}

// Deletes the entry: a restart of the prefix would start whatever the key lists.
inline void DeleteUserRunValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, core::kRunKeyPath, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, core::kRunValueName);
    RegCloseKey(key);
}

}  // namespace testing_support
