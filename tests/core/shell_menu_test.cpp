// How a path becomes the shell item its context menu is asked of: the parent folder
// and the child, or nothing.
#include "core/shell_menu.h"

#include "core/startup.h"
#include "support/temp_folder.h"
#include "ui/strings.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using Microsoft::WRL::ComPtr;

std::wstring ParsingName(IShellFolder* folder, LPCITEMIDLIST child) {
    STRRET name{};
    if (FAILED(folder->GetDisplayNameOf(child, SHGDN_FORPARSING, &name))) return L"(no name)";
    wchar_t* text = nullptr;
    if (FAILED(StrRetToStrW(&name, child, &text))) return L"(no name)";
    std::wstring result(text);
    CoTaskMemFree(text);
    return result;
}

class ShellMenuResolutionTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedAppDir_ = core::AppDir;
        core::AppDir = folder.Path();  // "%DISK%" is the program's drive
    }
    void TearDown() override { core::AppDir = savedAppDir_; }

    testing_support::TempFolder folder;

private:
    std::wstring savedAppDir_;
};

TEST_F(ShellMenuResolutionTest, PathsResolveToTheirParentAndChildOrToNothing) {
    folder.WriteFile(L"docs\\a.txt", "x");
    const std::wstring foreign = L"\u0444\u0430\u0439\u043B \u6587\u4EF6.txt";  // outside code page 1252
    folder.WriteFile(L"docs\\" + foreign, "x");
    const std::wstring file = folder.PathOf(L"docs\\a.txt");
    const std::wstring docs = folder.PathOf(L"docs");
    const std::wstring drive = folder.Path().substr(0, 2);
    struct Case {
        const char* name;
        bool drive;  // through DriveToPidl, the fallback inside My Computer
        std::wstring path;
        std::wstring resolved;  // the child's parsing name; empty: nothing
    };
    const Case cases[] = {
        {"file", false, file, file},
        {"folder", false, docs, docs},
        {"folder with a trailing backslash", false, docs + L"\\", docs},
        {"drive", false, drive, drive + L"\\"},
        {"drive root", false, drive + L"\\", drive + L"\\"},
        {"path with the disk macro", false, L"%DISK%" + file.substr(2), file},
        {"name outside the code page", false, folder.PathOf(L"docs\\" + foreign), folder.PathOf(L"docs\\" + foreign)},
        {"missing file", false, folder.PathOf(L"docs\\gone.txt"), L""},
        {"doubled backslash", false, drive + L"\\\\", L""},
        {"empty", false, L"", L""},
        {"drive in My Computer", true, drive, drive + L"\\"},
        {"drive root in My Computer", true, drive + L"\\", drive + L"\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ComPtr<IShellFolder> parent;
        core::UniquePidl child = c.drive ? core::DriveToPidl(c.path, parent) : core::PathToPidl(c.path, parent);
        if (c.resolved.empty()) {
            EXPECT_FALSE(child);
            EXPECT_FALSE(parent) << "no folder without an item";
            continue;
        }
        ASSERT_TRUE(child);
        ASSERT_TRUE(parent);
        EXPECT_EQ(ui::WideToUtf8(ParsingName(parent.Get(), child.Get())), ui::WideToUtf8(c.resolved));
        LPITEMIDLIST released = child.Release();
        EXPECT_TRUE(core::FreePidl(released));
        EXPECT_EQ(released, nullptr);
    }
    LPITEMIDLIST none = nullptr;
    EXPECT_TRUE(core::FreePidl(none));
}

}  // namespace
