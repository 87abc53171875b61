// The real Zarvo.exe and real input: a click on a quick-run row opens the box, a
// command typed at once runs on Enter, and a double click opens a search result.
#include "e2e_helpers.h"
#include "support/marker_log.h"

#include <commctrl.h>

#include <string>

namespace {

void TypeText(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT keys[2] = {};
        for (INPUT& key : keys) {
            key.type = INPUT_KEYBOARD;
            key.ki.wScan = c;
            key.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        keys[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof(INPUT));
    }
}

void PressEnter() {
    INPUT keys[2] = {};
    for (INPUT& key : keys) {
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = VK_RETURN;
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

void LeftClick() {
    e2e::SendMouse(MOUSEEVENTF_LEFTDOWN);
    e2e::SendMouse(MOUSEEVENTF_LEFTUP);
}

std::string QuickRunItem(const std::string& run, const std::string& params) {
    return "<item><Run>" + run + "</Run><Params>" + params + "</Params><Type>6</Type><Caption>Run</Caption></item>";
}

std::string FileItem(const std::string& caption) {
    return "<item><Run>C:\\none\\" + caption + ".exe</Run><Type>0</Type><Caption>" + caption + "</Caption></item>";
}

class QuickRunE2E : public e2e::ProgramTest {
protected:
    // Starts the program over this menu and waits for it to have slid in.
    HWND StartWithMenu(const std::string& items) {
        folder.WriteFile(L"1.xml", "<?xml version=\"1.0\"?>\r\n<Items>" + items + "</Items>\r\n");
        e2e::WriteRowSkin(folder, L"RunTest");
        zarvo.Start(folder);
        if (!zarvo.WaitForWindow(L"TEditBox")) return nullptr;
        HWND main = zarvo.WaitForWindow(L"TForm1");
        if (!main || !e2e::WaitUntil([&] {
                return IsWindowVisible(main) && e2e::RectOf(main).left == 0 && e2e::RectOf(main).top == e2e::kTop;
            }))
            return nullptr;
        return main;
    }

    // Clicks row `row` (1-based) and waits for the box to show.
    HWND OpenBoxOnRow(HWND main, int row) {
        const RECT m = e2e::RectOf(main);
        SetCursorPos(m.left + (m.right - m.left) / 2, e2e::kTop + e2e::kHeader + (row - 1) * e2e::kRow + e2e::kRow / 2);
        Sleep(300);
        LeftClick();
        HWND box = zarvo.WaitForWindow(L"TEditBox");
        if (!box || !e2e::WaitUntil([&] { return IsWindowVisible(box) != FALSE; })) return nullptr;
        return box;
    }
};

TEST_F(QuickRunE2E, ACommandTypedAtOnceRunsOnEnterThroughTheParams) {
    folder.CopyFileIn(testing_support::MarkerExePath(), L"bin\\marker.exe");
    const std::string params = ui::WideToUtf8(folder.PathOf(L"bin\\")) + "%s";
    HWND main = StartWithMenu(FileItem("A") + QuickRunItem("1", params));
    ASSERT_TRUE(main);
    ASSERT_TRUE(OpenBoxOnRow(main, 2));
    TypeText(L"marker.exe");
    PressEnter();
    const auto records = testing_support::WaitForMarkerLog(folder.PathOf(L"bin\\marker.log"), 1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].showWindow, SW_SHOW);
    EXPECT_EQ(e2e::RectOf(main).left, 0) << "the menu stays";
}

TEST_F(QuickRunE2E, ADoubleClickOnASearchResultOpensItNormally) {
    folder.CopyFileIn(testing_support::MarkerExePath(), L"bin\\tools\\zqmark.exe");
    const std::wstring marker = folder.PathOf(L"bin\\tools\\zqmark.exe");
    // A second match after it: the list of two rows has replaced the hint row.
    folder.WriteFile(L"Index.dat", ui::EncodeMarkedText(L"C:\\none\\other.txt\r\n" + marker +
                                                        L"\r\nC:\\none\\zqmark notes.txt\r\n"));
    // Three rows above the quick-run row make room for the list.
    HWND main = StartWithMenu(FileItem("A") + FileItem("B") + FileItem("C") + QuickRunItem("1", ""));
    ASSERT_TRUE(main);
    HWND box = OpenBoxOnRow(main, 4);
    ASSERT_TRUE(box);
    HWND list = FindWindowExW(box, nullptr, WC_LISTVIEWW, nullptr);
    ASSERT_TRUE(list && IsWindowVisible(list));
    TypeText(L"qmar");
    ASSERT_TRUE(e2e::WaitUntil([&] { return ListView_GetItemCount(list) == 2; }));
    POINT first{20, 6};
    ClientToScreen(list, &first);
    SetCursorPos(first.x, first.y);
    Sleep(100);
    LeftClick();
    LeftClick();
    const auto records = testing_support::WaitForMarkerLog(folder.PathOf(L"bin\\tools\\marker.log"), 1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].showWindow, SW_SHOWNORMAL);
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::RectOf(main).left < 0; })) << "the menu slides out";
}

}  // namespace
