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

}  // namespace

// TODO(dialogs): the dialog keys (IsDialogMessageW) when keys.enabled.
void ShowModal(Form& form, const DialogKeys& /*keys*/) {
    Application& app = Application::Instance();
    DisableWalk walk{form.Handle(), {}};
    EnumThreadWindows(GetCurrentThreadId(), &DisableOne, reinterpret_cast<LPARAM>(&walk));
    // Every way out, an error in a handler included, gives the windows back their input.
    ScopeExit enable([&walk] {
        for (HWND hwnd : walk.disabled)
            if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
    });
    ShowWindow(form.Handle(), SW_SHOW);
    while (form.Visible() && !app.Terminated()) {
        app.ProcessMessages();
        if (!form.Visible() || app.Terminated()) break;
        WaitMessage();
    }
}

}  // namespace ui
