#include "render/compositor_draw.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace core {
namespace {

// Cuts the source span [from, from + fromLength) to [0, limit) and the target span
// in proportion. False when nothing of either is left.
bool ClipSpan(int& from, int& fromLength, int& to, int& toLength, int limit) {
    if (fromLength <= 0 || toLength <= 0 || limit <= 0) return false;
    const long long begin = std::max<long long>(from, 0);
    const long long end = std::min<long long>(static_cast<long long>(from) + fromLength, limit);
    if (end <= begin) return false;
    const int toBegin = to + MulDiv(static_cast<int>(begin - from), toLength, fromLength);
    const int toEnd = to + MulDiv(static_cast<int>(end - from), toLength, fromLength);
    from = static_cast<int>(begin);
    fromLength = static_cast<int>(end - begin);
    to = toBegin;
    toLength = toEnd - toBegin;
    return toLength > 0;
}

bool ClipSpan(Gdiplus::REAL& from, Gdiplus::REAL& fromLength, Gdiplus::REAL& to, Gdiplus::REAL& toLength,
              Gdiplus::REAL limit) {
    if (!(fromLength > 0) || !(toLength > 0) || !(limit > 0)) return false;
    const Gdiplus::REAL begin = std::max<Gdiplus::REAL>(from, 0);
    const Gdiplus::REAL end = std::min(from + fromLength, limit);
    if (!(end > begin)) return false;
    const Gdiplus::REAL scale = toLength / fromLength;
    to += (begin - from) * scale;
    toLength = (end - begin) * scale;
    from = begin;
    fromLength = end - begin;
    return toLength > 0;
}

}  // namespace

SIZE SelectedBitmapSize(HDC dc) {
    BITMAP info{};
    HGDIOBJ bitmap = dc ? GetCurrentObject(dc, OBJ_BITMAP) : nullptr;
    if (!bitmap || GetObjectW(bitmap, sizeof(info), &info) == 0) return SIZE{0, 0};
    return SIZE{info.bmWidth, std::abs(info.bmHeight)};
}

void BlendClipped(HDC target, PixelRect to, HDC source, PixelRect from, BLENDFUNCTION blend) {
    if (!target || !source) return;
    const SIZE size = SelectedBitmapSize(source);
    if (!ClipSpan(from.x, from.width, to.x, to.width, size.cx)) return;
    if (!ClipSpan(from.y, from.height, to.y, to.height, size.cy)) return;
    AlphaBlend(target, to.x, to.y, to.width, to.height, source, from.x, from.y, from.width, from.height, blend);
}

void DrawImageClipped(Gdiplus::Graphics& graphics, Gdiplus::Image& image, const Gdiplus::RectF& to,
                      const Gdiplus::RectF& from, const Gdiplus::ImageAttributes* attributes) {
    Gdiplus::RectF source = from;
    Gdiplus::RectF target = to;
    if (!ClipSpan(source.X, source.Width, target.X, target.Width, static_cast<Gdiplus::REAL>(image.GetWidth())))
        return;
    if (!ClipSpan(source.Y, source.Height, target.Y, target.Height, static_cast<Gdiplus::REAL>(image.GetHeight())))
        return;
    graphics.DrawImage(&image, target, source.X, source.Y, source.Width, source.Height, Gdiplus::UnitPixel,
                       attributes);
}

void ClearRect(ui::Dib& dib, const RECT& rect) {
    if (!dib.Bits()) return;
    const int left = std::max<int>(rect.left, 0);
    const int right = std::min<int>(rect.right, dib.Width());
    const int top = std::max<int>(rect.top, 0);
    const int bottom = std::min<int>(rect.bottom, dib.Height());
    if (left >= right || top >= bottom) return;
    GdiFlush();
    for (int y = top; y < bottom; ++y)
        std::fill_n(dib.Bits() + static_cast<size_t>(y) * dib.Width() + left, right - left, 0u);
}

