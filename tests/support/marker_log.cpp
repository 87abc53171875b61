#include "support/marker_log.h"

#include "support/program_folder.h"
#include "ui/files.h"
#include "ui/strings.h"

#include <shellapi.h>

namespace testing_support {

std::wstring MarkerExePath() { return TestExeDir() + L"marker.exe"; }

std::vector<MarkerRecord> ReadMarkerLog(const std::wstring& path) {
    std::vector<MarkerRecord> records;
    auto bytes = ui::ReadFileBytes(path);
    if (!bytes) return records;
    const std::wstring text = ui::Utf8ToWide(*bytes);
    size_t start = 0;
    // A line without its end is still being written and is left for the next read.
    for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        // Split from the right: an argument may hold a tab, a folder name may not.
        size_t flagsTab = line.rfind(L'\t');
        if (flagsTab == std::wstring::npos || flagsTab == 0) continue;
        size_t showTab = line.rfind(L'\t', flagsTab - 1);
        if (showTab == std::wstring::npos || showTab == 0) continue;
        size_t dirTab = line.rfind(L'\t', showTab - 1);
        if (dirTab == std::wstring::npos) continue;
        MarkerRecord record;
        record.commandLine = line.substr(0, dirTab);
        record.currentDir = line.substr(dirTab + 1, showTab - dirTab - 1);
        record.showWindow = ui::ParseInt(line.substr(showTab + 1, flagsTab - showTab - 1)).value_or(-2);
        record.startFlags = static_cast<DWORD>(ui::ParseInt(line.substr(flagsTab + 1)).value_or(-1));
        records.push_back(std::move(record));
    }
    return records;
}

std::vector<MarkerRecord> WaitForMarkerLog(const std::wstring& path, size_t count, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        auto records = ReadMarkerLog(path);
        if (records.size() >= count || GetTickCount64() >= deadline) return records;
        Sleep(20);
    }
}

std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine) {
    std::vector<std::wstring> args;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(commandLine.c_str(), &count);
    if (!argv) return args;
    for (int i = 0; i < count; ++i) args.emplace_back(argv[i]);
    LocalFree(argv);
    return args;
}

}  // namespace testing_support
