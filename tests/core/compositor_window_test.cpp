#include "main_window_fixture.h"

#include "core/window_effects.h"
#include "popups/form2.h"
#include "render/row_geometry.h"

#include <initializer_list>
#include <sstream>
#include <utility>

namespace {

constexpr int kWidth = 40;
// The skin's geometry: header 10, rows 20, separators 6, bottom 8, icons 16.
constexpr int kHeader = 10;
constexpr int kItem = 20;
constexpr int kSeparator = 6;
constexpr int kBottom = 8;

// back.png's bands, from the top.
constexpr std::uint32_t kHeaderBand = 0xFF800000, kRowBand = 0xFF008000, kHoveredRowBand = 0xFF00FF00,
                        kSubBand = 0xFF000080, kHoveredSubBand = 0xFF0000FF, kSeparatorBand = 0xFF808000,
                        kBottomBand = 0xFF800080;
// box.png's bands.
constexpr std::uint32_t kRunBox = 0xFF008080, kOpenRunBox = 0xFF00FFFF, kUp = 0xFF404040, kDown = 0xFF606060,
                        kUpDisabled = 0xFF202020, kDownDisabled = 0xFFA0A0A0;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kTransparent = 0;

constexpr std::uint32_t IconColour(int cell) { return 0xFFF00040u | (0x10u * static_cast<std::uint32_t>(cell)) << 8; }

::testing::AssertionResult Near(std::uint32_t actual, std::uint32_t expected) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > 1)
            return ::testing::AssertionFailure() << std::hex << "pixel 0x" << actual << ", expected 0x" << expected;
    }
    return ::testing::AssertionSuccess();
}

// Solid bands from the top, each (height, premultiplied colour).
void FillBands(ui::Dib& dib, int width, std::initializer_list<std::pair<int, std::uint32_t>> bands) {
    int height = 0;
    for (const auto& band : bands) height += band.first;
    dib.Resize(width, height);
    int y = 0;
    for (const auto& [rows, colour] : bands)
        for (int end = y + rows; y < end; ++y) std::fill_n(dib.Bits() + y * width, width, colour);
}

core::TLNItem Item(int type, std::wstring param1 = L"", std::wstring run = L"") {
    core::TLNItem item;
    item.Type = type;
    item.Param1 = std::move(param1);
    item.Run = std::move(run);
    return item;
}

class CompositorTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Start();
        core::SkinMetrics& skin = Main().Skin;
        skin.SkinWidth = kWidth;
        skin.HeaderSize = kHeader;
        skin.ItemSize = kItem;
        skin.Separatorsize = kSeparator;
        skin.BottomMargin = kBottom;
        skin.IconSize = 16;
        skin.IconX = 2;
        skin.IconY = 2;
        skin.GroupIconX = 20;
        skin.GroupIconY = 3;
        skin.LeftMargin = 8;
        skin.RightMargin = 8;
        FillBands(Main().Parts.Back, kWidth,
                  {{kHeader, kHeaderBand}, {kItem, kRowBand}, {kItem, kHoveredRowBand}, {kItem, kSubBand},
                   {kItem, kHoveredSubBand}, {kSeparator, kSeparatorBand}, {kBottom, kBottomBand}});
        FillBands(Main().Parts.Box, kWidth,
                  {{kItem, kRunBox}, {kItem, kOpenRunBox}, {kItem, kUp}, {kItem, kDown}, {kItem, kUpDisabled},
                   {kItem, kDownDisabled}});
        strip = std::make_unique<Gdiplus::Bitmap>(48 * 10, 48, PixelFormat32bppARGB);
        Gdiplus::Graphics graphics(strip.get());
        for (int cell = 0; cell < 10; ++cell) {
            Gdiplus::SolidBrush brush{Gdiplus::Color(IconColour(cell))};
            graphics.FillRectangle(&brush, 48 * cell, 0, 48, 48);
        }
    }

    // The main window's rows, with the window sized to them.
    void SetMainItems(std::vector<core::TLNItem> items, int width = kWidth) {
        int height = kHeader + kBottom;
        for (const auto& item : items) height += core::RowHeight(item.Type, Main().Skin);
        Main().ItemLists[1] = std::move(items);
        Main().LevelWidths[1] = width;
        Main().SetBounds(100, 100, width, height);
    }

    // A scrolling sub-menu window of `count` plain rows showing three at a time.
    popups::TForm2& ScrollingSubMenu(int count, int scrollTop) {
        core::TForm1& main = Main();
        main.ItemLists[2].assign(static_cast<size_t>(count), Item(0));
        main.ScrollMode[2] = 1;
        main.ShowCount = 3;
        main.ScrollTop = scrollTop;
        main.LevelWidths[2] = kWidth;
        core::Form2->SetBounds(300, 150, kWidth, kHeader + 5 * kItem + kBottom);
        return *core::Form2;
    }

    void Render(int selected, bool reuse = false) { Render(Main(), selected, reuse); }
    void Render(ui::Form& form, int selected, bool reuse = false) {
        Main().RenderMenuWindow(reuse, form, strip.get(), selected, 0);
    }

    std::uint32_t Pixel(int x, int y) {
        GdiFlush();
        return Main().Compositor.WorkBitmap->Pixel(x, y);
    }

    std::unique_ptr<Gdiplus::Bitmap> strip;
};

