#include "render/menu_images.h"

#include "core/form1.h"
#include "core/item_icons.h"
#include "core/path_macros.h"
#include "core/row_geometry.h"
#include "ui/files.h"
#include "ui/handles.h"
#include "ui/images.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace core {
namespace {

struct PassColors {
    Gdiplus::ARGB stroke, selectedStroke, fill, selectedFill;
};

// How a surface of a caption pass draws, set on each row's surface alike.
using SurfaceSetup = void (*)(Gdiplus::Graphics&);

// The outline drawn onto `image` with device = (local + (0, top)) x scale, through a
// copy of only the area it can touch, so the device coordinates stay small. The copy
// goes back in place whole: drawing into it is drawing onto the image.
template <class Draw>
void DrawThroughCopy(Gdiplus::Bitmap& image, const Gdiplus::GraphicsPath& path, float top, float scale,
                     float strokeSize, SurfaceSetup setup, Draw draw) {
    Gdiplus::RectF local;
    if (path.GetBounds(&local) != Gdiplus::Ok) throw DrawingFailed("a caption outline cannot be measured");
    // Room for miter joins (limit 10, so up to five stroke widths) and anti-aliasing.
    const double margin = 5.0 * std::abs(strokeSize) + 2.0;
    const double y0 = (static_cast<double>(local.Y) + top - margin) * scale;
    const double y1 = (static_cast<double>(local.GetBottom()) + top + margin) * scale;
    const double x0 = (static_cast<double>(local.X) - margin) * scale;
    const double x1 = (static_cast<double>(local.GetRight()) + margin) * scale;
    const double width = image.GetWidth();
    const double height = image.GetHeight();
    const int left = static_cast<int>(std::clamp(std::floor(std::min(x0, x1)) - 1.0, 0.0, width));
    const int right = static_cast<int>(std::clamp(std::ceil(std::max(x0, x1)) + 1.0, 0.0, width));
    const int upper = static_cast<int>(std::clamp(std::floor(std::min(y0, y1)) - 1.0, 0.0, height));
    const int lower = static_cast<int>(std::clamp(std::ceil(std::max(y0, y1)) + 1.0, 0.0, height));
    if (right <= left || lower <= upper) return;  // wholly outside the image

    const Gdiplus::Rect area(left, upper, right - left, lower - upper);
    std::unique_ptr<Gdiplus::Bitmap> copy(image.Clone(area, PixelFormat32bppARGB));
    if (!copy || copy->GetLastStatus() != Gdiplus::Ok) throw DrawingFailed("a caption area cannot be copied");
    {
        Gdiplus::Graphics surface(copy.get());
        setup(surface);
        const Gdiplus::Matrix place(scale, 0, 0, scale, static_cast<Gdiplus::REAL>(-left),
                                    static_cast<Gdiplus::REAL>(static_cast<double>(top) * scale - upper));
        surface.SetTransform(&place);
        if (draw(surface) != Gdiplus::Ok) throw DrawingFailed("a caption cannot be drawn");
    }
    Gdiplus::BitmapData from{}, to{};
    const Gdiplus::Rect all(0, 0, area.Width, area.Height);
    if (copy->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &from) != Gdiplus::Ok)
        throw DrawingFailed("a caption area cannot be read");
    ui::ScopeExit unlockFrom([&] { copy->UnlockBits(&from); });
    if (image.LockBits(&area, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &to) != Gdiplus::Ok)
        throw DrawingFailed("a caption area cannot be written");
    ui::ScopeExit unlockTo([&] { image.UnlockBits(&to); });
    for (int y = 0; y < area.Height; ++y)
        std::memcpy(static_cast<BYTE*>(to.Scan0) + static_cast<std::ptrdiff_t>(y) * to.Stride,
                    static_cast<const BYTE*>(from.Scan0) + static_cast<std::ptrdiff_t>(y) * from.Stride,
                    static_cast<size_t>(area.Width) * 4);
}

// Outlines every normal caption, then every selected one (when the stroke has a
// width), then fills them in the same order: the order one path per half would give.
void StrokeAndFill(Gdiplus::Bitmap& image, const CaptionPaths& paths, int height, float scale, float strokeSize,
                   SurfaceSetup setup, const PassColors& colors) {
    const float halves[2] = {0.0f, static_cast<float>(height)};
    if (strokeSize > 0) {
        const Gdiplus::ARGB strokes[2] = {colors.stroke, colors.selectedStroke};
        for (int half = 0; half < 2; ++half) {
            Gdiplus::Pen pen(Gdiplus::Color(strokes[half]), strokeSize);
            for (const RowCaption& row : paths.rows)
                DrawThroughCopy(image, *row.path, static_cast<float>(row.top) + halves[half], scale, strokeSize,
                                setup, [&](Gdiplus::Graphics& g) { return g.DrawPath(&pen, row.path.get()); });
        }
    }
    const Gdiplus::ARGB fills[2] = {colors.fill, colors.selectedFill};
    for (int half = 0; half < 2; ++half) {
        Gdiplus::SolidBrush brush(Gdiplus::Color(fills[half]));
        for (const RowCaption& row : paths.rows)
            DrawThroughCopy(image, *row.path, static_cast<float>(row.top) + halves[half], scale, 0.0f, setup,
                            [&](Gdiplus::Graphics& g) { return g.FillPath(&brush, row.path.get()); });
    }
}

