// The hover state of a menu window: the highlighted row, the drop marker, the
// quick-run row and the frame-by-frame hover animation.
#include "render/compositor_paint.h"

#include "render/row_geometry.h"
#include "ui/strings.h"

namespace core {

RECT MenuPainter::HoverRow(const TLNItem& item, int selected) const {
    // A scrolling window starts its rows below the up arrow.
    const int top = DrawnRowTop(selected);
    const int height = item.Type == 777 ? skin_.Separatorsize : skin_.ItemSize;
    return RECT{0, top, view_.LevelWidth, SaturatedAdd(top, height)};
}

bool MenuPainter::DrawHoverState(int selected) {
    if (selected < 0 || selected > 255) return false;
    const TLNItemList& list = view_.Items;
    if (selected > static_cast<int>(list.size()) - 1) return false;
    const TLNItem* item = HoveredItem(list, selected, view_.ScrollMode, view_.ScrollTop);
    if (!item) return false;
    const int type = item->Type;
    // Rows of an unknown Type take no room and show nothing, hovered or not.
    if (RowHeight(type, skin_) == 0 && type != 777) return false;
    const RECT row = HoverRow(*item, selected);
    const CompositorState& compositor = view_.Compositor;

    if (!parts_.AnimationLoaded && type != 777) DrawStaticHover(*item, selected, row);
    if (parts_.AnimationLoaded && compositor.ShowHoverIcon && type != 777 && type != 666) {
        RunHoverAnimation(*item, selected, row);
        return true;
    }
    if (DropTargetHere()) DrawDropMarker(row, 255);
    if (type == 6 && !compositor.ShowHoverIcon) ClearRunBoxAreas(*item, row);
    return false;
}

void MenuPainter::DrawStaticHover(const TLNItem& item, int selected, const RECT& row) {
    ClearRect(*view_.Compositor.WorkBitmap, row);
    // Drawn into the row itself, which lies below the up arrow in a scrolling window.
    switch (item.Type) {
    case 2: DrawBackBand(BackBand::HoveredSubMenuRow, row.top); break;
    case 6:
        if (view_.Compositor.RunBoxOpen) {
            DrawBoxBand(BoxBand::OpenRunBox, row.top);
            RebuildEditBoxBackground();
        } else {
            DrawBoxBand(BoxBand::RunBox, row.top);
        }
        break;
    default: DrawBackBand(BackBand::HoveredRow, row.top); break;
    }
    if (skin_.ShowCaption && item.Type != 6)
        DrawCaption(SaturatedAdd(CaptionHalf(), ItemTop(selected)), row.top, row.bottom - row.top);
    if (view_.Compositor.ShowHoverIcon && item.Type != 666) {
        Gdiplus::ImageAttributes* attributes = view_.Compositor.IconAttributes.get();
        if (attributes) attributes->SetColorMatrix(&view_.Compositor.IconMatrix);
        DrawIcon(selected, IconRect(item, row.top), attributes);
    }
}

void MenuPainter::RebuildEditBoxBackground() {
    const int width = QuickRunEditWidth(skin_, view_.LevelWidth);
    auto& background = parts_.EditBoxBackground;
    // Without captions the background keeps the size the skin gave it.
    const bool current = !skin_.ShowCaption && background && static_cast<int>(background->GetWidth()) == width &&
                         static_cast<int>(background->GetHeight()) == skin_.EditBoxHeight;
    if (!current) {
        // The part of the open quick-run row that lies under the edit box, on white
        // as the edit control paints it.
        ui::Dib canvas(width, skin_.EditBoxHeight);
        canvas.Fill(0xFFFFFFFF);
        if (parts_.Box.Handle()) {
            const int bandY = static_cast<int>(BoxBand::OpenRunBox) * skin_.ItemSize;
            if (skin_.ShowCaption)
                DrawThreeSlice(parts_.Box.Dc(), canvas.Dc(), skin_, view_.LevelWidth, skin_.ItemSize,
                               skin_.ItemSize, -skin_.EditBoxX, -skin_.EditBoxY, bandY, skin_.LeftMargin,
                               skin_.RightMargin);
            else
                BlendClipped(canvas.Dc(), {0, -skin_.EditBoxY, skin_.SkinWidth, skin_.ItemSize}, parts_.Box.Dc(),
                             {0, bandY, skin_.SkinWidth, skin_.ItemSize});
        }
        background = CopyToBitmap(canvas);
    }
    if (view_.Compositor.FitRunBoxEdit) view_.Compositor.FitRunBoxEdit(width, background.get());
}

void MenuPainter::ClearRunBoxAreas(const TLNItem& item, const RECT& row) {
    ui::Dib& work = *view_.Compositor.WorkBitmap;
    // The open box's edit control and result list draw themselves there.
    const int editWidth = QuickRunEditWidth(skin_, view_.LevelWidth);
    const int editTop = row.top + skin_.EditBoxY;
    ClearRect(work, RECT{skin_.EditBoxX, editTop, skin_.EditBoxX + editWidth, editTop + skin_.EditBoxHeight});
    if (item.Run == L"1")
        ClearRect(work, RECT{skin_.VistaMenuLeftMargin, skin_.HeaderSize,
                             view_.LevelWidth - skin_.VistaMenuRightMargin, row.top});
}

void MenuPainter::DrawDropMarker(const RECT& row, BYTE alpha) {
    if (alpha == 0) return;
    Surface surface(*view_.Compositor.WorkBitmap);
    if (!surface.Ok()) return;
    Gdiplus::Pen pen(Gdiplus::Color(alpha, 255, 0, 0), 4);
    pen.SetStartCap(Gdiplus::LineCapRound);
    pen.SetEndCap(Gdiplus::LineCapRound);
    const auto y = static_cast<Gdiplus::REAL>(row.bottom);
    surface.Graphics().DrawLine(&pen, Gdiplus::PointF(4, y),
                                Gdiplus::PointF(static_cast<Gdiplus::REAL>(form_.Width() - 4), y));
}

void MenuPainter::FillRow(const RECT& row, BYTE alpha) {
    if (alpha == 0) return;
    Surface surface(*view_.Compositor.WorkBitmap);
    if (!surface.Ok()) return;
    Gdiplus::SolidBrush red(Gdiplus::Color(alpha, 255, 0, 0));
    surface.Graphics().FillRectangle(&red, static_cast<INT>(row.left), static_cast<INT>(row.top),
                                     static_cast<INT>(row.right - row.left), static_cast<INT>(row.bottom - row.top));
}

void MenuPainter::DrawAnimationFrame(int sourceY, int y) {
    ui::Dib& animation = parts_.Animation;
    if (!animation.Handle()) return;
    const AnimationMetrics& keys = parts_.AnimationKeys;
    HDC work = view_.Compositor.WorkBitmap->Dc();
    if (skin_.ShowCaption)
        DrawThreeSlice(animation.Dc(), work, skin_, view_.LevelWidth, keys.height, keys.height, keys.x, y,
                       sourceY, skin_.LeftMargin, skin_.RightMargin);
    else
        BlendClipped(work, {keys.x, y, keys.width, keys.height}, animation.Dc(), {0, sourceY, keys.width, keys.height});
}

HoverSteps PlanHoverSteps(const AnimationMetrics& keys, int iconSize, int zoom) {
    HoverSteps plan;
    // One frame (or none, after the count wrapped at 8 bits) is a still picture: the
    // per-frame steps would divide by zero.
    plan.frames = keys.frames > 1 ? keys.frames : 1;
    plan.still = plan.frames == 1;
    const double steps = plan.still ? 1.0 : plan.frames - 1.0;
    plan.glow = 0.2 / steps;
    plan.rollAngle = static_cast<Gdiplus::REAL>(ui::RoundEven(360.0 / plan.frames));
    const double size = iconSize;
    plan.zoom = plan.still ? 0.0 : (size * zoom * 10 / 100 - size) / steps / 2;
    plan.fill = static_cast<int>(ui::RoundEven(70 / steps));
    plan.marker = static_cast<int>(ui::RoundEven(150 / steps));
    return plan;
}

void MenuPainter::RunHoverAnimation(const TLNItem& item, int selected, const RECT& row) {
    CompositorState& compositor = view_.Compositor;
    const AnimationMetrics& keys = parts_.AnimationKeys;
    const HoverSteps plan = PlanHoverSteps(keys, skin_.IconSize, view_.Zoom);
    const int type = item.Type;
    // Sub-menu rows and folder menus take their frames from the lower half.
    const int offset = type == 2 || IsFolderMenu(item)
                           ? static_cast<int>(ui::RoundEven(parts_.Animation.Height() / 2.0))
                           : 0;
    Gdiplus::Matrix roll;  // turned a little further each frame

    for (int k = 0; k < plan.frames; ++k) {
        RestoreBaseFrame();
        ClearRect(*compositor.WorkBitmap, row);
        if (type == 6)
            DrawBoxBand(BoxBand::RunBox, row.top);
        else
            DrawAnimationFrame(k * keys.height + offset, row.top + keys.y);
        if (skin_.ShowCaption && type != 6)
            DrawCaption(SaturatedAdd(CaptionHalf(), ItemTop(selected)), row.top, row.bottom - row.top);
        DrawAnimatedIcon(item, selected, row, plan, k, roll);

        if (DropTargetHere()) {
            if (plan.still) {
                DrawDropMarker(row, 255);
            } else {
                if (type == 2) FillRow(row, static_cast<BYTE>((plan.fill * k) % 256));
                DrawDropMarker(row, static_cast<BYTE>((plan.marker * k) % 256));
            }
        }
        UpdateWindow();

        if (k == plan.frames - 1) break;
        POINT cursor{};
        GetCursorPos(&cursor);
        const bool onRow = PtInRect(&view_.SelectedRowRect, cursor) != FALSE;
        if (!onRow && !(view_.PopupMode && level_ == 1)) break;
        Sleep(keys.delay);
    }
    // The base frame and the static hover draw icons unlit.
    if (compositor.IconAttributes) compositor.IconAttributes->SetColorMatrix(&compositor.IconMatrix);
}

void MenuPainter::DrawAnimatedIcon(const TLNItem& item, int selected, const RECT& row, const HoverSteps& plan,
                                   int k, Gdiplus::Matrix& roll) {
    const int effect = view_.OnMouse;
    if (effect > 3) return;  // other effect values draw no icon
    CompositorState& compositor = view_.Compositor;
    Surface surface(*compositor.WorkBitmap);
    if (!surface.Ok()) return;
    Gdiplus::Graphics& graphics = surface.Graphics();
    // Where the base frame has the icon, so it does not jump sideways in flipped skins.
    const POINT at = IconPosition(item, skin_);
    const auto x = static_cast<Gdiplus::REAL>(at.x);
    const auto y = static_cast<Gdiplus::REAL>(row.top + at.y);
    const auto size = static_cast<Gdiplus::REAL>(skin_.IconSize);
    const auto d = static_cast<Gdiplus::REAL>(k * plan.zoom);
    if (plan.still || effect == 0) {
        DrawIcon(graphics, selected, Gdiplus::RectF(x, y, size, size), nullptr);
    } else if (effect == 1) {  // glow
        const auto glow = static_cast<Gdiplus::REAL>((k + 1) * plan.glow);
        for (int c = 0; c < 3; ++c) compositor.GlowMatrix.m[3][c] = glow;
        if (compositor.IconAttributes) compositor.IconAttributes->SetColorMatrix(&compositor.GlowMatrix);
        DrawIcon(graphics, selected, Gdiplus::RectF(x, y, size, size), compositor.IconAttributes.get());
    } else if (effect == 2) {  // zoom
        DrawIcon(graphics, selected, Gdiplus::RectF(x - d, y - d, size + 2 * d, size + 2 * d), nullptr);
    } else {  // roll
        const Gdiplus::RectF box(x - d, y - d, size + d, size + d);
        roll.RotateAt(plan.rollAngle, Gdiplus::PointF(box.X + box.Width / 2, box.Y + box.Height / 2),
                      Gdiplus::MatrixOrderAppend);
        graphics.SetTransform(&roll);
        DrawIcon(graphics, selected, box, nullptr);
        graphics.ResetTransform();
    }
}

}  // namespace core
