#include "render/item_icons.h"

#include "core/path_macros.h"
#include "core/startup.h"
#include "render/skin.h"
#include "ui/files.h"
#include "ui/handles.h"
#include "ui/strings.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>
#include <memory>
#include <optional>
#include <random>
#include <vector>

namespace core {
namespace {

// IID_IImageList; mingw declares it without defining it.
constexpr GUID kIidImageList = {0x46eb5926, 0x582e, 0x4017, {0x9f, 0xdf, 0xe8, 0x99, 0x8d, 0xaa, 0x09, 0x50}};

constexpr int kHighestCacheNumber = 99998;

// ExtractIconW gives 32-pixel icons; the strip cells are 48, so ask for 48.
HICON ExtractIcon48(const std::wstring& file, int index) {
    HICON large = nullptr;
    if (SHDefExtractIconW(file.c_str(), index, 0, &large, nullptr, MAKELONG(kIconCell, 0)) != S_OK)
        return nullptr;
    if (large) SelectIconImage(kIconCell, 24, large);
    return large;
}

HICON ShellIcon(const std::wstring& path) {
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(path.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX)) return nullptr;
    void* list = nullptr;
    if (FAILED(SHGetImageList(SHIL_EXTRALARGE, kIidImageList, &list)) || !list) return nullptr;
    // The shell's IImageList is the image list itself, as documented.
    HICON icon = ImageList_GetIcon(static_cast<HIMAGELIST>(list), info.iIcon, ILD_NORMAL);
    static_cast<IUnknown*>(list)->Release();
    return icon;
}

// The bitmap's pixels as 32-bit top-down rows; empty when it cannot be read.
std::vector<std::uint32_t> ReadPixels(HBITMAP bitmap, int& width, int& height) {
    width = height = 0;
    BITMAP header{};
    if (!bitmap || !GetObjectW(bitmap, sizeof header, &header) || header.bmWidth <= 0 || header.bmHeight <= 0)
        return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = header.bmWidth;
    info.bmiHeader.biHeight = -header.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(header.bmWidth) * header.bmHeight);
    ui::WindowDc screen(nullptr);
    if (GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(header.bmHeight), pixels.data(), &info,
                  DIB_RGB_COLORS) != header.bmHeight)
        return {};
    width = header.bmWidth;
    height = header.bmHeight;
    return pixels;
}

// An ARGB bitmap of the icon: its own alpha when it has one, otherwise opaque
// except where the mask is white.
std::unique_ptr<Gdiplus::Bitmap> IconImage(HBITMAP colorBitmap, HBITMAP maskBitmap) {
    int width = 0, height = 0;
    std::vector<std::uint32_t> color, mask;
    if (colorBitmap) {
        color = ReadPixels(colorBitmap, width, height);
        if (color.empty()) return nullptr;
        if (!IconHasAlpha(color.data(), width, height)) {
            int maskWidth = 0, maskHeight = 0;
            mask = ReadPixels(maskBitmap, maskWidth, maskHeight);
            if (maskWidth != width || maskHeight < height) mask.clear();
        }
    } else {
        // A monochrome icon has no colour bitmap: its mask holds the AND mask on
        // top of the black-and-white image.
        int maskHeight = 0;
        std::vector<std::uint32_t> both = ReadPixels(maskBitmap, width, maskHeight);
        height = maskHeight / 2;
        if (both.empty() || height == 0) return nullptr;
        const size_t half = static_cast<size_t>(width) * height;
        mask.assign(both.begin(), both.begin() + static_cast<std::ptrdiff_t>(half));
        color.assign(both.begin() + static_cast<std::ptrdiff_t>(half),
                     both.begin() + static_cast<std::ptrdiff_t>(2 * half));
    }
    const bool ownAlpha = colorBitmap && IconHasAlpha(color.data(), width, height);

    auto image = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
    if (image->GetLastStatus() != Gdiplus::Ok) return nullptr;
    Gdiplus::Rect all(0, 0, width, height);
    Gdiplus::BitmapData data{};
    if (image->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return nullptr;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<BYTE*>(data.Scan0) + y * data.Stride);
        for (int x = 0; x < width; ++x) {
            const size_t i = static_cast<size_t>(y) * width + x;
            if (ownAlpha) {
                row[x] = color[i];
                continue;
            }
            const bool transparent = !mask.empty() && (mask[i] & 0x00FFFFFFu) == 0x00FFFFFFu;
            row[x] = (transparent ? 0u : 0xFF000000u) | (color[i] & 0x00FFFFFFu);
        }
    }
    image->UnlockBits(&data);
    return image;
}

std::optional<CLSID> PngEncoder() {
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return std::nullopt;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) return std::nullopt;
    for (UINT i = 0; i < count; ++i)
        if (codecs[i].MimeType && std::wcscmp(codecs[i].MimeType, L"image/png") == 0) return codecs[i].Clsid;
    return std::nullopt;
}

bool CacheNameFree(int number) { return !ui::FileExists(CacheDir + ui::IntToStr(number) + ImageExt); }

std::wstring FreeCacheName() {
    static std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<int> pick(0, kHighestCacheNumber);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const int number = pick(generator);
        if (CacheNameFree(number)) return ui::IntToStr(number);
    }
    // A cache this full would keep a random search going for ever: walk the numbers.
    for (int number = 0; number <= kHighestCacheNumber; ++number)
        if (CacheNameFree(number)) return ui::IntToStr(number);
    return {};
}

}  // namespace

HICON GetItemIcon(const std::wstring& path, int index) {
    const std::wstring file = ExpandPathMacros(path);
    if (index != 0) return ExtractIcon48(file, index);
    if (HICON icon = ShellIcon(file)) return icon;
    return ExtractIcon48(SystemDir + L"shell32.dll", 23);
}

void IconToBitmap(HICON icon, int u, Gdiplus::Graphics& surface) {
    // ExtractIcon answers (HICON)1 for a file without icons: that is no handle.
    if (!icon || icon == reinterpret_cast<HICON>(1)) return;
    ui::UniqueIcon owned(icon);
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return;
    ui::UniqueBitmap color(info.hbmColor);
    ui::UniqueBitmap mask(info.hbmMask);
    owned.Reset();
    auto image = IconImage(color.Get(), mask.Get());
    if (!image) return;
    surface.DrawImage(image.get(), Gdiplus::Rect(kIconCell * u, 0, kIconCell, kIconCell));
}

bool IconHasAlpha(const std::uint32_t* pixels, int width, int height) {
    if (!pixels || width <= 0 || height <= 0) return false;
    const size_t count = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < count; ++i)
        if (pixels[i] >> 24) return true;
    return false;
}

std::wstring SaveImagePng(const std::wstring& name, Gdiplus::Image& image) {
    // Names come from the menu file too: only a plain file name may reach the disk.
    if (name.find_first_of(L"\\/:") != std::wstring::npos) return {};
    const std::wstring used = name.empty() ? FreeCacheName() : name;
    if (used.empty()) return {};
    const auto encoder = PngEncoder();
    if (!encoder) return {};
    const std::wstring path = CacheDir + used + ImageExt;
    const std::wstring temp = ui::AtomicTempName(path);
    if (image.Save(temp.c_str(), &*encoder, nullptr) != Gdiplus::Ok || !ui::ReplaceFileWith(temp, path)) {
        DeleteFileW(temp.c_str());
        return {};
    }
    return used;
}

}  // namespace core
