#include "render/skin.h"

#include "render/skin_color.h"
#include "render/skin_image.h"
#include "ui/form.h"
#include "ui/strings.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace core {
namespace {

constexpr wchar_t kAnimationSection[] = L"Animation";
constexpr std::size_t kMaxFontName = 255;

bool InSkinRange(double value) { return value >= kSkinValueMin && value <= kSkinValueMax; }

}  // namespace

int ReadSkinInteger(const ui::Ini& ini, const wchar_t* section, const wchar_t* key, int def) {
    const int value = ini.ReadInteger(section, key, def);
    return InSkinRange(value) ? value : def;
}

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

void ReadSkinMetrics(const ui::Ini& ini, SkinMetrics& m) {
    const SkinMetrics d;  // the integer defaults of missing keys
    auto integer = [&](const wchar_t* key, int def) { return ReadSkinInteger(ini, kSkinSection, key, def); };
    auto flag = [&](const wchar_t* key) { return ini.ReadInteger(kSkinSection, key, 0) == 1; };
    // A text that is not a number, or one out of range, keeps the previous value; a
    // missing key gives the default text, which is one.
    auto real = [&](const wchar_t* key, const wchar_t* def, float& field) {
        const std::optional<double> value = ui::ParseReal(ini.ReadString(kSkinSection, key, def));
        if (value && InSkinRange(*value)) field = static_cast<float>(*value);
    };
    auto color = [&](const wchar_t* key, const wchar_t* def, std::uint8_t alpha) {
        return ParseSkinColor(alpha, ini.ReadString(kSkinSection, key, def));
    };
    m.IconSize = integer(L"IconSize", d.IconSize);
    m.HeaderSize = integer(L"HeaderSize", d.HeaderSize);
    m.IconX = integer(L"IconX", d.IconX);
    m.IconY = integer(L"IconY", d.IconY);
    m.GroupIconX = integer(L"GroupIconX", d.GroupIconX);
    m.GroupIconY = integer(L"GroupIconY", d.GroupIconY);
    m.ItemSize = integer(L"ItemSize", d.ItemSize);
    m.Separatorsize = integer(L"Separatorsize", d.Separatorsize);
    m.LeftEdgeSize = integer(L"LeftEdgeSize", d.LeftEdgeSize);
    m.RightEdgeSize = integer(L"RightEdgeSize", d.RightEdgeSize);
    m.TopEdgeSize = integer(L"TopEdgeSize", d.TopEdgeSize);
    m.BottomEdgeSize = integer(L"BottomEdgeSize", d.BottomEdgeSize);
    m.MainLeftSpace = integer(L"MainLeftSpace", d.MainLeftSpace);
    m.MainTopSpace = integer(L"MainTopSpace", d.MainTopSpace);
    m.MainRightSpace = integer(L"MainRightSpace", d.MainRightSpace);
    m.MainBottomSpace = integer(L"MainBottomSpace", d.MainBottomSpace);
    m.LeftSpace = integer(L"LeftSpace", d.LeftSpace);
    m.TopSpace = integer(L"TopSpace", d.TopSpace);
    m.StretchBackground = integer(L"StretchBackground", d.StretchBackground);
    m.SliceSize = integer(L"SliceSize", d.SliceSize);
    m.LeftMargin = integer(L"LeftMargin", d.LeftMargin);
    m.RightMargin = integer(L"RightMargin", d.RightMargin);
    m.VistaMenuLeftMargin = integer(L"VistaMenuLeftMargin", m.IconX);
    // TextRightMargin is read below: its default here is the previous skin's value.
    m.VistaMenuRightMargin = integer(L"VistaMenuRightMargin", m.TextRightMargin - m.RightMargin);
    m.TextRightMargin = integer(L"TextRightMargin", d.TextRightMargin);
    m.FlipSpace = integer(L"FlipSpace", d.FlipSpace);
    m.GroupFlipSpace = integer(L"GroupFlipSpace", d.GroupFlipSpace);
    m.FlipIconsAndText = integer(L"FlipIconsAndText", d.FlipIconsAndText);
    m.FlipBackground = flag(L"FlipBackground");
    m.MainHeaderAlign = integer(L"MainHeaderAlign", d.MainHeaderAlign);
    m.MainHeaderX = integer(L"MainHeaderX", d.MainHeaderX);
    m.MainHeaderY = integer(L"MainHeaderY", d.MainHeaderY);
    m.ShowCaption = flag(L"ShowCaption");
    m.ColorizeStroke = flag(L"ColorizeStroke");
    m.ColorizeSelectedStroke = flag(L"ColorizeSelectedStroke");
    m.ColorizeShadow = flag(L"ColorizeShadow");
    m.ColorizeSelectedShadow = flag(L"ColorizeSelectedShadow");
    m.CaptionX = integer(L"CaptionX", d.CaptionX);
    m.CaptionY = integer(L"CaptionY", d.CaptionY);
    m.FontName = ini.ReadString(kSkinSection, L"FontName", d.FontName).substr(0, kMaxFontName);
    m.FontStyle = integer(L"FontStyle", d.FontStyle);
    m.FontSize = integer(L"FontSize", d.FontSize);
    // Much larger caption fonts made GDI+ end the program at start-up under Wine.
    if (m.FontSize < kFontSizeMin || m.FontSize > kFontSizeMax) m.FontSize = d.FontSize;
    m.CaptionAlign = integer(L"CaptionAlign", d.CaptionAlign);
    real(L"StrokeSize", L"1.6", m.StrokeSize);
    m.StrokeColor = color(L"StrokeColor", L"#CCCCCC", 255);
    m.SelectedStrokeColor = color(L"SelectedStrokeColor", L"#000000", 255);
    m.ShadowTransparency = static_cast<std::uint8_t>(integer(L"ShadowTransparency", 200));
    m.ShadowColor = color(L"ShadowColor", L"#000000", m.ShadowTransparency);
    m.SelectedShadowColor = color(L"SelectedShadowColor", L"#000000", m.ShadowTransparency);
    m.FontColor = color(L"FontColor", L"#FFFFFF", 255);
    m.SelectedFontColor = color(L"SelectedFontColor", L"#000000", 255);
    real(L"ShadowSmooth", L"1.6", m.ShadowSmooth);
    real(L"ShadowSize", L"2.0", m.ShadowSize);
    m.EditBoxX = integer(L"EditBoxX", d.EditBoxX);
    m.EditBoxY = integer(L"EditBoxY", d.EditBoxY);
    m.EditBoxWidth = integer(L"EditBoxWidth", d.EditBoxWidth);
    m.EditBoxHeight = integer(L"EditBoxHeight", d.EditBoxHeight);
    m.EditBoxButtonSize = integer(L"EditBoxButtonSize", d.EditBoxButtonSize);
}

