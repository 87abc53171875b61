#include "ui/images.h"

#include "ui/files.h"

#include <shlwapi.h>

#include <algorithm>
#include <climits>

namespace ui {

std::unique_ptr<Gdiplus::Bitmap> LoadImageFile(const std::wstring& path) {
    auto bytes = ReadFileBytes(path);
    if (!bytes) return nullptr;
    return LoadImageBytes(bytes->data(), bytes->size());
}

std::unique_ptr<Gdiplus::Bitmap> LoadImageResource(const wchar_t* name) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, name, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return nullptr;
    return LoadImageBytes(bytes, SizeofResource(module, found));
}

std::unique_ptr<Gdiplus::Bitmap> LoadImageBytes(const void* data, size_t size) {
    if (!data || size == 0 || size > UINT_MAX) return nullptr;
    IStream* stream = SHCreateMemStream(static_cast<const BYTE*>(data), static_cast<UINT>(size));
    if (!stream) return nullptr;
    ScopeExit releaseStream([stream] { stream->Release(); });
    std::unique_ptr<Gdiplus::Bitmap> source(Gdiplus::Bitmap::FromStream(stream));
    if (!source || source->GetLastStatus() != Gdiplus::Ok) return nullptr;
    const UINT width = source->GetWidth();
    const UINT height = source->GetHeight();
    if (width == 0 || height == 0) return nullptr;
    auto copy = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(width), static_cast<INT>(height),
                                                  PixelFormat32bppARGB);
    if (copy->GetLastStatus() != Gdiplus::Ok) return nullptr;
    Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData target{};
    if (copy->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &target) != Gdiplus::Ok)
        return nullptr;
    // Decode straight into the copy's pixels: the source converts as it reads.
    Gdiplus::BitmapData into = target;
    Gdiplus::Status status = source->LockBits(
        &all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, PixelFormat32bppARGB, &into);
    if (status == Gdiplus::Ok) source->UnlockBits(&into);
    copy->UnlockBits(&target);
    if (status != Gdiplus::Ok) return nullptr;
    return copy;
}

void Dib::Resize(int width, int height) {
    Reset();
    width_ = std::max(1, width);
    height_ = std::max(1, height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top-down, so row 0 is the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<std::uint32_t*>(bits);
    if (!bits_) {
        width_ = height_ = 0;
        return;
    }
    std::fill_n(bits_, static_cast<size_t>(width_) * height_, 0u);
}

void Dib::Reset() {
    wrapper_.reset();
    if (dc_ && oldBitmap_) SelectObject(dc_.Get(), oldBitmap_);
    oldBitmap_ = nullptr;
    dc_.Reset();
    bitmap_.Reset();
    bits_ = nullptr;
    width_ = height_ = 0;
}

void Dib::Fill(std::uint32_t bgra) {
    if (!bits_) return;
    GdiFlush();
    std::fill_n(bits_, static_cast<size_t>(width_) * height_, bgra);
}

HDC Dib::Dc() {
    if (!dc_) {
        dc_.Reset(CreateCompatibleDC(nullptr));
        oldBitmap_ = SelectObject(dc_.Get(), bitmap_.Get());
    }
    return dc_.Get();
}

Gdiplus::Bitmap& Dib::AsGdiplus() {
    if (!wrapper_)
        wrapper_ = std::make_unique<Gdiplus::Bitmap>(width_, height_, width_ * 4, PixelFormat32bppPARGB,
                                                     reinterpret_cast<BYTE*>(bits_));
    return *wrapper_;
}

}  // namespace ui
