// The drawing of one menu window during one RenderMenuWindow call: the base frame,
// the hover state and the hover animation share the window, its level and the parts.
#pragma once

#include "core/form1.h"
#include "render/compositor_draw.h"
#include "ui/handles.h"

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

class MenuPainter {
public:
    MenuPainter(TForm1& main, ui::Form& form, Gdiplus::Bitmap* image);
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

    TForm1& main_;
    ui::Form& form_;
    const int level_;
    Gdiplus::Bitmap* image_;
    const SkinMetrics& skin_;
    SkinParts& parts_;
    bool onBaseFrame_ = false;  // WorkBitmap holds the level's base frame, with at most the hover
};

}  // namespace core
