#include "render/icon_file.h"
#include "render/skin.h"
#include "render/skin_color.h"
#include "support/temp_folder.h"
#include "ui/handles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using testing_support::TempFolder;

core::SkinMetrics ReadFrom(const TempFolder& folder, const std::wstring& text, core::SkinMetrics metrics = {}) {
    folder.WriteUtf16(L"skin.ini", text);
    core::ReadSkinMetrics(ui::Ini(folder.PathOf(L"skin.ini")), metrics);
    return metrics;
}

TEST(SkinMetricsReading, KeysFollowTheirKindsAndEarlierKeys) {
    TempFolder folder;
    const std::wstring text = L"[Skin]\r\nIconSize=abc\r\nIconX=7\r\nRightMargin=5\r\nTextRightMargin=30\r\n"
                              L"ShadowTransparency=300\r\nShadowColor=#102030\r\nFlipBackground=2\r\n"
                              L"ShowCaption=1\r\nFontName=" +
                              std::wstring(300, L'x') + L"\r\n";
    core::SkinMetrics m = ReadFrom(folder, text);
    EXPECT_EQ(m.IconSize, 32) << "not a number: the default";
    EXPECT_EQ(m.VistaMenuLeftMargin, 7) << "IconX just read";
    EXPECT_EQ(m.VistaMenuRightMargin, 0 - 5) << "TextRightMargin before this read, minus RightMargin";
    EXPECT_EQ(m.TextRightMargin, 30);
    EXPECT_EQ(m.ShadowTransparency, 44);
    EXPECT_EQ(m.ShadowColor, 0x2C102030u);
    EXPECT_EQ(m.SelectedShadowColor, 0x2C000000u);
    EXPECT_EQ(m.StrokeColor, 0xFFCCCCCCu);
    EXPECT_FALSE(m.FlipBackground) << "only 1 is true";
    EXPECT_TRUE(m.ShowCaption);
    EXPECT_EQ(m.FontName, std::wstring(255, L'x'));

    m = ReadFrom(folder, text, m);
    EXPECT_EQ(m.VistaMenuRightMargin, 30 - 5);
}

TEST(SkinMetricsReading, RealsTakeOnlyWholeNumbersElseKeepThePreviousValue) {
    TempFolder folder;
    struct Case {
        const wchar_t* line;  // the StrokeSize line, or none
        float expected;       // after a previous value of 3
    };
    const Case cases[] = {
        {L"", 1.6f},  // missing: the default text
        {L"StrokeSize=2.5", 2.5f},
        {L"StrokeSize=-1e1", -10.0f},
        {L"StrokeSize=abc", 3.0f},
        {L"StrokeSize=2.5px", 3.0f},
        {L"StrokeSize=2,5", 3.0f},  // whatever the user's locale
        {L"StrokeSize=nan", 3.0f},
        {L"StrokeSize=1e99", 3.0f},  // no float holds it
    };
    for (const Case& c : cases) {
        core::SkinMetrics previous;
        previous.StrokeSize = 3.0f;
        const core::SkinMetrics m = ReadFrom(folder, L"[Skin]\r\n" + std::wstring(c.line) + L"\r\n", previous);
        EXPECT_FLOAT_EQ(m.StrokeSize, c.expected) << c.line;
    }
    EXPECT_FLOAT_EQ(ReadFrom(folder, L"[Skin]\r\nStrokeSize=x\r\n").StrokeSize, 0.0f) << "0 before any load";
    const core::SkinMetrics defaults = ReadFrom(folder, L"");
    EXPECT_FLOAT_EQ(defaults.ShadowSmooth, 1.6f);
    EXPECT_FLOAT_EQ(defaults.ShadowSize, 2.0f);
}

TEST(SkinMetricsReading, BadColourDigitStopsTheReadAfterWhatWasRead) {
    TempFolder folder;
    folder.WriteUtf16(L"skin.ini", L"[Skin]\r\nIconSize=20\r\nStrokeColor=#12G456\r\nFontColor=#123456\r\n");
    core::SkinMetrics m;
    EXPECT_THROW(core::ReadSkinMetrics(ui::Ini(folder.PathOf(L"skin.ini")), m), core::SkinError);
    EXPECT_EQ(m.IconSize, 20);
    EXPECT_EQ(m.FontColor, 0xFFFFFFFFu);
}

TEST(SkinMetricsReading, AnimationKeysWrapBytesAndDefaultToTheSkin) {
    TempFolder folder;
    folder.WriteUtf16(L"skin.ini", L"[Animation]\r\nframes=257\r\ndelay=-1\r\nx=3\r\n");
    core::SkinMetrics skin;
    skin.SkinWidth = 50;
    skin.ItemSize = 40;
    const core::AnimationMetrics a = core::ReadAnimationMetrics(ui::Ini(folder.PathOf(L"skin.ini")), skin);
    EXPECT_EQ(a.frames, 1);
    EXPECT_EQ(a.delay, 255);
    EXPECT_EQ(a.x, 3);
    EXPECT_EQ(a.y, 0);
    EXPECT_EQ(a.width, 50);
    EXPECT_EQ(a.height, 40);
}

