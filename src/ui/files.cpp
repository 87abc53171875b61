#include "ui/files.h"

#include "ui/handles.h"

#include <windows.h>

namespace ui {

bool FileExists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> ReadFileBytes(const std::wstring& path, std::size_t maxBytes) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF ||
        static_cast<unsigned long long>(size.QuadPart) > maxBytes)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size()))
        return std::nullopt;
    return bytes;
}

std::wstring AtomicTempName(const std::wstring& path) { return path + L".tmp"; }

bool ReplaceFileWith(const std::wstring& source, const std::wstring& target) {
    return MoveFileExW(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool WriteFileAtomic(const std::wstring& path, std::string_view bytes) {
    const std::wstring temp = AtomicTempName(path);
    {
        UniqueFile file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        DWORD written = 0;
        bool ok = WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                            nullptr) &&
                  written == bytes.size() && FlushFileBuffers(file.Get());
        if (!ok) {
            file.Reset();
            DeleteFileW(temp.c_str());
            return false;
        }
    }
    if (ReplaceFileWith(temp, path)) return true;
    DeleteFileW(temp.c_str());
    return false;
}

namespace {
size_t NameStart(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? 0 : slash + 1;
}
}  // namespace

std::wstring ExtractFileExt(const std::wstring& path) {
    size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos || dot < NameStart(path)) return {};
    return path.substr(dot);
}

std::wstring ChangeFileExt(const std::wstring& path, std::wstring_view ext) {
    size_t dot = path.rfind(L'.');
    std::wstring stem = (dot == std::wstring::npos || dot < NameStart(path)) ? path : path.substr(0, dot);
    return stem.append(ext);
}

std::wstring ExtractFilePath(const std::wstring& path) { return path.substr(0, NameStart(path)); }
std::wstring ExtractFileName(const std::wstring& path) { return path.substr(NameStart(path)); }

std::wstring IncludeTrailingBackslash(const std::wstring& path) {
    if (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) return path;
    return path + L"\\";
}

std::wstring ModuleFileName(void* module) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(static_cast<HMODULE>(module), buffer.data(),
                                     static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);  // truncated: grow and ask again
    }
}

}  // namespace ui
