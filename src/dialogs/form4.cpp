#include "dialogs/form4.h"

#include "core/form1.h"
#include "core/forms.h"

namespace dialogs {

void TForm4::CreateParams(ui::CreateParams& params) {
    params.className = L"TForm4";
    params.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    params.exStyle = WS_EX_DLGMODALFRAME;
}

void TForm4::FormCreate() {
    // TODO(dialogs): the controls of the item properties dialog.
    core::Form1->SplashTimerTimer();
}

}  // namespace dialogs
