// Modal showing of a form: the thread's other windows take no input until it hides.
#pragma once

#include "ui/form.h"

namespace ui {

// The keyboard of a dialog: Tab and Shift+Tab move between its controls, Enter
// presses `okId` while that control is enabled, Esc presses `cancelId`. Off for
// windows that take those keys themselves (the quick-run box).
struct DialogKeys {
    bool enabled = false;
    int okId = IDOK;
    int cancelId = IDCANCEL;
};

// Shows and activates the form, disables the other visible windows of the thread
// and dispatches messages until the form is hidden (its close hides it) or the
// application ends; then enables those windows again.
void ShowModal(Form& form, const DialogKeys& keys = {});

}  // namespace ui
