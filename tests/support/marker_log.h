// Reads what marker.exe recorded about each start: command line, current folder, show
// command and start-up flags.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

struct MarkerRecord {
    std::wstring commandLine;
    std::wstring currentDir;  // as GetCurrentDirectoryW gives it: no trailing backslash but at a root
    int showWindow = -1;      // the SW_* of STARTUPINFO, or -1 when none was set
    DWORD startFlags = 0;     // STARTUPINFO's dwFlags (STARTF_USESHOWWINDOW, ...)
};

// marker.exe, built beside the test executables.
std::wstring MarkerExePath();

// The records of complete lines, oldest first; empty when there is no log yet.
std::vector<MarkerRecord> ReadMarkerLog(const std::wstring& path);
// Polls until the log holds at least `count` records or the timeout passes; returns what it has.
std::vector<MarkerRecord> WaitForMarkerLog(const std::wstring& path, size_t count = 1,
                                           DWORD timeoutMs = 20000);

// The arguments of a command line as a started program sees them, program name first.
std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine);

}  // namespace testing_support
