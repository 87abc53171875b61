#include "popups/form2.h"

#include "core/form1.h"
#include "core/forms.h"
#include "render/skin.h"

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

void TForm2::FormCreate() { InitDropTarget(*this); }

void TForm2::FormDestroy() { DragAcceptFiles(Handle(), FALSE); }

// TODO(sub-menus): the panels, the third level and the pointer handlers.
void TForm2::ShowPanels(bool /*visible*/) {}
void TForm2::OpenThirdLevel(core::TMouseControl& /*panel*/) {}
bool TForm2::EditIfNoTarget() { return false; }
void TForm2::FormMouseMove(UINT /*shift*/, int /*x*/, int /*y*/) {}
void TForm2::FormMouseDown(ui::MouseButton /*button*/, UINT /*shift*/, int /*x*/, int /*y*/) {}
void TForm2::FormMouseUp(ui::MouseButton /*button*/, UINT /*shift*/, int /*x*/, int /*y*/) {}
void TForm2::FormMouseWheel(int /*delta*/) {}

void TForm3::CreateParams(ui::CreateParams& params) {
    TForm2::CreateParams(params);
    params.className = L"TForm3";
}

}  // namespace popups