struct RowExpectation {
    int top;
    std::uint32_t band;
    int cell;  // -1: no icon
    int iconX, iconY;
};

TEST_F(CompositorTest, BaseFrameDrawsEachRowWithItsBandIconAndPlace) {
    SetMainItems({Item(0), Item(2), Item(777), Item(1, L"1"), Item(6), Item(99), Item(3), Item(1)});
    Main().Compositor.LevelBitmaps[1] = std::make_unique<ui::Dib>(1, 1);  // of the wrong size
    Render(-1);

    const RowExpectation rows[] = {
        {10, kRowBand, 0, 2, 2},       {30, kSubBand, 1, 20, 3},    // the sub-menu row's group icon place
        {50, kSeparatorBand, -1, 2, 2}, {56, kSubBand, 3, 2, 2},    // a folder shown as a menu
        {76, kRunBox, 4, 2, 2},                                     // the unknown Type 99 takes no room
        {96, kRowBand, 6, 2, 2},       {116, kRowBand, 7, 2, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.top);
        EXPECT_TRUE(Near(Pixel(kWidth - 2, row.top + 1), row.band));
        if (row.cell >= 0) {
            EXPECT_TRUE(Near(Pixel(row.iconX + 8, row.top + row.iconY + 8), IconColour(row.cell)));
            EXPECT_TRUE(Near(Pixel(row.iconX + 1, row.top + row.iconY + 14), IconColour(row.cell)));
        } else {
            EXPECT_TRUE(Near(Pixel(row.iconX + 4, row.top + 3), row.band)) << "a separator has no icon";
        }
    }
    EXPECT_TRUE(Near(Pixel(kWidth - 2, 0), kHeaderBand));
    EXPECT_TRUE(Near(Pixel(kWidth - 2, 136), kBottomBand));
    EXPECT_TRUE(Near(Pixel(kWidth - 2, 143), kBottomBand));

    const ui::Dib& work = *Main().Compositor.WorkBitmap;
    const ui::Dib& frame = *Main().Compositor.LevelBitmaps[1];
    ASSERT_EQ(frame.Width(), kWidth);
    ASSERT_EQ(frame.Height(), 144);
    EXPECT_TRUE(std::equal(work.Bits(), work.Bits() + kWidth * 144, frame.Bits())) << "the base frame is kept";
}

struct FlipCase {
    int flipIconsAndText;
    int type;
    int x;
};

TEST_F(CompositorTest, FlippedSkinsPlaceIconsByTheFlipRuleAlsoOnHover) {
    const FlipCase cases[] = {
        {1, 0, kWidth - 2 - 16 + 1}, {1, 2, kWidth - 20 - 16 + 3},  // from the right edge
        {0, 0, 2 + 1},               {0, 2, 20 + 3},               // shifted only
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "FlipIconsAndText " << c.flipIconsAndText << ", Type " << c.type);
        Main().Skin.FlipBackground = true;
        Main().Skin.FlipIconsAndText = c.flipIconsAndText;
        Main().Skin.FlipSpace = 3;       // sub-menu rows
        Main().Skin.GroupFlipSpace = 1;  // all other rows
        SetMainItems({Item(c.type)});
        const int iconY = kHeader + (c.type == 2 ? 3 : 2) + 8;
        for (int selected : {-1, 0}) {
            Render(selected);
            EXPECT_TRUE(Near(Pixel(c.x, iconY), IconColour(0))) << "selected " << selected;
            EXPECT_TRUE(Near(Pixel(c.x + 15, iconY), IconColour(0))) << "selected " << selected;
            EXPECT_FALSE(Near(Pixel(c.x - 1, iconY), IconColour(0))) << "selected " << selected;
        }
    }
}

