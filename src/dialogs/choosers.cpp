#include "dialogs/choosers.h"

#include "ui/handles.h"

#include <commdlg.h>
#include <ras.h>
#include <raserror.h>
// ras.h maps RasEnumEntries to RasEnumEntriesW, the chooser table's member included.
#undef RasEnumEntries
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwchar>

namespace dialogs {
namespace {

// The file dialog's child template (resources/dialogs.rc.inc) and its check box.
constexpr wchar_t kFileTemplate[] = L"OFT";
constexpr int kRelativePathBox = 101;
// Wide characters of the file-name buffer: long paths fit, not only MAX_PATH.
constexpr DWORD kFileNameChars = 32768;
// The icon chooser's buffer, in wide characters, as the shell's chooser expects it.
constexpr size_t kIconFileChars = 260;
// A reported phone-book size beyond this is no answer to trust.
constexpr DWORD kMaxPhoneBookBytes = 16u << 20;

using EntryName = RASENTRYNAMEW;  // a macro naming `struct tagRASENTRYNAMEW`

struct FileDialogState {
    bool relativePath = false;
};

UINT_PTR CALLBACK OpenFileHookProc(HWND dialog, UINT msg, WPARAM, LPARAM lp) noexcept {
    switch (msg) {
    case WM_INITDIALOG: {
        const auto* ofn = reinterpret_cast<const OPENFILENAMEW*>(lp);
        SetWindowLongPtrW(dialog, DWLP_USER, static_cast<LONG_PTR>(ofn->lCustData));
        CheckDlgButton(dialog, kRelativePathBox, BST_UNCHECKED);
        return 0;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lp);
        if (header->code != CDN_FILEOK) return 0;
        if (auto* state = reinterpret_cast<FileDialogState*>(GetWindowLongPtrW(dialog, DWLP_USER)))
            state->relativePath = IsDlgButtonChecked(dialog, kRelativePathBox) == BST_CHECKED;
        return 0;  // the file is accepted
    }
    }
    return 0;
}

std::wstring FilterString(const FileFilter& filter) {
    std::wstring joined;
    for (const auto& [description, pattern] : filter) {
        joined.append(description).push_back(L'\0');
        joined.append(pattern).push_back(L'\0');
    }
    joined.push_back(L'\0');  // with the pair's own NUL: the double NUL that ends the list
    return joined;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The dialog opens in a folder only: a file's path (a program's target) gives its folder.
std::wstring InitialFolderOf(const std::wstring& given) {
    if (given.empty() || IsFolder(given)) return given;
    const size_t slash = given.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return given;
    std::wstring parent = given.substr(0, slash);
    if (parent.size() == 2 && parent[1] == L':') parent.push_back(L'\\');
    return IsFolder(parent) ? parent : given;
}

std::wstring CurrentFolder() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    if (size == 0) return {};
    std::wstring folder(size, L'\0');
    folder.resize(GetCurrentDirectoryW(size, folder.data()));
    return folder;
}

using PickIconDlgFunction = int(WINAPI*)(HWND, PWSTR, UINT, int*);
using GetPathFromIdListExFunction = BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, PWSTR, DWORD, int);
using RasEnumEntriesWFunction = DWORD(WINAPI*)(LPCWSTR, LPCWSTR, LPRASENTRYNAMEW, LPDWORD, LPDWORD);

// The folder of an item list: SHGetPathFromIDListEx (Vista and later) takes a buffer
// of any size, so long paths grow it; before it, MAX_PATH and one.
std::wstring PathOfIdList(PCIDLIST_ABSOLUTE list) {
    HMODULE shell = GetModuleHandleW(L"shell32.dll");
    auto getPathEx = shell ? reinterpret_cast<GetPathFromIdListExFunction>(
                                 reinterpret_cast<void*>(GetProcAddress(shell, "SHGetPathFromIDListEx")))
                           : nullptr;
    if (getPathEx) {
        for (DWORD size = MAX_PATH + 1; size <= kFileNameChars; size *= 4) {
            std::wstring path(size, L'\0');
            if (getPathEx(list, path.data(), size, 0 /* GPFIDL_DEFAULT */)) {
                path.resize(wcsnlen(path.c_str(), size));
                return path;
            }
        }
        return {};
    }
    wchar_t path[MAX_PATH + 1] = {};
    return SHGetPathFromIDListW(list, path) ? std::wstring(path) : std::wstring();
}

RasEnumEntriesFunction LoadRasEnumEntries() {
    // Kept for the process's life: the table holds the function.
    static HMODULE ras = LoadLibraryW(L"rasapi32.dll");
    if (!ras) return {};
    auto enumEntries = reinterpret_cast<RasEnumEntriesWFunction>(
        reinterpret_cast<void*>(GetProcAddress(ras, "RasEnumEntriesW")));
    if (!enumEntries) return {};
    return [enumEntries](void* buffer, DWORD* bytes, DWORD* entries) {
        return enumEntries(nullptr, nullptr, static_cast<LPRASENTRYNAMEW>(buffer), bytes, entries);
    };
}

