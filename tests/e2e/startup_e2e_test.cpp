// The real Zarvo.exe in a temporary program folder, started from another working
// folder and driven from outside.
#include "core/startup.h"
#include "support/process.h"
#include "support/program_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testing_support::ProgramFolder;
using testing_support::ZarvoProcess;

constexpr char kGoodMenu[] =
    "<?xml version=\"1.0\"?>\r\n<Items><item><Run>a.exe</Run><Type>0</Type><Caption>A</Caption></item></Items>\r\n";

// The value of one key, read as the program reads it.
std::wstring IniValue(const ProgramFolder& folder, const wchar_t* key) {
    wchar_t buffer[64] = L"";
    GetPrivateProfileStringW(L"General", key, L"<missing>", buffer, 64,
                             (folder.Path() + L"config.ini").c_str());
    return buffer;
}

// Paths compare without case, as the file system does.
std::wstring Lower(std::wstring text) {
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

class StartupE2E : public ::testing::Test {
protected:
    void SetUp() override { folder.WriteUtf16(L"config.ini", L"[General]\r\nHideSplashScreen=1\r\n"); }

    // Starts over a menu that fails to load, answers the restore question No and
    // closes the program once start-up has finished.
    void StartAnswerNoAndClose(const std::string& menu) {
        folder.WriteFile(L"1.xml", menu);
        folder.WriteFile(L"1.bak", kGoodMenu);
        zarvo.Start(folder);
        HWND question = zarvo.WaitForDialog();
        ASSERT_TRUE(question);
        EXPECT_NE(zarvo.DialogText(question).find(L"problems with links loading"), std::wstring::npos);
        zarvo.ClickDialogButton(question, IDNO);
        ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
        zarvo.Close();
        ASSERT_TRUE(zarvo.WaitForExit());
    }

    ProgramFolder folder;
    ZarvoProcess zarvo;
};

TEST_F(StartupE2E, FirstStartWritesTheDefaultMenuByteForByte) {
    ASSERT_FALSE(folder.Exists(L"1.xml"));
    zarvo.Start(folder);
    ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
    EXPECT_EQ(folder.ReadFile(L"1.xml"), std::string(core::DefaultMenuText));
    zarvo.Close();
    EXPECT_TRUE(zarvo.WaitForExit());
}

TEST_F(StartupE2E, EightWindowsExistAndTheMainOneIsALayeredTopmostToolWindow) {
    zarvo.Start(folder);
    ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
    for (const wchar_t* name : {L"TForm1", L"TForm2", L"TForm3", L"TForm4", L"TForm5", L"TZVHint",
                                L"TAbout", L"TEditBox"})
        EXPECT_TRUE(zarvo.WaitForWindow(name, 0)) << name;
    const LONG_PTR exStyle = GetWindowLongPtrW(zarvo.WaitForWindow(L"TForm1"), GWL_EXSTYLE);
    EXPECT_EQ(exStyle & (WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
              WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    zarvo.Close();
    EXPECT_TRUE(zarvo.WaitForExit());
}

TEST_F(StartupE2E, CloseWritesPositionAndLockAndTheBackupBesideTheMenu) {
    folder.WriteUtf16(L"config.ini", L"[General]\r\nHideSplashScreen=1\r\nlock=1\r\nPosition=3\r\nX=321\r\nY=77\r\n");
    folder.WriteFile(L"1.xml", kGoodMenu);
    zarvo.Start(folder);
    HWND main = zarvo.WaitForWindow(L"TEditBox") ? zarvo.WaitForWindow(L"TForm1") : nullptr;
    ASSERT_TRUE(main);
    RECT r{};
    GetWindowRect(main, &r);
    zarvo.Close();
    ASSERT_TRUE(zarvo.WaitForExit());
    EXPECT_EQ(IniValue(folder, L"X"), std::to_wstring(r.left));
    EXPECT_EQ(IniValue(folder, L"Y"), std::to_wstring(r.top));
    EXPECT_EQ(IniValue(folder, L"Y"), L"0");  // the top edge puts it at the top
    EXPECT_EQ(IniValue(folder, L"lock"), L"1");
    ASSERT_TRUE(folder.Exists(L"1.bak"));
    EXPECT_NE(folder.ReadFile(L"1.bak").find("<Caption>A</Caption>"), std::string::npos);
}

TEST_F(StartupE2E, EndOfSessionSavesWhatACloseSaves) {
    folder.WriteFile(L"1.xml", kGoodMenu);
    zarvo.Start(folder);
    ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
    EXPECT_TRUE(SendMessageW(zarvo.WaitForWindow(L"TForm1"), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    EXPECT_NE(IniValue(folder, L"X"), L"<missing>");
    EXPECT_TRUE(folder.Exists(L"1.bak"));
}

TEST_F(StartupE2E, MalformedMenuAnsweredNoKeepsMenuAndBackupThroughTheClose) {
    const std::string malformed = "<Items><item><Caption>half";
    StartAnswerNoAndClose(malformed);
    EXPECT_EQ(folder.ReadFile(L"1.xml"), malformed);
    EXPECT_EQ(folder.ReadFile(L"1.bak"), kGoodMenu);
}

TEST_F(StartupE2E, BadTypeAnsweredNoKeepsTheBackupAtClose) {
    StartAnswerNoAndClose("<Items><item><Type>x</Type><Caption>A</Caption></item></Items>");
    EXPECT_EQ(folder.ReadFile(L"1.bak"), kGoodMenu);
}

TEST_F(StartupE2E, RestoreAnsweredYesSwapsTheFilesAndEndsWithoutWritingSettings) {
    folder.WriteFile(L"1.xml", "<Items>");
    folder.WriteFile(L"1.bak", kGoodMenu);
    zarvo.Start(folder);
    HWND question = zarvo.WaitForDialog();
    ASSERT_TRUE(question);
    zarvo.ClickDialogButton(question, IDYES);
    HWND restart = nullptr;
    for (int i = 0; i < 100 && !restart; ++i) {
        HWND dialog = zarvo.WaitForDialog();
        if (dialog && dialog != question && IsWindow(dialog)) restart = dialog;
        else Sleep(50);
    }
    ASSERT_TRUE(restart);
    EXPECT_NE(zarvo.DialogText(restart).find(L"Please, restart program."), std::wstring::npos);
    zarvo.ClickDialogButton(restart, IDOK);
    ASSERT_TRUE(zarvo.WaitForExit());
    EXPECT_EQ(folder.ReadFile(L"1.xml"), kGoodMenu);
    EXPECT_EQ(IniValue(folder, L"X"), L"<missing>") << "the restore ends without the close query";
}

TEST_F(StartupE2E, AMenuFileThatCannotBeWrittenIsNamedAndTheProgramEndsWithAnError) {
    // A folder in the menu file's place: no file can be written there.
    ASSERT_TRUE(testing_support::CreateFolders(folder.PathOf(L"1.xml")));
    zarvo.Start(folder);
    HWND message = zarvo.WaitForDialog();
    ASSERT_TRUE(message) << "ended without a word";
    EXPECT_NE(Lower(zarvo.DialogText(message)).find(Lower(folder.PathOf(L"1.xml"))), std::wstring::npos)
        << zarvo.DialogText(message);
    zarvo.ClickDialogButton(message, IDOK);
    ASSERT_TRUE(zarvo.WaitForExit());
    EXPECT_NE(zarvo.ExitCode(), 0u);
}

TEST_F(StartupE2E, DesktopModeDropsTopmostAndStaysAtTheBottom) {
    folder.WriteUtf16(L"config.ini", L"[General]\r\nHideSplashScreen=1\r\nPlaceZVOnDesktop=1\r\n");
    zarvo.Start(folder);
    ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
    HWND main = zarvo.WaitForWindow(L"TForm1");
    EXPECT_EQ(GetWindowLongPtrW(main, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    // A visible window of our own must stay above it even after it is raised.
    testing_support::TestWindow other;
    SetWindowPos(main, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(testing_support::IsAbove(other.Handle(), main));
    for (HWND w = GetWindow(main, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        EXPECT_FALSE(IsWindowVisible(w)) << "a visible window lies below it";
    zarvo.Close();
    EXPECT_TRUE(zarvo.WaitForExit());
}

}  // namespace

namespace {

TEST_F(StartupE2E, SplashShowsDuringStartUpAndIsGoneAfterIt) {
    folder.WriteUtf16(L"config.ini", L"[General]\r\n");
    zarvo.Start(folder);
    EXPECT_TRUE(zarvo.WaitForWindow(L"TSplash"));
    ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
    // The last window closes the splash in its creation hook, just after it exists.
    bool gone = false;
    for (int i = 0; i < 250 && !gone; ++i) {
        gone = !zarvo.WaitForWindow(L"TSplash", 0);
        if (!gone) Sleep(20);
    }
    EXPECT_TRUE(gone);
    zarvo.Close();
    EXPECT_TRUE(zarvo.WaitForExit());
}

TEST_F(StartupE2E, AnyFirstArgumentSuppressesTheSplash) {
    folder.WriteUtf16(L"config.ini", L"[General]\r\n");
    zarvo.Start(folder, {L"NOT-A-MENU.XML"});
    ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
    EXPECT_FALSE(zarvo.WaitForWindow(L"TSplash", 0));
    EXPECT_FALSE(folder.Exists(L"NOT-A-MENU.XML"));
    EXPECT_TRUE(folder.Exists(L"1.xml"));
    zarvo.Close();
    EXPECT_TRUE(zarvo.WaitForExit());
}

}  // namespace
