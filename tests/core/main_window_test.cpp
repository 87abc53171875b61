#include "main_window_fixture.h"

#include "support/held_file.h"
#include "ui/files.h"

namespace {

constexpr char kGoodMenu[] =
    "<?xml version=\"1.0\"?>\r\n<Items><item><Run>a.exe</Run><Type>0</Type><Caption>A</Caption></item>"
    "<item><Type>0</Type><Caption>B</Caption></item></Items>\r\n";
constexpr char kMalformedMenu[] = "<?xml version=\"1.0\"?>\r\n<Items><item><Caption>cut off";
constexpr char kBadTypeMenu[] =
    "<?xml version=\"1.0\"?>\r\n<Items><item><Type>abc</Type><Caption>A</Caption></item>"
    "<item><Type>0</Type><Caption>B</Caption></item></Items>\r\n";

TEST_F(MainWindowTest, UnparsedMenuIsNeverWrittenAndTheUserIsToldOnce) {
    folder.WriteFile(L"1.xml", kMalformedMenu);
    folder.WriteFile(L"1.bak", kGoodMenu);
    Start();
    ASSERT_EQ(boxes.size(), 1u);  // the restore question, answered No
    EXPECT_EQ(boxes[0], Main().Messages.LoadProblem);

    Main().MoveItem(0, 1);
    Main().MoveItem(1, 0);
    Main().SaveMenuAndRebuild(0);
    EXPECT_FALSE(Main().Dragging);
    CloseMainWindow();

    EXPECT_EQ(boxes.size(), 2u) << "one warning for all refused edits";
    EXPECT_EQ(folder.ReadFile(L"1.xml"), kMalformedMenu);
    EXPECT_EQ(folder.ReadFile(L"1.bak"), kGoodMenu);
    EXPECT_TRUE(ui::Application::Instance().Terminated());
}

TEST_F(MainWindowTest, BadTypeKeepsTheBackupAtCloseButEditsStillSave) {
    folder.WriteFile(L"1.xml", kBadTypeMenu);
    folder.WriteFile(L"1.bak", kGoodMenu);
    Start();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Main().MainItemCount, static_cast<int>(Main().ItemLists[1].size()))
        << "rows the list never got are not reachable";
    Main().MoveItem(0, 2);  // the user's content: it may be saved
    CloseMainWindow();
    EXPECT_EQ(folder.ReadFile(L"1.bak"), kGoodMenu);
    const std::string menu = folder.ReadFile(L"1.xml");
    EXPECT_LT(menu.find("<Caption>B</Caption>"), menu.find("<Caption>A</Caption>"));
}

TEST_F(MainWindowTest, RestoreAnsweredYesSwapsInTheBackupAndEndsTheStartUpThere) {
    folder.WriteFile(L"1.xml", kMalformedMenu);
    folder.WriteFile(L"1.bak", kGoodMenu);
    answer = [](const ui::MessageBoxRequest&) { return IDYES; };
    Start();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1], L"Please, restart program.");
    EXPECT_TRUE(ui::Application::Instance().Terminated());
    EXPECT_EQ(folder.ReadFile(L"1.xml"), kGoodMenu);
    EXPECT_FALSE(IsWindowVisible(Main().Handle())) << "neither painted nor slid in";
    EXPECT_FALSE(Main().TimerRunning(core::TForm1::kTimer1));
    EXPECT_EQ(core::Form2, nullptr) << "no later window is created";
    EXPECT_EQ(core::EditBox, nullptr);
}

TEST_F(MainWindowTest, RestoreWithoutBackupGoesOn) {
    folder.WriteFile(L"1.xml", kMalformedMenu);
    answer = [](const ui::MessageBoxRequest&) { return IDYES; };
    Start();
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_FALSE(ui::Application::Instance().Terminated());
    EXPECT_EQ(folder.ReadFile(L"1.xml"), kMalformedMenu);
}

TEST_F(MainWindowTest, BuildReadsTypesAndSizesTheWindowByRowKind) {
    folder.WriteFile(L"1.xml",
                     "<Items><item><Type>0</Type></item><!-- not a row --><item><Type>777</Type></item>"
                     "<item><Type>99</Type></item><item><Type>11</Type></item></Items>");
    Start();
    EXPECT_TRUE(boxes.empty());
    const core::SkinMetrics& skin = Main().Skin;
    EXPECT_EQ(Main().MainItemCount, 4);
    ASSERT_EQ(Main().ItemLists[1].size(), 4u);
    EXPECT_EQ(Main().ItemLists[1][1].Type, 777);
    const int expected = skin.HeaderSize + 2 * skin.ItemSize + skin.Separatorsize + skin.BottomMargin;
    EXPECT_EQ(Main().MainHeight, expected);
    EXPECT_EQ(Main().Height(), expected);
}

