#include "core/skin.h"

#include "core/form1.h"
#include "ui/form.h"

namespace core {

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

void ReadSkinMetrics(const ui::Ini&, SkinMetrics&) {
    // TODO(skins)
}

AnimationMetrics ReadAnimationMetrics(const ui::Ini&, const SkinMetrics& metrics) {
    AnimationMetrics m;  // TODO(skins)
    m.width = metrics.SkinWidth;
    m.height = metrics.ItemSize;
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

void MirrorBitmap(Gdiplus::Bitmap&, bool, Gdiplus::ImageAttributes*) {
    // TODO(skins)
}

void SelectIconImage(int, int, HICON&) {
    // TODO(skins)
}

void TForm1::LoadSkin(const std::wstring& /*name*/) {
    // TODO(skins): read skin.ini and the PNG parts; until then the default metrics
    // of a skin folder without files stay in force.
}

}  // namespace core
