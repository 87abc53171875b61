#include "support/temp_folder.h"

#include "ui/files.h"
#include "ui/handles.h"
#include "ui/strings.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>

namespace testing_support {
namespace {

std::wstring Normalised(std::wstring name) {
    for (auto& c : name)
        if (c == L'/') c = L'\\';
    return name;
}

std::wstring ParentOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

[[noreturn]] void Fail(const std::wstring& what, const std::wstring& path) {
    throw std::runtime_error(ui::WideToUtf8(what + L": " + path) + " (error " +
                             std::to_string(GetLastError()) + ")");
}

// GetTempPathW may hand out 8.3 short names; tests compare our paths with those
// other processes report, which are long.
std::wstring LongPath(const std::wstring& path) {
    DWORD n = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (n == 0) return path;
    std::wstring out(n, L'\0');
    n = GetLongPathNameW(path.c_str(), out.data(), n);
    if (n == 0 || n >= out.size()) return path;
    out.resize(n);
    return out;
}

std::wstring NewUniqueFolder() {
    DWORD n = GetTempPathW(0, nullptr);
    std::wstring base(n, L'\0');
    n = GetTempPathW(n, base.data());
    base.resize(n);
    base = ui::IncludeTrailingBackslash(base);
    CreateFolders(base);
    // Parallel test processes share the temp path: the pid keeps them apart, the
    // counter keeps the folders of one process apart, and a name already taken
    // (a stale folder of a dead process with our pid) is simply skipped.
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::wstring path = base + L"zarvo-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(counter++) + L"-" + std::to_wstring(GetTickCount() % 100000);
        if (CreateDirectoryW(path.c_str(), nullptr)) return ui::IncludeTrailingBackslash(LongPath(path));
        if (GetLastError() != ERROR_ALREADY_EXISTS) Fail(L"cannot create a temporary folder", path);
    }
    throw std::runtime_error("no free temporary folder name");
}

}  // namespace

bool CreateFolders(const std::wstring& folder) {
    std::wstring path = Normalised(folder);
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    if (path.empty() || ui::DirectoryExists(path)) return true;
    // "C:" has no parent to create.
    if (path.size() == 2 && path[1] == L':') return false;
    std::wstring parent = ParentOf(path);
    if (!parent.empty() && !CreateFolders(parent)) return false;
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void RemoveTree(const std::wstring& folder) {
    const std::wstring base = ui::IncludeTrailingBackslash(Normalised(folder));
    WIN32_FIND_DATAW found{};
    ui::UniqueFind find(FindFirstFileW((base + L"*").c_str(), &found));
    if (find) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = base + name;
            // A read-only file or folder refuses deletion until the attribute goes.
            if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                SetFileAttributesW(path.c_str(), found.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
            // A junction is removed as a link, never followed into its target.
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveTree(path);
            else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryW(path.c_str());
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(find.Get(), &found));
    }
    find.Reset();
    std::wstring self = base;
    self.pop_back();
    SetFileAttributesW(self.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(self.c_str());
}

std::vector<std::string> TempFolder::ReadLines(const std::wstring& relativeName) const {
    std::vector<std::string> lines;
    if (!Exists(relativeName)) return lines;
    const std::string text = ReadFile(relativeName);
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

std::wstring DecodeText(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::wstring text((bytes.size() - 2) / 2, L'\0');
        for (size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                           static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
        return text;
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return ui::Utf8ToWide(bytes.substr(3));
    // ui::Utf8ToWide would turn invalid bytes into U+FFFD; ANSI text is nearly never valid UTF-8.
    if (!bytes.empty() && MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                              static_cast<int>(bytes.size()), nullptr, 0) == 0)
        return ui::AnsiToWide(bytes);
    return ui::Utf8ToWide(bytes);
}

TempFolder::TempFolder() : path_(NewUniqueFolder()) {}

TempFolder::~TempFolder() { RemoveTree(path_); }

std::wstring TempFolder::PathOf(const std::wstring& relativeName) const {
    return path_ + Normalised(relativeName);
}

void TempFolder::WriteFile(const std::wstring& relativeName, std::string_view bytes) const {
    const std::wstring path = PathOf(relativeName);
    if (!CreateFolders(ParentOf(path))) Fail(L"cannot create the folder of", path);
    ui::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) Fail(L"cannot create", path);
    DWORD written = 0;
    if (!::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        Fail(L"cannot write", path);
}

void TempFolder::WriteUtf16(const std::wstring& relativeName, std::wstring_view text) const {
    std::string bytes = "\xFF\xFE";
    bytes.reserve(2 + text.size() * 2);
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    WriteFile(relativeName, bytes);
}

void TempFolder::CopyFileIn(const std::wstring& sourcePath, const std::wstring& relativeName) const {
    const std::wstring path = PathOf(relativeName);
    if (!CreateFolders(ParentOf(path))) Fail(L"cannot create the folder of", path);
    if (!CopyFileW(sourcePath.c_str(), path.c_str(), FALSE)) Fail(L"cannot copy " + sourcePath + L" to", path);
}

void TempFolder::Remove(const std::wstring& relativeName) const {
    const std::wstring path = PathOf(relativeName);
    if (ui::DirectoryExists(path)) {
        RemoveTree(path);
    } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
    }
    if (Exists(relativeName)) Fail(L"cannot remove", path);
}

std::string TempFolder::ReadFile(const std::wstring& relativeName) const {
    const std::wstring path = PathOf(relativeName);
    // Tests read files that a running Zarvo.exe replaces by a move. The move holds the
    // file open for deletion for a moment, and a reader that does not share deletion
    // would both fail then and make the program's next move over the file fail.
    ui::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) Fail(L"cannot read", path);
    std::string bytes;
    char chunk[65536];
    DWORD read = 0;
    for (;;) {
        if (!::ReadFile(file.Get(), chunk, sizeof chunk, &read, nullptr)) Fail(L"cannot read", path);
        if (read == 0) return bytes;
        bytes.append(chunk, read);
    }
}

std::wstring TempFolder::ReadText(const std::wstring& relativeName) const {
    return DecodeText(ReadFile(relativeName));
}

bool TempFolder::Exists(const std::wstring& relativeName) const {
    return GetFileAttributesW(PathOf(relativeName).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace testing_support
