#include "core/skin.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/glass.h"
#include "core/skin_color.h"
#include "core/skin_tint.h"
#include "core/startup.h"
#include "ui/files.h"
#include "ui/form.h"
#include "ui/message_box.h"
#include "ui/strings.h"
#include "popups/form2.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace core {
namespace {

constexpr wchar_t kSkinSection[] = L"Skin";
constexpr wchar_t kAnimationSection[] = L"Animation";
constexpr std::size_t kMaxFontName = 255;
// What a skin without back.png or box.png draws: black at alpha 150.
constexpr Gdiplus::ARGB kFallbackColor = 0x96000000;
constexpr int kFallbackBackWidth = 36;
constexpr int kFallbackBackHeight = 180;
constexpr int kBoxBands = 6;

using Image = std::unique_ptr<Gdiplus::Bitmap>;

void Check(Gdiplus::Status status, const char* what) {
    if (status != Gdiplus::Ok) throw SkinError(what);
}

int WidthOf(Gdiplus::Bitmap& image) { return static_cast<int>(image.GetWidth()); }
int HeightOf(Gdiplus::Bitmap& image) { return static_cast<int>(image.GetHeight()); }

// LockBits / UnlockBits of a whole bitmap as 32-bit ARGB.
class LockedPixels {
public:
    LockedPixels(Gdiplus::Bitmap& bitmap, UINT mode) : bitmap_(bitmap) {
        Gdiplus::Rect all(0, 0, WidthOf(bitmap), HeightOf(bitmap));
        Check(bitmap.LockBits(&all, mode, PixelFormat32bppARGB, &data_), "cannot lock the pixels of a skin part");
    }
    LockedPixels(const LockedPixels&) = delete;
    LockedPixels& operator=(const LockedPixels&) = delete;
    ~LockedPixels() { bitmap_.UnlockBits(&data_); }

