// TAbout's drawing: Panel2 composed in a back buffer, in the order credits, fade,
// header, links, then copied to the window.
#include "dialogs/about.h"

#include <algorithm>

namespace dialogs {
namespace {

constexpr COLORREF kLinkColor = RGB(0x00, 0x66, 0xCC);  // the labels' medium blue

// GDI leaves the alpha byte of what it wrote at 0; GDI+ draws the fade and the header
// over these rows as premultiplied pixels, so they are made opaque first.
void MakeOpaque(ui::Dib& dib, int top, int bottom) {
    std::uint32_t* bits = dib.Bits();
    for (int y = std::max(top, 0); y < std::min(bottom, dib.Height()); ++y)
        for (int x = 0; x < dib.Width(); ++x) bits[y * dib.Width() + x] |= 0xFF000000u;
}

}  // namespace

void TAbout::ComposePanel(int offset) {
    if (panel_.Width() == 0) return;
    panel_.Fill(0xFFFFFFFF);
    DrawCredits(offset);
    {
        Gdiplus::Graphics graphics(&panel_.AsGdiplus());
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        const int width = kAboutImage1.right - kAboutImage1.left;
        if (fade_)
            graphics.DrawImage(fade_.get(), Gdiplus::Rect(kAboutImage1.left, kAboutImage1.bottom - kAboutFadeHeight,
                                                          width, kAboutFadeHeight));
        if (header_) graphics.DrawImage(header_.get(), Gdiplus::Rect(0, 0, width, kAboutHeaderHeight));
    }
    DrawLinks();
    GdiFlush();
}

void TAbout::DrawCredits(int offset) {
    if (!creditsBitmap_) return;
    const int areaHeight = kAboutImage1.bottom - kAboutImage1.top;
    // The rows of the bitmap that fall inside the area.
    const int first = std::max(offset, 0);
    const int last = std::min(creditsBitmap_->Height(), offset + areaHeight);
    if (last <= first) return;
    const int destTop = kAboutImage1.top + first - offset;
    BitBlt(panel_.Dc(), kAboutImage1.left, destTop, kAboutImage1.right - kAboutImage1.left, last - first,
           creditsBitmap_->Dc(), 0, first, SRCCOPY);
    GdiFlush();
    MakeOpaque(panel_, destTop, destTop + last - first);
}

void TAbout::DrawLinks() {
    HDC dc = panel_.Dc();
    HGDIOBJ old = SelectObject(dc, linkFont_.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kLinkColor);
    for (const AboutLink& link : links_) {
        RECT bounds = link.Bounds;
        DrawTextW(dc, link.Caption.c_str(), static_cast<int>(link.Caption.size()), &bounds,
                  DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
    SelectObject(dc, old);
}

void TAbout::Paint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(Handle(), &paint);
    if (!dc) return;
    if (panel_.Width() > 0)
        BitBlt(dc, 0, 0, panel_.Width(), panel_.Height(), panel_.Dc(), 0, 0, SRCCOPY);
    EndPaint(Handle(), &paint);
}

}  // namespace dialogs
