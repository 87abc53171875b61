// Images: files decoded from their bytes into bitmaps of our own, and 32-bit DIB
// sections that GDI and GDI+ both draw into.
#pragma once

#include "ui/handles.h"

#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <string>

namespace ui {

// Decodes a PNG, JPEG, BMP or ICO file into a 32-bit ARGB bitmap that owns its
// pixels: Bitmap::FromFile keeps the file locked and a stream-backed image reads its
// stream for its whole life. Null when the file is missing or not an image.
std::unique_ptr<Gdiplus::Bitmap> LoadImageFile(const std::wstring& path);
// The same from bytes in memory (copied: the result does not keep them), and from an
// RCDATA resource of the executable. Null when they are no image.
std::unique_ptr<Gdiplus::Bitmap> LoadImageBytes(const void* data, size_t size);
std::unique_ptr<Gdiplus::Bitmap> LoadImageResource(const wchar_t* name);

// A top-down 32-bit premultiplied DIB section. GDI+ must draw into it through AsGdiplus()
// (a Bitmap over the same bits): a Graphics on an HDC holding a 32-bit DIB
// forces alpha to 255.
class Dib {
public:
    Dib() = default;
    Dib(int width, int height) { Resize(width, height); }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;

    // Recreates the bitmap cleared to transparent; sizes below 1 become 1.
    void Resize(int width, int height);
    // Frees the bitmap and its DC; Width() and Height() become 0.
    void Reset();
    // Fills every pixel with one premultiplied BGRA value.
    void Fill(std::uint32_t bgra);
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    HBITMAP Handle() const noexcept { return bitmap_.Get(); }
    std::uint32_t* Bits() const noexcept { return bits_; }
    std::uint32_t Pixel(int x, int y) const { return bits_[y * width_ + x]; }
    // A memory DC with the bitmap selected, made on first use.
    HDC Dc();
    // A GDI+ bitmap over the same pixels (PARGB); call GdiFlush() before using it
    // after GDI drew.
    Gdiplus::Bitmap& AsGdiplus();

private:
    UniqueBitmap bitmap_;
    UniqueDc dc_;
    HGDIOBJ oldBitmap_ = nullptr;
    std::unique_ptr<Gdiplus::Bitmap> wrapper_;
    std::uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace ui
