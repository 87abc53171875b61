// The skin and settings that ship in the program folder: the parts must fit the
// band layout the compositor slices them by, and every row must be hittable.
#include "core/settings.h"
#include "support/program_folder.h"
#include "ui/files.h"
#include "ui/images.h"
#include "ui/ini.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Straight-alpha ARGB pixels of a part, as GDI+ decodes it.
struct Part {
    int width = 0;
    int height = 0;
    std::vector<Gdiplus::ARGB> pixels;
    Gdiplus::ARGB At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    int Alpha(int x, int y) const { return static_cast<int>(At(x, y) >> 24); }
    explicit operator bool() const { return width > 0; }
};

Part LoadPart(const std::wstring& path) {
    Part part;
    auto image = ui::LoadImageFile(path);
    if (!image) return part;
    part.width = static_cast<int>(image->GetWidth());
    part.height = static_cast<int>(image->GetHeight());
    part.pixels.resize(static_cast<size_t>(part.width) * part.height);
    Gdiplus::Rect all(0, 0, part.width, part.height);
    Gdiplus::BitmapData data{};
    data.Width = part.width;
    data.Height = part.height;
    data.Stride = part.width * 4;
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = part.pixels.data();
    if (image->LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                        PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return Part{};
    image->UnlockBits(&data);
    return part;
}

int Grey(Gdiplus::ARGB c) {
    return static_cast<int>(std::nearbyint(0.3 * ((c >> 16) & 0xFF) + 0.59 * ((c >> 8) & 0xFF) + 0.11 * (c & 0xFF)));
}

class DefaultSkin : public ::testing::Test {
protected:
    void SetUp() override {
        ui::Ini config(dist + L"config.ini");
        core::ReadAppearance(config, settings, false, false);
        core::ReadRemaining(config, settings, dist);
        skinDir = dist + L"Themes\\" + settings.LastSkin + L"\\";
        ASSERT_FALSE(settings.LastSkin.empty());
        ASSERT_TRUE(ui::FileExists(skinDir + L"skin.ini")) << "no skin named " << settings.LastSkin;
        ui::Ini ini(skinDir + L"skin.ini");
        auto skin = [&](const wchar_t* key) { return ini.ReadInteger(L"Skin", key, -1); };
        auto animation = [&](const wchar_t* key) { return ini.ReadInteger(L"Animation", key, -1); };
        ShowCaption = skin(L"ShowCaption");
        HeaderSize = skin(L"HeaderSize");
        ItemSize = skin(L"ItemSize");
        Separatorsize = skin(L"Separatorsize");
        LeftMargin = skin(L"LeftMargin");
        RightMargin = skin(L"RightMargin");
        CaptionX = skin(L"CaptionX");
        EditBoxX = skin(L"EditBoxX");
        EditBoxY = skin(L"EditBoxY");
        EditBoxWidth = skin(L"EditBoxWidth");
        EditBoxHeight = skin(L"EditBoxHeight");
        TabY = skin(L"TabY");
        frames = animation(L"frames");
        frameHeight = animation(L"height");
        frameWidth = animation(L"width");
        back = LoadPart(skinDir + L"back.png");
        box = LoadPart(skinDir + L"box.png");
        anim = LoadPart(skinDir + L"animation.png");
        tab = LoadPart(skinDir + L"tab.png");
        verticalTab = LoadPart(skinDir + L"vertical_tab.png");
        ASSERT_TRUE(back && box && anim && tab && verticalTab);
        SkinWidth = back.width;
        BottomMargin = back.height - 4 * ItemSize - HeaderSize - Separatorsize;
    }

    // The bands of back.png, box.png and animation.png that a row is drawn from.
    struct Band {
        const char* name;
        const Part* part;
        int top;
        int height;
    };
    std::vector<Band> RowBands() const {
        std::vector<Band> bands = {
            {"row", &back, HeaderSize, ItemSize},
            {"hovered row", &back, HeaderSize + ItemSize, ItemSize},
            {"sub-menu row", &back, HeaderSize + 2 * ItemSize, ItemSize},
            {"hovered sub-menu row", &back, HeaderSize + 3 * ItemSize, ItemSize},
            {"separator", &back, HeaderSize + 4 * ItemSize, Separatorsize},
            {"quick-run row", &box, 0, ItemSize},
            {"open quick-run row", &box, ItemSize, ItemSize},
        };
        for (int k = 0; k < anim.height / std::max(frameHeight, 1); ++k)
            bands.push_back({"animation frame", &anim, k * frameHeight, frameHeight});
        return bands;
    }
    std::vector<Band> EndBands() const {
        return {{"header", &back, 0, HeaderSize},
                {"bottom", &back, HeaderSize + 4 * ItemSize + Separatorsize, BottomMargin}};
    }

    const std::wstring dist = testing_support::DistDir();
    core::Settings settings;
    std::wstring skinDir;
    Part back, box, anim, tab, verticalTab;
    int ShowCaption = 0, HeaderSize = 0, ItemSize = 0, Separatorsize = 0, LeftMargin = 0, RightMargin = 0;
    int CaptionX = 0, EditBoxX = 0, EditBoxY = 0, EditBoxWidth = 0, EditBoxHeight = 0, TabY = 0;
    int frames = 0, frameHeight = 0, frameWidth = 0, SkinWidth = 0, BottomMargin = 0;
};

TEST_F(DefaultSkin, ShippedSettingsUseItsTabAndAnimationAndKeepUnicode) {
    EXPECT_EQ(settings.DisableTab, 1);
    EXPECT_EQ(settings.DisableAnimation, 1);
    // The program writes into this file; only a UTF-16 file keeps text outside the
    // ANSI code page.
    EXPECT_EQ(ui::ReadFileBytes(dist + L"config.ini").value_or("").substr(0, 2), "\xFF\xFE");
}

TEST_F(DefaultSkin, PartsHaveTheSizesOfTheirBands) {
    EXPECT_EQ(ShowCaption, 1);
    EXPECT_GT(BottomMargin, 0) << "back.png has no bottom band";
    EXPECT_EQ(box.width, SkinWidth);
    EXPECT_EQ(box.height, 6 * ItemSize);
    // Each frame replaces a whole row; the lower half holds the sub-menu rows' frames.
    EXPECT_EQ(anim.width, SkinWidth);
    EXPECT_EQ(frameWidth, SkinWidth);
    EXPECT_EQ(frameHeight, ItemSize);
    EXPECT_EQ(anim.height, 2 * frames * frameHeight);
    EXPECT_GE(frames, 2) << "the glow and zoom steps divide by frames - 1";
    for (const auto& [mask, part] : {std::pair{L"mask.png", &back}, std::pair{L"animationmask.png", &anim}}) {
        const Part m = LoadPart(skinDir + mask);
        EXPECT_TRUE(m.width == part->width && m.height == part->height) << mask;
    }
    // Halves are taken at round(height / 2).
    EXPECT_EQ(tab.height % 2, 0);
    EXPECT_EQ(verticalTab.height % 2, 0);
    const int oneRowMenu = HeaderSize + ItemSize + BottomMargin;
    EXPECT_LE(TabY + tab.height / 2, oneRowMenu) << "the tab is cut off beside a short menu";
    EXPECT_LE(verticalTab.height / 2, oneRowMenu);
    // The narrowest captioned window is CaptionX + RightMargin plus a caption wide.
    EXPECT_LE(LeftMargin, CaptionX) << "a short caption would leave a negative middle slice";
    EXPECT_LE(EditBoxX + EditBoxWidth, SkinWidth) << "the quick-run box would paint its overflow mark";
}

TEST_F(DefaultSkin, EveryRowPixelCanBeHitAndOnlyCornersAreClear) {
    for (const Band& band : RowBands()) {
        int clear = 0;
        for (int y = band.top; y < band.top + band.height; ++y)
            for (int x = 0; x < band.part->width; ++x) clear += band.part->Alpha(x, y) == 0;
        EXPECT_EQ(clear, 0) << band.name << " at " << band.top;
    }
    // Header, bottom and tabs: clear pixels only at the two ends of a line, so the
    // shape has no holes, and the middle slice always covered.
    auto checkShape = [&](const char* name, const Part& part, int top, int height, int fixedColumn) {
        for (int y = top; y < top + height; ++y) {
            int left = 0, right = part.width - 1;
            while (left < part.width && part.Alpha(left, y) == 0) ++left;
            while (right >= 0 && part.Alpha(right, y) == 0) --right;
            int holes = 0;
            for (int x = left; x <= right; ++x) holes += part.Alpha(x, y) == 0;
            EXPECT_EQ(holes, 0) << name << " line " << y;
            if (fixedColumn >= 0) {
                EXPECT_GT(part.Alpha(fixedColumn, y), 0) << name << " line " << y;
            }
        }
    };
    for (const Band& band : EndBands()) checkShape(band.name, *band.part, band.top, band.height, SkinWidth / 2);
    // The side at the screen edge is where the pointer arrives.
    const int tabHalf = tab.height / 2, verticalHalf = verticalTab.height / 2;
    checkShape("tab for the left edge", tab, 0, tabHalf, 0);
    checkShape("tab for the right edge", tab, tabHalf, tabHalf, tab.width - 1);
    checkShape("tab for the top edge", verticalTab, 0, verticalHalf, verticalTab.width / 2);
    for (int x = 0; x < verticalTab.width; ++x) EXPECT_GT(verticalTab.Alpha(x, 0), 0) << "top edge, column " << x;
}

TEST_F(DefaultSkin, MiddleSlicesStretchWithoutDistortion) {
    auto bands = RowBands();
    for (const Band& band : EndBands()) bands.push_back(band);
    for (const Band& band : bands) {
        int uneven = 0;
        for (int y = band.top; y < band.top + band.height; ++y)
            for (int x = LeftMargin + 1; x < SkinWidth - RightMargin; ++x)
                uneven += band.part->At(x, y) != band.part->At(LeftMargin, y);
        EXPECT_EQ(uneven, 0) << band.name << " at " << band.top;
    }
    // The sub-menu marker therefore sits in the right slice; it must be there.
    auto rightSliceDiffers = [&](const Part& part, int topA, int topB) {
        for (int y = 0; y < ItemSize; ++y)
            for (int x = SkinWidth - RightMargin; x < SkinWidth; ++x)
                if (part.At(x, topA + y) != part.At(x, topB + y)) return true;
        return false;
    };
    EXPECT_TRUE(rightSliceDiffers(back, HeaderSize, HeaderSize + 2 * ItemSize));
    EXPECT_TRUE(rightSliceDiffers(back, HeaderSize + ItemSize, HeaderSize + 3 * ItemSize));
    EXPECT_TRUE(rightSliceDiffers(anim, 0, frames * ItemSize));
}

TEST_F(DefaultSkin, HoverAnimationEndsOnTheStaticHover) {
    auto sameBand = [&](int animTop, int backTop) {
        int differ = 0;
        for (int y = 0; y < ItemSize; ++y)
            for (int x = 0; x < SkinWidth; ++x) differ += anim.At(x, animTop + y) != back.At(x, backTop + y);
        return differ;
    };
    EXPECT_EQ(sameBand((frames - 1) * ItemSize, HeaderSize + ItemSize), 0);
    EXPECT_EQ(sameBand((2 * frames - 1) * ItemSize, HeaderSize + 3 * ItemSize), 0);
}

TEST_F(DefaultSkin, OpenQuickRunFieldIsLightUnderTheEditBox) {
    // The edit control writes dark text on this part of box band 1, laid on white.
    int darkest = 255;
    for (int y = ItemSize + EditBoxY; y < ItemSize + EditBoxY + EditBoxHeight; ++y)
        for (int x = EditBoxX; x < EditBoxX + EditBoxWidth; ++x) {
            const Gdiplus::ARGB c = box.At(x, y);
            const int a = static_cast<int>(c >> 24);
            auto onWhite = [&](int shift) { return (((c >> shift) & 0xFF) * a + 255 * (255 - a)) / 255; };
            darkest = std::min(darkest, Grey(Gdiplus::Color::MakeARGB(255, static_cast<BYTE>(onWhite(16)),
                                                                   static_cast<BYTE>(onWhite(8)),
                                                                   static_cast<BYTE>(onWhite(0)))));
        }
    EXPECT_GE(darkest, 200);
}

TEST_F(DefaultSkin, ColourizeMaskKeepsTheDarkeningInRange) {
    // Colourizing darkens by 255 - M, M the lightest masked pixel of back.png; the
    // darkening is defined up to 100 only.
    const Part mask = LoadPart(skinDir + L"mask.png");
    ASSERT_TRUE(mask);
    int lightest = -1;
    for (int y = 0; y < back.height; ++y)
        for (int x = 0; x < back.width; ++x)
            if (mask.Alpha(x, y) > 0) lightest = std::max(lightest, Grey(back.At(x, y)));
    EXPECT_GE(lightest, 155);
}

}  // namespace
