#include "core/skin.h"

#include "core/form1.h"
#include "ui/form.h"

namespace core {

void MakeLayeredToolWindow(ui::Form& form) {
    HWND hwnd = form.Handle();
    LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    style &= ~static_cast<LONG_PTR>(WS_CAPTION | WS_THICKFRAME | WS_BORDER | WS_DLGFRAME);
    SetWindowLongPtrW(hwnd, GWL_STYLE, style | WS_POPUP);
    LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    exStyle &= ~static_cast<LONG_PTR>(WS_EX_APPWINDOW | WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE);
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle | WS_EX_TOOLWINDOW | WS_EX_LAYERED);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TForm1::LoadSkin(const std::wstring& /*name*/) {
    // TODO(skins): read skin.ini and the PNG parts; until then the default metrics
    // of a skin folder without files stay in force.
}

}  // namespace core
