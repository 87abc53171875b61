#include "core/path_macros.h"

#include "core/startup.h"

namespace core {
namespace {

std::wstring ReplaceAll(std::wstring text, std::wstring_view what, std::wstring_view with) {
    size_t at = 0;
    while ((at = text.find(what, at)) != std::wstring::npos) {
        text.replace(at, what.size(), with);
        at += with.size();  // a replacement is never searched again
    }
    return text;
}

}  // namespace

// Paths stay wide: a name outside the ANSI code page must still reach the file.
std::wstring ExpandPathMacros(std::wstring_view path, std::wstring_view systemDir, std::wstring_view disk) {
    return ReplaceAll(ReplaceAll(std::wstring(path), L"%SYSTEM%", systemDir), L"%DISK%", disk);
}

std::wstring ExpandPathMacros(std::wstring_view path) {
    return ExpandPathMacros(path, SystemDir, AppDir.substr(0, 2));
}

}  // namespace core
