// The drawing of one menu window during one RenderMenuWindow call: the base frame,
// the hover state and the hover animation share the window, its level and the parts.
// The painter sees the menu only through a MenuWindowView, so that every menu window
// draws with it whoever owns the level's state.
#pragma once

#include "core/menu_document.h"
#include "render/compositor.h"
#include "render/compositor_draw.h"
#include "render/row_geometry.h"
#include "render/skin.h"
#include "ui/form.h"
#include "ui/handles.h"

#include <windows.h>
#include <gdiplus.h>

#include <optional>

namespace core {

// The bands of back.png, from the top.
enum class BackBand { Header, Row, HoveredRow, SubMenuRow, HoveredSubMenuRow, Separator, Bottom };

// The bands of box.png, each ItemSize high.
enum class BoxBand { RunBox, OpenRunBox, ScrollUp, ScrollDown, ScrollUpDisabled, ScrollDownDisabled };

// A folder shown as a menu: drawn like a sub-menu row.
inline bool IsFolderMenu(const TLNItem& item) { return item.Type == 1 && item.Param1 == L"1"; }

// The per-frame steps of the hover animation.
struct HoverSteps {
    int frames = 1;
    bool still = true;  // one frame: no steps, a plain icon and an opaque drop marker
    double glow = 0;    // added to the glow matrix's alpha row per frame
    Gdiplus::REAL rollAngle = 0;
    double zoom = 0;    // growth of the icon's edge per frame, each side
    int fill = 0;       // alpha steps of the drag tint and of the drop marker
    int marker = 0;
};
HoverSteps PlanHoverSteps(const AnimationMetrics& keys, int iconSize, int zoom);

// What the painting of one level's window reads and writes, filled by the owner of
// the menu state for one call; the painter reaches nothing else. The lists, the
// parts and the rectangles are borrowed for that call only.
struct MenuWindowView {
    const SkinMetrics& Skin;
    SkinParts& Parts;  // EditBoxBackground is rebuilt for the open quick-run row
    CompositorState& Compositor;
    const TLNItemList& Items;  // the level's rows
    int ScrollMode = 0;        // non-zero while the level scrolls
    int ScrollTop = 0;
    int FirstShownRow = 0;     // the list index of the first row shown
    int ShowCount = 0;
    int LevelWidth = 0;
    Gdiplus::Bitmap* CaptionImage = nullptr;  // the level's caption image; none without captions
    bool Dragging = false;                    // an item drag is on: the hovered row shows the drop marker
    bool PopupMode = false;                   // the main window's hover animation runs on off its row
    int Position = 0;                         // Settings.Position: where the tab of the hidden menu sits
    int Zoom = 0;                             // Settings.Zoom, for the zoom effect
    int OnMouse = 0;                          // Settings.OnMouse: the hover animation's icon effect
    // Whether the pointer is over the window; asked again at each animation frame.
    // Null means never.
    bool (*CursorInForm)(const ui::Form& form) = nullptr;
    // The screen rectangle of the row that opened this level, written to
    // PluginItemRect; none leaves PluginItemRect as it is.
    std::optional<RECT> OpenerRowRect;
    RECT& PluginItemRect;
    RECT& SelectedRowRect;  // the hovered row on the screen; empty for none
};

// A row's screen rectangle in `window`, from the top of row `row` to that of the next
// one as `drawnRowTop` gives them, `width` wide; empty for no row. A scrolling
// window's rows start one band lower, below the up arrow, and count from its first
// row shown: `drawnRowTop` says so.
template <class DrawnRowTop>
RECT RowScreenRect(const ui::Form& window, int row, int width, DrawnRowTop drawnRowTop) {
    if (row < 0) return RECT{};
    const int left = window.Left();
    const int top = window.Top();
    return RECT{left, SaturatedAdd(top, drawnRowTop(row)), SaturatedAdd(left, width),
                SaturatedAdd(top, drawnRowTop(row + 1))};
}

class MenuPainter {
public:
    MenuPainter(const MenuWindowView& view, ui::Form& form, Gdiplus::Bitmap* image);
    MenuPainter(const MenuPainter&) = delete;
    MenuPainter& operator=(const MenuPainter&) = delete;

    void SizeWorkBitmap();
    // The tab alone, for the hidden main window.
    void DrawTab();
    void RestoreBaseFrame();
    void ComposeBaseFrame();
    // Shows WorkBitmap. Over the base frame the window last had, only the rows that
    // differ from what it shows are sent, unless `whole` asks for the whole window.
    void UpdateWindow(bool whole = false);
    void UpdateRowRects(int selected);
    // The hovered row, or nothing when `selected` names no row. True when the hover
    // animation already showed its last frame.
    bool DrawHoverState(int selected);

private:
    RECT HoverRow(const TLNItem& item, int selected) const;
    void DrawStaticHover(const TLNItem& item, int selected, const RECT& row);
    void RunHoverAnimation(const TLNItem& item, int selected, const RECT& row);
    void DrawAnimationFrame(int sourceY, int y);
    void DrawAnimatedIcon(const TLNItem& item, int selected, const RECT& row, const HoverSteps& plan, int k,
                          Gdiplus::Matrix& roll);
    void RebuildEditBoxBackground();
    void ClearRunBoxAreas(const TLNItem& item, const RECT& row);
    void DrawDropMarker(const RECT& row, BYTE alpha);
    void FillRow(const RECT& row, BYTE alpha);

    // A band of a part at y: three slices across the level's width with captions, a
    // plain copy SkinWidth wide without.
    void DrawBand(ui::Dib& part, int sourceY, int height, int y);
    void DrawBackBand(BackBand band, int y);
    void DrawBoxBand(BoxBand band, int y);
    void DrawArrow(BoxBand band, int y);
    // Cell `cell` of the icon strip into `to`; a missing strip or cell draws nothing.
    void DrawIcon(Gdiplus::Graphics& graphics, int cell, const Gdiplus::RectF& to,
                  const Gdiplus::ImageAttributes* attributes);
    void DrawIcon(int cell, const Gdiplus::RectF& to, const Gdiplus::ImageAttributes* attributes);
    // The caption image's band at sourceY, `height` high, at y.
    void DrawCaption(int sourceY, int y, int height);
    Gdiplus::RectF IconRect(const TLNItem& item, int rowTop) const;
    int CaptionHalf();
    // Row tops of this level, counted from its first row shown: in the caption image
    // (ItemTop) and in the window, below the up arrow of a scrolling level.
    int ItemTop(int count) const;
    int DrawnRowTop(int row) const;
    // An item drag hovers over this window: the row shows the drop marker.
    bool DropTargetHere() const;

    const MenuWindowView& view_;
    ui::Form& form_;
    const int level_;
    Gdiplus::Bitmap* image_;
    const SkinMetrics& skin_;
    SkinParts& parts_;
    bool onBaseFrame_ = false;  // WorkBitmap holds the level's base frame, with at most the hover
};

}  // namespace core
