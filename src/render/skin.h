// Skin files and metrics: skin.ini and the PNG parts every menu window draws from.
#pragma once

#include "ui/images.h"
#include "ui/ini.h"

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <string>

namespace ui {
class Form;
}

namespace core {

// The skin's metrics, named by their skin.ini keys; the initial values are the
// defaults a skin without skin.ini gets. Reals keep their previous value when the
// text is not a number, so StrokeSize starts at 0 before any load.
struct SkinMetrics {
    int IconSize = 32;
    int HeaderSize = 16;
    int IconX = 2;
    int IconY = 2;
    int GroupIconX = 2;
    int GroupIconY = 2;
    int ItemSize = 36;
    int Separatorsize = 8;
    int LeftEdgeSize = 10;
    int RightEdgeSize = 10;
    int TopEdgeSize = 10;
    int BottomEdgeSize = 10;
    int MainLeftSpace = 0;
    int MainTopSpace = 0;
    int MainRightSpace = 0;
    int MainBottomSpace = 0;
    int LeftSpace = 0;
    int TopSpace = 0;
    int StretchBackground = 1;
    int SliceSize = 5;
    int LeftMargin = 20;
    int RightMargin = 20;
    int VistaMenuLeftMargin = 2;
    int VistaMenuRightMargin = 0;
    int TextRightMargin = 0;
    int FlipSpace = 0;
    int GroupFlipSpace = 0;
    int FlipIconsAndText = 0;
    bool FlipBackground = false;
    int MainHeaderAlign = 0;
    int MainHeaderX = 0;
    int MainHeaderY = 0;
    bool ShowCaption = false;
    bool ColorizeStroke = false;
    bool ColorizeSelectedStroke = false;
    bool ColorizeShadow = false;
    bool ColorizeSelectedShadow = false;
    int CaptionX = 0;
    int CaptionY = 0;
    std::wstring FontName = L"Tahoma";  // at most 255 characters
    int FontStyle = 0;
    int FontSize = 14;
    int CaptionAlign = 0;
    float StrokeSize = 0.0f;
    Gdiplus::ARGB StrokeColor = 0xFFCCCCCC;
    Gdiplus::ARGB SelectedStrokeColor = 0xFF000000;
    std::uint8_t ShadowTransparency = 200;
    Gdiplus::ARGB ShadowColor = 0xC8000000;
    Gdiplus::ARGB SelectedShadowColor = 0xC8000000;
    Gdiplus::ARGB FontColor = 0xFFFFFFFF;
    Gdiplus::ARGB SelectedFontColor = 0xFF000000;
    float ShadowSmooth = 0.0f;
    float ShadowSize = 0.0f;
    int EditBoxX = 40;
    int EditBoxY = 8;
    int EditBoxWidth = 180;
    int EditBoxHeight = 16;
    int EditBoxButtonSize = 16;
    int TabX = 0;
    int TabY = 0;

