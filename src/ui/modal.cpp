#include "ui/modal.h"

#include "ui/application.h"
#include "ui/handles.h"

#include <vector>

namespace ui {
namespace {

struct DisableWalk {
    HWND keep;
    std::vector<HWND> disabled;
};

BOOL CALLBACK DisableOne(HWND hwnd, LPARAM lp) {
    auto* walk = reinterpret_cast<DisableWalk*>(lp);
    if (hwnd != walk->keep && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        walk->disabled.push_back(hwnd);
    }
    return TRUE;
}

struct FindWalk {
    int id;
    HWND found;
};

BOOL CALLBACK FindOne(HWND hwnd, LPARAM lp) {
    auto* walk = reinterpret_cast<FindWalk*>(lp);
    if (GetDlgCtrlID(hwnd) != walk->id) return TRUE;
    walk->found = hwnd;
    return FALSE;
}

// The control with `id` anywhere inside the form, panels included.
HWND FindControl(HWND form, int id) {
    if (HWND direct = GetDlgItem(form, id)) return direct;
    FindWalk walk{id, nullptr};
    EnumChildWindows(form, &FindOne, reinterpret_cast<LPARAM>(&walk));
    return walk.found;
}

bool IsPushButton(HWND hwnd) {
    wchar_t name[16] = {};
    if (!GetClassNameW(hwnd, name, 16) || lstrcmpiW(name, L"Button") != 0) return false;
    const LONG type = GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// Presses a button of the form as a click would: BN_CLICKED from the control to
// the form. Nothing for a missing or disabled control.
void Press(HWND form, HWND button) {
    if (!button || !IsWindowEnabled(button)) return;
    const int id = GetDlgCtrlID(button);
    SendMessageW(form, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

// Enter and Esc are ours, not IsDialogMessage's: it sends IDOK to a form that is no
// dialog whatever the state of the OK button, and a disabled OK must ignore Enter.
// A control that asks for the key (a dropped-down combo box closing its list, a
// multi-line edit) gets it instead. True when the key was taken.
bool TakeEnterOrEscape(HWND form, const MSG& msg, const DialogKeys& keys) {
    if (msg.message != WM_KEYDOWN || (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE)) return false;
    if (msg.hwnd != form && !IsChild(form, msg.hwnd)) return false;
    const LRESULT wants =
        SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    if (msg.hwnd != form && (wants & (DLGC_WANTMESSAGE | DLGC_WANTALLKEYS))) return false;
    if (msg.wParam == VK_ESCAPE) {
        Press(form, FindControl(form, keys.cancelId));
        return true;
    }
    // Enter on a focused push button presses that button, as in any dialog.
    HWND focus = GetFocus();
    if (focus && focus != form && IsChild(form, focus) && IsPushButton(focus))
        Press(form, focus);
    else
        Press(form, FindControl(form, keys.okId));
    return true;
}

// One pass over the queue with the dialog keys: like Application::ProcessMessages,
// with each message offered to the form's keyboard handling before dispatch.
void PumpWithKeys(Application& app, HWND form, const DialogKeys& keys) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            app.Terminate();  // the loops outside see the quit as well
            return;
        }
        if (IsWindow(form)) {
            if (TakeEnterOrEscape(form, msg, keys)) continue;
            if (IsDialogMessageW(form, &msg)) continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

void ShowModal(Form& form, const DialogKeys& keys) {
    Application& app = Application::Instance();
    DisableWalk walk{form.Handle(), {}};
    EnumThreadWindows(GetCurrentThreadId(), &DisableOne, reinterpret_cast<LPARAM>(&walk));
    // Every way out, an error in a handler included, gives the windows back their input.
    ScopeExit enable([&walk] {
        for (HWND hwnd : walk.disabled)
            if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
    });
    if (keys.enabled) {
        // Tab order runs through panels only where they are control parents; the
        // form is one too, so a form nested in another keeps its own order.
        const LONG_PTR ex = GetWindowLongPtrW(form.Handle(), GWL_EXSTYLE);
        if (!(ex & WS_EX_CONTROLPARENT)) SetWindowLongPtrW(form.Handle(), GWL_EXSTYLE, ex | WS_EX_CONTROLPARENT);
    }
    ShowWindow(form.Handle(), SW_SHOW);
    while (form.Visible() && !app.Terminated()) {
        if (keys.enabled)
            PumpWithKeys(app, form.Handle(), keys);
        else
            app.ProcessMessages();
        if (!form.Visible() || app.Terminated()) break;
        WaitMessage();
    }
}

}  // namespace ui