    PixelView View() const {
        return PixelView{static_cast<std::uint32_t*>(data_.Scan0), static_cast<int>(data_.Width),
                         static_cast<int>(data_.Height), data_.Stride};
    }

private:
    Gdiplus::Bitmap& bitmap_;
    Gdiplus::BitmapData data_{};
};

Image NewImage(int width, int height, Gdiplus::ARGB fill) {
    auto image = std::make_unique<Gdiplus::Bitmap>(std::max(1, width), std::max(1, height), PixelFormat32bppARGB);
    Check(image->GetLastStatus(), "cannot create a skin image");
    LockedPixels pixels(*image, Gdiplus::ImageLockModeWrite);
    const PixelView view = pixels.View();
    for (int y = 0; y < view.height; ++y) std::fill_n(view.Row(y), view.width, fill);
    return image;
}

// Source-over of the whole source into `dest` of the target.
void DrawOver(Gdiplus::Bitmap& target, Gdiplus::Bitmap& source, const Gdiplus::Rect& dest, bool smooth) {
    Gdiplus::Graphics graphics(&target);
    Check(graphics.GetLastStatus(), "cannot draw on a skin part");
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    graphics.SetInterpolationMode(smooth ? Gdiplus::InterpolationModeHighQualityBilinear
                                         : Gdiplus::InterpolationModeNearestNeighbor);
    // Scaled edges would otherwise fade into the transparent outside of the source.
    Gdiplus::ImageAttributes edges;
    edges.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    Check(graphics.DrawImage(&source, dest, 0, 0, WidthOf(source), HeightOf(source), Gdiplus::UnitPixel, &edges),
          "cannot draw a skin part");
}

// The image's pixels premultiplied into a DIB; false (the DIB released) when there is
// no part or its pixels cannot be read.
bool ToDib(Gdiplus::Bitmap* image, ui::Dib& dib) noexcept {
    dib.Reset();
    if (!image) return false;
    try {
        LockedPixels pixels(*image, Gdiplus::ImageLockModeRead);
        const PixelView view = pixels.View();
        dib.Resize(view.width, view.height);
        if (!dib.Bits() || dib.Width() != view.width || dib.Height() != view.height) {
            dib.Reset();
            return false;
        }
        for (int y = 0; y < view.height; ++y) {
            const std::uint32_t* row = view.Row(y);
            std::uint32_t* out = dib.Bits() + static_cast<std::size_t>(y) * view.width;
            for (int x = 0; x < view.width; ++x) out[x] = Premultiply(row[x]);
        }
        return true;
    } catch (const std::exception&) {
        dib.Reset();
        return false;
    }
}

// The last resort for back and box when not even their fallback image could be made:
// every later drawing still finds a DIB to read.
void FillFallback(ui::Dib& dib, int width, int height) noexcept {
    dib.Resize(width, height);
    if (!dib.Bits()) dib.Resize(1, 1);
    dib.Fill(Premultiply(kFallbackColor));
}

// Runs one finishing step of a load that failed; its own failure leaves that part
// to the last resort.
template <class F> void Attempt(F step) noexcept {
    try {
        step();
    } catch (const std::exception&) {
    }
}

AnimationMetrics NoAnimation(const SkinMetrics& skin) {
    AnimationMetrics none;
    none.frames = 1;
    none.delay = 0;
    none.width = skin.SkinWidth;
    none.height = skin.ItemSize;
    return none;
}

int HalfHeight(Gdiplus::Bitmap& image) { return static_cast<int>(ui::RoundEven(HeightOf(image) / 2.0)); }

bool InSkinRange(double value) { return value >= kSkinValueMin && value <= kSkinValueMax; }

// An integer key, or its default when it is missing, malformed or out of range.
int ReadBounded(const ui::Ini& ini, const wchar_t* section, const wchar_t* key, int def) {
    const int value = ini.ReadInteger(section, key, def);
    return InSkinRange(value) ? value : def;
}

}  // namespace


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
    auto integer = [&](const wchar_t* key, int def) { return ReadBounded(ini, kSkinSection, key, def); };
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
    auto integer = [&](const wchar_t* key, int def) { return ReadBounded(ini, kAnimationSection, key, def); };
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
    Image copy(image.Clone(0, 0, width, height, PixelFormat32bppARGB));
    if (!copy) throw SkinError("cannot copy a skin part");
    Check(copy->GetLastStatus(), "cannot copy a skin part");
    Gdiplus::Graphics graphics(&image);
    Check(graphics.GetLastStatus(), "cannot draw on a skin part");
    Check(graphics.Clear(Gdiplus::Color(0, 0, 0, 0)), "cannot clear a skin part");
    // Onto a cleared image, copying equals blending, and it keeps every pixel exact
    // where source-over would round through premultiplied values.
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    const Gdiplus::Point straight[3] = {{0, 0}, {width, 0}, {0, height}};
    Check(graphics.DrawImage(copy.get(), straight, 3, 0, 0, width, height, Gdiplus::UnitPixel, transparency),
          "cannot redraw a skin part");
}

namespace {

// One LoadSkin: the parts are GDI+ images while they are tinted, mirrored and made
// transparent, and become the DIBs of SkinParts at the end.
class SkinLoader {
public:
    SkinLoader(TForm1& form, std::wstring folder)
        : form_(form), skin_(form.Skin), parts_(form.Parts), settings_(form.Settings), folder_(std::move(folder)),
          ini_(folder_ + L"skin.ini") {}

    // Every step in order; throws at the first error, leaving what was done.
    void Run() {
        Release();
        ReadSkinMetrics(ini_, skin_);
        Glass();
        if (settings_.Colorize == 1 && Has(L"mask.png")) CaptionColors();
        Tab();
        BackBoxHeader();
        SizeWindow();
        Animation();
        if (skin_.ShowCaption) CreateCaptionObjects(parts_, skin_);
        SetBottomMargin();
        if (settings_.Colorize == 1) Colorize();
        Mirror();
        Transparency();
        Top();
        BuildEditBoxBackground();
    }

