// The click effects and the puff on the real windows: what each layered update
// showed, where the windows stood, who owns them, and what is left afterwards.
#include "core/menu_input_fixture.h"

#include "core/forms.h"
#include "popups/click_effects.h"
#include "popups/form2.h"
#include "popups/zv_hint.h"
#include "support/gdi_counts.h"
#include "support/pixels.h"
#include "support/png_file.h"
#include "ui/strings.h"

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using popups::ClickEffectKind;
using popups::EffectFrameRecord;
using testing_support::PixelNear;

using CellPixel = std::function<Gdiplus::ARGB(int cell, int x, int y)>;

// An icon strip of `cells` 48 x 48 cells, as the level strips are.
std::unique_ptr<Gdiplus::Bitmap> MakeStrip(int cells, const CellPixel& pixel) {
    auto strip = std::make_unique<Gdiplus::Bitmap>(popups::kCellSize * cells, popups::kCellSize,
                                                   PixelFormat32bppARGB);
    for (int x = 0; x < popups::kCellSize * cells; ++x)
        for (int y = 0; y < popups::kCellSize; ++y)
            strip->SetPixel(x, y, Gdiplus::Color(pixel(x / popups::kCellSize, x % popups::kCellSize, y)));
    return strip;
}

std::unique_ptr<Gdiplus::Bitmap> SolidStrip(Gdiplus::ARGB color) {
    return MakeStrip(3, [color](int, int, int) { return color; });
}

// Premultiplied BGRA of an opaque colour, as the surface holds it.
constexpr std::uint32_t Opaque(std::uint32_t rgb) { return 0xFF000000u | rgb; }
int AlphaOf(std::uint32_t pixel) { return static_cast<int>(pixel >> 24); }

class ClickEffectWindowTest : public MenuInputTest {
protected:
    void SetUp() override {
        MenuInputTest::SetUp();
        // Frames follow each other at once; the schedule has its own tests.
        popups::SetClickEffectClockForTests({[] { return 0.0; }, [](int) {}});
        popups::SetEffectRecorderForTests([this](const EffectFrameRecord& record) {
            records.push_back(record);
            if (onRecord) onRecord(record);
        });
    }
    void TearDown() override {
        popups::SetEffectRecorderForTests(nullptr);
        popups::SetClickEffectClockForTests({});
        MenuInputTest::TearDown();
    }
    void StartMenu() {
        StartWith({{0, "First", "C:\\first.exe"},
                   {0, "Second", "C:\\second.exe"},
                   {2, "Group", "", "", "", {{0, "Inner one", "C:\\a.exe"}, {0, "Inner two", "C:\\b.exe"}}}});
    }
    popups::TZVHint& Hint() { return *core::ZVHint; }

