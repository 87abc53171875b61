// The start-up splash: a layered window that shows the next square frame of
// splash.png at each step.
#pragma once

#include "ui/form.h"
#include "ui/images.h"

#include <cstdint>
#include <memory>
#include <string>

namespace core {

// The frame after `frame` in a vertical strip of square frames; the animation loops.
// At least one frame, and never one that reads past the strip.
std::uint8_t NextSplashFrame(std::uint8_t frame, int width, int height);

class SplashWindow : public ui::Form {
public:
    // Creates the window and, when the image exists, loads it and shows the window.
    explicit SplashWindow(const std::wstring& imagePath);
    // One step: draw the current frame, update the window, wait 50 ms, advance.
    void Step();
    bool HasImage() const noexcept { return image_ != nullptr; }
    std::uint8_t Frame() const noexcept { return frame_; }

protected:
    void CreateParams(ui::CreateParams& params) override;

private:
    std::unique_ptr<Gdiplus::Bitmap> image_;
    ui::Dib bitmap_;
    std::uint8_t frame_ = 0;
};

}  // namespace core