struct ScrollCase {
    int scrollTop;
    std::uint32_t up, down;
};

TEST_F(CompositorTest, ScrollArrowsShowWhetherTheListCanMoveEachWay) {
    const ScrollCase cases[] = {
        {0, kUpDisabled, kDown},
        {1, kUp, kDown},
        {2, kUp, kDownDisabled},  // the last of the five rows shows
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scrollTop);
        Render(ScrollingSubMenu(5, c.scrollTop), -1);
        EXPECT_TRUE(Near(Pixel(20, kHeader + 10), c.up));
        for (int row = 0; row < 3; ++row) {
            EXPECT_TRUE(Near(Pixel(kWidth - 2, 30 + row * kItem + 10), kRowBand)) << row;
            EXPECT_TRUE(Near(Pixel(10, 30 + row * kItem + 10), IconColour(row))) << row;
        }
        EXPECT_TRUE(Near(Pixel(20, 90 + 10), c.down));
        EXPECT_TRUE(Near(Pixel(20, 110 + 4), kBottomBand));
    }
}

TEST_F(CompositorTest, ScrollArrowsAreCentredInAWiderCaptionWindow) {
    Main().Skin.ShowCaption = true;
    popups::TForm2& form = ScrollingSubMenu(5, 1);
    Main().LevelWidths[2] = kWidth + 20;
    form.SetWidth(kWidth + 20);
    Render(form, -1);
    EXPECT_TRUE(Near(Pixel(9, kHeader + 10), kRowBand));
    EXPECT_TRUE(Near(Pixel(10, kHeader + 10), kUp));
    EXPECT_TRUE(Near(Pixel(10 + kWidth - 1, kHeader + 10), kUp));
    EXPECT_TRUE(Near(Pixel(10 + kWidth, kHeader + 10), kRowBand));
}

struct TabCase {
    int position;
    POINT drawn;
    std::uint32_t colour;
    POINT empty;
};

TEST_F(CompositorTest, TheHiddenMenuShowsOnlyItsTab) {
    constexpr std::uint32_t kTabUpper = 0xFF112233, kTabLower = 0xFF445566, kVerticalUpper = 0xFF778899,
                            kVerticalLower = 0xFF99AABB;
    SetMainItems({Item(0), Item(0)});  // 40 x 58
    Render(-1);                          // the base frame the tab must not show
    core::SkinParts& parts = Main().Parts;
    core::SkinMetrics& skin = Main().Skin;
    FillBands(parts.Tab, 12, {{10, kTabUpper}, {10, kTabLower}});
    FillBands(parts.VerticalTab, 24, {{4, kVerticalUpper}, {4, kVerticalLower}});
    parts.TabEnabled = true;
    skin.TabWidth = 12;
    skin.TabHalfHeight = 10;
    skin.VerticalTabWidth = 24;
    skin.VerticalTabHalfHeight = 4;
    skin.TabY = 30;
    Main().MenuHidden = true;

    const TabCase cases[] = {
        {0, {kWidth - 12, 30}, kTabUpper, {kWidth - 13, 31}},
        {1, {11, 39}, kTabLower, {12, 31}},
        {2, {0, 30}, kTabLower, {0, 29}},
        {3, {kWidth - 1, 57}, kVerticalUpper, {kWidth - 1, 53}},  // stretched across the skin
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        Main().Settings.Position = static_cast<std::uint8_t>(c.position);
        Render(-1, true);
        EXPECT_TRUE(Near(Pixel(c.drawn.x, c.drawn.y), c.colour));
        EXPECT_EQ(Pixel(c.empty.x, c.empty.y), kTransparent);
        EXPECT_EQ(Pixel(kWidth - 2, 15), kTransparent);
    }
}