    using Effect = std::unique_ptr<ui::Form> (popups::TZVHint::*)(int, int, int, Gdiplus::Bitmap*);
    static Effect EffectOf(ClickEffectKind kind) {
        switch (kind) {
        case ClickEffectKind::Glow: return &popups::TZVHint::GlowEffect;
        case ClickEffectKind::Zoom: return &popups::TZVHint::ZoomEffect;
        case ClickEffectKind::Roll: return &popups::TZVHint::RollEffect;
        case ClickEffectKind::Bounce: return &popups::TZVHint::BounceEffect;
        case ClickEffectKind::Ripple: return &popups::TZVHint::RippleEffect;
        }
        return nullptr;
    }
    std::unique_ptr<ui::Form> Play(ClickEffectKind kind, Gdiplus::Bitmap* strip, int cell = 0, int x = 100,
                                   int y = 200) {
        records.clear();
        return (Hint().*EffectOf(kind))(x, y, cell, strip);
    }
    // The plan the real window should follow, for the current settings and screen.
    std::optional<popups::ClickEffectPlan> PlanFor(ClickEffectKind kind, int x = 100, int y = 200) {
        popups::ClickEffectInput input;
        input.iconSize = Main().Skin.IconSize;
        input.zoom = Main().Settings.Zoom;
        input.onMouse = Main().Settings.OnMouse;
        input.screenExtent = std::max(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        return popups::PlanClickEffect(kind, x, y, 0, input);
    }
    void WritePoof(int width, int height, const std::function<Gdiplus::ARGB(int, int)>& pixel) {
        folder.WriteFile(L"poof.png", testing_support::PngBytes(width, height, pixel));
    }

    std::vector<EffectFrameRecord> records;
    std::function<void(const EffectFrameRecord&)> onRecord;
};

const ClickEffectKind kKinds[] = {ClickEffectKind::Glow, ClickEffectKind::Zoom, ClickEffectKind::Roll,
                                  ClickEffectKind::Bounce, ClickEffectKind::Ripple};

TEST_F(ClickEffectWindowTest, GlowBrightensEachChannelByItsAlpha) {
    StartMenu();
    Main().Settings.Zoom = 10;
    auto strip = SolidStrip(0xFF646464);  // grey 100
    auto window = Play(ClickEffectKind::Glow, strip.get());
    ASSERT_TRUE(window);
    ASSERT_EQ(records.size(), 10u);
    EXPECT_TRUE(PixelNear(records[0].Pixel(16, 16), Opaque(0x646464)));  // g = 0
    EXPECT_TRUE(PixelNear(records[4].Pixel(16, 16), Opaque(0xB0B0B0)));  // 100 + 0.3 x 255
    EXPECT_TRUE(PixelNear(records[4].Pixel(0, 0), Opaque(0xB0B0B0)));
    EXPECT_TRUE(PixelNear(records[9].Pixel(31, 31), Opaque(0x646464)));
    EXPECT_TRUE(IsWindow(window->Handle())) << "the caller frees the window";

    // Half-transparent grey 100: the gain follows the pixel's own alpha, 100 + 0.3 x 128
    // (138, premultiplied 69), not a fixed 0.3 x 255 (176, premultiplied 88).
    records.clear();
    auto half = SolidStrip(0x80646464);
    auto again = Play(ClickEffectKind::Glow, half.get());
    ASSERT_EQ(records.size(), 10u);
    const std::uint32_t glowing = records[4].Pixel(16, 16);
    EXPECT_NEAR(static_cast<int>(glowing >> 24), 128, 1);
    EXPECT_NEAR(static_cast<int>((glowing >> 16) & 0xFF), 69, 2);
}

TEST_F(ClickEffectWindowTest, EffectWindowsAreClickThroughToolWindowsOwnedByTheHint) {
    StartMenu();
    Main().Settings.Zoom = 10;
    auto strip = SolidStrip(0xFF646464);
    for (ClickEffectKind kind : kKinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        bool checked = false;
        onRecord = [&](const EffectFrameRecord& record) {
            if (checked) return;
            checked = true;
            const LONG_PTR ex = GetWindowLongPtrW(record.window, GWL_EXSTYLE);
            for (LONG_PTR bit : std::initializer_list<LONG_PTR>{WS_EX_LAYERED, WS_EX_TOOLWINDOW, WS_EX_TOPMOST,
                                                                WS_EX_TRANSPARENT, WS_EX_NOACTIVATE})
                EXPECT_TRUE(ex & bit) << std::hex << bit;
            EXPECT_EQ(GetWindow(record.window, GW_OWNER), Hint().Handle());
            EXPECT_TRUE(IsWindowVisible(record.window));
            EXPECT_NE(GetForegroundWindow(), record.window);
        };
        auto window = Play(kind, strip.get());
        ASSERT_TRUE(window);
        EXPECT_TRUE(checked);
        const HWND handle = window->Handle();
        window.reset();
        EXPECT_FALSE(IsWindow(handle));
    }
}

TEST_F(ClickEffectWindowTest, ZoomFramesAreOpaqueInsideTheirSquareAndClearOutside) {
    StartMenu();
    Main().Skin.IconSize = 33;  // c = 33: the largest square passes the window and is clipped
    Main().Settings.Zoom = 10;
    auto strip = SolidStrip(0xFF3080C0);
    const auto plan = PlanFor(ClickEffectKind::Zoom);
    ASSERT_TRUE(plan);
    auto window = Play(ClickEffectKind::Zoom, strip.get());
    ASSERT_TRUE(window);
    ASSERT_EQ(records.size(), plan->frames.size());
    for (size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        const EffectFrameRecord& r = records[i];
        ASSERT_EQ(r.width, 66);
        const int p = static_cast<int>(plan->frames[i].target.X);
        const int s = static_cast<int>(plan->frames[i].target.Width);
        int wrong = 0;
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x) {
                const bool inside = x >= p + 1 && x < p + s - 1 && y >= p + 1 && y < p + s - 1;
                const bool outside = x < p - 1 || x >= p + s + 1 || y < p - 1 || y >= p + s + 1;
                if (inside) wrong += !PixelNear(r.Pixel(x, y), Opaque(0x3080C0));
                if (outside) wrong += r.Pixel(x, y) != 0;
            }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(ClickEffectWindowTest, RollAtNinetyDegreesTurnsTheQuadrantsClockwise) {
    StartMenu();
    Main().Settings.Zoom = 10;
    // Red top left, green top right, blue bottom right, yellow bottom left.
    auto strip = MakeStrip(1, [](int, int x, int y) -> Gdiplus::ARGB {
        if (y < 24) return x < 24 ? 0xFFFF0000 : 0xFF00FF00;
        return x < 24 ? 0xFFFFFF00 : 0xFF0000FF;
    });
    auto window = Play(ClickEffectKind::Roll, strip.get());
    ASSERT_TRUE(window);
    ASSERT_EQ(records.size(), 24u);
    // The icon fills (16, 16)-(48, 48) of the 64 px window; sample each quadrant's middle.
    const EffectFrameRecord& turned = records[5];
    EXPECT_TRUE(PixelNear(turned.Pixel(40, 24), Opaque(0xFF0000)));  // top right: the red
    EXPECT_TRUE(PixelNear(turned.Pixel(40, 40), Opaque(0x00FF00)));
    EXPECT_TRUE(PixelNear(turned.Pixel(24, 40), Opaque(0x0000FF)));
    EXPECT_TRUE(PixelNear(turned.Pixel(24, 24), Opaque(0xFFFF00)));
    const EffectFrameRecord& whole = records.back();  // a full turn: as drawn
    EXPECT_TRUE(PixelNear(whole.Pixel(24, 24), Opaque(0xFF0000)));
    EXPECT_TRUE(PixelNear(whole.Pixel(40, 24), Opaque(0x00FF00)));
    EXPECT_EQ(whole.Pixel(4, 4), 0u);
}

TEST_F(ClickEffectWindowTest, RippleRingsAreWhiteAndTheLastFrameIsTheIconAlone) {
    StartMenu();
    Main().Settings.Zoom = 10;
    auto strip = SolidStrip(0xFF202020);
    auto window = Play(ClickEffectKind::Ripple, strip.get());
    ASSERT_TRUE(window);
    ASSERT_EQ(records.size(), 10u);
    // n = 9: the opaque ring is inset by 9 x 26 / 18 = 13, its top at (16, 13).
    EXPECT_TRUE(PixelNear(records[0].Pixel(16, 13), Opaque(0xFFFFFF), 3));
    EXPECT_TRUE(PixelNear(records[0].Pixel(16, 4), Opaque(0x202020))) << "outside the rings";
    // n = 1: the rings near the edge; the opaque one inset by 1.44.
    EXPECT_TRUE(PixelNear(records[8].Pixel(16, 1), Opaque(0xFFFFFF), 40));
    int notIcon = 0;
    for (std::uint32_t pixel : records.back().pixels) notIcon += !PixelNear(pixel, Opaque(0x202020));
    EXPECT_EQ(notIcon, 0);
}

TEST_F(ClickEffectWindowTest, BounceWindowFollowsThePlanAndComesBack) {
    StartMenu();
    Main().Settings.Zoom = 10;
    auto strip = SolidStrip(0xFF646464);
    for (int onMouse : {0, 1}) {
        SCOPED_TRACE("OnMouse " + std::to_string(onMouse));
        Main().Settings.OnMouse = static_cast<std::uint8_t>(onMouse);
        const auto plan = PlanFor(ClickEffectKind::Bounce);
        ASSERT_TRUE(plan);
        auto window = Play(ClickEffectKind::Bounce, strip.get());
        ASSERT_TRUE(window);
        ASSERT_EQ(records.size(), plan->frames.size());
        for (size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(records[i].rect.left, plan->frames[i].window.x) << i;
            EXPECT_EQ(records[i].rect.top, plan->frames[i].window.y) << i;
            EXPECT_EQ(records[i].rect.right - records[i].rect.left, plan->Width());
            EXPECT_TRUE(PixelNear(records[i].Pixel(plan->Width() - 1, plan->Height() - 1), Opaque(0x646464)));
        }
        RECT last{};
        GetWindowRect(window->Handle(), &last);
        EXPECT_EQ(last.top, plan->window.top);
    }
}

TEST_F(ClickEffectWindowTest, NothingPlaysWithoutAStripACellOrASaneZoom) {
    StartMenu();
    auto strip = SolidStrip(0xFF646464);  // cells 0 .. 2
    const testing_support::ResourceCounts before = testing_support::CurrentResourceCounts();
    struct {
        const char* name;
        int zoom;
        Gdiplus::Bitmap* strip;
        int cell;
    } cases[] = {
        {"no strip", 10, nullptr, 0},      {"cell past the strip", 10, strip.get(), 3},
        {"negative cell", 10, strip.get(), -1}, {"Zoom 0", 0, strip.get(), 0},
        {"Zoom -5", -5, strip.get(), 0},   {"Zoom 1000", 1000, strip.get(), 0},
    };
    for (const auto& c : cases) {
        Main().Settings.Zoom = c.zoom;
        for (ClickEffectKind kind : kKinds) EXPECT_FALSE(Play(kind, c.strip, c.cell)) << c.name;
        EXPECT_TRUE(records.empty()) << c.name;
    }
    EXPECT_EQ(testing_support::CurrentResourceCounts(), before);
}

TEST_F(ClickEffectWindowTest, HintWindowGoingMidEffectEndsItAtOnce) {
    StartMenu();
    Main().Settings.Zoom = 10;
    auto strip = SolidStrip(0xFF646464);
    testing_support::WarmUpResourceCounts();
    Play(ClickEffectKind::Glow, strip.get());  // the first run makes what stays
    const testing_support::ResourceCounts before = testing_support::CurrentResourceCounts();
    onRecord = [&](const EffectFrameRecord&) {
        if (records.size() == 3) DestroyWindow(Hint().Handle());
    };
    auto window = Play(ClickEffectKind::Glow, strip.get());
    EXPECT_FALSE(window);
    EXPECT_EQ(records.size(), 3u) << "no update after the owner went";
    EXPECT_FALSE(IsWindow(records.back().window));
    EXPECT_EQ(testing_support::GdiObjectCount(), before.gdiObjects);
    EXPECT_EQ(testing_support::ThreadWindowCount(), before.threadWindows - 1) << "only the hint window went";
    records.clear();
    EXPECT_FALSE(Play(ClickEffectKind::Ripple, strip.get())) << "no hint window, no effect";
    EXPECT_TRUE(records.empty());
}

TEST_F(ClickEffectWindowTest, PuffShowsTheFramesOfPoofPngInOrderCentredOnThePoint) {
    StartMenu();
    const Gdiplus::ARGB colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF};
    WritePoof(16, 80, [&](int, int y) { return colours[y / 16]; });
    std::vector<HWND> owners;
    onRecord = [&](const EffectFrameRecord& record) { owners.push_back(GetWindow(record.window, GW_OWNER)); };
    Hint().PlayPoof(500, 300);
    EXPECT_EQ(owners, std::vector<HWND>(5, Hint().Handle()));
    ASSERT_EQ(records.size(), 5u);
    for (size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(records[i].rect.left, 492);
        EXPECT_EQ(records[i].rect.top, 292);
        EXPECT_EQ(records[i].rect.right, 508);
        EXPECT_EQ(records[i].rect.bottom, 308);
        EXPECT_TRUE(PixelNear(records[i].Pixel(0, 0), colours[i]));
        EXPECT_TRUE(PixelNear(records[i].Pixel(15, 15), colours[i]));
    }
    EXPECT_FALSE(IsWindow(records[0].window)) << "the puff frees its own window";

    // Three frames only: the last two are empty.
    WritePoof(16, 48, [&](int, int y) { return colours[y / 16]; });
    records.clear();
    Hint().PlayPoof(500, 300);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_TRUE(PixelNear(records[2].Pixel(8, 8), colours[2]));
    for (size_t i : {3u, 4u}) {
        int ink = 0;
        for (std::uint32_t pixel : records[i].pixels) ink += AlphaOf(pixel) != 0;
        EXPECT_EQ(ink, 0) << i;
    }
}

// The header of a 16 px wide PNG made 2,000,000 px tall: narrower than any screen,
// but past the pixel limit.
std::string Tall(std::string png) {
    png[20] = 0, png[21] = 0x1E, png[22] = static_cast<char>(0x84), png[23] = static_cast<char>(0x80);
    png[16] = 0, png[17] = 0, png[18] = 0, png[19] = 16;
    return png;
}

TEST_F(ClickEffectWindowTest, BadPoofPngPlaysNothing) {
    StartMenu();
    // A PNG header claiming a picture of 100000 x 100000 pixels, and no picture.
    std::string huge = testing_support::PngBytes(16, 16, [](int, int) { return 0xFF808080; });
    huge[16] = 0, huge[17] = 1, huge[18] = static_cast<char>(0x86), huge[19] = static_cast<char>(0xA0);
    huge[20] = 0, huge[21] = 1, huge[22] = static_cast<char>(0x86), huge[23] = static_cast<char>(0xA0);
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {{"not an image", "this is no picture"},
                 {"a bitmap under the name, 30000 x 30000",
                  std::string("BM\x36\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x30\x75\0\0\x30\x75\0\0\x01\0\x20\0", 30)},
                 {"16 x 2000000 pixels", Tall(huge)},
                 {"empty", ""},
                 {"a huge size in the header", huge},
                 {"wider than the screen", testing_support::SolidPng(2000, 10, 0xFF808080)}};
    for (const auto& c : cases) {
        folder.WriteFile(L"poof.png", c.bytes);
        records.clear();
        Hint().PlayPoof(500, 300);
        EXPECT_TRUE(records.empty()) << c.name;
        EXPECT_TRUE(boxes.empty()) << c.name;
    }
}

TEST_F(ClickEffectWindowTest, RepeatedEffectsAndPuffsLeaveNoObjectsOrWindows) {
    StartMenu();
    Main().Settings.Zoom = 10;
    WritePoof(16, 80, [](int, int y) { return 0xFF000000u | (static_cast<Gdiplus::ARGB>(y) * 3); });
    auto strip = SolidStrip(0xFF646464);
    testing_support::WarmUpResourceCounts();
    auto runAll = [&] {
        for (ClickEffectKind kind : kKinds) Play(kind, strip.get());
        records.clear();
        Hint().PlayPoof(500, 300);
    };
    runAll();
    const testing_support::ResourceCounts before = testing_support::CurrentResourceCounts();
    for (int i = 0; i < 20; ++i) runAll();
    EXPECT_EQ(records.size(), 5u) << "the puff of the last run";
    EXPECT_EQ(testing_support::CurrentResourceCounts(), before);
}

TEST_F(ClickEffectWindowTest, ClickGlowCoversTheIconOfPlainAndFlippedSkins) {
    StartMenu();
    Main().Settings.OnClick = 1;
    Main().Settings.Zoom = 10;
    core::SkinMetrics& skin = Main().Skin;
    skin.IconX = 5;
    skin.IconY = 3;
    const int iconSize = skin.IconSize;
    const int rowTop = skin.HeaderSize + skin.ItemSize;  // row 1 below a full row 0
    auto glowRect = [&]() -> std::optional<RECT> {
        records.clear();
        Main().PlayClickEffect(Main(), Main().LevelImages[1].get(), 1);
        if (records.empty()) return std::nullopt;
        EXPECT_EQ(records.size(), 10u);
        EXPECT_FALSE(IsWindow(records[0].window)) << "PlayClickEffect frees the window";
        return records[0].rect;
    };
    auto plain = glowRect();
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->left, Main().Left() + 5);
    EXPECT_EQ(plain->top, Main().Top() + rowTop + 3);
    EXPECT_EQ(plain->right - plain->left, iconSize);
    EXPECT_EQ(plain->bottom - plain->top, iconSize);

