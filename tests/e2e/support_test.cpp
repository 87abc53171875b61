// The test support library itself: the pieces that would otherwise fail silently
// and make end-to-end tests pass or fail for the wrong reason.
#include "support/marker_log.h"
#include "support/process.h"
#include "support/program_folder.h"
#include "support/temp_folder.h"
#include "ui/files.h"
#include "ui/handles.h"
#include "ui/strings.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

using namespace testing_support;

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

TEST(TempFolder, RemovesItsWholeTreeIncludingReadOnlyFiles) {
    std::wstring path;
    {
        TempFolder folder;
        path = folder.Path();
        ASSERT_EQ(path.back(), L'\\');
        ASSERT_TRUE(ui::DirectoryExists(path));
        TempFolder other;
        EXPECT_NE(other.Path(), path);

        folder.WriteFile(L"Themes/Blue\\skin.xml", "<skin/>");
        folder.WriteFile(L"1.xml", "<menu/>");
        ASSERT_TRUE(SetFileAttributesW(folder.PathOf(L"1.xml").c_str(), FILE_ATTRIBUTE_READONLY));
        ASSERT_TRUE(ui::FileExists(path + L"Themes\\Blue\\skin.xml"));
    }
    EXPECT_FALSE(ui::DirectoryExists(path));
}

TEST(TempFolder, FilesRoundTripAsExactBytes) {
    TempFolder folder;
    const std::string bytes("a\0b\r\n\xFF", 6);
    folder.WriteFile(L"data.bin", bytes);
    EXPECT_EQ(folder.ReadFile(L"data.bin"), bytes);
    folder.WriteFile(L"data.bin", "x");  // a shorter rewrite must not keep the old tail
    EXPECT_EQ(folder.ReadFile(L"data.bin"), "x");

    EXPECT_TRUE(folder.Exists(L"data.bin"));
    EXPECT_FALSE(folder.Exists(L"missing.ini"));
    EXPECT_THROW(folder.ReadFile(L"missing.ini"), std::runtime_error);
    folder.Remove(L"data.bin");
    EXPECT_FALSE(folder.Exists(L"data.bin"));
}

TEST(TempFolder, WritesUtf16WithBomAndReadsEveryEncodingBack) {
    TempFolder folder;
    const std::wstring text = L"[Settings]\r\nSkin=Gr\u00f6\u00dfe \u2713 \U0001F600\r\n";
    folder.WriteUtf16(L"config.ini", text);
    const std::string raw = folder.ReadFile(L"config.ini");
    ASSERT_EQ(raw.size(), 2 + 2 * text.size());
    EXPECT_EQ(raw.substr(0, 4), std::string("\xFF\xFE[\0", 4));
    EXPECT_EQ(folder.ReadText(L"config.ini"), text);

    struct Case {
        const char* name;
        std::string bytes;
        std::wstring expected;
    };
    const Case cases[] = {
        {"utf-8 with bom", "\xEF\xBB\xBFSkin=\xC3\xA9", L"Skin=\u00e9"},
        {"utf-8 without bom", "Skin=\xC3\xA9", L"Skin=\u00e9"},
        {"ansi", "Skin=\xE9", ui::AnsiToWide("Skin=\xE9")},
        {"empty", "", L""},
    };
    for (const auto& c : cases) {
        folder.WriteFile(L"text.txt", c.bytes);
        EXPECT_EQ(folder.ReadText(L"text.txt"), c.expected) << c.name;
    }
    EXPECT_EQ(DecodeText("Skin=\xE9").find(L'\uFFFD'), std::wstring::npos);
}

TEST(ProgramFolder, HoldsAPrivateCopyOfTheStagedProgram) {
    ProgramFolder program;
    EXPECT_FALSE(SamePath(program.Path(), DistDir()));
    EXPECT_EQ(program.ExePath(), program.Path() + L"Zarvo.exe");
    ASSERT_TRUE(ui::FileExists(program.ExePath()));
    EXPECT_TRUE(program.Exists(L"splash.png"));
    EXPECT_EQ(program.ReadFile(L"Zarvo.exe"), *ui::ReadFileBytes(DistDir() + L"Zarvo.exe"));
}

TEST(ProgramFolder, CopyTreeTakesNestedAndEmptyFoldersAndLeavesCopiesWritable) {
    TempFolder source;
    source.WriteFile(L"click.wav", "RIFF");
    source.WriteFile(L"Themes\\Blue\\skin.xml", "<skin/>");
    source.WriteFile(L"languages\\de.lng", "x");
    ASSERT_TRUE(CreateFolders(source.PathOf(L"weather\\empty")));
    ASSERT_TRUE(SetFileAttributesW(source.PathOf(L"languages\\de.lng").c_str(), FILE_ATTRIBUTE_READONLY));

    TempFolder target;
    CopyTree(source.Path(), target.PathOf(L"copy"));
    EXPECT_EQ(target.ReadFile(L"copy\\click.wav"), "RIFF");
    EXPECT_EQ(target.ReadFile(L"copy\\Themes\\Blue\\skin.xml"), "<skin/>");
    EXPECT_TRUE(ui::DirectoryExists(target.PathOf(L"copy\\weather\\empty")));
    EXPECT_NO_THROW(target.WriteFile(L"copy\\languages\\de.lng", "changed"));
}

