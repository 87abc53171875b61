// File and path helpers; every replacing write of a user file is atomic.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ui {

bool FileExists(const std::wstring& path);       // a file, not a folder
bool DirectoryExists(const std::wstring& path);
// Nothing for a missing or unreadable file, or one longer than maxBytes.
std::optional<std::string> ReadFileBytes(const std::wstring& path, std::size_t maxBytes = 0x7FFFFFFF);
// Writes to a temporary file in the same folder, flushes it and moves it over the
// target, so a crash or a full disk never leaves a truncated file.
bool WriteFileAtomic(const std::wstring& path, std::string_view bytes);
// The temporary name WriteFileAtomic uses for a target.
std::wstring AtomicTempName(const std::wstring& path);
// Moves an already written and flushed file over the target.
bool ReplaceFileWith(const std::wstring& source, const std::wstring& target);

// "C:\a\b.xml" -> "C:\a\b.bak"; a name without extension gets one.
std::wstring ChangeFileExt(const std::wstring& path, std::wstring_view ext);
// The extension with its dot, or empty.
std::wstring ExtractFileExt(const std::wstring& path);
// The folder with its trailing backslash.
std::wstring ExtractFilePath(const std::wstring& path);
std::wstring ExtractFileName(const std::wstring& path);
std::wstring IncludeTrailingBackslash(const std::wstring& path);

std::wstring ModuleFileName(void* module = nullptr);

}  // namespace ui
