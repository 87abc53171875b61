// Modal showing of a form: the thread's other windows take no input until it hides.
#pragma once

#include "ui/form.h"

namespace ui {

// Shows and activates the form, disables the other visible windows of the thread
// and dispatches messages until the form is hidden (its close hides it) or the
// application ends; then enables those windows again.
void ShowModal(Form& form);

}  // namespace ui
