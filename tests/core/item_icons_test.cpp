// Icons into strip cells, the 48-pixel icon loader and the cache writer, without windows.
#include "render/item_icons.h"

#include "core/menu_document.h"
#include "core/startup.h"
#include "support/temp_folder.h"
#include "ui/files.h"
#include "ui/images.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 16;  // test icons; drawn 3 times larger into a 48 cell

// A 32-bit colour icon of one colour (alpha byte included), with the mask's left
// half set (transparent) when asked.
HICON ColorIcon(std::uint32_t argb, bool maskLeftHalf) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kSize;
    info.bmiHeader.biHeight = -kSize;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP color = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::fill_n(static_cast<std::uint32_t*>(bits), kSize * kSize, argb);
    std::vector<BYTE> maskBits(2 * kSize, 0);  // rows of two bytes
    for (int y = 0; y < kSize; ++y) maskBits[2 * y] = maskLeftHalf ? 0xFF : 0x00;
    HBITMAP mask = CreateBitmap(kSize, kSize, 1, 1, maskBits.data());
    ICONINFO icon{TRUE, 0, 0, mask, color};
    HICON result = CreateIconIndirect(&icon);
    DeleteObject(color);
    DeleteObject(mask);
    return result;
}

// Monochrome: left half transparent; right half white above, black below.
HICON MonochromeIcon() {
    std::vector<BYTE> andBits(2 * kSize), xorBits(2 * kSize);
    for (int y = 0; y < kSize; ++y) {
        andBits[2 * y] = 0xFF;
        andBits[2 * y + 1] = 0x00;
        xorBits[2 * y] = xorBits[2 * y + 1] = y < kSize / 2 ? 0xFF : 0x00;
    }
    return CreateIcon(nullptr, kSize, kSize, 1, 1, andBits.data(), xorBits.data());
}

Gdiplus::ARGB PixelAt(Gdiplus::Bitmap& image, int x, int y) {
    Gdiplus::Color c;
    image.GetPixel(x, y, &c);
    return c.GetValue();
}

void ExpectColor(Gdiplus::ARGB actual, Gdiplus::ARGB expected) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        if (shift < 24 && (expected >> 24) == 0) break;  // a transparent pixel has no colour to compare
        EXPECT_NEAR(static_cast<int>((actual >> shift) & 0xFF), static_cast<int>((expected >> shift) & 0xFF), 1)
            << std::hex << "actual " << actual << " expected " << expected;
    }
}

class ItemIconsTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = {core::CacheDir, core::ImageExt, core::SystemDir};
        core::CacheDir = folder.Path();
        core::ImageExt = L".png";
        core::SystemDir = core::GetSystemDir();
    }
    void TearDown() override {
        core::CacheDir = saved_[0];
        core::ImageExt = saved_[1];
        core::SystemDir = saved_[2];
    }

    // Two cells, drawn into without smoothing so each icon pixel becomes a 3 x 3 block.
    std::unique_ptr<Gdiplus::Bitmap> Strip() {
        auto strip = std::make_unique<Gdiplus::Bitmap>(2 * core::kIconCell, core::kIconCell, PixelFormat32bppARGB);
        Gdiplus::Graphics(strip.get()).Clear(Gdiplus::Color(0, 0, 0, 0));
        return strip;
    }

    testing_support::TempFolder folder;
    std::vector<std::wstring> saved_;
};

struct IconCase {
    const char* name;
    HICON (*make)();
    Gdiplus::ARGB left, rightTop, rightBottom;
};

