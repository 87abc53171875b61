// The index walk: every file and folder below a folder, in the order Index.dat lists them.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// Where a folder really is: a link back up to an ancestor has the ancestor's identity.
struct FolderIdentity {
    DWORD Volume = 0;
    ULONGLONG File = 0;
    bool operator==(const FolderIdentity&) const = default;
};

// The walk's access to the file system. The real one enumerates with FindFirstFileExW
// (basic information, large fetch); tests slow it down or make links Wine cannot make.
struct FolderEnumeration {
    // INVALID_HANDLE_VALUE when the pattern's folder cannot be listed.
    std::function<HANDLE(const std::wstring& pattern, WIN32_FIND_DATAW& data)> FindFirst;
    std::function<bool(HANDLE find, WIN32_FIND_DATAW& data)> FindNext;
    std::function<void(HANDLE find)> FindClose;
    // The folder a path leads to, links followed; nothing when it cannot be opened.
    std::function<std::optional<FolderIdentity>(const std::wstring& folder)> Identity;
};
FolderEnumeration RealFolderEnumeration();
// The enumeration that builds started from now on use; nothing brings back the real one.
void SetFolderEnumerationForTests(std::optional<FolderEnumeration> enumeration);
FolderEnumeration CurrentFolderEnumeration();

// Receives the walk's paths. False stops the walk (the index file could not be written).
class IndexSink {
public:
    virtual ~IndexSink() = default;
    virtual bool Add(std::wstring_view path) = 0;
};

// Below the folder of `mask` (a folder, a backslash, "*.*"): in each folder its files
// (neither system nor volume entries) in file-system order, then each sub-folder (not
// hidden or system, no leading ".") walked and then listed. A link is listed, but walked
// only when it leads neither to the folder being walked nor to one above it. The folder
// of `mask` is not listed itself. False when `cancel` was set or the sink refused a path.
bool CollectFiles(const std::wstring& mask, IndexSink& paths, const FolderEnumeration& enumeration,
                  const std::atomic<bool>& cancel);

}  // namespace core
