// The settings dialog over a main window of the test's settings and skins, opened
// the way the context menu opens it and driven from inside its modal loop by the
// messages its controls send. The start-with-Windows entry, the shell, the colour
// dialog, the folder chooser and the slides' clock are the test's.
#pragma once

#include "core/main_window_fixture.h"

#include "core/edit_commands.h"
#include "core/launch.h"
#include "core/motion.h"
#include "core/run_value.h"
#include "core/startup.h"
#include "dialogs/choosers.h"
#include "dialogs/form5.h"
#include "support/modal_steps.h"
#include "support/png_file.h"
#include "ui/controls.h"
#include "ui/ini.h"

#include <commctrl.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

class SettingsTest : public MainWindowTest {
public:
    using Step = std::function<void()>;

protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        folder.WriteFile(L"1.xml",
                         "<?xml version=\"1.0\"?>\r\n<Items><item><Run></Run><Type>0</Type><Caption>one</Caption>"
                         "<ID>7</ID><subitem/></item><item><Run></Run><Type>0</Type><Caption>two</Caption>"
                         "<subitem/></item></Items>\r\n");
        core::SetMotionClockForTests([](int) {}, [this](int ms) { sleeps.push_back(ms); });
        core::RunValueFunctions run;
        run.query = [this](HKEY root) { return runValues.count(root) != 0; };
        run.set = [this](HKEY root, const std::wstring& command) -> LONG {
            ++runWrites;
            if (failRunWrites) return ERROR_ACCESS_DENIED;
            runValues[root] = command;
            return ERROR_SUCCESS;
        };
        run.remove = [this](HKEY root) -> LONG {
            ++runWrites;
            if (failRunWrites) return ERROR_ACCESS_DENIED;
            return runValues.erase(root) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
        };
        core::SetRunValueFunctionsForTests(run);
        core::ShellFunctions shell;
        shell.execute = [this](const core::ShellCall& call) { shellCalls.push_back(call.verb + L" " + call.file); };
        shell.beep = [] {};
        shell.playSound = [](const std::wstring&) {};
        core::SetShellForTests(shell);
        dialogs::SetColorDialogForTests([this](HWND, COLORREF) { return chosenColor; });
    }
    void TearDown() override {
        dialogs::SetColorDialogForTests(nullptr);
        dialogs::ResetChoosers();
        core::SetShellForTests(std::nullopt);
        core::SetRunValueFunctionsForTests(std::nullopt);
        core::SetMotionClockForTests(nullptr, nullptr);
        UseVista(std::nullopt);
        MainWindowTest::TearDown();
        // A pop-up mode's slide-out leaves the menu inert until its next pop-up.
        core::Animating = false;
        core::PopupMode = false;
        core::DesktopMode = false;
    }

public:
    // The system's version as start-up sees it; nullopt gives the real one back.
    static void UseVista(std::optional<bool> vista) {
        core::SetVistaOrLaterForTests(vista);
        core::CheckWindowsVersion();
    }
    dialogs::TForm5& Dialog() { return *core::Form5; }
    HWND Control(int id) { return Dialog().Control(id); }

    // Opens the dialog as the context menu's Settings does, runs the steps inside
    // its loop one per tick, and cancels a dialog the steps left open (a failure).
    bool RunSettings(std::vector<Step> steps) {
        testing_support::ModalSteps modal;
        for (Step& step : steps) modal.Then(std::move(step));
        bool leftOpen = false;
        modal.Then([&] {
            leftOpen = Dialog().Visible();
            if (leftOpen) Dialog().Button1Click();
        });
        modal.Start();
        Main().SettingsMIClick();
        const bool ran = modal.Pending() == 0;
        modal.Stop();
        EXPECT_FALSE(leftOpen) << "the dialog did not close";
        return ran;
    }

    // --- input as the controls deliver it
    void Click(int id) { SendMessageW(Control(id), BM_CLICK, 0, 0); }
    // A notification of a control that has no click of its own (the pictures, the list).
    void Notify(int id, int code) {
        SendMessageW(GetParent(Control(id)), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Control(id)));
    }
    void Pick(int id, int index) {
        SendMessageW(Control(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(GetParent(Control(id)), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Control(id)));
    }
    void Slide(int id, int position) {
        SendMessageW(Control(id), TBM_SETPOS, TRUE, position);
        SendMessageW(GetParent(Control(id)), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                     reinterpret_cast<LPARAM>(Control(id)));
    }
    void SetText(int id, const std::wstring& text) {
        SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void ShowTab(int tab) {
        HWND tabs = Control(dialogs::form5::kPageControl1);
        SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
        NMHDR header{tabs, static_cast<UINT_PTR>(dialogs::form5::kPageControl1), static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(Dialog().Handle(), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    }
    void Apply() { Click(dialogs::form5::kButton3); }
    void Ok() { Click(dialogs::form5::kPngBitBtn2); }
    void Cancel() { Click(dialogs::form5::kButton1); }

    bool Checked(int id) { return ui::Checked(Control(id)); }
    bool Enabled(int id) { return ui::ControlEnabled(Control(id)); }
    int Bar(int id) { return static_cast<int>(SendMessageW(Control(id), TBM_GETPOS, 0, 0)); }
    int Index(int id) { return ui::ComboIndex(Control(id)); }
    std::wstring Text(int id) { return ui::ControlText(Control(id)); }

    // --- files
    // A key of the written config.ini; "(none)" when it is missing.
    std::wstring Stored(std::wstring_view section, std::wstring_view key) {
        return ui::Ini(folder.PathOf(L"config.ini")).ReadString(section, key, L"(none)");
    }
    std::wstring General(std::wstring_view key) { return Stored(L"General", key); }
    std::wstring Effects(std::wstring_view key) { return Stored(L"Effects", key); }
    std::wstring Weather(std::wstring_view key) { return Stored(L"Weather", key); }

    // A skin of `width` whose parts are one colour; `mask` adds mask.png, `preview`
    // a preview.jpg.
    void WriteSkin(const std::wstring& name, int width, bool mask, bool preview, const std::wstring& info = L"") {
        const std::wstring base = L"Themes\\" + name + L"\\";
        folder.WriteUtf16(base + L"skin.ini", L"[Info]\r\n" + info + L"[Skin]\r\nHeaderSize=10\r\nItemSize=30\r\n");
        folder.WriteFile(base + L"back.png", testing_support::SolidPng(width, 150, 0xFF405060));
        if (mask) folder.WriteFile(base + L"mask.png", testing_support::SolidPng(width, 150, 0xFFFFFFFF));
        if (preview) testing_support::SaveBlankImage(folder.PathOf(base + L"preview.jpg"), 40, 30, L"image/jpeg");
    }

    std::vector<int> sleeps;
    std::map<HKEY, std::wstring> runValues;
    int runWrites = 0;
    bool failRunWrites = false;
    std::vector<std::wstring> shellCalls;
    std::optional<COLORREF> chosenColor;
};