TEST_F(MainWindowTest, NumbersWithBlanksAroundThemStillRead) {
    folder.WriteFile(L"1.xml", "<Items><item><Type> 777\r\n</Type><Index> 3 </Index></item></Items>");
    Start();
    EXPECT_TRUE(boxes.empty());
    ASSERT_EQ(Main().ItemLists[1].size(), 1u);
    EXPECT_EQ(Main().ItemLists[1][0].Type, 777);
    EXPECT_EQ(Main().ItemLists[1][0].Index, 3);
}

struct HeldMenuCase {
    const char* menu;
    DWORD share;
};

// A menu that built only in part may still be edited; its reload fails the build
// again, yet the user, told of the failed write, is not asked to restore twice. A
// file nobody may even read cannot be reloaded: the document is then refused as an
// unloaded menu is, and nothing of the edit reaches the file later.
TEST_F(MainWindowTest, AFailedWriteUndoesTheEditWithoutASecondRestoreQuestion) {
    for (const HeldMenuCase c : {HeldMenuCase{kGoodMenu, FILE_SHARE_READ}, HeldMenuCase{kBadTypeMenu, FILE_SHARE_READ},
                                 HeldMenuCase{kGoodMenu, 0}}) {
        const char* menu = c.menu;
        SCOPED_TRACE(testing::Message() << menu << ", share " << c.share);
        folder.WriteFile(L"1.xml", menu);
        folder.WriteFile(L"1.bak", kGoodMenu);
        boxes.clear();
        Start();
        const size_t asked = boxes.size();
        {
            testing_support::FileHeldOpen held(folder.PathOf(L"1.xml"), c.share);
            ASSERT_TRUE(held.IsOpen());
            Main().MoveItem(0, 2);
        }
        EXPECT_FALSE(Main().Dragging);
        ASSERT_EQ(boxes.size(), asked + 1);
        EXPECT_EQ(boxes.back(), L"The menu file could not be written, so the change was not made.");
        EXPECT_EQ(folder.ReadFile(L"1.xml"), menu);
        if (c.share == 0) {
            EXPECT_EQ(Main().MenuFile.State(), core::MenuStore::LoadState::ParseFailed);
        }
        Main().SaveMenuAndRebuild(0);  // writes what the document holds now
        const std::string saved = folder.ReadFile(L"1.xml");
        EXPECT_LT(saved.find("<Caption>A</Caption>"), saved.find("<Caption>B</Caption>")) << "the move is undone";
        core::DestroyForms();
    }
}

TEST_F(MainWindowTest, EmptyTypeFailsTheBuild) {
    folder.WriteFile(L"1.xml", "<Items><item><Type></Type></item></Items>");
    Start();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], Main().Messages.LoadProblem);
}

struct PlacementCase {
    const wchar_t* settings;
    int left;  // INT_MIN: the screen width
    int top;
    bool topmost;
};