    // After Run, whether it ran to the end or not: what was not reached gets its
    // fallback, so no later drawing meets a missing part; then the DIBs are made.
    void Finish() noexcept {
        if (!back_) Attempt([this] { back_ = NewImage(kFallbackBackWidth, kFallbackBackHeight, kFallbackColor); });
        if (!sized_) Attempt([this] { SizeWindow(); });
        if (!bottomMarginSet_) SetBottomMargin();
        if (!box_ && back_) Attempt([this] { box_ = FallbackBox(); });
        if (!parts_.EditBoxBackground && box_) Attempt([this] { BuildEditBoxBackground(); });
        if (skin_.ShowCaption && !parts_.CaptionFont) Attempt([this] { CreateCaptionObjects(parts_, skin_); });
        if (!parts_.CaptionFont) skin_.ShowCaption = false;
        ToDibs();
    }

private:
    bool Has(const wchar_t* file) const { return ui::FileExists(folder_ + file); }

    // Null when the file is missing; a file that is there but no image is a broken skin.
    Image Load(const wchar_t* file) const {
        const std::wstring path = folder_ + file;
        if (!ui::FileExists(path)) return nullptr;
        Image image = ui::LoadImageFile(path);
        if (!image) throw SkinError("a skin part is not an image");
        return image;
    }

    int BackWidth() const { return back_ ? WidthOf(*back_) : kFallbackBackWidth; }
    int BackHeight() const { return back_ ? HeightOf(*back_) : kFallbackBackHeight; }
    // At least as large as the six bands the compositor reads.
    int FallbackBoxWidth() const { return std::max(skin_.EditBoxWidth, BackWidth()); }
    int FallbackBoxHeight() const { return std::max(skin_.EditBoxHeight, kBoxBands * skin_.ItemSize); }

    void Release() {
        for (ui::Dib* dib : {&parts_.Back, &parts_.Box, &parts_.Header, &parts_.BlurMask, &parts_.Animation,
                             &parts_.Tab, &parts_.VerticalTab})
            dib->Reset();
        parts_.TopImage.reset();
        parts_.EditBoxBackground.reset();
        parts_.TabEnabled = parts_.BlurEnabled = parts_.MainHeaderLoaded = false;
        parts_.AnimationLoaded = parts_.TopLoaded = false;
        parts_.AnimationKeys = NoAnimation(skin_);
        ReleaseCaptionObjects(parts_);
    }

    void Glass() {
        if (settings_.VistaBlur && Has(L"blurmask.png")) {
            blurMask_ = Load(L"blurmask.png");
            parts_.BlurEnabled = true;
            return;
        }
        parts_.BlurEnabled = false;
        if (settings_.VistaBlur) {
            // Without a mask the region is empty, which switches the blur off.
            GlassMask = nullptr;
            ExtendGlass(form_, Margins{}, true);
            if (Form2) ExtendGlass(*Form2, Margins{}, true);
            if (Form3) ExtendGlass(*Form3, Margins{}, true);
        }
    }

    void CaptionColors() {
        const auto colorize = static_cast<COLORREF>(settings_.ColorizeColor);
        if (skin_.ColorizeStroke) skin_.StrokeColor = TintCaptionColor(skin_.StrokeColor, colorize);
        if (skin_.ColorizeSelectedStroke)
            skin_.SelectedStrokeColor = TintCaptionColor(skin_.SelectedStrokeColor, colorize);
        if (skin_.ColorizeShadow) skin_.ShadowColor = TintCaptionColor(skin_.ShadowColor, colorize);
        if (skin_.ColorizeSelectedShadow)
            skin_.SelectedShadowColor = TintCaptionColor(skin_.SelectedShadowColor, colorize);
    }

    void Tab() {
        if (settings_.DisableTab != 1 || !Has(L"vertical_tab.png") || !Has(L"tab.png")) {
            skin_.TabX = skin_.TabY = skin_.TabWidth = skin_.VerticalTabWidth = 0;
            return;
        }
        tab_ = Load(L"tab.png");
        verticalTab_ = Load(L"vertical_tab.png");
        parts_.TabEnabled = true;
        skin_.TabX = ReadBounded(ini_, kSkinSection, L"TabX", 0);
        skin_.TabY = ReadBounded(ini_, kSkinSection, L"TabY", 0);
        skin_.TabWidth = WidthOf(*tab_);
        skin_.TabHalfHeight = HalfHeight(*tab_);
        skin_.VerticalTabWidth = WidthOf(*verticalTab_);
        skin_.VerticalTabHalfHeight = HalfHeight(*verticalTab_);
        switch (settings_.Position) {
        case 0: skin_.LeftEdgeSize = skin_.TabWidth; break;
        case 1: skin_.RightEdgeSize = skin_.TabWidth; break;
        case 2: skin_.TopEdgeSize = skin_.TabHalfHeight; break;
        case 3: skin_.BottomEdgeSize = skin_.TabHalfHeight; break;
        default: break;
        }
    }