ChooserFunctions RealChoosers() {
    ChooserFunctions real;
    real.SelectFile = &RealSelectFile;
    real.BrowseFolder = &RealBrowseFolder;
    real.PickIcon = &RealPickIcon;
    real.RasEnumEntries = LoadRasEnumEntries();
    return real;
}

ChooserFunctions& Table() {
    static ChooserFunctions table = RealChoosers();
    return table;
}

}  // namespace

bool RealSelectFile(HWND owner, const std::wstring& initialFolder, const FileFilter& filter,
                    std::wstring& fileName, bool& useRelativePath) {
    std::wstring buffer(kFileNameChars, L'\0');
    const std::wstring filterText = FilterString(filter);
    const std::wstring folder = InitialFolderOf(initialFolder);
    FileDialogState state;
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.hInstance = GetModuleHandleW(nullptr);
    ofn.lpstrFilter = filter.empty() ? nullptr : filterText.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = kFileNameChars;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = L"Select File";
    ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
                OFN_FILEMUSTEXIST | OFN_CREATEPROMPT | OFN_ENABLESIZING;
    ofn.lCustData = reinterpret_cast<LPARAM>(&state);
    ofn.lpfnHook = &OpenFileHookProc;
    ofn.lpTemplateName = kFileTemplate;
    // The dialog moves the process's current folder to wherever the user browsed,
    // even on a cancel (OFN_NOCHANGEDIR does nothing for the open dialog): put it
    // back, or the folder stays in use and cannot be removed or ejected.
    const std::wstring current = CurrentFolder();
    const bool confirmed = GetOpenFileNameW(&ofn) != FALSE;
    if (!current.empty()) SetCurrentDirectoryW(current.c_str());
    fileName.assign(buffer.c_str());
    if (!confirmed) {
        fileName.clear();  // a failed dialog (no template, a bad folder) is a cancel too
        return false;
    }
    useRelativePath = state.relativePath;
    return true;
}

bool RealBrowseFolder(HWND owner, std::wstring& displayName, std::wstring& path) {
    wchar_t display[MAX_PATH + 1] = {};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pszDisplayName = display;
    info.lpszTitle = L"";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_VALIDATE;
    PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info);
    path.clear();
    if (!list) return false;
    ui::ScopeExit free([list] { CoTaskMemFree(list); });
    path = PathOfIdList(list);
    if (path.empty()) return false;
    displayName = display;
    return true;
}

int RealPickIcon(HWND owner, std::wstring& file, int& index) {
    // The chooser works on a fixed buffer: a longer name cannot be handed to it.
    if (file.size() >= kIconFileChars) return 0;
    HMODULE shell = GetModuleHandleW(L"shell32.dll");
    auto pickIcon = shell ? reinterpret_cast<PickIconDlgFunction>(
                                reinterpret_cast<void*>(GetProcAddress(shell, MAKEINTRESOURCEA(62))))
                          : nullptr;
    if (!pickIcon) return 0;
    wchar_t buffer[kIconFileChars] = {};
    std::copy(file.begin(), file.end(), buffer);
    int chosen = index;
    const int answer = pickIcon(owner, buffer, static_cast<UINT>(kIconFileChars), &chosen);
    buffer[kIconFileChars - 1] = L'\0';
    file = buffer;
    index = chosen;
    return answer;
}

const ChooserFunctions& Choosers() { return Table(); }

void SetChoosersForTests(ChooserFunctions functions) {
    ChooserFunctions real = RealChoosers();
    if (!functions.SelectFile) functions.SelectFile = std::move(real.SelectFile);
    if (!functions.BrowseFolder) functions.BrowseFolder = std::move(real.BrowseFolder);
    if (!functions.PickIcon) functions.PickIcon = std::move(real.PickIcon);
    if (!functions.RasEnumEntries) functions.RasEnumEntries = std::move(real.RasEnumEntries);
    Table() = std::move(functions);
}

void ResetChoosers() { Table() = RealChoosers(); }

bool PhoneBookEntries(std::vector<std::wstring>& names) {
    names.clear();
    const RasEnumEntriesFunction& enumEntries = Choosers().RasEnumEntries;
    if (!enumEntries) return true;
    std::vector<EntryName> records(1);
    records[0].dwSize = sizeof(RASENTRYNAMEW);
    DWORD bytes = sizeof(RASENTRYNAMEW);
    DWORD entries = 0;
    DWORD result = enumEntries(records.data(), &bytes, &entries);
    if (result == ERROR_BUFFER_TOO_SMALL) {
        if (bytes > kMaxPhoneBookBytes) return false;
        const size_t count = std::max<size_t>(1, (bytes + sizeof(RASENTRYNAMEW) - 1) / sizeof(RASENTRYNAMEW));
        records.assign(count, EntryName{});
        records[0].dwSize = sizeof(RASENTRYNAMEW);
        entries = 0;
        result = enumEntries(records.data(), &bytes, &entries);
    }
    if (result != 0) return false;
    // The count comes from the other side: never read past the records we hold.
    const size_t taken = std::min<size_t>(entries, records.size());
    for (size_t i = 0; i < taken; ++i) {
        const wchar_t* name = records[i].szEntryName;
        names.emplace_back(name, wcsnlen(name, std::min<size_t>(256, std::size(records[i].szEntryName))));
    }
    return true;
}

}  // namespace dialogs