TEST_F(CompositorTest, RepaintingReusesTheLastFullFrameAlsoWhenHiddenWithoutATab) {
    SetMainItems({Item(0), Item(2)});
    Render(-1);
    FillBands(Main().Parts.Back, kWidth, {{200, 0xFF123456}});  // a new skin not yet composed
    Main().MenuHidden = true;
    Render(-1, true);
    EXPECT_TRUE(Near(Pixel(kWidth - 2, 5), kHeaderBand));
    EXPECT_TRUE(Near(Pixel(kWidth - 2, 35), kSubBand));
    EXPECT_TRUE(Near(Pixel(10, 20), IconColour(0)));
    Main().MenuHidden = false;
    Render(0, true);
    EXPECT_TRUE(Near(Pixel(kWidth - 2, 15), 0xFF123456)) << "the hover still draws from the current skin";
    EXPECT_TRUE(Near(Pixel(kWidth - 2, 35), kSubBand));
}

// What the screen shows at a point of the main window: the window keeps what each
// update gave it, so only this shows whether a repaint left part of it stale.
std::uint32_t OnScreen(const ui::Form& form, int x, int y) {
    ui::Dib pixel(1, 1);
    HDC screen = GetDC(nullptr);
    BitBlt(pixel.Dc(), 0, 0, 1, 1, screen, form.Left() + x, form.Top() + y, SRCCOPY);
    ReleaseDC(nullptr, screen);
    GdiFlush();
    return pixel.Pixel(0, 0);
}

TEST_F(CompositorTest, HoverRepaintsLeaveTheWholeWindowAsComposed) {
    SetMainItems({Item(0), Item(0), Item(0)});  // rows at 10, 30 and 50
    core::TForm1& main = Main();
    Render(0);
    main.Dragging = true;  // the marker lies across the top of the next row
    SetCursorPos(120, 135);
    Render(1, true);
    main.Dragging = false;
    SetCursorPos(600, 600);
    Render(2, true);

    const struct {
        int y;
        std::uint32_t band;
    } shown[] = {{5, kHeaderBand}, {15, kRowBand}, {35, kRowBand}, {55, kHoveredRowBand}, {74, kBottomBand}};
    for (const auto& at : shown) EXPECT_TRUE(Near(OnScreen(main, kWidth - 2, at.y), at.band)) << at.y;
    EXPECT_TRUE(Near(OnScreen(main, 20, 49), kRowBand)) << "the drop marker is gone";

    // A window that grew since its last full frame gets the whole of it again.
    SetMainItems({Item(0), Item(0), Item(0), Item(0)});
    Render(0, true);
    EXPECT_TRUE(Near(OnScreen(main, kWidth - 2, 15), kHoveredRowBand));
    EXPECT_TRUE(Near(OnScreen(main, kWidth - 2, 35), kRowBand));
    EXPECT_TRUE(Near(OnScreen(main, kWidth - 2, 55), kRowBand));
}

struct HoverCase {
    const char* name;
    int selected;
    bool runBoxOpen;
    bool showHoverIcon;
    std::uint32_t band;
    POINT icon;  // x < 0: no icon
};

TEST_F(CompositorTest, HoverDrawsTheRowByItsType) {
    const HoverCase cases[] = {
        {"plain row", 0, false, true, kHoveredRowBand, {2, 2}},
        {"sub-menu", 1, false, true, kHoveredSubBand, {20, 3}},
        {"separator", 2, false, true, kSeparatorBand, {-1, 0}},
        {"quick-run, closed", 3, false, true, kRunBox, {2, 2}},
        {"quick-run, open", 3, true, true, kOpenRunBox, {2, 2}},
        {"folder menu", 4, false, true, kHoveredRowBand, {2, 2}},
        {"no hover icon", 0, false, false, kHoveredRowBand, {-1, 0}},
    };
    const int tops[] = {10, 30, 50, 56, 76};
    const std::uint32_t bases[] = {kRowBand, kSubBand, kSeparatorBand, kRunBox, kSubBand};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetMainItems({Item(0), Item(2), Item(777), Item(6), Item(1, L"1")});
        Main().Compositor.RunBoxOpen = c.runBoxOpen;
        Main().Compositor.ShowHoverIcon = c.showHoverIcon;
        Render(c.selected);
        const int top = tops[c.selected];
        EXPECT_TRUE(Near(Pixel(kWidth - 2, top + 1), c.band));
        if (c.icon.x >= 0)
            EXPECT_TRUE(Near(Pixel(c.icon.x + 8, top + c.icon.y + 8), IconColour(c.selected)));
        else
            EXPECT_TRUE(Near(Pixel(10, top + 3), c.band));
        for (int other = 0; other < 5; ++other) {
            if (other == c.selected) continue;
            EXPECT_TRUE(Near(Pixel(kWidth - 2, tops[other] + 1), bases[other])) << other;
        }
    }
}

