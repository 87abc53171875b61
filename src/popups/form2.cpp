#include "popups/form2.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/skin.h"

#include <shellapi.h>

namespace popups {

void TForm2::InitDropTarget(ui::Form& form) {
    core::MakeLayeredToolWindow(form);
    DragAcceptFiles(form.Handle(), TRUE);
    core::Form1->SplashTimerTimer();
}

void TForm2::CreateParams(ui::CreateParams& params) {
    params.className = L"TForm2";
    params.style = WS_POPUP;
}

// TODO(sub-menus): hover, press, release and wheel of the sub-menu windows.
void TForm2::FormCreate() { InitDropTarget(*this); }

void TForm2::FormDestroy() { DragAcceptFiles(Handle(), FALSE); }

void TForm3::CreateParams(ui::CreateParams& params) {
    TForm2::CreateParams(params);
    params.className = L"TForm3";
}

}  // namespace popups