    // Derived from the parts (the fallback back.png is 36 x 180).
    int SkinWidth = 36;
    int BottomMargin = 180 - 4 * 36 - 16 - 8;
    int TabWidth = 0;
    int TabHalfHeight = 0;
    int VerticalTabWidth = 0;
    int VerticalTabHalfHeight = 0;
};

// Integer skin keys outside this range take their default, real keys outside it keep
// their previous value: sums of a few of them then stay far from overflowing an int.
constexpr int kSkinValueMin = -32768;
constexpr int kSkinValueMax = 32767;
// FontSize outside this range takes its default.
constexpr int kFontSizeMin = 1;
constexpr int kFontSizeMax = 1000;
// A menu window is at least one pixel in each direction, and no larger than this.
constexpr int kMaxWindowSize = 32767;

// The section of skin.ini that holds the metrics.
inline constexpr wchar_t kSkinSection[] = L"Skin";
// An integer skin key, or its default when it is missing, malformed or outside
// kSkinValueMin .. kSkinValueMax.
int ReadSkinInteger(const ui::Ini& ini, const wchar_t* section, const wchar_t* key, int def);

// A window extent computed from skin metrics, bounded to 1 .. kMaxWindowSize.
constexpr int BoundedWindowSize(long long size) {
    return static_cast<int>(size < 1 ? 1 : size > kMaxWindowSize ? kMaxWindowSize : size);
}

// The [Animation] section: the hover animation's frames inside animation.png.
struct AnimationMetrics {
    std::uint8_t frames = 1;
    int x = 0;
    int y = 0;
    int width = 36;
    int height = 36;
    std::uint8_t delay = 0;
};

// The prepared parts of the loaded skin. Back, Box and Header are premultiplied
// 32-bit DIBs with their own memory DC (BackDC, BoxDC, HeaderDC), so slices are
// plain per-pixel-alpha blends; the other parts are prepared the same way when
// loaded. Every member is replaced by the next load. After any load, even one that
// stopped at an error, Back is a DIB SkinWidth wide and Box a DIB too: box.png, or
// a stand-in at least SkinWidth wide and six ItemSize bands high.
struct SkinParts {
    ui::Dib Back;         // BackDC
    ui::Dib Box;          // BoxDC
    ui::Dib Header;       // HeaderDC, valid when MainHeaderLoaded
    ui::Dib BlurMask;     // BlurMaskDC, valid when BlurEnabled
    ui::Dib Animation;    // valid when AnimationLoaded
    ui::Dib Tab;          // tab.png, valid when TabEnabled
    ui::Dib VerticalTab;  // vertical_tab.png, valid when TabEnabled
    std::unique_ptr<Gdiplus::Bitmap> TopImage;           // kept while TopLoaded
    std::unique_ptr<Gdiplus::Bitmap> EditBoxBackground;  // EditBoxWidth x EditBoxHeight
    bool TabEnabled = false;
    bool BlurEnabled = false;
    bool MainHeaderLoaded = false;
    bool AnimationLoaded = false;
    bool TopLoaded = false;
    // The load tinted the flagged caption colours (mask.png with Colorize 1), so
    // whoever draws with them must not tint them again.
    bool CaptionColorsTinted = false;
    AnimationMetrics AnimationKeys{};  // frames 1 and delay 0 without an animation

    // The caption objects, made while ShowCaption is on.
    std::unique_ptr<Gdiplus::SolidBrush> CaptionBrush;
    std::unique_ptr<Gdiplus::FontFamily> OwnFontFamily;  // null when the fallback is used
    const Gdiplus::FontFamily* CaptionFontFamily = nullptr;
    std::unique_ptr<Gdiplus::Font> CaptionFont;
    std::unique_ptr<Gdiplus::StringFormat> CaptionFormat;
};

// Reads every [Skin] key but TabX and TabY into `metrics`, in the file's order;
// VistaMenuRightMargin takes TextRightMargin as it stood before this read. Throws
// SkinError for a colour text with a non-hexadecimal digit (what was read stays).
void ReadSkinMetrics(const ui::Ini& ini, SkinMetrics& metrics);
// The [Animation] section with the defaults that depend on the skin.
AnimationMetrics ReadAnimationMetrics(const ui::Ini& ini, const SkinMetrics& metrics);

// Caption brush, font family (GenericSansSerif when the skin's font is missing),
// font and string format for ShowCaption skins.
void CreateCaptionObjects(SkinParts& parts, const SkinMetrics& metrics);
void ReleaseCaptionObjects(SkinParts& parts);

// Redraws the image onto itself: mirrored left-right when `mirror` is set, and
// through `transparency` when given, so the skin's transparency applies in place.
// Throws SkinError when GDI+ fails.
void MirrorBitmap(Gdiplus::Bitmap& image, bool mirror, Gdiplus::ImageAttributes* transparency);

// Keeps only the icon's image of the given width and bit count (the last match);
// the icon is replaced in place; without a match it stays as it was.
void SelectIconImage(int width, int bitCount, HICON& icon);

// Adds the tool-window and layered extended styles and drops any border.
void MakeLayeredToolWindow(ui::Form& form);

}  // namespace core