TEST_F(CompositorTest, AScrollingWindowHoversTheShownRowBelowTheArrow) {
    popups::TForm2& form = ScrollingSubMenu(5, 1);
    Main().ItemLists[2][1].Type = 2;  // the first row shown
    Render(form, 0);
    EXPECT_TRUE(Near(Pixel(kWidth - 2, kHeader + 5), kUp));
    EXPECT_TRUE(Near(Pixel(kWidth - 2, kHeader + kItem + 5), kHoveredSubBand));
    EXPECT_TRUE(Near(Pixel(20 + 8, kHeader + kItem + 3 + 8), IconColour(0)));
}

TEST_F(CompositorTest, AScrolledLevelHoversAndCaptionsTheRowWhereItIsDrawn) {
    constexpr std::uint32_t kCaptions[] = {0xFF11CC22, 0xFF22CC33};
    constexpr std::uint32_t kSelectedCaptions[] = {0xFF4411CC, 0xFF5522CC};
    core::TForm1& main = Main();
    main.Skin.ShowCaption = true;
    // Separators above the first row shown (2) and among the rows shown.
    main.ItemLists[2] = {Item(777), Item(777), Item(0), Item(777), Item(0), Item(0), Item(0)};
    main.ScrollMode[2] = 1;
    main.ShowCount = 3;
    main.ScrollTop = 2;
    main.LevelWidths[2] = kWidth;
    // Drawn: up arrow 10..30, row 2 at 30..50, the separator at 50..56, row 4 at 56..76.
    constexpr int kHeight = kHeader + kItem + kItem + kSeparator + kItem + kItem + kBottom;
    popups::TForm2& form = *core::Form2;
    form.SetBounds(300, 150, kWidth, kHeight);
    // The caption image holds the rows shown at their row tops, counted from the first
    // row shown (10 and 36), the highlighted ones kHeight lower.
    auto captions = std::make_unique<Gdiplus::Bitmap>(kWidth, 2 * kHeight, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(captions.get());
        const int tops[] = {kHeader, kHeader + kItem + kSeparator};
        for (int i = 0; i < 2; ++i) {
            Gdiplus::SolidBrush normal{Gdiplus::Color(kCaptions[i])};
            Gdiplus::SolidBrush selected{Gdiplus::Color(kSelectedCaptions[i])};
            graphics.FillRectangle(&normal, 30, tops[i], 6, kItem);
            graphics.FillRectangle(&selected, 30, kHeight + tops[i], 6, kItem);
        }
    }
    main.CaptionImages[2] = std::move(captions);

    Render(form, -1);
    EXPECT_TRUE(Near(Pixel(32, 32), kCaptions[0]));
    EXPECT_TRUE(Near(Pixel(32, 58), kCaptions[1]));

    Render(form, 2);  // the third row shown, under the separator
    for (int y : {57, 66, 75}) {
        EXPECT_TRUE(Near(Pixel(kWidth - 2, y), kHoveredRowBand)) << y;
        EXPECT_TRUE(Near(Pixel(32, y), kSelectedCaptions[1])) << y;
    }
    EXPECT_TRUE(Near(Pixel(kWidth - 2, 53), kSeparatorBand));
    EXPECT_TRUE(Near(Pixel(kWidth - 2, 45), kRowBand));
    EXPECT_TRUE(Near(Pixel(kWidth - 2, 85), kDown));
    EXPECT_TRUE(Near(Pixel(2 + 8, 56 + 2 + 8), IconColour(2)));
    const RECT hovered{300, 150 + 56, 300 + kWidth, 150 + 76};
    EXPECT_TRUE(EqualRect(&main.SelectedRowRect, &hovered));
}