void SetShadowQuality(Gdiplus::Graphics& shadow) {
    shadow.SetCompositingQuality(Gdiplus::CompositingQualityAssumeLinear);
    shadow.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    shadow.SetInterpolationMode(Gdiplus::InterpolationModeHighQuality);
    shadow.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    shadow.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
}

void SetTextQuality(Gdiplus::Graphics& text) {
    text.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    text.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
}

}  // namespace

void SetStripQuality(Gdiplus::Graphics& strip) {
    strip.SetInterpolationMode(Gdiplus::InterpolationModeLowQuality);
    strip.SetPixelOffsetMode(Gdiplus::PixelOffsetModeDefault);
    strip.SetCompositingQuality(Gdiplus::CompositingQualityHighSpeed);
}

std::unique_ptr<Gdiplus::Bitmap> NewImage(int width, int height) {
    auto image = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
    if (image->GetLastStatus() != Gdiplus::Ok) throw DrawingFailed("an image of the menu cannot be created");
    Gdiplus::Graphics(image.get()).Clear(Gdiplus::Color(0, 0, 0, 0));
    return image;
}

bool OpensSubMenu(const TLNItem& item, ui::XmlNode node) {
    const size_t children = node.Child(L"subitem").ElementCount();
    return !(item.Type == 1 && item.Param1 == L"1") && children > 0;
}

void DrawItemIcon(const TLNItem& item, int u, Gdiplus::Graphics& strip) {
    const std::wstring imageFile = ExpandPathMacros(item.ImageFile);
    if (!ui::FileExists(imageFile)) {
        IconToBitmap(GetItemIcon(item.Run, 0), u, strip);
        return;
    }
    // Case-sensitive: "ICON.PNG" is read as an icon resource, as the menu format has it.
    if (ui::ExtractFileExt(imageFile) != L".png") {
        IconToBitmap(GetItemIcon(item.ImageFile, item.Index), u, strip);
        return;
    }
    auto picture = ui::LoadImageFile(imageFile);
    if (!picture) return;  // not a picture after all: the cell stays empty
    strip.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBilinear);
    strip.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    strip.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
    strip.DrawImage(picture.get(), Gdiplus::Rect(kIconCell * u, 0, kIconCell, kIconCell));
    SetStripQuality(strip);
}

void AddCaption(const TForm1& form, const TLNItem& item, int level, int row, CaptionPaths& paths) {
    const SkinMetrics& skin = form.Skin;
    // Separators have no caption, and a row that takes no height has no place for one.
    if (item.Type == 777 || RowHeight(item.Type, skin) == 0 || item.Caption.empty()) return;
    Gdiplus::StringFormat format(form.Parts.CaptionFormat.get());
    switch (skin.CaptionAlign) {
    case 1: format.SetAlignment(Gdiplus::StringAlignmentCenter); break;
    case 2: format.SetAlignment(Gdiplus::StringAlignmentFar); break;
    default: format.SetAlignment(Gdiplus::StringAlignmentNear); break;
    }
    const float x = static_cast<float>(skin.CaptionX + (skin.FlipBackground ? skin.FlipSpace : 0));
    const float y = static_cast<float>(skin.CaptionY) + skin.ShadowSize;
    // A skin load that stopped part-way may have left the family out: a missing one
    // draws nothing at all.
    const Gdiplus::FontFamily* family = form.Parts.CaptionFontFamily;
    if (!family) family = Gdiplus::FontFamily::GenericSansSerif();
    const auto emSize = static_cast<Gdiplus::REAL>(skin.FontSize);
    const auto length = static_cast<INT>(item.Caption.size());
    RowCaption caption{form.ItemTop(level, row), std::make_unique<Gdiplus::GraphicsPath>()};
    if (caption.path->GetLastStatus() != Gdiplus::Ok) throw DrawingFailed("a caption path cannot be created");
    caption.path->AddString(item.Caption.c_str(), length, family, skin.FontStyle, emSize, Gdiplus::PointF(x, y),
                            &format);
    paths.rows.push_back(std::move(caption));
}

void RenderCaptions(const SkinMetrics& skin, Gdiplus::Bitmap& captions, const CaptionPaths& paths, int height,
                    float shadowX) {
    const float smooth = skin.ShadowSmooth == 0.0f ? 1.0f : skin.ShadowSmooth;
    const INT width = static_cast<INT>(captions.GetWidth());
    const INT imageHeight = static_cast<INT>(captions.GetHeight());
    Gdiplus::Bitmap work(width, imageHeight, PixelFormat32bppARGB);
    if (work.GetLastStatus() != Gdiplus::Ok) throw DrawingFailed("the caption shadow cannot be created");
    Gdiplus::Graphics(&work).Clear(Gdiplus::Color(0, 255, 255, 255));
    StrokeAndFill(work, paths, height, 1.0f / smooth, skin.StrokeSize, SetShadowQuality,
                  {skin.ShadowColor, skin.SelectedShadowColor, skin.ShadowColor, skin.SelectedShadowColor});
    {
        Gdiplus::Graphics target(&captions);
        SetTextQuality(target);
        const Gdiplus::RectF enlarged(shadowX, skin.ShadowSize, static_cast<float>(width) * smooth,
                                      static_cast<float>(imageHeight) * smooth);
        target.DrawImage(&work, enlarged);
    }
    StrokeAndFill(captions, paths, height, 1.0f, skin.StrokeSize, SetTextQuality,
                  {skin.StrokeColor, skin.SelectedStrokeColor, skin.FontColor, skin.SelectedFontColor});
}

}  // namespace core
