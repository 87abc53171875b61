#include "support/program_folder.h"

#include "ui/files.h"
#include "ui/handles.h"
#include "ui/strings.h"

#include <windows.h>

#include <stdexcept>

namespace testing_support {

std::wstring FromBuildHost(std::wstring path) {
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    // CMake names the file as the build host sees it. A host path under Wine
    // ("/work/...") is reached through Z:, which every Wine prefix maps to "/";
    // left alone it would be taken as relative to the current drive.
    if (path.size() >= 2 && path[0] == L'\\' && path[1] != L'\\') path.insert(0, L"Z:");
    return path;
}

std::wstring DistDir() { return ui::IncludeTrailingBackslash(FromBuildHost(ZARVO_DIST_DIR)); }

std::wstring I686TestPluginPath() { return FromBuildHost(ZARVO_I686_TEST_PLUGIN); }

std::wstring TestExeDir() { return ui::ExtractFilePath(ui::ModuleFileName()); }

void CopyTree(const std::wstring& from, const std::wstring& to) {
    const std::wstring source = ui::IncludeTrailingBackslash(from);
    const std::wstring target = ui::IncludeTrailingBackslash(to);
    if (!CreateFolders(target))
        throw std::runtime_error("cannot create " + ui::WideToUtf8(target));
    WIN32_FIND_DATAW found{};
    ui::UniqueFind find(FindFirstFileW((source + L"*").c_str(), &found));
    if (!find) throw std::runtime_error("cannot list " + ui::WideToUtf8(source));
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CopyTree(source + name, target + name);
        } else {
            if (!CopyFileW((source + name).c_str(), (target + name).c_str(), FALSE))
                throw std::runtime_error("cannot copy " + ui::WideToUtf8(source + name));
            // A read-only source would make the copy read-only too, and a test
            // could then neither change it nor watch the program rewrite it.
            if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                SetFileAttributesW((target + name).c_str(),
                                   found.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
        }
    } while (FindNextFileW(find.Get(), &found));
}

ProgramFolder::ProgramFolder() {
    if (!ui::FileExists(DistDir() + L"Zarvo.exe"))
        throw std::runtime_error("no staged program in " + ui::WideToUtf8(DistDir()));
    CopyTree(DistDir(), Path());
}

}  // namespace testing_support