TEST_F(CompositorTest, RowRectanglesFollowTheOpeningRowAndTheHoveredRow) {
    SetMainItems({Item(0), Item(777), Item(2)});
    Main().SelectedIndex[1] = 3;  // the sub-menu row under the separator
    popups::TForm2& form = ScrollingSubMenu(5, 1);
    Render(form, 1);
    const RECT opening{100, 100 + 36, 100 + kWidth, 100 + 56};
    const RECT hovered{300, 150 + 50, 300 + kWidth, 150 + 70};
    EXPECT_TRUE(EqualRect(&Main().PluginItemRect, &opening));
    EXPECT_TRUE(EqualRect(&Main().SelectedRowRect, &hovered));

    // Level 3 opens from level 2's hovered row, which sits below the arrow.
    Main().SelectedIndex[2] = 2;
    Main().ItemLists[3].assign(2, Item(0));
    Main().LevelWidths[3] = kWidth;
    core::Form3->SetBounds(500, 150, kWidth, 58);
    Render(*core::Form3, -1);
    EXPECT_TRUE(EqualRect(&Main().PluginItemRect, &hovered));
    EXPECT_TRUE(IsRectEmpty(&Main().SelectedRowRect));

    Render(0);  // the main window leaves the opening row alone
    EXPECT_TRUE(EqualRect(&Main().PluginItemRect, &hovered));
    const RECT mainRow{100, 110, 100 + kWidth, 130};
    EXPECT_TRUE(EqualRect(&Main().SelectedRowRect, &mainRow));
}

TEST_F(CompositorTest, ASelectionBeyondTheListIsDropped) {
    for (int index : {3, 2}) {
        SCOPED_TRACE(index);
        SetMainItems({Item(0), Item(0)});
        Main().SelectedIndex[1] = index;
        Render(0);
        const bool dropped = index > 2;
        EXPECT_EQ(Main().SelectedIndex[1], dropped ? -1 : index);
        EXPECT_TRUE(Near(Pixel(kWidth - 2, 11), dropped ? kRowBand : kHoveredRowBand));
    }
}

struct MarkerCase {
    bool dragging;
    bool pointerInside;
    bool marked;
};

TEST_F(CompositorTest, TheDropMarkerLinesTheRowBottomWhileDraggingOverTheWindow) {
    const MarkerCase cases[] = {{true, true, true}, {true, false, false}, {false, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dragging << c.pointerInside);
        SetMainItems({Item(0), Item(0)});
        Main().Dragging = c.dragging;
        SetCursorPos(c.pointerInside ? 120 : 600, c.pointerInside ? 140 : 600);
        Render(0);
        EXPECT_EQ(Near(Pixel(20, 30), kRed), c.marked);
        EXPECT_EQ(Near(Pixel(20, 29), kRed), c.marked);
        EXPECT_TRUE(Near(Pixel(20, 25), kHoveredRowBand));
        EXPECT_FALSE(Near(Pixel(0, 30), kRed)) << "the line ends 4 pixels from the edges";
    }
}

// animation.png: three frames of the row height for plain rows, three more below for
// sub-menu rows.
constexpr std::uint32_t kFrames[] = {0xFF102030, 0xFF203040, 0xFF304050};
constexpr std::uint32_t kSubFrames[] = {0xFF405060, 0xFF506070, 0xFF607080};

class HoverAnimationTest : public CompositorTest {
protected:
    void LoadAnimation(int frames, int framesInImage) {
        core::SkinParts& parts = Main().Parts;
        if (framesInImage == 3)
            FillBands(parts.Animation, kWidth,
                      {{kItem, kFrames[0]}, {kItem, kFrames[1]}, {kItem, kFrames[2]}, {kItem, kSubFrames[0]},
                       {kItem, kSubFrames[1]}, {kItem, kSubFrames[2]}});
        else
            FillBands(parts.Animation, kWidth, {{kItem, kFrames[0]}, {kItem, kFrames[1]}});
        parts.AnimationLoaded = true;
        parts.AnimationKeys = core::AnimationMetrics{static_cast<std::uint8_t>(frames), 0, 0, kWidth, kItem, 0};
    }
};

TEST_F(HoverAnimationTest, OneFrameShowsAStillFrameWithAPlainIconAndAnOpaqueMarker) {
    for (int frames : {1, 0}) {
        for (int effect : {0, 1, 2, 3}) {
            SCOPED_TRACE(testing::Message() << frames << " frames, effect " << effect);
            SetMainItems({Item(0), Item(0)});
            LoadAnimation(frames, 3);
            Main().Settings.OnMouse = static_cast<std::uint8_t>(effect);
            Main().Dragging = true;
            SetCursorPos(120, 115);
            Render(0);
            EXPECT_TRUE(Near(Pixel(kWidth - 2, 12), kFrames[0]));
            EXPECT_TRUE(Near(Pixel(10, 20), IconColour(0)));
            EXPECT_TRUE(Near(Pixel(20, 30), kRed));
        }
    }
}

