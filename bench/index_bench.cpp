// Times the search index build against a bare walk of the same tree, and a folder menu's
// fill and save. Not a test: it prints medians and asserts nothing.
// Build: a generated tree of files (100,000 by default, the argument up to 1,000,000),
// the cache warmed, then five alternations of a bare FindFirstFileExW walk that only
// counts and the index build (walk and write of Index.dat). Goal: build/bare >= 0.80.
// Folder menu: BuildFolderMenu of folders of 1,000 and 10,000 entries, with the listing,
// the document fill and the menu save also timed on their own.
// Usage: index_bench [files]
#include "bench_program.h"

#include "core/folder_menu.h"
#include "core/form1.h"
#include "core/forms.h"
#include "core/search_index.h"
#include "support/temp_folder.h"
#include "ui/files.h"
#include "ui/handles.h"
#include "ui/strings.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kFilesPerFolder = 1000;
constexpr int kAlternations = 5;

double Milliseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

void MakeEmptyFile(const std::wstring& path) {
    ui::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
    if (!file) throw std::runtime_error("cannot create a file of the tree");
}

// `files` files named like real ones, a thousand to a folder, the folders ten to a parent.
void MakeTree(const std::wstring& root, int files) {
    for (int i = 0; i < files; ++i) {
        const int folder = i / kFilesPerFolder;
        const std::wstring dir =
            root + L"group" + std::to_wstring(folder / 10) + L"\\folder" + std::to_wstring(folder) + L"\\";
        if (i % kFilesPerFolder == 0 && !testing_support::CreateFolders(dir))
            throw std::runtime_error("cannot create a folder of the tree");
        MakeEmptyFile(dir + L"document number " + std::to_wstring(i) + L".txt");
    }
}

// The bare walk: every entry counted, nothing kept.
long long BareWalk(std::wstring& path) {
    const size_t length = path.size();
    long long entries = 0;
    std::vector<std::wstring> folders;
    path += L"*.*";
    WIN32_FIND_DATAW data;
    ui::UniqueFind find(FindFirstFileExW(path.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                         FIND_FIRST_EX_LARGE_FETCH));
    path.resize(length);
    if (!find) return 0;
    do {
        if (data.cFileName[0] == L'.') continue;
        ++entries;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) folders.emplace_back(data.cFileName);
    } while (FindNextFileW(find.Get(), &data));
    find.Reset();
    for (const std::wstring& name : folders) {
        path += name;
        path += L'\\';
        entries += BareWalk(path);
        path.resize(length);
    }
    return entries;
}

void BuildSection(int files) {
    testing_support::TempFolder dir;
    std::printf("index build: making a tree of %d files...\n", files);
    const std::wstring root = dir.PathOf(L"tree\\");
    MakeTree(root, files);
    dir.WriteFile(L"index.txt", ui::WideToAnsi(root) + "\r\n");
    std::wstring path = root;
    const long long entries = BareWalk(path);  // warms the cache
    const std::atomic<bool> cancel{false};
    std::vector<double> bare, build;
    for (int i = 0; i < kAlternations; ++i) {
        bare.push_back(Milliseconds([&] { BareWalk(path); }));
        build.push_back(Milliseconds([&] {
            if (core::BuildIndexFile(dir.Path(), core::RealFolderEnumeration(), cancel) !=
                core::IndexBuildResult::Written)
                throw std::runtime_error("the index build failed");
        }));
    }
    const double bareMs = Median(bare), buildMs = Median(build);
    std::printf("index build: %lld entries, Index.dat %zu bytes\n", entries, dir.ReadFile(L"Index.dat").size());
    std::printf("  bare walk   median %9.1f ms  %12.0f entries/s\n", bareMs, entries / (bareMs / 1000.0));
    std::printf("  index build median %9.1f ms  %12.0f entries/s\n", buildMs, entries / (buildMs / 1000.0));
    std::printf("  build/bare speed %.2f (goal >= 0.80)\n", bareMs / buildMs);
}

void FolderMenuSection() {
    testing_support::TempFolder trees;
    const int sizes[] = {1000, 10000};
    for (int size : sizes) {
        const std::wstring folder = trees.PathOf(L"menu" + std::to_wstring(size));
        testing_support::CreateFolders(folder);
        for (int i = 0; i < size; ++i) MakeEmptyFile(folder + L"\\entry number " + std::to_wstring(i) + L".txt");
    }
    std::string menu = "<?xml version=\"1.0\"?>\r\n<Items>";
    for (int size : sizes)
        menu += "<item><Run>" + ui::WideToUtf8(trees.PathOf(L"menu" + std::to_wstring(size))) +
                "</Run><Params></Params><Type>1</Type><Caption>F</Caption><Param1>1</Param1><subitem/></item>";
    menu += "</Items>\r\n";
    bench::BenchProgram program(menu);
    core::TForm1& main = *core::Form1;
    for (size_t i = 0; i < std::size(sizes); ++i) {
        const std::wstring folder = trees.PathOf(L"menu" + std::to_wstring(sizes[i]));
        ui::XmlNode subitem = main.XMLDocument1.Root().ElementAt(i).Child(L"subitem");
        const double whole = bench::MedianMilliseconds(5, [&] { main.BuildFolderMenu(folder, L"", false, subitem); });
        std::optional<std::vector<core::FolderMenuRow>> rows;
        const double listing = bench::MedianMilliseconds(5, [&] { rows = core::FolderMenuRows(folder, L"", false); });
        const double fill = bench::MedianMilliseconds(5, [&] { core::FillFolderMenu(subitem, *rows); });
        const double save = bench::MedianMilliseconds(5, [&] { main.MenuFile.SaveMenu(main.XMLDocument1, main.MenuPath()); });
        std::printf("folder menu, %5d entries: BuildFolderMenu %8.1f ms (listing %6.1f, fill %7.1f, save %7.1f)\n",
                    sizes[i], whole, listing, fill, save);
        // The next folder's document stays small.
        core::FillFolderMenu(subitem, {});
    }
    program.Close();
    if (program.Status() != 0) throw std::runtime_error("a message box came up");
}

}  // namespace

int main(int argc, char** argv) {
    const int files = std::clamp(argc > 1 ? std::atoi(argv[1]) : 100000, 1000, 1000000);
    ui::ComSession com(COINIT_APARTMENTTHREADED);
    ui::GdiplusSession gdiplus;
    try {
        BuildSection(files);
        FolderMenuSection();
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "index_bench: %s\n", e.what());
        return 2;
    }
}
