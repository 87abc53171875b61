#include "popups/zv_hint.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/startup.h"
#include "dialogs/language.h"
#include "popups/form2.h"
#include "popups/hint_layout.h"
#include "render/compositor.h"
#include "render/compositor_draw.h"
#include "render/skin.h"
#include "render/skin_tint.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cwchar>

namespace popups {
namespace {

// A skin's StrokeSize as a pen width: GDI+ draws a width-0 pen as a one-pixel line,
// which the hint keeps; a negative or absurd width draws nothing sensible.
constexpr float kMaxPenWidth = 255.0f;
float PenWidth(float strokeSize) {
    if (!std::isfinite(strokeSize) || strokeSize < 0.0f) return 0.0f;
    return std::min(strokeSize, kMaxPenWidth);
}

INT LengthOf(const std::wstring& text) { return static_cast<INT>(std::min<size_t>(text.size(), INT_MAX)); }

int ScreenDpi() {
    ui::WindowDc screen(nullptr);
    const int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : 96;
}

}  // namespace

void TZVHint::CreateParams(ui::CreateParams& params) {
    params.className = L"TZVHint";
    params.style = WS_POPUP;
    // The hint lies over the sub-menu windows' place: the pointer and the focus must
    // go through it to them.
    params.exStyle = WS_EX_TRANSPARENT | WS_EX_NOACTIVATE;
}

void TZVHint::LoadLanguage(const std::wstring& Name) {
    // A name that is no plain file name reads nothing, so the defaults stand.
    const dialogs::LanguageFile file = dialogs::IsLanguageName(Name)
                                           ? dialogs::ReadLanguageFile(dialogs::LanguageFilePath(core::AppDir, Name))
                                           : dialogs::LanguageFile{};
    dialogs::ApplyLanguage(dialogs::ResolveLanguage(file));
}

void TZVHint::FormCreate() {
    core::MakeLayeredToolWindow(*this);
    core::TForm1* main = core::Form1;
    if (!main) return;
    // The context menu and both dialogs exist by now; no menu window has asked a
    // delete question yet.
    LoadLanguage(main->Settings.Language);

    LOGFONTW font{};
    font.lfHeight = HintFontHeight(main->Settings.HintFontSize, ScreenDpi());
    font.lfWeight = FW_BOLD;
    font.lfCharSet = DEFAULT_CHARSET;
    const std::wstring& name = main->Settings.HintFontName;
    const size_t length = std::min<size_t>(name.size(), LF_FACESIZE - 1);
    std::wmemcpy(font.lfFaceName, name.c_str(), length);
    measureFont_.Reset(CreateFontIndirectW(&font));

    Path = std::make_unique<Gdiplus::GraphicsPath>();
    if (Path->GetLastStatus() != Gdiplus::Ok) Path.reset();
    Pen = std::make_unique<Gdiplus::Pen>(Gdiplus::Color(main->Skin.StrokeColor), PenWidth(main->Skin.StrokeSize));
    if (Pen->GetLastStatus() != Gdiplus::Ok) Pen.reset();
    Blend = BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    main->SplashTimerTimer();
}

void TZVHint::FormDestroy() {
    Bitmap.Reset();
    Path.reset();
    Pen.reset();
    measureFont_.Reset();
}

SIZE TZVHint::MeasureText(const std::wstring& text) const {
    ui::UniqueDc dc(CreateCompatibleDC(nullptr));
    if (!dc || !measureFont_) return SIZE{0, 0};
    ui::Selection font(dc.Get(), measureFont_.Get());
    SIZE extent{};
    if (!GetTextExtentPoint32W(dc.Get(), text.c_str(), LengthOf(text), &extent)) return SIZE{0, 0};
    return extent;
}

void TZVHint::PaintText(const std::wstring& text) {
    const core::TForm1& main = *core::Form1;
    const core::SkinMetrics& skin = main.Skin;
    // The surface flushes GDI+ as it closes, before the caller's layered update.
    core::Surface surface(Bitmap);
    if (!surface.Ok()) return;
    Gdiplus::Graphics& graphics = surface.Graphics();
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics.Clear(Gdiplus::Color(0, 255, 255, 255));

    // A family this system lacks draws nothing at all: the captions' fallback then.
    const Gdiplus::FontFamily own(skin.FontName.c_str());
    const Gdiplus::FontFamily* family =
        own.GetLastStatus() == Gdiplus::Ok ? &own : Gdiplus::FontFamily::GenericSansSerif();
    Gdiplus::SolidBrush brush(Gdiplus::Color(255, 0, 0, 0));
    const Gdiplus::StringFormat format;
    const auto emSize = static_cast<Gdiplus::REAL>(skin.FontSize);
    const INT length = LengthOf(text);
    // A load that tinted the caption colours leaves nothing to tint here.
    const bool colorize = main.Settings.Colorize == 1 && !main.Parts.CaptionColorsTinted;
    const auto colorizeColor = static_cast<COLORREF>(main.Settings.ColorizeColor);

    Pen->SetWidth(PenWidth(skin.StrokeSize));
    if (skin.ShadowSize > 0) {
        Gdiplus::ARGB shadow = (skin.ShadowColor & 0x00FFFFFF) | (Gdiplus::ARGB{skin.ShadowTransparency} << 24);
        if (colorize && skin.ColorizeShadow) shadow = core::TintCaptionColor(shadow, colorizeColor);
        brush.SetColor(Gdiplus::Color(shadow));
        Pen->SetColor(Gdiplus::Color(shadow));
        Path->Reset();
        Path->AddString(text.c_str(), length, family, Gdiplus::FontStyleBold, emSize,
                        Gdiplus::PointF(0.0f, skin.ShadowSize + 0.3f), &format);
        graphics.DrawPath(Pen.get(), Path.get());
        graphics.FillPath(&brush, Path.get());
    }
    Path->Reset();
    Path->AddString(text.c_str(), length, family, Gdiplus::FontStyleBold, emSize, Gdiplus::PointF(0.0f, 0.0f),
                    &format);
    Gdiplus::ARGB outline = skin.StrokeColor | 0xFF000000;
    if (colorize && skin.ColorizeStroke) outline = core::TintCaptionColor(outline, colorizeColor);
    Pen->SetColor(Gdiplus::Color(outline));
    graphics.DrawPath(Pen.get(), Path.get());
    brush.SetColor(Gdiplus::Color(skin.FontColor | 0xFF000000));
    graphics.FillPath(&brush, Path.get());
}

void TZVHint::ShowText(const std::wstring& Text, const std::wstring& Kind, int Top, int Left) {
    core::TForm1* main = core::Form1;
    if (!main || !Path || !Pen) {
        Hide();
        return;
    }
    const core::SkinMetrics& skin = main->Skin;
    if (!HintWanted(Text, Kind, skin.ShowCaption)) {
        Hide();
        return;
    }
    const SIZE size = HintSize(MeasureText(Text), skin.ShadowSize);
    if (size.cx <= 0 || size.cy <= 0) {
        Hide();
        return;
    }
    Bitmap.Resize(size.cx, size.cy);
    if (!Bitmap.Bits()) {
        Hide();
        return;
    }
    PaintText(Text);

    const int left = HintLeft(main->Settings.Position, Left, size.cx, skin.SkinWidth, skin.MainLeftSpace,
                              this->Left());
    SetBounds(left, Top, size.cx, size.cy);
    BLENDFUNCTION blend = main->Compositor.WindowBlend;
    blend.AlphaFormat = AC_SRC_ALPHA;
    core::UpdateLayered(Handle(), POINT{left, Top}, size, Bitmap.Dc(), blend, nullptr);
    Show();
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ShowRowHint(int level, int row, const core::TLNItem& item) {
    core::TForm1* main = core::Form1;
    if (!main || !core::ZVHint || level < 1 || level > 3) return;
    const ui::Form* window = level == 1 ? static_cast<const ui::Form*>(main)
                             : level == 2 ? static_cast<const ui::Form*>(core::Form2)
                                          : static_cast<const ui::Form*>(core::Form3);
    if (!window) return;
    if (RowHidesHint(level, item.Type)) {
        core::ZVHint->Hide();
        return;
    }
    const POINT at = HintAnchor(level, LevelWindow{window->Left(), window->Top(), window->Width()},
                                main->ItemTop(level, row), main->Skin.ItemSize, main->ScrollMode[level],
                                main->Skin.SkinWidth);
    core::ZVHint->ShowText(item.Caption, item.Run, at.y, at.x);
}

void ShowSelectedRowHint(int level) {
    const core::TForm1* main = core::Form1;
    if (!main || level < 1 || level > 3) return;
    const int row = main->SelectedIndex[level] - 1;
    const core::TLNItem* item =
        core::HoveredItem(main->ItemLists[level], row, main->ScrollMode[level], main->ScrollTop);
    if (item) ShowRowHint(level, row, *item);
}

}  // namespace popups