void CopyPixels(const ui::Dib& from, ui::Dib& to) {
    if (!from.Bits() || !to.Bits()) return;
    GdiFlush();
    const int width = std::min(from.Width(), to.Width());
    const int height = std::min(from.Height(), to.Height());
    for (int y = 0; y < height; ++y)
        std::memcpy(to.Bits() + static_cast<size_t>(y) * to.Width(),
                    from.Bits() + static_cast<size_t>(y) * from.Width(), static_cast<size_t>(width) * 4);
}

RowSpan ChangedRows(const ui::Dib& a, const ui::Dib& b) {
    if (!a.Bits() || !b.Bits() || a.Width() != b.Width() || a.Height() != b.Height()) return {0, a.Height()};
    GdiFlush();
    const size_t stride = static_cast<size_t>(a.Width());
    auto differs = [&](int y) {
        return std::memcmp(a.Bits() + y * stride, b.Bits() + y * stride, stride * 4) != 0;
    };
    int top = 0;
    while (top < a.Height() && !differs(top)) ++top;
    if (top == a.Height()) return {};
    int bottom = a.Height();
    while (!differs(bottom - 1)) --bottom;
    return {top, bottom};
}

RowSpan Union(RowSpan a, RowSpan b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    return {std::min(a.top, b.top), std::max(a.bottom, b.bottom)};
}

bool UpdateLayered(HWND window, POINT position, SIZE size, HDC source, const BLENDFUNCTION& blend,
                   const RECT* dirty) {
    GdiFlush();
    HDC screen = GetDC(nullptr);
    POINT origin{0, 0};
    // The indirect form takes a dirty rectangle; it exists since Vista, so our
    // Windows 7 floor needs no run-time lookup for it.
    UPDATELAYEREDWINDOWINFO info{};
    info.cbSize = sizeof(info);
    info.hdcDst = screen;
    info.pptDst = &position;
    info.psize = &size;
    info.hdcSrc = source;
    info.pptSrc = &origin;
    info.pblend = &blend;
    info.dwFlags = ULW_ALPHA;
    info.prcDirty = dirty;
    const bool ok = UpdateLayeredWindowIndirect(window, &info) != FALSE;
    if (screen) ReleaseDC(nullptr, screen);
    return ok;
}

std::unique_ptr<Gdiplus::Bitmap> CopyToBitmap(const ui::Dib& dib) {
    if (!dib.Bits()) return nullptr;
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(dib.Width(), dib.Height(), PixelFormat32bppPARGB);
    if (bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
    Gdiplus::Rect all(0, 0, dib.Width(), dib.Height());
    Gdiplus::BitmapData data{};
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
        return nullptr;
    GdiFlush();
    for (int y = 0; y < dib.Height(); ++y)
        std::memcpy(static_cast<BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                    dib.Bits() + static_cast<size_t>(y) * dib.Width(), static_cast<size_t>(dib.Width()) * 4);
    bitmap->UnlockBits(&data);
    return bitmap;
}

Surface::Surface(ui::Dib& dib) {
    GdiFlush();
    if (!dib.Bits()) return;
    graphics_ = std::make_unique<Gdiplus::Graphics>(&dib.AsGdiplus());
    if (graphics_->GetLastStatus() != Gdiplus::Ok) return;
    graphics_->SetInterpolationMode(Gdiplus::InterpolationModeLowQuality);
    graphics_->SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    graphics_->SetCompositingQuality(Gdiplus::CompositingQualityHighSpeed);
    graphics_->SetCompositingMode(Gdiplus::CompositingModeSourceOver);
    graphics_->SetTextRenderingHint(Gdiplus::TextRenderingHintSystemDefault);
    graphics_->SetSmoothingMode(Gdiplus::SmoothingModeHighSpeed);
}

Surface::~Surface() {
    if (graphics_) graphics_->Flush(Gdiplus::FlushIntentionSync);
}

}  // namespace core
