// What the menu windows' builds draw with: transparent images, item icons in strip
// cells, caption outlines with stroke and soft shadow, and the rule that makes a row
// open a further level. The main menu build and the sub-menu renderer share them.
#pragma once

#include "core/menu_document.h"
#include "core/skin.h"
#include "ui/xml_document.h"

#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace core {

class TForm1;

// A drawing call failed; the build that drew stops there.
struct DrawingFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// One row's caption outline, relative to the row's top. The normal caption lies at
// `top` in the caption image, the selected one the window height lower.
struct RowCaption {
    int top = 0;
    std::unique_ptr<Gdiplus::GraphicsPath> path;
};

// The caption outlines of a build, one path per row. One path of all rows is no
// good: Wine's GDI+ flattens a widened outline in device coordinates, and at the
// coordinates of the lower rows of a long menu (some 20000 pixels down) float
// rounding keeps its subdivision from ending until the stack overflows.
struct CaptionPaths {
    std::vector<RowCaption> rows;
};

// A transparent 32-bit ARGB image; a failed allocation throws DrawingFailed.
std::unique_ptr<Gdiplus::Bitmap> NewImage(int width, int height);

// The strip is filled with icons that are mostly drawn at their own size.
void SetStripQuality(Gdiplus::Graphics& strip);

// A row opens a further level when its subitem holds items, unless it is a folder
// shown as its contents. Looking subitem up adds it when missing.
bool OpensSubMenu(const TLNItem& item, ui::XmlNode node);

// The row's icon in cell u of the strip: a ".png" ImageFile (exact, lower case)
// scaled into the cell, another existing ImageFile's icon `Index`, else the shell's
// icon of Run. An unreadable picture leaves the cell transparent.
void DrawItemIcon(const TLNItem& item, int u, Gdiplus::Graphics& strip);

// Adds the caption of row `row` of `level` (counted from the level's first row
// shown, placed by the form's ItemTop) to the paths. Separators, rows that take no
// height and empty captions add nothing.
void AddCaption(const TForm1& form, const TLNItem& item, int level, int row, CaptionPaths& paths);

// Strokes and fills the captions onto `captions` (normal half, then the selected
// half `height` lower) over a soft shadow drawn small and enlarged back, placed
// `shadowX` to the right and ShadowSize down. ShadowSmooth 0 is taken as 1.
void RenderCaptions(const SkinMetrics& skin, Gdiplus::Bitmap& captions, const CaptionPaths& paths, int height,
                    float shadowX);

}  // namespace core
