// The program's spine: the entry, the start-up globals every window reads, and the
// version and folder helpers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace core {

// Start-up globals, set once by the main window's creation (and VistaOrLater before
// any window exists).
extern bool VistaOrLater;
extern std::wstring VersionString;
extern std::wstring AppDir;       // program folder, trailing backslash
extern std::wstring SystemDir;    // Windows system folder, trailing backslash
extern std::uint8_t MediaKind;    // 0 fixed or other, 1 removable, 2 CD-ROM
extern std::wstring CacheDir;     // AppDir + "cache\", or the temporary folder off fixed drives
extern std::wstring MenuFileName; // relative to AppDir
extern std::wstring ImageExt;     // ".png"
extern bool PopupMode;
extern bool DesktopMode;
// The program's exit status: non-zero once start-up ended on an error it reported,
// or an error that no routine caught ended the program.
extern int ExitStatus;

// The seven lines written when the menu file is missing.
extern const char DefaultMenuText[];

int ProgramEntry();
void CheckWindowsVersion();

// The folder of the program file, unless a test placed the program elsewhere.
std::wstring ProgramFolder();
// The first command-line argument, empty when there is none.
std::wstring FirstArgument();
// Seams for in-process tests: set before the forms exist.
void SetProgramFolderForTests(std::optional<std::wstring> folder);
void SetFirstArgumentForTests(std::optional<std::wstring> argument);
void SetVistaOrLaterForTests(std::optional<bool> vista);
void SetMediaKindForTests(std::optional<std::uint8_t> kind);

std::wstring GetSystemDir();
std::wstring GetTempDir();
std::uint8_t MediaKindOf(const std::wstring& path);
// One string value of a file's version resource; empty at any failure.
std::wstring GetFileVersionString(const std::wstring& file, const std::wstring& value);

}  // namespace core