    skin.FlipBackground = true;
    skin.FlipIconsAndText = 1;
    skin.GroupFlipSpace = 4;
    auto flipped = glowRect();
    ASSERT_TRUE(flipped);
    EXPECT_EQ(flipped->left, Main().Left() + skin.SkinWidth - 5 - iconSize + 4);
    EXPECT_EQ(flipped->top, Main().Top() + rowTop + 3);
    EXPECT_EQ(flipped->right - flipped->left, iconSize);

    Main().Settings.OnClick = 0;
    EXPECT_FALSE(glowRect());
}

class DeletePuffWindowTest : public ClickEffectWindowTest {
protected:
    void OpenGroup(int row) {
        Hover(row);
        ASSERT_TRUE(core::Form2->Visible());
    }
};

TEST_F(DeletePuffWindowTest, DeletesWithoutPoofPngPlayNoAnimationAndShowNoError) {
    StartMenu();
    EXPECT_TRUE(Main().DeleteItem(1, true));
    OpenGroup(2);
    EXPECT_TRUE(core::Form2->DeleteSubItem(0, true));
    EXPECT_TRUE(records.empty());
    EXPECT_TRUE(boxes.empty());
    EXPECT_NE(folder.ReadFile(L"1.xml").find("Inner two"), std::string::npos);
    EXPECT_EQ(folder.ReadFile(L"1.xml").find("Inner one"), std::string::npos);
}

