#include "dialogs/about.h"

#include "core/form1.h"
#include "core/forms.h"

namespace dialogs {

void TAbout::CreateParams(ui::CreateParams& params) {
    params.className = L"TAbout";
    params.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    params.exStyle = WS_EX_DLGMODALFRAME;
}

void TAbout::FormCreate() {
    // TODO(dialogs): the controls of the about box.
    core::Form1->SplashTimerTimer();
}

}  // namespace dialogs
