// The base frame of a menu window: header, rows, icons, captions, scroll arrows and
// bottom, kept per level so that a hover redraw starts from it.
#include "render/compositor_paint.h"

#include "render/row_geometry.h"
#include "ui/strings.h"

#include <algorithm>

namespace core {

// --- MenuPainter: the base frame

MenuPainter::MenuPainter(const MenuWindowView& view, ui::Form& form, Gdiplus::Bitmap* image)
    : view_(view), form_(form), level_(form.Tag), image_(image), skin_(view.Skin), parts_(view.Parts) {
    if (!view_.Compositor.WorkBitmap) view_.Compositor.WorkBitmap = std::make_unique<ui::Dib>(1, 1);
}

void MenuPainter::SizeWorkBitmap() {
    ui::Dib& work = *view_.Compositor.WorkBitmap;
    const int width = skin_.ShowCaption ? view_.LevelWidth : skin_.SkinWidth;
    const int height = form_.Height();
    if (work.Width() != std::max(1, width) || work.Height() != std::max(1, height))
        work.Resize(width, height);
    else
        work.Fill(0);
}

void MenuPainter::DrawTab() {
    onBaseFrame_ = false;
    HDC work = view_.Compositor.WorkBitmap->Dc();
    const int windowHeight = form_.Height();
    if (view_.Position == 3) {
        ui::Dib& tab = parts_.VerticalTab;
        if (!tab.Handle()) return;
        const int half = skin_.VerticalTabHalfHeight;
        BlendClipped(work, {0, windowHeight - half, skin_.SkinWidth, half}, tab.Dc(), {0, 0, tab.Width(), half});
        return;
    }
    ui::Dib& tab = parts_.Tab;
    if (!tab.Handle()) return;
    const int half = skin_.TabHalfHeight;
    if (view_.Position == 0) {
        BlendClipped(work, {form_.Width() - skin_.TabWidth, skin_.TabY, skin_.TabWidth, half}, tab.Dc(),
                     {0, 0, skin_.TabWidth, half});
    } else {
        const int lower = tab.Height() - half;
        BlendClipped(work, {0, skin_.TabY, skin_.TabWidth, lower}, tab.Dc(), {0, half, skin_.TabWidth, lower});
    }
}

void MenuPainter::RestoreBaseFrame() {
    const auto& frame = view_.Compositor.LevelBitmaps[level_];
    ui::Dib& work = *view_.Compositor.WorkBitmap;
    if (frame) CopyPixels(*frame, work);
    onBaseFrame_ = frame && frame->Width() == work.Width() && frame->Height() == work.Height();
}

void MenuPainter::ComposeBaseFrame() {
    view_.Compositor.WindowBlend.SourceConstantAlpha = 255;
    if (view_.Compositor.IconAttributes) view_.Compositor.IconAttributes->SetColorMatrix(&view_.Compositor.IconMatrix);
    if (level_ == 1 && parts_.MainHeaderLoaded)
        DrawBand(parts_.Header, 0, skin_.HeaderSize, 0);
    else
        DrawBackBand(BackBand::Header, 0);
    int y = skin_.HeaderSize;

    const TLNItemList& list = view_.Items;
    const int count = static_cast<int>(list.size());
    const bool scrolls = view_.ScrollMode != 0;
    const int scrollTop = view_.ScrollTop;
    if (scrolls) {
        DrawBackBand(BackBand::Row, y);
        DrawArrow(scrollTop == 0 ? BoxBand::ScrollUpDisabled : BoxBand::ScrollUp, y);
        y = SaturatedAdd(y, skin_.ItemSize);
    }

    int first = 0;
    int last = count - 1;
    if (scrolls && count - 1 > view_.ShowCount) {
        first = std::max(0, scrollTop);
        last = std::min(count - 1, scrollTop + view_.ShowCount - 1);
    }
    for (int r = first; r <= last; ++r) {
        const TLNItem& item = list[static_cast<size_t>(r)];
        const int type = item.Type;
        // Rows of an unknown Type take no room and show nothing; drawn, they would lie
        // under the next row.
        if (RowHeight(type, skin_) == 0 && type != 777) continue;
        if (type == 6)
            DrawBoxBand(BoxBand::RunBox, y);
        else if (type == 2 || IsFolderMenu(item))
            DrawBackBand(BackBand::SubMenuRow, y);
        else if (type == 777)
            DrawBackBand(BackBand::Separator, y);
        else
            DrawBackBand(BackBand::Row, y);
        const int visible = scrolls ? r - scrollTop : r;
        if (type != 777 && type != 666)
            DrawIcon(visible, IconRect(item, y), view_.Compositor.IconAttributes.get());
        if (skin_.ShowCaption && type != 777) DrawCaption(ItemTop(visible), y, skin_.ItemSize);
        y = SaturatedAdd(y, RowHeight(type, skin_));
    }

    if (scrolls) {
        DrawBackBand(BackBand::Row, y);
        // Disabled once the last row shows.
        DrawArrow(scrollTop + view_.ShowCount >= count ? BoxBand::ScrollDownDisabled : BoxBand::ScrollDown, y);
        y = SaturatedAdd(y, skin_.ItemSize);
    }
    DrawBackBand(BackBand::Bottom, y);

    ui::Dib& work = *view_.Compositor.WorkBitmap;
    auto& frame = view_.Compositor.LevelBitmaps[level_];
    if (!frame) frame = std::make_unique<ui::Dib>();
    if (frame->Width() != work.Width() || frame->Height() != work.Height()) frame->Resize(work.Width(), work.Height());
    CopyPixels(work, *frame);
    view_.Compositor.FrameComposition[level_] = ++view_.Compositor.Compositions;
    onBaseFrame_ = true;
}

void MenuPainter::UpdateWindow(bool whole) {
    CompositorState& compositor = view_.Compositor;
    ui::Dib& work = *compositor.WorkBitmap;
    ShownFrame now;
    now.size = SIZE{form_.Width(), form_.Height()};
    now.alpha = compositor.WindowBlend.SourceConstantAlpha;
    if (onBaseFrame_) {
        const ui::Dib& base = *compositor.LevelBitmaps[level_];
        now.base = &base;
        now.composition = compositor.FrameComposition[level_];
        const RowSpan changed = ChangedRows(work, base);
        now.changedTop = changed.top;
        now.changedBottom = changed.bottom;
    }
    ShownFrame& shown = compositor.Shown[level_];
    // The window keeps what it was given last; over the same base frame, at the same
    // size and constant alpha, it differs from WorkBitmap only where either of them
    // differs from the base frame: the row that was highlighted, the row that is,
    // and the drop marker.
    const bool sameBase = !whole && now.base && shown.base == now.base && shown.composition == now.composition &&
                          shown.size.cx == now.size.cx && shown.size.cy == now.size.cy && shown.alpha == now.alpha;
    const RowSpan rows = Union({shown.changedTop, shown.changedBottom}, {now.changedTop, now.changedBottom});
    if (sameBase && rows.Empty()) return;  // the window shows this frame already
    const RECT dirty{0, rows.top, now.size.cx, rows.bottom};
    const bool ok = UpdateLayered(form_.Handle(), POINT{form_.Left(), form_.Top()}, now.size, work.Dc(),
                                  compositor.WindowBlend, sameBase ? &dirty : nullptr);
    shown = ok ? now : ShownFrame{};
}

void MenuPainter::UpdateRowRects(int selected) {
    // The row that opened this sub-menu: the open and close effects run while the
    // pointer stays on it.
    if (view_.OpenerRowRect) view_.PluginItemRect = *view_.OpenerRowRect;
    view_.SelectedRowRect =
        RowScreenRect(form_, selected, view_.LevelWidth, [this](int row) { return DrawnRowTop(row); });
}

int MenuPainter::ItemTop(int count) const { return core::ItemTop(view_.Items, view_.FirstShownRow, count, skin_); }

int MenuPainter::DrawnRowTop(int row) const {
    return SaturatedAdd(ItemTop(row), view_.ScrollMode != 0 ? skin_.ItemSize : 0);
}

bool MenuPainter::DropTargetHere() const { return view_.Dragging && view_.CursorInForm && view_.CursorInForm(form_); }

// --- MenuPainter: bands, icons and captions

void MenuPainter::DrawBand(ui::Dib& part, int sourceY, int height, int y) {
    if (!part.Handle()) return;
    HDC work = view_.Compositor.WorkBitmap->Dc();
    if (skin_.ShowCaption)
        DrawThreeSlice(part.Dc(), work, skin_, view_.LevelWidth, height, height, 0, y, sourceY,
                       skin_.LeftMargin, skin_.RightMargin);
    else
        BlendClipped(work, {0, y, skin_.SkinWidth, height}, part.Dc(), {0, sourceY, skin_.SkinWidth, height});
}

void MenuPainter::DrawBackBand(BackBand band, int y) {
    const int rows = skin_.HeaderSize + 4 * skin_.ItemSize;
    switch (band) {
    case BackBand::Header: DrawBand(parts_.Back, 0, skin_.HeaderSize, y); break;
    case BackBand::Row:
    case BackBand::HoveredRow:
    case BackBand::SubMenuRow:
    case BackBand::HoveredSubMenuRow: {
        const int index = static_cast<int>(band) - static_cast<int>(BackBand::Row);
        DrawBand(parts_.Back, skin_.HeaderSize + index * skin_.ItemSize, skin_.ItemSize, y);
        break;
    }
    case BackBand::Separator: DrawBand(parts_.Back, rows, skin_.Separatorsize, y); break;
    case BackBand::Bottom: DrawBand(parts_.Back, rows + skin_.Separatorsize, skin_.BottomMargin, y); break;
    }
}

void MenuPainter::DrawBoxBand(BoxBand band, int y) {
    DrawBand(parts_.Box, static_cast<int>(band) * skin_.ItemSize, skin_.ItemSize, y);
}

void MenuPainter::DrawArrow(BoxBand band, int y) {
    if (!parts_.Box.Handle()) return;
    const int x = static_cast<int>(ui::RoundEven((view_.LevelWidth - skin_.SkinWidth) / 2.0));
    BlendClipped(view_.Compositor.WorkBitmap->Dc(), {x, y, skin_.SkinWidth, skin_.ItemSize}, parts_.Box.Dc(),
                 {0, static_cast<int>(band) * skin_.ItemSize, skin_.SkinWidth, skin_.ItemSize});
}

void MenuPainter::DrawIcon(Gdiplus::Graphics& graphics, int cell, const Gdiplus::RectF& to,
                           const Gdiplus::ImageAttributes* attributes) {
    if (!image_ || cell < 0) return;
    constexpr Gdiplus::REAL kCell = 48;
    DrawImageClipped(graphics, *image_, to, Gdiplus::RectF(kCell * cell, 0, kCell, kCell), attributes);
}

void MenuPainter::DrawIcon(int cell, const Gdiplus::RectF& to, const Gdiplus::ImageAttributes* attributes) {
    if (!image_ || cell < 0) return;
    Surface surface(*view_.Compositor.WorkBitmap);
    if (surface.Ok()) DrawIcon(surface.Graphics(), cell, to, attributes);
}

void MenuPainter::DrawCaption(int sourceY, int y, int height) {
    Gdiplus::Bitmap* captions = view_.CaptionImage;
    if (!captions) return;
    Surface surface(*view_.Compositor.WorkBitmap);
    if (!surface.Ok()) return;
    const auto width = static_cast<Gdiplus::REAL>(captions->GetWidth());
    DrawImageClipped(surface.Graphics(), *captions,
                     Gdiplus::RectF(0, static_cast<Gdiplus::REAL>(y), width, static_cast<Gdiplus::REAL>(height)),
                     Gdiplus::RectF(0, static_cast<Gdiplus::REAL>(sourceY), width, static_cast<Gdiplus::REAL>(height)));
}

Gdiplus::RectF MenuPainter::IconRect(const TLNItem& item, int rowTop) const {
    const POINT p = IconPosition(item, skin_);
    const auto size = static_cast<Gdiplus::REAL>(skin_.IconSize);
    return Gdiplus::RectF(static_cast<Gdiplus::REAL>(p.x), static_cast<Gdiplus::REAL>(rowTop + p.y), size, size);
}

int MenuPainter::CaptionHalf() {
    Gdiplus::Bitmap* captions = view_.CaptionImage;
    return captions ? static_cast<int>(captions->GetHeight() / 2) : 0;
}

}  // namespace core
