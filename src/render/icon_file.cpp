#include "render/icon_file.h"

#include "render/skin.h"
#include "ui/handles.h"

#include <cstdint>

namespace core {
namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 16;
// Smaller than this, an image holds not even its bitmap header.
constexpr std::uint32_t kMinImageSize = sizeof(BITMAPINFOHEADER);

std::uint32_t ReadLittle(std::string_view bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

void AppendLittle(std::string& out, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void AppendHeader(std::string& out) {
    AppendLittle(out, 0, 2);  // reserved
    AppendLittle(out, 1, 2);  // type: icon
    AppendLittle(out, 1, 2);  // one image
}

// The rows of a bitmap as a bottom-up DIB of the given depth; empty on failure.
std::string DibRows(HBITMAP bitmap, int width, int height, int bits) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];  // the two of a 1-bit mask
    } info{};
    info.header.biSize = sizeof(info.header);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    info.header.biCompression = BI_RGB;
    const std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    std::string rows(stride * height, '\0');
    ui::WindowDc screen(nullptr);
    const int got = GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(height), rows.data(),
                              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    if (got != height) return {};
    return rows;
}

}  // namespace

std::string WriteIconFile(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return {};
    ui::UniqueBitmap color(info.hbmColor);
    ui::UniqueBitmap mask(info.hbmMask);
    // A monochrome icon keeps both halves in the mask: it has no colour image to pick.
    if (!color || !mask) return {};
    BITMAP bm{};
    if (!GetObjectW(color.Get(), sizeof bm, &bm)) return {};
    const int width = bm.bmWidth;
    const int height = bm.bmHeight;
    if (width <= 0 || height <= 0 || width > 256 || height > 256) return {};
    const int bits = bm.bmBitsPixel == 24 ? 24 : 32;
    const std::string colorRows = DibRows(color.Get(), width, height, bits);
    const std::string maskRows = DibRows(mask.Get(), width, height, 1);
    if (colorRows.empty() || maskRows.empty()) return {};

    const auto imageSize = static_cast<std::uint32_t>(sizeof(BITMAPINFOHEADER) + colorRows.size() + maskRows.size());
    std::string out;
    out.reserve(kHeaderSize + kEntrySize + imageSize);
    AppendHeader(out);
    AppendLittle(out, width == 256 ? 0 : width, 1);  // 0 stands for 256
    AppendLittle(out, height == 256 ? 0 : height, 1);
    AppendLittle(out, 0, 1);  // colour count: none below 8 bits
    AppendLittle(out, 0, 1);
    AppendLittle(out, 1, 2);  // planes
    AppendLittle(out, bits, 2);
    AppendLittle(out, imageSize, 4);
    AppendLittle(out, kHeaderSize + kEntrySize, 4);
    // The image: its header counts the colour rows and the mask rows as one height.
    AppendLittle(out, sizeof(BITMAPINFOHEADER), 4);
    AppendLittle(out, static_cast<std::uint32_t>(width), 4);
    AppendLittle(out, static_cast<std::uint32_t>(2 * height), 4);
    AppendLittle(out, 1, 2);
    AppendLittle(out, bits, 2);
    AppendLittle(out, BI_RGB, 4);
    AppendLittle(out, static_cast<std::uint32_t>(colorRows.size() + maskRows.size()), 4);
    AppendLittle(out, 0, 4 * 4);  // resolution and palette counts
    out += colorRows;
    out += maskRows;
    return out;
}

std::optional<std::string> SelectIconEntry(std::string_view file, int width, int bitCount) {
    if (file.size() < kHeaderSize) return std::nullopt;
    const std::uint32_t count = ReadLittle(file, 4, 2);
    std::optional<std::string> chosen;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = kHeaderSize + kEntrySize * i;
        if (entry + kEntrySize > file.size()) break;
        const auto entryWidth = static_cast<std::uint8_t>(file[entry]);
        const auto entryBits = ReadLittle(file, entry + 6, 2) & 0xFF;
        if (entryWidth != width || static_cast<int>(entryBits) != bitCount) continue;
        const std::uint32_t size = ReadLittle(file, entry + 8, 4);
        const std::uint32_t offset = ReadLittle(file, entry + 12, 4);
        if (offset > file.size() || size > file.size() - offset) continue;
        std::string one;
        one.reserve(kHeaderSize + kEntrySize + size);
        AppendHeader(one);
        one.append(file.substr(entry, 12));
        AppendLittle(one, kHeaderSize + kEntrySize, 4);
        one.append(file.substr(offset, size));
        chosen = std::move(one);
    }
    return chosen;
}

void SelectIconImage(int width, int bitCount, HICON& icon) {
    std::optional<std::string> one = SelectIconEntry(WriteIconFile(icon), width, bitCount);
    if (!one) return;
    const std::uint32_t size = ReadLittle(*one, kHeaderSize + 8, 4);
    if (size < kMinImageSize) return;
    auto* image = reinterpret_cast<BYTE*>(one->data() + kHeaderSize + kEntrySize);
    HICON picked = CreateIconFromResourceEx(image, size, TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
    if (!picked) return;
    DestroyIcon(icon);
    icon = picked;
}

}  // namespace core