TEST_F(ItemIconsTest, IconsLandInTheirCellWithTheirOwnAlphaOrTheirMask) {
    const IconCase cases[] = {
        {"monochrome", MonochromeIcon, 0, 0xFFFFFFFF, 0xFF000000},
        {"colour with a mask", [] { return ColorIcon(0x000000FF, true); }, 0, 0xFF0000FF, 0xFF0000FF},
        // An icon with alpha ignores its mask.
        {"colour with alpha", [] { return ColorIcon(0x800000FF, true); }, 0x800000FF, 0x800000FF, 0x800000FF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HICON icon = c.make();
        ASSERT_TRUE(icon);
        auto strip = Strip();
        {
            Gdiplus::Graphics surface(strip.get());
            surface.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
            surface.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
            core::IconToBitmap(icon, 1, surface);
        }
        ExpectColor(PixelAt(*strip, 48 + 6, 6), c.left);
        ExpectColor(PixelAt(*strip, 48 + 40, 6), c.rightTop);
        ExpectColor(PixelAt(*strip, 48 + 40, 40), c.rightBottom);
        EXPECT_EQ(PixelAt(*strip, 40, 40) >> 24, 0u) << "cell 0 stays empty";
        ICONINFO info{};
        EXPECT_FALSE(GetIconInfo(icon, &info)) << "the icon is destroyed";
    }
}

TEST_F(ItemIconsTest, NoIconDrawsNothing) {
    auto strip = Strip();
    Gdiplus::Graphics surface(strip.get());
    core::IconToBitmap(nullptr, 0, surface);
    core::IconToBitmap(reinterpret_cast<HICON>(1), 0, surface);  // ExtractIcon's "no icons"
    folder.WriteFile(L"plain.txt", "no icons in here");
    HICON none = core::GetItemIcon(folder.PathOf(L"plain.txt"), 1);
    EXPECT_FALSE(none);
    core::IconToBitmap(none, 0, surface);
    surface.Flush(Gdiplus::FlushIntentionSync);
    EXPECT_EQ(PixelAt(*strip, 24, 24) >> 24, 0u);
}

TEST_F(ItemIconsTest, NumberedIconOfAFileIsFound) {
    HICON icon = core::GetItemIcon(L"%SYSTEM%shell32.dll", 23);
    ASSERT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(colour), &colour);
    EXPECT_EQ(colour.bmWidth, 48) << "the file's 48-pixel image, not the 32-pixel default";
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}

TEST(IconHasAlpha, AnyNonZeroAlphaByteCounts) {
    const struct {
        std::vector<std::uint32_t> pixels;
        int width, height;
        bool expected;
    } cases[] = {
        {{0, 0, 0, 0}, 2, 2, false},
        {{0x00FFFFFF, 0x00123456, 0, 0}, 2, 2, false},  // colour without alpha
        {{0, 0, 0, 0x01000000}, 2, 2, true},            // the last pixel is looked at
        {{0xFF000000}, 1, 1, true},
        {{0x80000000}, 0, 1, false},  // no pixels
    };
    for (const auto& c : cases) EXPECT_EQ(core::IconHasAlpha(c.pixels.data(), c.width, c.height), c.expected);
    EXPECT_FALSE(core::IconHasAlpha(nullptr, 4, 4));
}

TEST_F(ItemIconsTest, SaveImagePngReplacesANamedFileAndPicksFreshNumbers) {
    Gdiplus::Bitmap image(96, 48, PixelFormat32bppARGB);
    image.SetPixel(50, 10, Gdiplus::Color(255, 10, 200, 30));
    folder.WriteFile(L"main.png", "not a picture");

    EXPECT_EQ(core::SaveImagePng(L"main", image), L"main");
    auto saved = ui::LoadImageFile(folder.PathOf(L"main.png"));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->GetWidth(), 96u);
    EXPECT_EQ(PixelAt(*saved, 50, 10), 0xFF0AC81Eu);
    EXPECT_FALSE(folder.Exists(L"main.png.tmp"));

    const std::wstring first = core::SaveImagePng(L"", image);
    const std::wstring second = core::SaveImagePng(L"", image);
    EXPECT_TRUE(core::IsValidCacheId(first)) << first.c_str();
    EXPECT_TRUE(core::IsValidCacheId(second)) << second.c_str();
    EXPECT_NE(first, second) << "a taken number is never reused";
    EXPECT_TRUE(ui::LoadImageFile(folder.PathOf(first + L".png")));
    EXPECT_TRUE(ui::LoadImageFile(folder.PathOf(second + L".png")));
}

TEST_F(ItemIconsTest, SaveImagePngClaimsNothingItDidNotWrite) {
    Gdiplus::Bitmap image(4, 4, PixelFormat32bppARGB);
    EXPECT_EQ(core::SaveImagePng(L"..\\outside", image), L"");
    EXPECT_FALSE(ui::FileExists(folder.Path() + L"..\\outside.png"));
    core::CacheDir = folder.Path() + L"no such folder\\";
    EXPECT_EQ(core::SaveImagePng(L"main", image), L"");
    EXPECT_EQ(core::SaveImagePng(L"", image), L"");
}

}  // namespace