    // box.png's stand-in: black at alpha 150 with back.png drawn over it from its
    // first row band on.
    Image FallbackBox() {
        Image box = NewImage(FallbackBoxWidth(), FallbackBoxHeight(), kFallbackColor);
        DrawOver(*box, *back_, Gdiplus::Rect(0, -skin_.HeaderSize, BackWidth(), BackHeight()), false);
        return box;
    }

    void BackBoxHeader() {
        back_ = Load(L"back.png");
        if (!back_) back_ = NewImage(kFallbackBackWidth, kFallbackBackHeight, kFallbackColor);
        box_ = Load(L"box.png");
        if (!box_) box_ = FallbackBox();
        header_ = Load(L"mainheader.png");
        parts_.MainHeaderLoaded = header_ != nullptr;
    }

    void SizeWindow() {
        const auto rows = static_cast<long long>(form_.ItemLists[1].size());
        // The bottom margin is still the previous skin's; the menu build sets the final height.
        form_.SetHeight(BoundedWindowSize(rows * skin_.ItemSize + skin_.HeaderSize + skin_.BottomMargin));
        skin_.SkinWidth = BackWidth();
        form_.SetWidth(skin_.SkinWidth);
        sized_ = true;
    }

    void Animation() {
        parts_.AnimationLoaded = false;
        parts_.AnimationKeys = NoAnimation(skin_);
        if (settings_.DisableAnimation != 1 || !Has(L"animation.png")) return;
        parts_.AnimationKeys = ReadAnimationMetrics(ini_, skin_);
        animation_ = Load(L"animation.png");
        parts_.AnimationLoaded = true;
    }

    // A back.png shorter than its bands has no bottom band: a negative margin would
    // take rows off every window.
    void SetBottomMargin() noexcept {
        const long long margin = static_cast<long long>(BackHeight()) - 4LL * skin_.ItemSize - skin_.HeaderSize -
                                 skin_.Separatorsize;
        skin_.BottomMargin = static_cast<int>(std::clamp<long long>(margin, 0, std::numeric_limits<int>::max()));
        bottomMarginSet_ = true;
    }

    // Tints the upper-left columns x rows of a part where its mask marks pixels.
    void TintPart(Gdiplus::Bitmap* part, const wchar_t* maskFile, int columns, int rows, int maxGray) {
        if (!part) return;
        Image mask = Load(maskFile);
        if (!mask) return;
        LockedPixels pixels(*part, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite);
        LockedPixels marks(*mask, Gdiplus::ImageLockModeRead);
        TintMasked(pixels.View(), marks.View(), columns, rows, static_cast<COLORREF>(settings_.ColorizeColor),
                   maxGray);
    }

    void Colorize() {
        constexpr int kAll = std::numeric_limits<int>::max();
        int maxGray = 0;  // without mask.png the other masks tint as if the background were black
        if (Image mask = Load(L"mask.png")) {
            LockedPixels pixels(*back_, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite);
            LockedPixels marks(*mask, Gdiplus::ImageLockModeRead);
            maxGray = MaskedMaxGray(pixels.View(), marks.View());
            // All rows but the last Separatorsize ones.
            TintMasked(pixels.View(), marks.View(), kAll, 4 * skin_.ItemSize + skin_.HeaderSize + skin_.BottomMargin,
                       static_cast<COLORREF>(settings_.ColorizeColor), maxGray);
        }
        if (parts_.AnimationLoaded) TintPart(animation_.get(), L"animationmask.png", skin_.SkinWidth, kAll, maxGray);
        if (parts_.MainHeaderLoaded) TintPart(header_.get(), L"mainheadermask.png", skin_.SkinWidth, kAll, maxGray);
        TintPart(box_.get(), L"boxmask.png", skin_.SkinWidth, kAll, maxGray);
        if (parts_.TabEnabled) {
            TintPart(tab_.get(), L"tabmask.png", skin_.TabWidth, skin_.TabHalfHeight, maxGray);
            TintPart(verticalTab_.get(), L"vertical_tabmask.png", skin_.VerticalTabWidth,
                     skin_.VerticalTabHalfHeight, maxGray);
        }
    }

