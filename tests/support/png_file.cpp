#include "support/png_file.h"

#include "ui/handles.h"

#include <objidl.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace testing_support {
namespace {

CLSID Encoder(const wchar_t* mimeType) {
    UINT count = 0;
    UINT size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        throw std::runtime_error("no image encoders");
    std::vector<unsigned char> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) throw std::runtime_error("no image encoders");
    for (UINT i = 0; i < count; ++i)
        if (std::wstring(codecs[i].MimeType) == mimeType) return codecs[i].Clsid;
    throw std::runtime_error("no encoder for the image type");
}

}  // namespace

std::string PngBytes(int width, int height, const std::function<Gdiplus::ARGB(int x, int y)>& pixel) {
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
    if (bitmap.GetLastStatus() != Gdiplus::Ok) throw std::runtime_error("cannot create the bitmap");
    Gdiplus::Rect all(0, 0, width, height);
    Gdiplus::BitmapData data{};
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        throw std::runtime_error("cannot lock the bitmap");
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<Gdiplus::ARGB*>(static_cast<BYTE*>(data.Scan0) + y * data.Stride);
        for (int x = 0; x < width; ++x) row[x] = pixel(x, y);
    }
    bitmap.UnlockBits(&data);

    IStream* raw = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &raw))) throw std::runtime_error("no stream");
    ui::ScopeExit release([raw] { raw->Release(); });
    const CLSID encoder = Encoder(L"image/png");
    if (bitmap.Save(raw, &encoder, nullptr) != Gdiplus::Ok) throw std::runtime_error("cannot encode the PNG");
    STATSTG stat{};
    if (FAILED(raw->Stat(&stat, STATFLAG_NONAME))) throw std::runtime_error("cannot size the PNG");
    std::string bytes(static_cast<size_t>(stat.cbSize.QuadPart), '\0');
    LARGE_INTEGER start{};
    ULONG read = 0;
    if (FAILED(raw->Seek(start, STREAM_SEEK_SET, nullptr)) ||
        FAILED(raw->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read)) || read != bytes.size())
        throw std::runtime_error("cannot read the PNG back");
    return bytes;
}

std::string SolidPng(int width, int height, Gdiplus::ARGB color) {
    return PngBytes(width, height, [color](int, int) { return color; });
}

void SaveBlankImage(const std::wstring& path, int width, int height, const wchar_t* mimeType) {
    // A format without alpha for the others: JPEG has none.
    const Gdiplus::PixelFormat format =
        std::wstring(mimeType) == L"image/png" ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    Gdiplus::Bitmap bitmap(width, height, format);
    if (bitmap.GetLastStatus() != Gdiplus::Ok) throw std::runtime_error("cannot create the bitmap");
    const CLSID encoder = Encoder(mimeType);
    if (bitmap.Save(path.c_str(), &encoder, nullptr) != Gdiplus::Ok) throw std::runtime_error("cannot save the image");
}

}  // namespace testing_support
