// The start-with-Windows entry: the value "Vabo" under the Run key of the current
// user or of the machine, reached through one replaceable table by root so that
// tests can see what would be written.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace core {

inline constexpr wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = L"Vabo";

// Each takes HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE and answers with a Win32 error
// code where it changes something.
struct RunValueFunctions {
    // The value exists under the root's Run key; the key is opened read-only and
    // never created, so a missing key or an unreadable value is no entry.
    std::function<bool(HKEY root)> query;
    // Sets the string value, creating the key when it is missing.
    std::function<LONG(HKEY root, const std::wstring& command)> set;
    // ERROR_FILE_NOT_FOUND when the key or the value is missing.
    std::function<LONG(HKEY root)> remove;
};

// The table in use: the registry unless a test replaced it.
const RunValueFunctions& RunValues();
// Replaces the table; nullopt puts the registry back.
void SetRunValueFunctionsForTests(std::optional<RunValueFunctions> functions);
// The registry itself, for the test of the real key.
RunValueFunctions RealRunValueFunctions();

// The command line the entry holds: the program's full path in double quotes, since
// a path with blanks is an ambiguous command line unquoted.
std::wstring RunCommandFor(const std::wstring& exePath);

// Either root holds the entry: an older install may have used the machine's key.
bool StartsWithWindows();
// Checked: the user's entry is written unless the machine's key already holds one.
// Cleared: the entry is deleted wherever it exists. False when a write or delete
// failed; every other step is still tried.
bool ApplyStartWithWindows(bool wanted, const std::wstring& exePath);

}  // namespace core
