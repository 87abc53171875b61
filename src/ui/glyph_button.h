// Push buttons that carry one of our glyphs beside their caption (BCM_SETIMAGELIST),
// or the glyph alone with the caption as a tooltip.
#pragma once

#include "ui/controls.h"

#include <windows.h>

#include <string>

namespace ui {

// The glyphs the program carries as PNG resources.
enum class Glyph { Ok, Cancel };

// A push button made like CreateControl(parent, layout), with the glyph on its left.
// The button keeps its image list and tooltip until it is destroyed.
HWND CreateGlyphButton(HWND parent, const ControlLayout& layout, Glyph glyph);

// Glyph only: the caption leaves the face and becomes the button's tooltip (owned by
// the button's top-level window) and the glyph moves above the empty text; off puts
// the caption back. For the language loader, which switches it on for systems that
// draw such buttons. A caption set while the glyph stands alone (SetControlText)
// becomes the tooltip's text and leaves the face empty.
void SetGlyphOnly(HWND button, bool glyphOnly);
bool GlyphOnly(HWND button);

// The tooltip of a glyph button; null until glyph-only was first switched on.
HWND GlyphButtonTooltip(HWND button);

}  // namespace ui