TEST_F(DeletePuffWindowTest, PuffPlaysAtTheTopOfTheDeletedRowAtTheWindowsCentre) {
    StartMenu();
    WritePoof(16, 80, [](int, int) { return 0xFF808080; });
    const core::SkinMetrics& skin = Main().Skin;
    const int mainX = static_cast<int>(ui::RoundEven(Main().Left() + Main().Width() / 2.0));
    const int mainY = Main().Top() + skin.HeaderSize + skin.ItemSize;
    EXPECT_TRUE(Main().DeleteItem(1, true));
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].rect.left, mainX - 8);
    EXPECT_EQ(records[0].rect.top, mainY - 8);

    OpenGroup(2);
    popups::TForm2& form2 = *core::Form2;
    const int subX = static_cast<int>(ui::RoundEven(form2.Left() + form2.Width() / 2.0));
    const int subY = form2.Top() + skin.HeaderSize + skin.ItemSize;
    records.clear();
    EXPECT_TRUE(form2.DeleteSubItem(1, true));
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].rect.left, subX - 8);
    EXPECT_EQ(records[0].rect.top, subY - 8);

    // The group's last row: it becomes a plain item, without a puff.
    OpenGroup(2);
    records.clear();
    EXPECT_TRUE(form2.DeleteSubItem(0, true));
    EXPECT_TRUE(records.empty());
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