TEST(ZarvoProcess, StartsInAFolderOfItsOwnWithArgumentsIntact) {
    const std::vector<std::wstring> args = {
        L"plain",        L"two words", L"",          L"quote\"inside", L"trailing\\",
        L"C:\\My Dir\\", L"a\\\\\"b",  L"tab\there", L"\u00fc\u2713",  L"\\\\server\\share",
    };
    TempFolder logs;
    ZarvoProcess marker;
    marker.SetEnvironment(L"ZARVO_MARKER_LOG", logs.PathOf(L"log.txt"));
    marker.StartExe(MarkerExePath(), args);
    ASSERT_TRUE(marker.WaitForExit());
    EXPECT_EQ(marker.ExitCode(), 0u);

    auto records = ReadMarkerLog(logs.PathOf(L"log.txt"));
    ASSERT_EQ(records.size(), 1u);
    std::vector<std::wstring> expected = {MarkerExePath()};
    expected.insert(expected.end(), args.begin(), args.end());
    EXPECT_EQ(SplitCommandLine(records[0].commandLine), expected) << records[0].commandLine;

    EXPECT_TRUE(SamePath(ui::IncludeTrailingBackslash(records[0].currentDir), marker.WorkingDir()))
        << records[0].currentDir;
    EXPECT_FALSE(SamePath(marker.WorkingDir(), TestExeDir()));
    EXPECT_EQ(records[0].showWindow, -1);
}

TEST(ZarvoProcess, HonoursAGivenWorkingFolder) {
    TempFolder logs;
    TempFolder work;
    ZarvoProcess marker;
    marker.SetEnvironment(L"ZARVO_MARKER_LOG", logs.PathOf(L"log.txt"));
    marker.StartExe(MarkerExePath(), {}, work.Path());
    ASSERT_TRUE(marker.WaitForExit());
    auto records = ReadMarkerLog(logs.PathOf(L"log.txt"));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(SamePath(ui::IncludeTrailingBackslash(records[0].currentDir), work.Path()))
        << records[0].currentDir;
}

TEST(ZarvoProcess, StartingAMissingProgramThrows) {
    TempFolder folder;
    ZarvoProcess process;
    EXPECT_THROW(process.StartExe(folder.PathOf(L"Zarvo.exe")), std::runtime_error);
}

// Another program's window, found across processes, and the kill on destruction.
TEST(ZarvoProcess, FindsTheWindowsOfItsProcessAndKillsItWhenDestroyed) {
    std::wstring system(MAX_PATH, L'\0');
    system.resize(GetSystemDirectoryW(system.data(), MAX_PATH));
    ui::UniqueHandle watcher;
    {
        ZarvoProcess notepad;
        notepad.StartExe(system + L"\\notepad.exe");
        HWND window = notepad.WaitForWindow(L"Notepad");
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(ZarvoProcess::ClassOf(window), L"Notepad");
        auto windows = notepad.TopLevelWindows();
        EXPECT_NE(std::find(windows.begin(), windows.end(), window), windows.end());
        EXPECT_EQ(notepad.WaitForWindow(L"TForm1", 200), nullptr);
        EXPECT_EQ(WaitForWindowOf(GetCurrentProcessId(), L"Notepad", 0), nullptr);

        EXPECT_TRUE(notepad.IsRunning());
        EXPECT_EQ(notepad.ExitCode(), STILL_ACTIVE);
        watcher.Reset(OpenProcess(SYNCHRONIZE, FALSE, notepad.Pid()));
        ASSERT_TRUE(watcher);
    }
    EXPECT_EQ(WaitForSingleObject(watcher.Get(), 0), WAIT_OBJECT_0);
}

// A message box of this very process, shown on a worker thread, stands in for one of Zarvo's.
TEST(Dialogs, ReadsAMessageBoxAndAnswersItWithTheChosenButton) {
    for (int answer : {IDYES, IDNO}) {
        std::atomic<int> result{0};
        std::thread shower([&] {
            result = MessageBoxW(nullptr, L"Delete the item \"Mail\"?", L"Zarvo", MB_YESNO | MB_ICONQUESTION);
        });
        HWND dialog = WaitForDialogOf(GetCurrentProcessId(), 20000);
        if (!dialog) {
            shower.detach();
            FAIL() << "no message box appeared";
        }
        EXPECT_EQ(DialogText(dialog), L"Delete the item \"Mail\"?");
        EXPECT_THROW(ClickDialogButton(dialog, IDOK), std::runtime_error);
        ClickDialogButton(dialog, answer);
        shower.join();
        EXPECT_EQ(result, answer);
    }
}

