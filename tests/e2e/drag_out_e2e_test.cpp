// The real Zarvo.exe drags a listed file out to another program: this test program,
// whose window takes OLE drops, as Explorer's windows do.
#include "e2e_helpers.h"
#include "support/drop_target.h"
#include "support/process.h"
#include "support/program_folder.h"
#include "ui/sessions.h"
#include "ui/files.h"
#include "ui/strings.h"
#include "ui/xml_document.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

using testing_support::ProgramFolder;
using testing_support::ZarvoProcess;
using e2e::kHeader;
using e2e::kRow;
using e2e::kTop;
using e2e::RectOf;
using e2e::SendMouse;

constexpr RECT kTarget{700, 300, 940, 540};

void MovePointer(POINT p) {
    SetCursorPos(p.x, p.y);
    SendMouse(MOUSEEVENTF_MOVE);
}

bool WaitVisible(HWND window) {
    for (int waited = 0; waited < 10000; waited += 50) {
        if (IsWindowVisible(window)) return true;
        Sleep(50);
    }
    return false;
}

void PumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

class DragOutE2E : public ::testing::Test {
protected:
    void SetUp() override {
        SetCursorPos(640, 600);
        e2e::WriteRowSkin(folder, L"DragOutTest");
        std::string entries;
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
            const std::wstring file = L"listed\\" + ui::Utf8ToWide(name);
            folder.WriteFile(file, "entry");
            entries += "<item><Run>" + ui::WideToUtf8(folder.PathOf(file)) + "</Run><Type>55</Type><Caption>" +
                       name + "</Caption><subitem/></item>";
        }
        folder.WriteFile(L"1.xml", "<?xml version=\"1.0\"?>\r\n<Items><item><Run>" +
                                       ui::WideToUtf8(folder.PathOf(L"listed")) +
                                       "</Run><Type>1</Type><Param1>1</Param1><Caption>Listed</Caption><subitem>" +
                                       entries + "</subitem></item></Items>\r\n");
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ZarvoE2EDropTarget";
        RegisterClassW(&wc);
        target_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, wc.lpszClassName, L"drop target", WS_POPUP,
                                  kTarget.left, kTarget.top, kTarget.right - kTarget.left,
                                  kTarget.bottom - kTarget.top, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(target_, nullptr);
        ShowWindow(target_, SW_SHOWNOACTIVATE);
        ASSERT_EQ(RegisterDragDrop(target_, &dropTarget), S_OK);
    }
    void TearDown() override {
        if (input_.joinable()) input_.join();
        SendMouse(MOUSEEVENTF_LEFTUP);
        if (target_) {
            RevokeDragDrop(target_);
            DestroyWindow(target_);
        }
        if (zarvo.IsRunning()) {
            zarvo.Close();
            zarvo.WaitForExit();
        }
    }

    ui::OleSession ole;
    ProgramFolder folder;
    ZarvoProcess zarvo;
    drop_target::RecordingDropTarget dropTarget;
    HWND target_ = nullptr;
    std::thread input_;
};

TEST_F(DragOutE2E, AListedFilePulledOutOfTheSubMenuIsDroppedOnAnotherProgramAsALink) {
    ASSERT_TRUE(ole.Ok());
    zarvo.Start(folder);
    HWND main = zarvo.WaitForWindow(L"TForm1");
    HWND form2 = zarvo.WaitForWindow(L"TForm2");
    ASSERT_TRUE(main && form2);
    ASSERT_TRUE(WaitVisible(main));
    const RECT m = RectOf(main);
    MovePointer(POINT{m.left + (m.right - m.left) / 2, kTop + kHeader + kRow / 2});
    ASSERT_TRUE(WaitVisible(form2)) << "the listing opens";
    // The hover listed the folder anew, in the file system's order, and saved it: the
    // second row is whatever the saved listing holds there.
    std::wstring secondEntry;
    {
        ui::ComSession com;
        ui::XmlDocument saved;
        ASSERT_TRUE(saved.Load(folder.PathOf(L"1.xml")));
        ui::XmlNode listing = saved.Root().ElementAt(0).Child(L"subitem");
        ASSERT_EQ(listing.ElementCount(), 3u);
        secondEntry = listing.ElementAt(1).Child(L"Run").Text();
    }
    const std::string listed = folder.ReadFile(L"1.xml");
    const RECT s = RectOf(form2);
    const POINT second{s.left + (s.right - s.left) / 2, s.top + kHeader + kRow + kRow / 2};
    MovePointer(second);
    Sleep(300);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(300);

    // The drop reaches this thread's target through COM, which needs this thread to
    // handle messages meanwhile: the pointer is played from a second thread.
    std::atomic<bool> played{false};
    input_ = std::thread([&] {
        const POINT drop{(kTarget.left + kTarget.right) / 2, (kTarget.top + kTarget.bottom) / 2};
        for (int i = 1; i <= 20; ++i) {
            MovePointer(POINT{second.x + (drop.x - second.x) * i / 20, second.y + (drop.y - second.y) * i / 20});
            Sleep(50);
        }
        SendMouse(MOUSEEVENTF_LEFTUP);
        played = true;
    });
    while (!played) PumpFor(20);
    input_.join();
    for (int waited = 0; waited < 5000 && dropTarget.drops == 0; waited += 50) PumpFor(50);

    EXPECT_EQ(dropTarget.enterOffered, static_cast<DWORD>(DROPEFFECT_LINK));
    ASSERT_EQ(dropTarget.drops, 1);
    EXPECT_EQ(dropTarget.dropOffered, static_cast<DWORD>(DROPEFFECT_LINK));
    ASSERT_EQ(dropTarget.dropPaths.size(), 1u);
    EXPECT_EQ(CompareStringOrdinal(dropTarget.dropPaths[0].c_str(), -1, secondEntry.c_str(), -1, TRUE), CSTR_EQUAL)
        << ui::WideToUtf8(dropTarget.dropPaths[0]);
    EXPECT_TRUE(zarvo.IsRunning());
    EXPECT_TRUE(ui::FileExists(secondEntry));
    EXPECT_EQ(folder.ReadFile(L"1.xml"), listed) << "the drag changed nothing";
}

}  // namespace
