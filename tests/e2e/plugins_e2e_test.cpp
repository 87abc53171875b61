// The real Zarvo.exe with the test plug-in in plugins\: a real click on a plug-in
// row, and a plug-in that faults in its click.
#include "e2e_helpers.h"
#include "support/process.h"
#include "support/program_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr char kMenu[] = "<?xml version=\"1.0\"?>\r\n<Items>"
                         "<item><Run>a.exe</Run><Type>0</Type><Caption>A</Caption></item>"
                         "<item><Run>P.dll</Run><Type>11</Type><Caption>Plug-in</Caption></item></Items>\r\n";

class PluginsE2E : public e2e::ProgramTest {
protected:
    void TearDown() override {
        e2e::SendMouse(MOUSEEVENTF_LEFTUP);
        ProgramTest::TearDown();
    }

    void AddPlugin(const std::string& script) {
        folder.CopyFileIn(testing_support::TestExeDir() + L"test_plugin.dll", L"plugins\\P.dll");
        folder.WriteFile(L"plugins\\P.txt", script);
        folder.WriteFile(L"1.xml", kMenu);
    }
    std::string Log() const { return folder.Exists(L"plugins.log") ? folder.ReadFile(L"plugins.log") : ""; }

    // The main window once it shows, and the pointer moved onto its second row.
    RECT PointAtPluginRow() {
        const HWND main = zarvo.WaitForWindow(L"TForm1");
        EXPECT_TRUE(main);
        EXPECT_TRUE(e2e::WaitUntil([main] { return IsWindowVisible(main) != FALSE; }));
        RECT m = e2e::RectOf(main);
        SetCursorPos(m.left + (m.right - m.left) / 2, m.top + e2e::kHeader + e2e::kRow + e2e::kRow / 2);
        // Still in place: a slide may have been under way.
        EXPECT_TRUE(e2e::WaitUntil([&] {
            const RECT now = e2e::RectOf(main);
            const bool same = EqualRect(&now, &m);
            m = now;
            return same;
        }));
        Sleep(300);
        return m;
    }
    void Click() {
        e2e::SendMouse(MOUSEEVENTF_LEFTDOWN);
        e2e::SendMouse(MOUSEEVENTF_LEFTUP);
    }
};

TEST_F(PluginsE2E, ARealClickHandsThePluginItsRowsRectangleAndSavesTheCaptionItReturns) {
    e2e::WriteRowSkin(folder, L"PluginTest");
    AddPlugin("caption 034e6577\r\n");  // "New"
    zarvo.Start(folder);
    ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
    const RECT m = PointAtPluginRow();
    Click();
    ASSERT_TRUE(e2e::WaitUntil([this] { return Log().find(" _OnClick ") != std::string::npos; }));
    const int top = m.top + e2e::kHeader + e2e::kRow;
    const std::string rect = std::to_string(m.left) + "," + std::to_string(top) + "," + std::to_string(m.right) +
                             "," + std::to_string(top + e2e::kRow);
    EXPECT_NE(Log().find("P.dll _OnClick " + rect + " "), std::string::npos) << Log();
    EXPECT_TRUE(e2e::WaitUntil([this] {
        const std::vector<std::string> captions = e2e::Values(folder.ReadFile(L"1.xml"), "Caption");
        return captions.size() == 2 && captions[1] == "New";
    }));
}

TEST_F(PluginsE2E, APluginThatFaultsEndsTheProgramWithAFailureNoDialogAndTheMenuFileKept) {
    folder.Remove(L"zvhook.dll");
    folder.CopyFileIn(testing_support::TestExeDir() + L"fake_zvhook.dll", L"zvhook.dll");
    e2e::WriteRowSkin(folder, L"PluginTest");
    folder.WriteUtf16(L"config.ini", L"[General]\r\nHideSplashScreen=1\r\nLastSkin=PluginTest\r\nPosition=5\r\n");
    AddPlugin("caption 034e6577\r\nfault\r\n");
    zarvo.Start(folder);
    ASSERT_TRUE(zarvo.WaitForWindow(L"TEditBox"));
    PointAtPluginRow();
    const std::string menu = folder.ReadFile(L"1.xml");
    Click();
    EXPECT_EQ(zarvo.WaitForDialog(10000), nullptr) << "neither a message nor a crash dialog";
    ASSERT_TRUE(zarvo.WaitForExit(10000));
    EXPECT_NE(zarvo.ExitCode(), 0u);
    EXPECT_NE(Log().find("P.dll _OnClick "), std::string::npos) << "the fault came from the click";
    const std::string hooks = folder.ReadFile(L"hook.log");
    ASSERT_GE(hooks.size(), 9u);
    EXPECT_EQ(hooks.substr(hooks.size() - 9), "Hook(0)\r\n") << "the hook went first: " << hooks;
    EXPECT_EQ(folder.ReadFile(L"1.xml"), menu);
}

}  // namespace