// The program shows task dialogs where Windows has them; Wine's are "#32770" too.
TEST(Dialogs, ReadsATaskDialogAndAnswersItWithTheChosenButton) {
    using TaskDialogFn = HRESULT(WINAPI*)(HWND, HINSTANCE, PCWSTR, PCWSTR, PCWSTR, TASKDIALOG_COMMON_BUTTON_FLAGS,
                                          PCWSTR, int*);
    ui::UniqueModule comctl(LoadLibraryW(L"comctl32.dll"));
    ASSERT_TRUE(comctl);
    auto taskDialog =
        reinterpret_cast<TaskDialogFn>(reinterpret_cast<void*>(GetProcAddress(comctl.Get(), "TaskDialog")));
    ASSERT_NE(taskDialog, nullptr);

    std::atomic<int> result{0};
    std::thread shower([&] {
        int button = 0;
        if (SUCCEEDED(taskDialog(nullptr, nullptr, L"Zarvo", L"Replace the menu?", L"The old one is kept as 1.bak.",
                                 TDCBF_YES_BUTTON | TDCBF_NO_BUTTON, nullptr, &button)))
            result = button;
        else
            result = -1;
    });
    HWND dialog = WaitForDialogOf(GetCurrentProcessId(), 20000);
    if (!dialog) {
        shower.detach();
        FAIL() << "no task dialog appeared";
    }
    EXPECT_EQ(DialogText(dialog), L"Replace the menu?\nThe old one is kept as 1.bak.");
    ClickDialogButton(dialog, IDNO);
    shower.join();
    EXPECT_EQ(result, IDNO);
}

TEST(Marker, RecordsCommandLineFolderAndShowCommandBesideItself) {
    ASSERT_EQ(GetEnvironmentVariableW(L"ZARVO_MARKER_LOG", nullptr, 0), 0u)
        << "the log beside the program is only used without ZARVO_MARKER_LOG";
    TempFolder bin;
    TempFolder work;
    bin.CopyFileIn(MarkerExePath(), L"marker.exe");
    const std::wstring exe = bin.PathOf(L"marker.exe");
    const std::wstring commandLine = L"\"" + exe + L"\" /run \"two words\" \u00e9";

    for (WORD show : {WORD(SW_SHOWMINNOACTIVE), WORD(SW_HIDE)}) {
        std::wstring line = commandLine;  // CreateProcessW may write to it
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = show;
        PROCESS_INFORMATION info{};
        ASSERT_TRUE(CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   work.Path().c_str(), &startup, &info));
        ui::UniqueHandle process(info.hProcess), thread(info.hThread);
        ASSERT_EQ(WaitForSingleObject(process.Get(), 20000), WAIT_OBJECT_0);
        DWORD code = 1;
        GetExitCodeProcess(process.Get(), &code);
        EXPECT_EQ(code, 0u);
    }

    auto records = ReadMarkerLog(bin.PathOf(L"marker.log"));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].commandLine, commandLine);
    EXPECT_TRUE(SamePath(ui::IncludeTrailingBackslash(records[0].currentDir), work.Path()))
        << records[0].currentDir;
    EXPECT_EQ(records[0].showWindow, SW_SHOWMINNOACTIVE);
    EXPECT_TRUE(records[0].startFlags & STARTF_USESHOWWINDOW);
    EXPECT_EQ(records[1].showWindow, SW_HIDE);
}

TEST(Marker, LogReaderSkipsAnUnfinishedLineAndKeepsTabsInArguments) {
    TempFolder folder;
    folder.WriteFile(L"marker.log",
                     "\"C:\\m.exe\" a\tb\tC:\\work\t7\t1\r\n"
                     "\"C:\\m.exe\"\tC:\\\t-1\t0\n"
                     "\"C:\\m.exe\" half\tC:\\wo");
    auto records = ReadMarkerLog(folder.PathOf(L"marker.log"));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].commandLine, L"\"C:\\m.exe\" a\tb");
    EXPECT_EQ(records[0].currentDir, L"C:\\work");
    EXPECT_EQ(records[0].showWindow, 7);
    EXPECT_EQ(records[0].startFlags, 1u);
    EXPECT_EQ(records[1].currentDir, L"C:\\");
    EXPECT_EQ(records[1].showWindow, -1);
    EXPECT_EQ(records[1].startFlags, 0u);
    EXPECT_TRUE(ReadMarkerLog(folder.PathOf(L"none.log")).empty());
}

}  // namespace
