// A private copy of the staged program folder, for tests that start Zarvo.exe.
#pragma once

#include "support/temp_folder.h"

#include <string>

namespace testing_support {

// The staged program folder (Zarvo.exe and what ships beside it), as a Windows path.
std::wstring DistDir();
// A path CMake named as the build host sees it ("/work/..."), as a Windows path.
std::wstring FromBuildHost(std::wstring path);
// The test plug-in of the i686 build, which no 64-bit program can load.
std::wstring I686TestPluginPath();
// The folder of the running test executable, with a trailing backslash; marker.exe lies there.
std::wstring TestExeDir();

// Copies every file and sub-folder of `from` into `to`, creating `to`. Throws on failure.
void CopyTree(const std::wstring& from, const std::wstring& to);

// A new temporary folder holding a copy of the whole staged program folder, so a
// test may add, change or remove files (config.ini, 1.xml, ...) before starting it.
class ProgramFolder : public TempFolder {
public:
    ProgramFolder();
    std::wstring ExePath() const { return PathOf(L"Zarvo.exe"); }
};

}  // namespace testing_support
