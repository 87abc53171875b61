#include "dialogs/form5.h"

#include "core/form1.h"
#include "core/forms.h"

namespace dialogs {

void TForm5::CreateParams(ui::CreateParams& params) {
    params.className = L"TForm5";
    params.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    params.exStyle = WS_EX_DLGMODALFRAME;
}

void TForm5::FormCreate() {
    // TODO(dialogs): the controls of the settings dialog.
    core::Form1->SplashTimerTimer();
}

}  // namespace dialogs
