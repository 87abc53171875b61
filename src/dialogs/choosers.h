// The shell's choosers the dialogs open (file, folder, icon) and the phone book's
// entry list, reached through one replaceable table so that tests can answer them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace dialogs {

// Filter pairs as the file dialog shows them: description, pattern.
using FileFilter = std::vector<std::pair<std::wstring, std::wstring>>;

// The phone book's entry list as RasEnumEntriesW gives it: `buffer` holds `*bytes`
// bytes of records whose first dwSize is set; on 603 (ERROR_BUFFER_TOO_SMALL)
// `*bytes` is the size needed.
using RasEnumEntriesFunction = std::function<DWORD(void* buffer, DWORD* bytes, DWORD* entries)>;

struct ChooserFunctions {
    // The open-file dialog with the "Use relative path" box: true when a file was
    // confirmed. `fileName` is set in every case (empty after a cancel) and
    // `useRelativePath` to the box's state when a file was confirmed.
    std::function<bool(HWND owner, const std::wstring& initialFolder, const FileFilter& filter,
                       std::wstring& fileName, bool& useRelativePath)>
        SelectFile;
    // The shell's folder chooser: true when a folder was chosen, with its display
    // name and full path; on a cancel `path` is emptied and `displayName` left alone.
    std::function<bool(HWND owner, std::wstring& displayName, std::wstring& path)> BrowseFolder;
    // The shell's icon chooser on `file` starting at `index`: its raw answer (only a
    // positive one confirms), with `file` and `index` as the chooser left them.
    std::function<int(HWND owner, std::wstring& file, int& index)> PickIcon;
    // Empty when rasapi32.dll or its export is missing: the phone book is empty then.
    RasEnumEntriesFunction RasEnumEntries;
};

// The table in use: the real choosers unless a test replaced it.
const ChooserFunctions& Choosers();
// Replaces the table; an empty entry keeps the real function. Tests only.
void SetChoosersForTests(ChooserFunctions functions);
// Puts the real choosers back.
void ResetChoosers();

// The real functions, for tests that drive the real windows.
bool RealSelectFile(HWND owner, const std::wstring& initialFolder, const FileFilter& filter,
                    std::wstring& fileName, bool& useRelativePath);
bool RealBrowseFolder(HWND owner, std::wstring& displayName, std::wstring& path);
int RealPickIcon(HWND owner, std::wstring& file, int& index);

// The names of the default phone book's entries, through Choosers().RasEnumEntries:
// one record first, once more at the reported size on 603. False for any other
// error (the list is empty then); a missing function is an empty book, true.
bool PhoneBookEntries(std::vector<std::wstring>& names);

}  // namespace dialogs