struct FrameCase {
    const char* name;
    int selected;
    bool pointerOnRow;
    int framesInImage;
    std::uint32_t last;  // the frame the window is left with
};

TEST_F(HoverAnimationTest, FramesPlayWhileThePointerStaysOnTheRow) {
    const FrameCase cases[] = {
        {"to the end", 0, true, 3, kFrames[2]},
        {"pointer elsewhere", 0, false, 3, kFrames[0]},
        {"sub-menu row from the lower half", 1, true, 3, kSubFrames[2]},
        {"frames missing from the image", 0, true, 2, kTransparent},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetMainItems({Item(0), Item(2)});
        LoadAnimation(3, c.framesInImage);
        const int rowTop = kHeader + c.selected * kItem;
        if (c.pointerOnRow)
            SetCursorPos(120, 100 + rowTop + 5);
        else
            SetCursorPos(600, 600);
        Render(c.selected);
        EXPECT_EQ(Pixel(kWidth - 1, rowTop + 10), c.last);
        EXPECT_TRUE(Near(Pixel(kWidth - 2, 2), kHeaderBand));
        EXPECT_TRUE(Near(Pixel(kWidth - 2, kHeader + (1 - c.selected) * kItem + 2), c.selected ? kRowBand : kSubBand));
    }
}

TEST_F(HoverAnimationTest, EffectsChangeTheIconFrameByFrame) {
    for (int effect : {1, 2, 3}) {
        SCOPED_TRACE(effect);
        SetMainItems({Item(0), Item(0)});
        LoadAnimation(3, 3);
        Main().Settings.OnMouse = static_cast<std::uint8_t>(effect);
        Main().Settings.Zoom = 20;  // twice the icon: the last of three frames is 8 pixels larger each side
        SetCursorPos(120, 115);
        Render(0);
        EXPECT_TRUE(Near(Pixel(kWidth - 1, 20), kFrames[2]));
        const std::uint32_t centre = Pixel(10, 20);
        if (effect == 1) {
            EXPECT_GE((centre >> 8) & 0xFF, 0x30u) << "lit: alpha is added to every colour";
        } else if (effect == 2) {
            EXPECT_TRUE(Near(centre, IconColour(0)));
            EXPECT_TRUE(Near(Pixel(24, 33), IconColour(0))) << "grown beyond the plain icon";
        } else {
            int iconPixels = 0;
            for (int y = 0; y < 58; ++y)
                for (int x = 0; x < kWidth; ++x) iconPixels += Near(Pixel(x, y), IconColour(0)) ? 1 : 0;
            EXPECT_GT(iconPixels, 16 * 16 / 2);
        }
    }
}

TEST_F(HoverAnimationTest, RollTurnsTheIconInItsFirstFrame) {
    SetMainItems({Item(0), Item(0)});
    LoadAnimation(3, 3);
    Main().Settings.OnMouse = 3;
    Main().Settings.Zoom = 10;  // no growth: only the turn shows
    SetCursorPos(600, 600);     // off the row: the animation stops after its first frame
    Render(0);
    // A third of a turn leaves the square's corners bare and reaches past its edges.
    EXPECT_FALSE(Near(Pixel(3, 13), IconColour(0)));
    EXPECT_TRUE(Near(Pixel(10, 11), IconColour(0)));
}

TEST_F(HoverAnimationTest, MissingStripAndCaptionsDrawTheRestOfTheFrame) {
    Main().Skin.ShowCaption = true;
    SetMainItems({Item(0), Item(6)});
    LoadAnimation(3, 3);
    Main().CaptionImages[1].reset();
    SetCursorPos(120, 115);
    Main().RenderMenuWindow(false, Main(), nullptr, 0, 0);
    EXPECT_TRUE(Near(Pixel(10, 20), kFrames[2]));
    EXPECT_TRUE(Near(Pixel(kWidth - 2, 35), kRunBox));
}

