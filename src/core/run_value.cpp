#include "core/run_value.h"

namespace core {
namespace {

std::optional<RunValueFunctions>& Replaced() {
    static std::optional<RunValueFunctions> replaced;
    return replaced;
}

bool RealQuery(HKEY root) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kRunKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    const LONG result = RegQueryValueExW(key, kRunValueName, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

LONG RealSet(HKEY root, const std::wstring& command) {
    HKEY key = nullptr;
    LONG result = RegCreateKeyExW(root, kRunKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) return result;
    const auto bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
    result = RegSetValueExW(key, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()), bytes);
    RegCloseKey(key);
    return result;
}

LONG RealRemove(HKEY root) {
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(root, kRunKeyPath, 0, KEY_SET_VALUE, &key);
    if (result != ERROR_SUCCESS) return result;
    result = RegDeleteValueW(key, kRunValueName);
    RegCloseKey(key);
    return result;
}

}  // namespace

RunValueFunctions RealRunValueFunctions() { return {&RealQuery, &RealSet, &RealRemove}; }

const RunValueFunctions& RunValues() {
    static const RunValueFunctions real = RealRunValueFunctions();
    return Replaced() ? *Replaced() : real;
}

void SetRunValueFunctionsForTests(std::optional<RunValueFunctions> functions) { Replaced() = std::move(functions); }

std::wstring RunCommandFor(const std::wstring& exePath) { return L"\"" + exePath + L"\""; }

bool StartsWithWindows() {
    const RunValueFunctions& run = RunValues();
    return run.query(HKEY_CURRENT_USER) || run.query(HKEY_LOCAL_MACHINE);
}

bool ApplyStartWithWindows(bool wanted, const std::wstring& exePath) {
    const RunValueFunctions& run = RunValues();
    if (wanted) {
        if (run.query(HKEY_LOCAL_MACHINE)) return true;
        return run.set(HKEY_CURRENT_USER, RunCommandFor(exePath)) == ERROR_SUCCESS;
    }
    bool ok = true;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        if (!run.query(root)) continue;
        const LONG result = run.remove(root);
        if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) ok = false;
    }
    return ok;
}

}  // namespace core
