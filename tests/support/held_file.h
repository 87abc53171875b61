// A file held open by the test the way another program might hold it, so that the
// program under test cannot replace it.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// Open for reading. With read sharing (the default) others may still read the file,
// but a move over it fails until the handle goes; with no sharing nobody may open it.
class FileHeldOpen {
public:
    explicit FileHeldOpen(const std::wstring& path, DWORD share = FILE_SHARE_READ)
        : handle_(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~FileHeldOpen() { Release(); }
    FileHeldOpen(const FileHeldOpen&) = delete;
    FileHeldOpen& operator=(const FileHeldOpen&) = delete;

    bool IsOpen() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }
    void Release() noexcept {
        if (IsOpen()) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_;
};

}  // namespace testing_support
