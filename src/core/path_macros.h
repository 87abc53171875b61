// The two macros icon and target paths are stored with: "%SYSTEM%" (the system
// folder with its trailing backslash) and "%DISK%" (the program's drive, "C:").
#pragma once

#include <string>
#include <string_view>

namespace core {

// Pure form: every "%SYSTEM%", then every "%DISK%", case-sensitive.
std::wstring ExpandPathMacros(std::wstring_view path, std::wstring_view systemDir, std::wstring_view disk);
// With the program's own folders.
std::wstring ExpandPathMacros(std::wstring_view path);

}  // namespace core
