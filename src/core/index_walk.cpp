#include "core/index_walk.h"

#include "ui/handles.h"

#include <deque>
#include <mutex>
#include <vector>

namespace core {
namespace {

// The volume-label bit of the old DOS attributes; the Windows headers no longer name it.
constexpr DWORD kVolumeAttribute = 0x8;
constexpr DWORD kUnlistedFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM | kVolumeAttribute;
constexpr DWORD kUnwalkedFolder = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | kVolumeAttribute;

HANDLE RealFindFirst(const std::wstring& pattern, WIN32_FIND_DATAW& data) {
    // Basic information skips the short names; the large fetch asks for bigger batches.
    return FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                            FIND_FIRST_EX_LARGE_FETCH);
}

std::optional<FolderIdentity> RealIdentity(const std::wstring& folder) {
    // No access rights asked: the identity needs none, and a folder we may not read
    // still has one.
    ui::UniqueFile file(CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.Get(), &info)) return std::nullopt;
    return FolderIdentity{info.dwVolumeSerialNumber,
                          (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

std::mutex g_enumerationMutex;
std::optional<FolderEnumeration> g_enumerationForTests;

// One walk: one path buffer that grows and shrinks with the depth, and per depth one
// packed list of the sub-folders met, reused by every folder at that depth, so an entry
// costs no allocation.
class Walker {
public:
    Walker(IndexSink& sink, const FolderEnumeration& enumeration, const std::atomic<bool>& cancel)
        : sink_(sink), enumeration_(enumeration), cancel_(cancel) {}

    bool Run(const std::wstring& mask) {
        const size_t slash = mask.find_last_of(L"\\/");
        path_.reserve(1024);
        path_.assign(mask, 0, slash == std::wstring::npos ? 0 : slash + 1);
        return Walk(0);
    }

private:
    struct Ancestor {
        size_t length = 0;  // of its path in path_, trailing backslash included
        bool known = false;
        std::optional<FolderIdentity> identity;
    };

    bool Cancelled() const { return cancel_.load(std::memory_order_relaxed); }

    // path_ holds the folder with its trailing backslash.
    bool Walk(size_t depth) {
        const size_t dirLength = path_.size();
        if (folders_.size() <= depth) folders_.resize(depth + 1);
        if (ancestors_.size() <= depth) ancestors_.resize(depth + 1);
        ancestors_[depth] = Ancestor{dirLength, false, std::nullopt};
        // A deque: deeper levels add lists without moving this one.
        std::wstring& folders = folders_[depth];
        folders.clear();
        if (!ListFiles(dirLength, folders)) return false;
        for (size_t at = 0; at < folders.size();) {
            const bool link = folders[at] == L'1';
            const size_t end = folders.find(L'\0', at + 1);
            path_.resize(dirLength);
            path_.append(folders, at + 1, end - at - 1);
            at = end + 1;
            const size_t folderLength = path_.size();
            if (!link || MayEnter(depth)) {
                path_ += L'\\';
                if (!Walk(depth + 1)) return false;
                path_.resize(folderLength);
            }
            // A folder comes after its contents.
            if (Cancelled() || !sink_.Add(path_)) return false;
        }
        path_.resize(dirLength);
        return true;
    }

    // One enumeration of the folder: its files go to the sink at once, its sub-folders
    // into `folders` as a link mark ('1' or '0'), the name and a NUL.
    bool ListFiles(size_t dirLength, std::wstring& folders) {
        path_ += L"*.*";
        const HANDLE find = enumeration_.FindFirst(path_, data_);
        path_.resize(dirLength);
        if (find == INVALID_HANDLE_VALUE) return !Cancelled();  // a folder we cannot list adds nothing
        ui::ScopeExit close([this, find] { enumeration_.FindClose(find); });
        do {
            if (Cancelled()) return false;
            const DWORD attributes = data_.dwFileAttributes;
            const wchar_t* name = data_.cFileName;
            if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                // The leading dot skips ".", ".." and every dot-folder.
                if ((attributes & kUnwalkedFolder) || name[0] == L'.' || name[0] == L'\0') continue;
                folders += (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? L'1' : L'0';
                folders += name;
                folders += L'\0';
            } else if (!(attributes & kUnlistedFile) && name[0] != L'\0') {
                path_.resize(dirLength);
                path_ += name;
                if (!sink_.Add(path_)) return false;
            }
        } while (enumeration_.FindNext(find, data_));
        path_.resize(dirLength);
        return !Cancelled();
    }

    // path_ holds a link below the folder at `depth`: it is walked unless it leads back
    // to that folder or one above it, which would walk the same tree again and again.
    bool MayEnter(size_t depth) {
        const std::optional<FolderIdentity> target = enumeration_.Identity(path_);
        if (!target) return false;
        for (size_t k = 0; k <= depth; ++k) {
            Ancestor& ancestor = ancestors_[k];
            if (!ancestor.known) {
                ancestor.identity = enumeration_.Identity(path_.substr(0, ancestor.length));
                ancestor.known = true;
            }
            if (ancestor.identity == target) return false;
        }
        return true;
    }

    IndexSink& sink_;
    const FolderEnumeration& enumeration_;
    const std::atomic<bool>& cancel_;
    std::wstring path_;
    std::deque<std::wstring> folders_;
    std::vector<Ancestor> ancestors_;
    WIN32_FIND_DATAW data_{};  // an enumeration ends before the walk goes deeper
};

}  // namespace

FolderEnumeration RealFolderEnumeration() {
    return FolderEnumeration{RealFindFirst,
                             [](HANDLE find, WIN32_FIND_DATAW& data) { return FindNextFileW(find, &data) != 0; },
                             [](HANDLE find) { FindClose(find); }, RealIdentity};
}

void SetFolderEnumerationForTests(std::optional<FolderEnumeration> enumeration) {
    std::lock_guard lock(g_enumerationMutex);
    g_enumerationForTests = std::move(enumeration);
}

FolderEnumeration CurrentFolderEnumeration() {
    std::lock_guard lock(g_enumerationMutex);
    return g_enumerationForTests ? *g_enumerationForTests : RealFolderEnumeration();
}

bool CollectFiles(const std::wstring& mask, IndexSink& paths, const FolderEnumeration& enumeration,
                  const std::atomic<bool>& cancel) {
    Walker walker(paths, enumeration, cancel);
    return walker.Run(mask);
}

}  // namespace core
