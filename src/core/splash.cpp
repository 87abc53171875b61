#include "core/splash.h"

#include "render/skin.h"

#include <algorithm>

namespace core {

std::uint8_t NextSplashFrame(std::uint8_t frame, int width, int height) {
    if (width <= 0) return 0;
    const int frames = std::max(1, height / width);
    return frame >= frames - 1 ? 0 : static_cast<std::uint8_t>(frame + 1);
}

SplashWindow::SplashWindow(const std::wstring& imagePath) {
    Create();
    image_ = ui::LoadImageFile(imagePath);
    if (!image_) return;  // never painted; every step does nothing
    MakeLayeredToolWindow(*this);
    const int side = static_cast<int>(image_->GetWidth());
    bitmap_.Resize(side, side);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - side) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - side) / 2;
    SetBounds(left, top, side, side);
    Show();
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    frame_ = 0;
}

void SplashWindow::CreateParams(ui::CreateParams& params) {
    params.className = L"TSplash";
    params.style = WS_POPUP;
    params.exStyle = WS_EX_TOPMOST;
}

void SplashWindow::Step() {
    if (!image_) return;
    const int side = static_cast<int>(image_->GetWidth());
    // Transparent black, not the "transparent white" of old: premultiplied blending
    // adds the colour of an alpha-0 pixel, so rows a short strip leaves uncovered
    // would show white.
    bitmap_.Fill(0);
    {
        Gdiplus::Graphics g(&bitmap_.AsGdiplus());
        g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        g.DrawImage(image_.get(), Gdiplus::Rect(0, 0, side, side), 0, side * frame_, side, side,
                    Gdiplus::UnitPixel);
    }
    POINT position{Left(), Top()};
    SIZE size{side, side};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(Handle(), nullptr, &position, &size, bitmap_.Dc(), &source, 0, &blend, ULW_ALPHA);
    Sleep(50);
    frame_ = NextSplashFrame(frame_, side, static_cast<int>(image_->GetHeight()));
}

}  // namespace core