    void Mirror() {
        if (!skin_.FlipBackground) return;
        for (Gdiplus::Bitmap* part : {back_.get(), header_.get(), animation_.get()})
            if (part) MirrorBitmap(*part, true, nullptr);
    }

    void Transparency() {
        auto& attributes = form_.Compositor.TransparencyAttributes;
        if (!attributes) attributes = std::make_unique<Gdiplus::ImageAttributes>();
        // Set on every load, 100 included: a factor of the previous skin must not
        // stay in force for whatever else draws through these attributes.
        Gdiplus::ColorMatrix matrix{};
        for (int i = 0; i < 5; ++i) matrix.m[i][i] = 1.0f;
        matrix.m[3][3] = static_cast<Gdiplus::REAL>(settings_.BackgroundTransparent) / 100.0f;
        Check(attributes->SetColorMatrix(&matrix), "cannot set the skin transparency");
        if (settings_.BackgroundTransparent == 100) return;
        for (Gdiplus::Bitmap* part : {back_.get(), box_.get(), animation_.get(), header_.get()})
            if (part) MirrorBitmap(*part, false, attributes.get());
    }

    // Drawn after the transparency step, so top.png stays as opaque as it is.
    void Top() {
        Image top = Load(L"top.png");
        if (!top) return;
        if (skin_.FlipBackground) {
            MirrorBitmap(*top, true, nullptr);
            MirrorBitmap(*box_, true, nullptr);
        }
        DrawOver(*back_, *top, Gdiplus::Rect(0, 0, BackWidth(), BackHeight()), true);
        parts_.TopImage = std::move(top);
        parts_.TopLoaded = true;
    }

    void BuildEditBoxBackground() {
        Image image = NewImage(skin_.EditBoxWidth, skin_.EditBoxHeight, 0xFFFFFFFF);
        DrawOver(*image, *box_,
                 Gdiplus::Rect(0, -skin_.EditBoxY - skin_.ItemSize, WidthOf(*box_), HeightOf(*box_)), false);
        parts_.EditBoxBackground = std::move(image);
    }

    void ToDibs() noexcept {
        if (!ToDib(back_.get(), parts_.Back)) FillFallback(parts_.Back, skin_.SkinWidth, BackHeight());
        if (!ToDib(box_.get(), parts_.Box)) FillFallback(parts_.Box, FallbackBoxWidth(), FallbackBoxHeight());
        parts_.MainHeaderLoaded = ToDib(header_.get(), parts_.Header);
        parts_.AnimationLoaded = ToDib(animation_.get(), parts_.Animation);
        if (!parts_.AnimationLoaded) parts_.AnimationKeys = NoAnimation(skin_);
        parts_.TabEnabled = ToDib(tab_.get(), parts_.Tab) && ToDib(verticalTab_.get(), parts_.VerticalTab);
        if (!parts_.TabEnabled) {
            parts_.Tab.Reset();
            parts_.VerticalTab.Reset();
        }
        parts_.BlurEnabled = ToDib(blurMask_.get(), parts_.BlurMask);
    }

    TForm1& form_;
    SkinMetrics& skin_;
    SkinParts& parts_;
    const Settings& settings_;
    const std::wstring folder_;
    const ui::Ini ini_;
    Image back_, box_, header_, animation_, tab_, verticalTab_, blurMask_;
    bool sized_ = false;
    bool bottomMarginSet_ = false;
};

}  // namespace

void TForm1::LoadSkin(const std::wstring& name) {
    SkinLoader loader(*this, AppDir + L"Themes\\" + name + L"\\");
    bool failed = false;
    try {
        loader.Run();
    } catch (const std::exception&) {
        failed = true;
    }
    // Before the message box: its message loop may let a timer draw the menu.
    loader.Finish();
    if (failed) ui::ShowMessageBox(Handle(), L"Error in theme!", L"Error", MB_ICONERROR | MB_OK);
}

}  // namespace core