// --- icon files

struct Entry {
    int width;
    int bitCount;
    std::string image;
};

void Put(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::string IconFile(const std::vector<Entry>& entries) {
    std::string out;
    Put(out, 0, 2);
    Put(out, 1, 2);
    Put(out, static_cast<std::uint32_t>(entries.size()), 2);
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
    for (const Entry& e : entries) {
        Put(out, static_cast<std::uint32_t>(e.width), 1);
        Put(out, static_cast<std::uint32_t>(e.width), 1);
        Put(out, 0, 2);
        Put(out, 1, 2);
        Put(out, static_cast<std::uint32_t>(e.bitCount), 2);
        Put(out, static_cast<std::uint32_t>(e.image.size()), 4);
        Put(out, offset, 4);
        offset += static_cast<std::uint32_t>(e.image.size());
    }
    for (const Entry& e : entries) out += e.image;
    return out;
}

TEST(IconFile, SelectsTheLastMatchingEntryAsAOneImageFile) {
    const std::string file = IconFile({{48, 24, "first"}, {48, 32, "wrong depth"}, {32, 24, "wrong size"},
                                       {48, 0x118, "last"}});  // only the low byte of the bit count counts
    const auto one = core::SelectIconEntry(file, 48, 24);
    ASSERT_TRUE(one);
    std::string expected;
    Put(expected, 0, 2);
    Put(expected, 1, 2);
    Put(expected, 1, 2);
    expected += file.substr(6 + 16 * 3, 12);
    Put(expected, 22, 4);
    expected += "last";
    EXPECT_EQ(*one, expected);
    EXPECT_FALSE(core::SelectIconEntry(file, 16, 8));
}

TEST(IconFile, DamagedDirectoriesSelectNothingOutsideTheBytes) {
    const std::string good = IconFile({{48, 24, "image"}});
    std::string pastEnd = good;
    pastEnd[6 + 12] = 100;  // the offset points beyond the file
    std::string tooLong = good;
    tooLong[6 + 8] = static_cast<char>(0xFF);  // the size runs past the end
    tooLong[6 + 11] = static_cast<char>(0xFF);
    std::string moreEntries = good;
    moreEntries[4] = 9;  // nine entries announced, one there
    const std::string cases[] = {"", good.substr(0, 5), good.substr(0, 12), pastEnd, tooLong};
    for (const std::string& bytes : cases) EXPECT_FALSE(core::SelectIconEntry(bytes, 48, 24)) << bytes.size();
    EXPECT_TRUE(core::SelectIconEntry(moreEntries, 48, 24));
}

// A 48 x 48 icon of one opaque colour, made from a 32-bit DIB.
HICON SolidIcon(std::uint32_t bgra) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 48;
    info.bmiHeader.biHeight = 48;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    ui::UniqueBitmap color(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!color) return nullptr;
    std::fill_n(static_cast<std::uint32_t*>(bits), 48 * 48, bgra);
    std::vector<unsigned char> maskBits(48 * 48 / 8, 0);  // all drawn
    ui::UniqueBitmap mask(CreateBitmap(48, 48, 1, 1, maskBits.data()));
    ICONINFO icon{TRUE, 0, 0, mask.Get(), color.Get()};
    return CreateIconIndirect(&icon);
}

std::uint32_t DrawnPixel(HICON icon, int x, int y) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 48;
    info.bmiHeader.biHeight = -48;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    ui::UniqueBitmap target(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ui::UniqueDc dc(CreateCompatibleDC(nullptr));
    ui::Selection selected(dc.Get(), target.Get());
    DrawIconEx(dc.Get(), 0, 0, icon, 48, 48, 0, nullptr, DI_NORMAL);
    GdiFlush();
    return static_cast<std::uint32_t*>(bits)[y * 48 + x] & 0x00FFFFFF;
}

TEST(IconFile, OwnWriterRoundTripsAnIconThroughTheSelector) {
    HICON icon = SolidIcon(0xFF3366CC);
    ASSERT_TRUE(icon);
    ui::UniqueIcon keep(icon);

    HICON unchanged = icon;
    core::SelectIconImage(48, 24, unchanged);
    EXPECT_EQ(unchanged, icon) << "our writer writes 32 bits: no 24-bit match";

    HICON picked = icon;
    (void)keep.Release();  // SelectIconImage replaces and destroys it on a match
    core::SelectIconImage(48, 32, picked);
    ASSERT_TRUE(picked);
    keep.Reset(picked);
    EXPECT_NE(picked, icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(picked, &info));
    ui::UniqueBitmap color(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    ASSERT_TRUE(GetObjectW(color.Get(), sizeof bm, &bm));
    EXPECT_EQ(bm.bmWidth, 48);
    EXPECT_EQ(DrawnPixel(picked, 10, 10), 0x3366CCu);
}

}  // namespace
