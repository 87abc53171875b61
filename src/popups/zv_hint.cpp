#include "popups/zv_hint.h"

#include "core/form1.h"
#include "core/forms.h"
#include "render/skin.h"

namespace popups {

void TZVHint::CreateParams(ui::CreateParams& params) {
    params.className = L"TZVHint";
    params.style = WS_POPUP;
}

void TZVHint::FormCreate() {
    // TODO(language files): LoadLanguage(Language) relabels the context menu and dialogs.
    // TODO(hint): the hint font, bitmap, path and pen.
    core::MakeLayeredToolWindow(*this);
    core::Form1->SplashTimerTimer();
}

void TZVHint::FormDestroy() {}

void TZVHint::ShowText(const std::wstring&, const std::wstring&, int, int) {
    // TODO(hint): measure, draw and place the hint.
}

}  // namespace popups