TEST_F(CompositorTest, CaptionsAndBandsSpanTheLevelWidth) {
    constexpr std::uint32_t kCaption = 0xFFCC8844, kSelectedCaption = 0xFF4488CC;
    Main().Skin.ShowCaption = true;
    SetMainItems({Item(0), Item(777), Item(0)}, 60);
    const int height = Main().Height();
    auto captions = std::make_unique<Gdiplus::Bitmap>(60, 2 * height, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(captions.get());
        Gdiplus::SolidBrush normal{Gdiplus::Color(kCaption)};
        Gdiplus::SolidBrush selected{Gdiplus::Color(kSelectedCaption)};
        graphics.FillRectangle(&normal, 30, 0, 6, height);
        graphics.FillRectangle(&selected, 30, height, 6, height);
    }
    Main().CaptionImages[1] = std::move(captions);

    Render(2);
    EXPECT_TRUE(Near(Pixel(32, 15), kCaption));
    EXPECT_TRUE(Near(Pixel(50, 15), kRowBand));
    EXPECT_TRUE(Near(Pixel(59, 15), kRowBand));
    EXPECT_TRUE(Near(Pixel(32, 33), kSeparatorBand)) << "separators have no caption";
    EXPECT_TRUE(Near(Pixel(32, 40), kSelectedCaption));
    EXPECT_TRUE(Near(Pixel(50, 40), kHoveredRowBand));
}

struct RunBoxCase {
    const char* name;
    bool showCaption;
    const wchar_t* run;  // "1": the result list shows
};

TEST_F(CompositorTest, AnOpenQuickRunBoxLeavesRoomForItsEditAndList) {
    const RunBoxCase cases[] = {{"list shown", false, L"1"}, {"no list", false, L""}, {"captions", true, L"1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        core::SkinMetrics& skin = Main().Skin;
        skin.ShowCaption = c.showCaption;
        skin.EditBoxX = 4;
        skin.EditBoxY = 2;
        skin.EditBoxWidth = 20;
        skin.EditBoxHeight = 8;
        skin.VistaMenuLeftMargin = 2;
        const int width = c.showCaption ? 60 : kWidth;
        SetMainItems({Item(0), Item(0), Item(6, L"", c.run)}, width);
        Main().Parts.EditBoxBackground.reset();
        Main().Compositor.RunBoxOpen = true;
        Main().Compositor.ShowHoverIcon = false;
        Render(2);

        const int editWidth = c.showCaption ? width + 20 - kWidth : 20;
        EXPECT_EQ(Pixel(4, 52), kTransparent);
        EXPECT_EQ(Pixel(4 + editWidth - 1, 59), kTransparent);
        EXPECT_TRUE(Near(Pixel(4 + editWidth, 55), kOpenRunBox));
        EXPECT_TRUE(Near(Pixel(4, 60), kOpenRunBox));
        const bool list = c.run[0] == L'1';
        EXPECT_EQ(Pixel(20, 20), list ? kTransparent : kRowBand);
        EXPECT_EQ(Pixel(width - 1, 49), list ? kTransparent : kRowBand);
        EXPECT_TRUE(Near(Pixel(1, 20), kRowBand));
        EXPECT_TRUE(Near(Pixel(20, 5), kHeaderBand));

        Gdiplus::Bitmap* background = Main().Parts.EditBoxBackground.get();
        ASSERT_NE(background, nullptr);
        EXPECT_EQ(static_cast<int>(background->GetWidth()), editWidth);
        EXPECT_EQ(static_cast<int>(background->GetHeight()), 8);
        Gdiplus::Color colour;
        background->GetPixel(0, 0, &colour);
        EXPECT_TRUE(Near(colour.GetValue(), kOpenRunBox));
    }
}

TEST_F(CompositorTest, WindowEffectsPlayFromTheComposedWindowWithoutHover) {
    SetMainItems({Item(0)});
    Main().Hide();
    int waits = 0;
    core::SetEffectSleepForTests([&](int) { ++waits; });
    Main().RenderMenuWindow(false, Main(), strip.get(), 0, 111);
    core::SetEffectSleepForTests(nullptr);
    EXPECT_EQ(waits, 16) << "the closing fade played";
    EXPECT_TRUE(Main().Visible());
    EXPECT_TRUE(Near(Pixel(kWidth - 2, 12), kRowBand)) << "an effect draws no hover";
}

}  // namespace
