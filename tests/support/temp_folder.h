// A unique temporary folder that a test owns, with helpers to write and read its files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// Owns a new folder under the Windows temp path and removes it, with everything in
// it, when it goes; removal errors are ignored so a failing test still cleans up
// what it can. Relative names may use '\' or '/' and may name sub-folders.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, with a trailing backslash.
    const std::wstring& Path() const { return path_; }
    std::wstring PathOf(const std::wstring& relativeName) const;

    // Creates missing sub-folders; replaces an existing file. Throws on failure.
    void WriteFile(const std::wstring& relativeName, std::string_view bytes) const;
    // UTF-16LE with a byte order mark, as the program's INI files are written.
    void WriteUtf16(const std::wstring& relativeName, std::wstring_view text) const;
    void CopyFileIn(const std::wstring& sourcePath, const std::wstring& relativeName) const;
    void Remove(const std::wstring& relativeName) const;  // a file or a whole sub-folder

    // Throws std::runtime_error when the file is missing, which fails the test.
    std::string ReadFile(const std::wstring& relativeName) const;
    // UTF-16LE with a BOM, UTF-8 (BOM or not) when the bytes are valid UTF-8, else ANSI.
    std::wstring ReadText(const std::wstring& relativeName) const;
    // The CRLF-ended lines of a log a program or library appends to; none when the
    // file is missing.
    std::vector<std::string> ReadLines(const std::wstring& relativeName) const;
    bool Exists(const std::wstring& relativeName) const;  // a file or a folder

private:
    std::wstring path_;
};

// Removes a folder and everything in it, read-only files included; ignores errors.
void RemoveTree(const std::wstring& folder);
// Creates the folder and any missing parents; true when it exists afterwards.
bool CreateFolders(const std::wstring& folder);
// The text of a file's bytes as ReadText decodes them.
std::wstring DecodeText(std::string_view bytes);

}  // namespace testing_support