AnimationMetrics ReadAnimationMetrics(const ui::Ini& ini, const SkinMetrics& metrics) {
    auto integer = [&](const wchar_t* key, int def) { return ReadSkinInteger(ini, kAnimationSection, key, def); };
    AnimationMetrics m;
    m.frames = static_cast<std::uint8_t>(integer(L"frames", 4));
    m.x = integer(L"x", 0);
    m.y = integer(L"y", 0);
    m.width = integer(L"width", metrics.SkinWidth);
    m.height = integer(L"height", metrics.ItemSize);
    m.delay = static_cast<std::uint8_t>(integer(L"delay", 10));
    return m;
}

void CreateCaptionObjects(SkinParts& parts, const SkinMetrics& metrics) {
    ReleaseCaptionObjects(parts);
    parts.CaptionBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(255, 0, 0, 0));
    parts.OwnFontFamily = std::make_unique<Gdiplus::FontFamily>(metrics.FontName.c_str());
    if (parts.OwnFontFamily->GetLastStatus() == Gdiplus::Ok) {
        parts.CaptionFontFamily = parts.OwnFontFamily.get();
    } else {
        // A skin naming a font this system lacks still gets readable captions. The
        // generic family belongs to GDI+ and is never deleted.
        parts.OwnFontFamily.reset();
        parts.CaptionFontFamily = Gdiplus::FontFamily::GenericSansSerif();
    }
    parts.CaptionFont = std::make_unique<Gdiplus::Font>(parts.CaptionFontFamily, static_cast<Gdiplus::REAL>(metrics.FontSize),
                                                        metrics.FontStyle, Gdiplus::UnitPixel);
    parts.CaptionFormat = std::make_unique<Gdiplus::StringFormat>();
}

void ReleaseCaptionObjects(SkinParts& parts) {
    parts.CaptionFormat.reset();
    parts.CaptionFont.reset();
    parts.CaptionFontFamily = nullptr;
    parts.OwnFontFamily.reset();
    parts.CaptionBrush.reset();
}

void MirrorBitmap(Gdiplus::Bitmap& image, bool mirror, Gdiplus::ImageAttributes* transparency) {
    if (mirror) {
        // Reversing the rows is exact; GDI+ samples the mirrored three-point mapping
        // one column off (measured under Wine), which leaves a transparent edge.
        LockedPixels pixels(image, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite);
        const PixelView view = pixels.View();
        for (int y = 0; y < view.height; ++y) std::reverse(view.Row(y), view.Row(y) + view.width);
        if (!transparency) return;
    }
    const INT width = WidthOf(image);
    const INT height = HeightOf(image);
    std::unique_ptr<Gdiplus::Bitmap> copy(image.Clone(0, 0, width, height, PixelFormat32bppARGB));
    if (!copy) throw SkinError("cannot copy a skin part");
    CheckSkinStatus(copy->GetLastStatus(), "cannot copy a skin part");
    Gdiplus::Graphics graphics(&image);
    CheckSkinStatus(graphics.GetLastStatus(), "cannot draw on a skin part");
    CheckSkinStatus(graphics.Clear(Gdiplus::Color(0, 0, 0, 0)), "cannot clear a skin part");
    // Onto a cleared image, copying equals blending, and it keeps every pixel exact
    // where source-over would round through premultiplied values.
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    const Gdiplus::Point straight[3] = {{0, 0}, {width, 0}, {0, height}};
    CheckSkinStatus(graphics.DrawImage(copy.get(), straight, 3, 0, 0, width, height, Gdiplus::UnitPixel, transparency),
          "cannot redraw a skin part");
}

}  // namespace core
