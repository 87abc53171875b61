#include "ui/glyph_button.h"

namespace ui {

// TODO(dialogs): the glyph image list and the tooltip of the glyph-only mode.
HWND CreateGlyphButton(HWND parent, const ControlSpec& spec, Glyph) {
    ControlSpec button = spec;
    button.className = L"BUTTON";
    button.style |= WS_TABSTOP | BS_PUSHBUTTON;
    return CreateControl(parent, button);
}

void SetGlyphOnly(HWND, bool) {}

bool GlyphOnly(HWND) { return false; }

}  // namespace ui
