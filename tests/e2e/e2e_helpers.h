// What the end-to-end suites of the sub-menu windows share: a program folder whose
// skin has known rows, the real pointer, and polling for the program's windows.
#pragma once

#include "support/process.h"
#include "support/program_folder.h"
#include "ui/strings.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// The rows of the skin that WriteRowSkin writes: the menu at the left edge, top 300.
constexpr int kTop = 300;
constexpr int kHeader = 16;
constexpr int kRow = 36;

// config.ini naming skin `skin` (a 16-pixel header and 36-pixel rows plus
// `skinKeys`), the menu at the left edge at Y 300, no splash and no wait before the
// third level closes; `settings` adds [General] lines.
inline void WriteRowSkin(testing_support::ProgramFolder& folder, const std::wstring& skin,
                         const std::wstring& settings = L"", const std::string& skinKeys = "") {
    folder.WriteUtf16(L"config.ini", L"[General]\r\nHideSplashScreen=1\r\nLastSkin=" + skin +
                                         L"\r\nPosition=0\r\nY=300\r\nHideGroupDelay=0\r\n" + settings);
    folder.WriteFile(L"Themes\\" + skin + L"\\skin.ini",
                     "[Skin]\r\nHeaderSize=16\r\nItemSize=36\r\n" + skinKeys);
}

// The texts of the elements with this name in a file's text, in document order.
inline std::vector<std::string> Values(const std::string& xml, const std::string& name) {
    std::vector<std::string> values;
    const std::string open = "<" + name + ">";
    const std::string close = "</" + name + ">";
    for (size_t at = xml.find(open); at != std::string::npos; at = xml.find(open, at + 1)) {
        const size_t start = at + open.size();
        values.push_back(xml.substr(start, xml.find(close, start) - start));
    }
    return values;
}

inline RECT RectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// Polls `done` every 50 ms; false when it did not hold within the time.
inline bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        if (done()) return true;
        Sleep(50);
    }
    return done();
}

inline void SendMouse(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof(in));
}

// A temporary program folder and the program started in it, ended after the test;
// the pointer starts and ends away from the menu.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { SetCursorPos(640, 600); }
    void TearDown() override {
        SetCursorPos(640, 600);
        if (zarvo.IsRunning()) {
            zarvo.Close();
            zarvo.WaitForExit();
        }
    }

    testing_support::ProgramFolder folder;
    testing_support::ZarvoProcess zarvo;
};

}  // namespace e2e
