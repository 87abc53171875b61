#include "dialogs/edit_box.h"

#include "core/form1.h"
#include "core/forms.h"

namespace dialogs {

void TEditBox::CreateParams(ui::CreateParams& params) {
    params.className = L"TEditBox";
    params.style = WS_POPUP;
    params.exStyle = WS_EX_TOOLWINDOW;
}

void TEditBox::FormCreate() {
    // TODO(quick-run box): the edit, the result list and its window procedure.
    // Created last of the eight windows, so the splash ends here.
    core::Form1->SplashTimerTimer();
    core::Form1->CloseSplash();
}

}  // namespace dialogs