TEST_F(MainWindowTest, InitialPlacementFollowsPositionModeAndClamp) {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const PlacementCase cases[] = {
        {L"X=300\r\nY=40\r\n", 0, 40, true},                        // left edge
        {L"Position=1\r\nY=40\r\n", INT_MIN, 40, true},             // right edge
        {L"Position=3\r\nY=400\r\nX=300\r\n", 300, 0, true},        // top edge
        {L"Y=-5\r\n", 0, 0, true},                                  // above the screen
        {L"Y=99999\r\n", 0, 0, true},                               // below the screen
        {L"PlaceZVOnDesktop=1\r\nPosition=1\r\nX=300\r\nY=40\r\n", 300, 40, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        config = std::wstring(L"[General]\r\nHideSplashScreen=1\r\n") + c.settings;
        Start();
        EXPECT_EQ(Main().Left(), c.left == INT_MIN ? screenWidth : c.left);
        EXPECT_EQ(Main().Top(), c.top);
        const bool topmost = (GetWindowLongPtrW(Main().Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        EXPECT_EQ(topmost, c.topmost);
        core::DestroyForms();
    }
}

struct ArgumentCase {
    const wchar_t* argument;
    const wchar_t* menuFile;
    bool popup;
};

TEST_F(MainWindowTest, FirstArgumentSelectsAnExistingXmlMenuExactly) {
    folder.WriteFile(L"other.xml", kGoodMenu);
    folder.WriteFile(L"UPPER.XML", kGoodMenu);
    const ArgumentCase cases[] = {
        {L"other.xml", L"other.xml", true},
        {L"UPPER.XML", L"1.xml", false},   // the extension is compared case-sensitively
        {L"missing.xml", L"1.xml", false},
        {L"", L"1.xml", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argument);
        core::SetFirstArgumentForTests(std::wstring(c.argument));
        Start();
        EXPECT_EQ(core::MenuFileName, c.menuFile);
        EXPECT_EQ(core::PopupMode, c.popup);
        core::DestroyForms();
    }
}

TEST_F(MainWindowTest, MissingMenuIsRecoveredFromACompleteTemporaryFile) {
    folder.WriteFile(L"1.xml.tmp", kGoodMenu);
    Start();
    EXPECT_EQ(folder.ReadFile(L"1.xml"), kGoodMenu);
    EXPECT_EQ(Main().ItemLists[1].size(), 2u);
}

TEST_F(MainWindowTest, LockSettingTicksTheLockEntry) {
    config += L"lock=1\r\n";
    Start();
    EXPECT_TRUE(Main().Lock1.Checked);
    EXPECT_EQ(Main().Lock1.Caption, L"Unlock");
}

}  // namespace

namespace {

struct MediaCase {
    std::uint8_t kind;
    bool writes;
};

// Off fixed drives the cache lies in the temporary folder; a CD-ROM takes no
// writes at close, yet the one-shot mode still clears its cache there.
TEST_F(MainWindowTest, CloseOnRemovableMediaWritesExceptOnCdRomAndOneShotClearsItsCache) {
    const std::wstring id = std::to_wstring(GetCurrentProcessId() % 90000 + 1);
    const std::string menu = "<Items><item><Type>0</Type><Caption>G</Caption><ID>" +
                             std::string(id.begin(), id.end()) + "</ID></item></Items>";
    folder.WriteFile(L"once.xml", menu);
    for (const MediaCase c : {MediaCase{1, true}, MediaCase{2, false}}) {
        SCOPED_TRACE(c.kind);
        core::SetMediaKindForTests(c.kind);
        core::SetFirstArgumentForTests(std::wstring(L"once.xml"));
        Start();
        ASSERT_EQ(core::CacheDir, core::GetTempDir());
        ASSERT_TRUE(core::PopupMode);
        const std::wstring strip = core::CacheDir + id + L".png";
        const std::wstring captions = core::CacheDir + L"s" + id + L".png";
        for (const auto& path : {strip, captions}) CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        CloseMainWindow();
        EXPECT_FALSE(ui::FileExists(strip));
        EXPECT_FALSE(ui::FileExists(captions));
        EXPECT_EQ(folder.Exists(L"once.bak"), c.writes);
        EXPECT_EQ(folder.ReadText(L"config.ini").find(L"lock=") != std::wstring::npos, c.writes);
        core::DestroyForms();
        ui::Application::Instance().ResetForTests();
        folder.WriteUtf16(L"config.ini", config);
        DeleteFileW((folder.Path() + L"once.bak").c_str());
    }
}

}  // namespace

namespace {

LRESULT CALLBACK RefuseCreation(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) return FALSE;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// The splash is decoration: a splash window that cannot be made leaves the start alone.
TEST_F(MainWindowTest, ASplashThatCannotBeCreatedDoesNotStopTheStart) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    UnregisterClassW(L"TSplash", instance);
    WNDCLASSEXW refusing{};
    refusing.cbSize = sizeof(refusing);
    refusing.lpfnWndProc = &RefuseCreation;
    refusing.hInstance = instance;
    refusing.lpszClassName = L"TSplash";
    ASSERT_TRUE(RegisterClassExW(&refusing));
    folder.WriteFile(L"1.xml", kGoodMenu);
    config = L"[General]\r\n";
    Start();
    UnregisterClassW(L"TSplash", instance);
    EXPECT_FALSE(ui::Application::Instance().Terminated());
    EXPECT_EQ(Main().ItemLists[1].size(), 2u);
    EXPECT_TRUE(Main().TimerRunning(core::TForm1::kTimer1));
}

}  // namespace
