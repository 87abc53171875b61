// The keyboard of a modal dialog: Tab moves among the tab stops, Enter presses OK
// while it is enabled, Esc presses Cancel; without the dialog keys the controls get
// them. Driven from inside ShowModal's loop with posted keys.
#include "support/modal_steps.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/modal.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kEdit1 = 11;
constexpr int kEdit2 = 12;

// Two edits, OK and Cancel. Records the BN_CLICKED commands that reach it.
class KeysForm : public ui::Form {
public:
    KeysForm() { Create(); }
    ~KeysForm() override { Destroy(); }

    std::vector<int> commands;
    HWND Item(int id) const { return GetDlgItem(Handle(), id); }

protected:
    void CreateParams(ui::CreateParams& params) override {
        params.className = L"ZarvoKeysForm";
        params.caption = L"Keys";
        params.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
        params.x = 200;
        params.y = 200;
        params.width = 300;
        params.height = 150;
    }
    void FormCreate() override {
        Add(WC_EDITW, kEdit1, 10, 10, ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
        Add(WC_EDITW, kEdit2, 10, 40, ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
        Add(L"BUTTON", IDOK, 10, 80, BS_PUSHBUTTON, 0, L"OK");
        Add(L"BUTTON", IDCANCEL, 120, 80, BS_PUSHBUTTON, 0, L"Cancel");
    }
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
            commands.push_back(LOWORD(wp));
            return 0;
        }
        return Form::OnMessage(msg, wp, lp);
    }

private:
    void Add(const wchar_t* kind, int id, int x, int y, DWORD style, DWORD exStyle, const wchar_t* text = L"") {
        ui::ControlLayout layout;
        layout.className = kind;
        layout.text = text;
        layout.style = style | WS_TABSTOP;
        layout.exStyle = exStyle;
        layout.x = x;
        layout.y = y;
        layout.width = 100;
        layout.height = 22;
        layout.id = id;
        ui::CreateControl(Handle(), layout);
    }
};

void PostKey(HWND target, WPARAM key) { PostMessageW(target, WM_KEYDOWN, key, 1); }

void SetShift(bool down) {
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(state);
}

// Runs the form modally: focus on the first edit, the steps, then the form hides.
void RunModal(KeysForm& form, bool keys, std::vector<std::function<void()>> steps) {
    testing_support::ModalSteps run;
    run.Then([&form] { SetFocus(form.Item(kEdit1)); });
    for (auto& step : steps) run.Then(std::move(step));
    run.Then([&form] { form.Hide(); });
    run.Start();
    ui::DialogKeys dialogKeys;
    dialogKeys.enabled = keys;
    ui::ShowModal(form, dialogKeys);
    EXPECT_EQ(run.Pending(), 0u);
}

int FocusedId() { return GetDlgCtrlID(GetFocus()); }

TEST(DialogKeys, TabAndShiftTabMoveTheFocusAmongTheTabStops) {
    KeysForm form;
    std::vector<int> seen;
    auto tab = [&form](bool shift) {
        return [&form, shift] {
            SetShift(shift);
            PostKey(GetFocus(), VK_TAB);
        };
    };
    auto record = [&seen] {
        SetShift(false);
        seen.push_back(FocusedId());
    };
    RunModal(form, true, {record, tab(false), record, tab(false), record, tab(true), record, tab(true), record});
    EXPECT_EQ(seen, (std::vector<int>{kEdit1, kEdit2, IDOK, kEdit2, kEdit1}));
    EXPECT_TRUE(form.commands.empty());
}

TEST(DialogKeys, EnterPressesAnEnabledOkAndEscapePressesCancel) {
    struct Case {
        const char* name;
        bool okEnabled;
        int focus;
        WPARAM key;
        std::vector<int> commands;
    };
    const Case cases[] = {
        {"Enter in an edit", true, kEdit1, VK_RETURN, {IDOK}},
        {"Enter with OK disabled", false, kEdit1, VK_RETURN, {}},
        {"Escape in an edit", true, kEdit2, VK_ESCAPE, {IDCANCEL}},
        {"Escape with OK disabled", false, kEdit1, VK_ESCAPE, {IDCANCEL}},
        {"Enter on the focused Cancel button", true, IDCANCEL, VK_RETURN, {IDCANCEL}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeysForm form;
        ui::SetEnabled(form.Item(IDOK), c.okEnabled);
        RunModal(form, true, {[&] { SetFocus(form.Item(c.focus)); }, [&] { PostKey(form.Item(c.focus), c.key); }});
        EXPECT_EQ(form.commands, c.commands);
    }
}

TEST(DialogKeys, WithoutDialogKeysTheControlsGetTheKeys) {
    KeysForm form;
    int focusAfterTab = 0;
    RunModal(form, false,
             {[&] { PostKey(form.Item(kEdit1), VK_TAB); },
              [&] { focusAfterTab = FocusedId(); },
              [&] { PostKey(form.Item(kEdit1), VK_RETURN); },
              [&] { PostKey(form.Item(kEdit1), VK_ESCAPE); }});
    EXPECT_EQ(focusAfterTab, kEdit1);
    EXPECT_TRUE(form.commands.empty());
}

}  // namespace
