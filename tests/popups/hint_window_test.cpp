// The hint window on the real forms: when it shows, its size from the hint font, its
// place by the menu's edge, what it draws from the skin, and the menu rows whose
// hover, new shortcut or paste show it.
#include "core/menu_input_fixture.h"

#include "core/launch.h"
#include "core/motion.h"
#include "popups/form2.h"
#include "popups/zv_hint.h"
#include "support/gdi_counts.h"
#include "support/pixels.h"
#include "support/png_file.h"
#include "ui/strings.h"
#include "support/text_extent.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using menu_input::Row;

constexpr int kHeader = 16;
// An odd row height: the anchor rounds half of it to even (18), never up.
constexpr int kItem = 37;
constexpr int kHintPoints = 14;

// The extent of `text` in bold Tahoma at `points`, as this system measures it.
SIZE TahomaExtent(const std::wstring& text, int points = kHintPoints) {
    return testing_support::BoldTahomaExtent(text, points);
}

// The pixels of a premultiplied surface that satisfy `test`.
int Count(const ui::Dib& dib, const std::function<bool(std::uint32_t)>& test) {
    int n = 0;
    for (int y = 0; y < dib.Height(); ++y)
        for (int x = 0; x < dib.Width(); ++x) n += test(dib.Pixel(x, y));
    return n;
}
int Channel(std::uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }
int Alpha(std::uint32_t p) { return Channel(p, 24); }
int Red(std::uint32_t p) { return Channel(p, 16); }
int Green(std::uint32_t p) { return Channel(p, 8); }
int Blue(std::uint32_t p) { return Channel(p, 0); }

class HintWindowTest : public MenuInputTest {
protected:
    void SetUp() override {
        MenuInputTest::SetUp();
        baseConfig = config + L"HintFontName=Tahoma\r\nLastSkin=HintTest\r\nHideGroupDelay=0\r\n";
        skinKeys = "HeaderSize=" + std::to_string(kHeader) + "\r\nItemSize=" + std::to_string(kItem) + "\r\n";
        core::SetMotionClockForTests(nullptr, [](int) {});
    }
    void TearDown() override {
        core::SetMotionClockForTests(nullptr, nullptr);
        core::SetPropertiesDialogForTests(nullptr);
        MenuInputTest::TearDown();
    }

    // The forms over the rows with skin.ini holding skinKeys plus `extraKeys`, and
    // `settings` ([General] lines first) in config.ini.
    void StartHint(const std::vector<Row>& rows = {{0, "A"}}, const std::string& extraKeys = "",
                   const std::wstring& settings = L"HintFontSize=14\r\n") {
        folder.WriteFile(L"Themes\\HintTest\\skin.ini", "[Skin]\r\n" + skinKeys + extraKeys);
        config = baseConfig + settings;
        StartWith(rows);
    }

    popups::TZVHint& Hint() { return *core::ZVHint; }
    popups::TForm2& Form2() { return *core::Form2; }
    popups::TForm3& Form3() { return *core::Form3; }
    void Show(const std::wstring& text, const std::wstring& kind = L"a.exe", int top = 100, int left = 200) {
        Hint().ShowText(text, kind, top, left);
    }

    // The hint's rectangle as "left,top widthxheight", or "hidden".
    std::string Placed() {
        if (!Hint().Visible()) return "hidden";
        return std::to_string(Hint().Left()) + "," + std::to_string(Hint().Top()) + " " +
               std::to_string(Hint().Width()) + "x" + std::to_string(Hint().Height());
    }
    // Where the hint of `text` goes with its anchor at (left, top), as Placed says it;
    // `shadow` is the skin's ShadowSize, 2.0 unless skin.ini says otherwise.
    static std::string At(int left, int top, const std::wstring& text, int shadow = 2) {
        const SIZE extent = TahomaExtent(text);
        return std::to_string(left) + "," + std::to_string(top) + " " + std::to_string(extent.cx) + "x" +
               std::to_string(extent.cy + shadow);
    }
    // The anchor of row `row` (0-based, full rows above it) of a window.
    static std::string AtRow(const ui::Form& window, int anchorX, int row, const std::wstring& text, int band = 0) {
        return At(anchorX, window.Top() + kHeader + band + row * kItem + 18 - 8, text);
    }

    std::wstring baseConfig;
    std::string skinKeys;
};

// --- when it shows

TEST_F(HintWindowTest, OrdinaryHintsShowOnlyWithoutCaptionsAndMessagesShowUnlessEmpty) {
    StartHint();
    struct Case {
        const wchar_t* kind;
        const wchar_t* text;
        bool showCaption;
        bool shown;
    };
    const Case cases[] = {
        {L"a.exe", L"Hint", false, true},     {L"a.exe", L"Hint", true, false},
        {L"", L"Hint", false, true},          {L"Message", L"Hint", true, true},
        {L"Message", L"Hint", false, true},   {L"message", L"Hint", true, false},
        {L"a.exe", L"", false, false},        {L"Message", L"", true, false},
        {L"Message", L"", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind \"" << ui::WideToUtf8(c.kind) << "\", text \""
                                        << ui::WideToUtf8(c.text) << "\", captions " << c.showCaption);
        Main().Skin.ShowCaption = false;
        Show(L"Before");
        ASSERT_TRUE(Hint().Visible());
        Main().Skin.ShowCaption = c.showCaption;
        Show(c.text, c.kind);
        EXPECT_EQ(Hint().Visible(), c.shown) << "a hidden case also hides the hint shown before";
    }
}

TEST_F(HintWindowTest, TheHintIsTopmostTakesNeitherThePointerNorTheFocus) {
    StartHint();
    HWND foreground = GetForegroundWindow();
    Show(L"Through", L"a.exe", 300, 400);
    ASSERT_TRUE(Hint().Visible());
    const LONG_PTR ex = GetWindowLongPtrW(Hint().Handle(), GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_TRUE(ex & WS_EX_LAYERED);
    EXPECT_TRUE(ex & WS_EX_TRANSPARENT);
    EXPECT_TRUE(ex & WS_EX_NOACTIVATE);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_NE(WindowFromPoint(POINT{Hint().Left() + Hint().Width() / 2, Hint().Top() + Hint().Height() / 2}),
              Hint().Handle());
    EXPECT_EQ(GetForegroundWindow(), foreground);
}

TEST_F(HintWindowTest, RepeatedShowsLeaveNoGdiObjectOrWindowBehind) {
    StartHint();
    testing_support::WarmUpResourceCounts();
    Show(L"First");  // the first show makes what stays: the bitmap and its DC
    const testing_support::ResourceCounts before = testing_support::CurrentResourceCounts();
    for (int i = 0; i < 100; ++i) {
        // Sizes change from show to show, and some shows hide the window instead.
        Show(std::wstring(static_cast<size_t>(i % 7 + 1), L'W'), i % 10 == 9 ? L"" : L"a.exe");
        if (i % 13 == 0) Show(L"");
    }
    Show(L"First");
    EXPECT_EQ(testing_support::CurrentResourceCounts(), before);
}

// --- size and place

TEST_F(HintWindowTest, TheHintFontSizesTheWindowAndTheShadowAddsItsRoundedSize) {
    struct Case {
        const char* shadowSize;
        int fontSize;  // the skin's: it draws, and never sizes
        int hintPoints;
        int expectedPoints;
        int extra;
    };
    const Case cases[] = {
        {"0", 14, 14, 14, 0},  {"2", 14, 14, 14, 2},    {"1.5", 14, 14, 14, 2},
        {"2.5", 14, 14, 14, 2}, {"0", 60, 14, 14, 0},    {"0", 4, 14, 14, 0},
        {"0", 14, 24, 24, 0},  {"0", 14, 0, 14, 0},     {"0", 14, 100000, 14, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "ShadowSize " << c.shadowSize << ", FontSize " << c.fontSize
                                        << ", HintFontSize " << c.hintPoints);
        StartHint({{0, "A"}},
                  std::string("ShadowSize=") + c.shadowSize + "\r\nFontSize=" + std::to_string(c.fontSize) + "\r\n",
                  L"HintFontSize=" + std::to_wstring(c.hintPoints) + L"\r\n");
        Show(L"Sized text");
        const SIZE extent = TahomaExtent(L"Sized text", c.expectedPoints);
        EXPECT_EQ(Hint().Width(), extent.cx);
        EXPECT_EQ(Hint().Height(), extent.cy + c.extra);
        EXPECT_EQ(Hint().Image().Width(), Hint().Width());
        EXPECT_EQ(Hint().Image().Height(), Hint().Height());
        core::DestroyForms();
    }
}

TEST_F(HintWindowTest, TheLeftEdgeFollowsTheMenusScreenEdgeAndOtherPositionsKeepTheOldOne) {
    StartHint({{0, "A"}}, "ShadowSize=0\r\nMainLeftSpace=3\r\n");
    const int width = TahomaExtent(L"Placed").cx;
    const int skinWidth = Main().Skin.SkinWidth;
    struct Case {
        int position;
        int left;
    };
    const int oldLeft = 77;
    for (const Case c : {Case{0, 500}, Case{1, 500 - width - skinWidth + 3}, Case{2, 500}, Case{3, 500},
                         Case{5, oldLeft}, Case{255, oldLeft}}) {
        SCOPED_TRACE(testing::Message() << "Position " << c.position);
        Main().Settings.Position = 0;
        Show(L"Placed", L"a.exe", 40, oldLeft);
        Main().Settings.Position = static_cast<std::uint8_t>(c.position);
        Show(L"Placed", L"a.exe", 120, 500);
        EXPECT_EQ(Placed(), At(c.left, 120, L"Placed", 0));
    }
}

// --- drawing

// Red text in a red outline over a blue shadow: blue shows only from the shadow.
TEST_F(HintWindowTest, TheShadowIsDrawnOnlyWhenShadowSizeIsPositive) {
    const std::string colours = "FontColor=#FF0000\r\nStrokeColor=#FF0000\r\nShadowColor=#0000FF\r\n"
                                "ShadowTransparency=255\r\nStrokeSize=1\r\nFontSize=18\r\n";
    for (const char* shadowSize : {"0", "-2", "3"}) {
        SCOPED_TRACE(testing::Message() << "ShadowSize " << shadowSize);
        StartHint({{0, "A"}}, colours + "ShadowSize=" + shadowSize + "\r\n");
        Show(L"HHH");
        ASSERT_TRUE(Hint().Visible());
        const int blue = Count(Hint().Image(), [](std::uint32_t p) { return Blue(p) > Red(p) + 40; });
        const int red = Count(Hint().Image(), [](std::uint32_t p) { return Red(p) > Blue(p) + 40; });
        EXPECT_GT(red, 20) << "the text";
        if (std::string(shadowSize) == "3") EXPECT_GT(blue, 20) << "the shadow below the text";
        else EXPECT_EQ(blue, 0);
        core::DestroyForms();
    }
}

TEST_F(HintWindowTest, TheTextIsFilledInFontColorInsideAnOutlineInStrokeColor) {
    // StrokeSize 0: the pen's one-pixel line still outlines the glyphs.
    for (const char* strokeSize : {"1.5", "0"}) {
        SCOPED_TRACE(testing::Message() << "StrokeSize " << strokeSize);
        StartHint({{0, "A"}}, std::string("FontColor=#FF0000\r\nStrokeColor=#00FF00\r\nShadowSize=0\r\n"
                                          "FontSize=22\r\nStrokeSize=") +
                                  strokeSize + "\r\n");
        Show(L"HHH");
        const ui::Dib& image = Hint().Image();
        EXPECT_GT(Count(image, [](std::uint32_t p) { return testing_support::PixelNear(p, 0xFFFF0000); }), 5)
            << "opaque FontColor in the stems";
        EXPECT_GT(Count(image, [](std::uint32_t p) { return Green(p) > Red(p) + 60; }), 5) << "the outline";
        core::DestroyForms();
    }
}

// A skin change after start-up reaches the pen at the next show.
TEST_F(HintWindowTest, EachShowOutlinesWithTheStrokeSizeOfTheSkinInUse) {
    StartHint({{0, "A"}}, "FontColor=#FF0000\r\nStrokeColor=#00FF00\r\nShadowSize=0\r\nFontSize=22\r\n"
                          "StrokeSize=0\r\n");
    auto outline = [this] {
        Show(L"HHH");
        return Count(Hint().Image(), [](std::uint32_t p) { return Green(p) > Red(p) + 60; });
    };
    const int thin = outline();
    Main().Skin.StrokeSize = 4;
    const int thick = outline();
    EXPECT_GT(thick, thin * 2) << thin << " outline pixels at width 0, " << thick << " at width 4";
}

TEST_F(HintWindowTest, ASkinFontThisSystemLacksStillDrawsTheText) {
    StartHint({{0, "A"}}, "FontName=No Such Font Anywhere\r\nFontColor=#FFFFFF\r\nShadowSize=0\r\nFontSize=18\r\n");
    Show(L"Fallback");
    ASSERT_TRUE(Hint().Visible());
    EXPECT_GT(Count(Hint().Image(), [](std::uint32_t p) { return Alpha(p) == 255; }), 30);
}

// White text over an opaque black shadow that ColorizeShadow tints red: tinted once
// it is pure red; a second tint would give (202, 23, 23).
TEST_F(HintWindowTest, TheCaptionColoursAreTintedOnceWhetherTheSkinLoadTintedThemOrNot) {
    struct Case {
        bool mask;
        int colorize;
        std::uint32_t shadow;
    };
    for (const Case c : {Case{true, 1, 0xFFFF0000}, Case{false, 1, 0xFFFF0000}, Case{true, 0, 0xFF000000}}) {
        SCOPED_TRACE(testing::Message() << "mask.png " << c.mask << ", Colorize " << c.colorize);
        folder.Remove(L"Themes\\HintTest\\mask.png");
        if (c.mask) folder.WriteFile(L"Themes\\HintTest\\mask.png", testing_support::SolidPng(36, 180, 0xFFFFFFFF));
        StartHint({{0, "A"}},
                  "FontColor=#FFFFFF\r\nStrokeColor=#FFFFFF\r\nShadowColor=#000000\r\n"
                  "ShadowTransparency=255\r\nColorizeShadow=1\r\nShadowSize=5\r\nFontSize=18\r\n",
                  L"HintFontSize=14\r\n[Effects]\r\nColorize=" + std::to_wstring(c.colorize) +
                      L"\r\nColorizeColor=255\r\n");
        Show(L"HHH");
        // The shadow's own colour is the commonest opaque one that is not the text's.
        std::map<std::uint32_t, int> opaque;
        const ui::Dib& image = Hint().Image();
        for (int y = 0; y < image.Height(); ++y)
            for (int x = 0; x < image.Width(); ++x) {
                const std::uint32_t p = image.Pixel(x, y);
                if (Alpha(p) == 255 && std::min({Red(p), Green(p), Blue(p)}) < 128) ++opaque[p];
            }
        ASSERT_FALSE(opaque.empty());
        auto commonest = opaque.begin();
        for (auto it = opaque.begin(); it != opaque.end(); ++it)
            if (it->second > commonest->second) commonest = it;
        EXPECT_TRUE(testing_support::PixelNear(commonest->first, c.shadow));
        core::DestroyForms();
    }
}

// --- the callers

// Level 1: a row, a group, a separator and a row. The group holds a row, a separator
// and a group of one row.
const std::vector<Row> kLevels = {
    {0, "Alpha", "a.exe"},
    {2, "Group", "", "", "", {{0, "Beta", "b.exe"}, {777, ""}, {2, "Inner", "", "", "", {{0, "Gamma-gamma"}}}}},
    {777, ""},
    {0, "Delta delta", "d.exe"},
};

TEST_F(HintWindowTest, HoverShowsTheCaptionBesideItsRowAndSeparatorsAndGroupsHideIt) {
    StartHint(kLevels);
    core::TForm1& m = Main();
    const int mainAnchor = m.Left() + m.Skin.SkinWidth;
    Hover(1);
    EXPECT_EQ(Placed(), AtRow(m, mainAnchor, 0, L"Alpha"));
    m.FormMouseMove(0, 10, kHeader + 2 * kItem + 4);  // the separator
    EXPECT_EQ(Placed(), "hidden");
    m.FormMouseMove(0, 10, kHeader + 2 * kItem + 8 + kItem / 2);
    EXPECT_EQ(Placed(), At(mainAnchor, m.Top() + kHeader + 2 * kItem + 8 + 18 - 8, L"Delta delta"));
    Hover(2);
    EXPECT_EQ(Placed(), "hidden") << "a group";
    ASSERT_TRUE(Form2().Visible());

    popups::TForm2& f2 = Form2();
    f2.FormMouseMove(0, 10, kHeader + kItem / 2);
    EXPECT_EQ(Placed(), AtRow(f2, f2.Left() + f2.Width(), 0, L"Beta"));
    f2.FormMouseMove(0, 10, kHeader + kItem + 4);
    EXPECT_EQ(Placed(), "hidden") << "a separator";
    f2.FormMouseMove(0, 10, kHeader + kItem + 8 + kItem / 2);
    EXPECT_EQ(Placed(), "hidden") << "a group on the second level";
    ASSERT_TRUE(Form3().Visible());

    popups::TForm3& f3 = Form3();
    f3.FormMouseMove(0, 10, kHeader + kItem / 2);
    EXPECT_EQ(Placed(), AtRow(f3, f3.Left() + f3.Width(), 0, L"Gamma-gamma"));
}

TEST_F(HintWindowTest, InAScrollingListingTheHintGoesBelowTheUpArrowBesideTheRowShown) {
    core::SetKeepListingsForTests(true);  // the listings are written here
    std::vector<Row> entries;
    for (int i = 0; i < 16; ++i) entries.emplace_back(55, std::string(static_cast<size_t>(i) + 1, 'W'), "C:\\e");
    StartHint({Row(1, "Listing", "C:\\", "", "1", entries)});
    Hover(1);
    ASSERT_TRUE(Form2().Visible());
    ASSERT_EQ(Main().ScrollMode[2], 1);
    popups::TForm2& f2 = Form2();
    const int y = kHeader + kItem + 2 * kItem + kItem / 2;  // the third row shown
    f2.FormMouseMove(0, 10, y);
    EXPECT_EQ(Placed(), AtRow(f2, f2.Left() + f2.Width(), 2, L"WWW", kItem));
    for (int i = 0; i < 5; ++i) core::ScrollMenu(f2, false);
    Main().StopTimer(core::TForm1::kScrolltimer);
    ASSERT_EQ(Main().ScrollTop, 5);
    f2.FormMouseMove(0, 10, kHeader + kItem + kItem / 2);
    f2.FormMouseMove(0, 10, y);
    EXPECT_EQ(Placed(), AtRow(f2, f2.Left() + f2.Width(), 2, std::wstring(8, L'W'), kItem)) << "entry 7";
}

TEST_F(HintWindowTest, NoCallerShowsAHintWhenShowHintIsOff) {
    const std::vector<std::pair<const char*, std::function<void(core::TForm1&)>>> callers = {
        {"hover", [](core::TForm1& m) { m.FormMouseMove(0, 10, kHeader + kItem + kItem / 2); }},
        {"new shortcut", [](core::TForm1& m) { m.NewMIClick(); }},
        {"paste", [](core::TForm1& m) { m.Paste1Click(); }},
    };
    core::SetPropertiesDialogForTests([](int) {});
    for (const char* showHint : {"1", "0"}) {
        for (const auto& [name, call] : callers) {
            SCOPED_TRACE(testing::Message() << name << ", ShowHint " << showHint);
            StartHint({{0, "Alpha", "a.exe"}, {0, "Beta", "b.exe"}}, "",
                      L"HintFontSize=14\r\nShowHint=" + ui::Utf8ToWide(showHint) + L"\r\n");
            core::TForm1& m = Main();
            m.PopupMenu1.Tag = 0;
            m.SelectedIndex[1] = 1;
            m.ClipboardNode = m.XMLDocument1.Root().ElementAt(1).CloneDeep();
            call(m);
            EXPECT_EQ(Hint().Visible(), std::string(showHint) == "1");
            core::DestroyForms();
        }
    }
}

// G at row 2 holds H, a group at its row 1; level 3 is H's items.
const std::vector<Row> kThreeLevels = {
    {0, "A"},
    {2, "G", "", "", "", {{2, "H", "", "", "", {{0, "h1"}, {0, "h2"}}}, {0, "g2"}}},
    {0, "B"},
};

TEST_F(HintWindowTest, NewShortcutAndPasteShowTheNewRowsCaptionBesideItOnEachLevel) {
    struct Case {
        bool paste;
        int level;
        int row1, row2, row3;
    };
    const Case cases[] = {
        {false, 1, 3, -1, -1}, {false, 2, 2, 2, -1}, {false, 3, 2, 1, 2},
        {true, 1, 2, -1, -1},  {true, 2, 2, 1, -1},  {true, 3, 2, 1, 1},
    };
    // The properties dialog the new shortcut opens after its hint.
    core::SetPropertiesDialogForTests([](int) {});
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.paste ? "paste" : "new shortcut") << " on level " << c.level);
        StartHint(kThreeLevels);
        core::TForm1& m = Main();
        // Level 2 and 3 windows where no other window is, so the anchor tells them apart.
        Form2().SetBounds(300, 200, Form2().Width(), Form2().Height());
        Form3().SetBounds(520, 430, Form3().Width(), Form3().Height());
        const std::wstring pasted = L"Pasted caption";
        m.ClipboardNode = m.XMLDocument1.Root().ElementAt(0).CloneDeep();
        m.ClipboardNode->Child(L"Caption").SetText(pasted);
        m.PopupMenu1.Tag = c.level - 1;
        m.SelectedIndex[1] = c.row1;
        m.SelectedIndex[2] = c.row2;
        m.SelectedIndex[3] = c.row3;
        if (c.paste) m.Paste1Click();
        else m.NewMIClick();
        const std::wstring caption = c.paste ? pasted : L"New item";
        const int row = (c.level == 1 ? c.row1 : c.level == 2 ? c.row2 : c.row3) - 1;
        const ui::Form& window = c.level == 1 ? static_cast<ui::Form&>(m) : c.level == 2 ? Form2() : Form3();
        const int anchor = c.level == 1 ? m.Left() + m.Skin.SkinWidth : window.Left() + window.Width();
        EXPECT_EQ(Placed(), AtRow(window, anchor, row, caption));
        core::DestroyForms();
    }
}

TEST_F(HintWindowTest, APastedSeparatorOrGroupHidesTheHintAsItsHoverDoes) {
    struct Case {
        int level;
        int type;
        bool shown;
    };
    // A new separator's node carries the new-item caption, so only the type keeps it
    // from showing; a group opens its own window beside the row on levels 1 and 2.
    const Case cases[] = {{1, 777, false}, {1, 2, false}, {2, 777, false}, {2, 2, false}, {1, 0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " pasted on level " << c.level);
        StartHint(kThreeLevels);
        core::TForm1& m = Main();
        Show(L"Before");
        ASSERT_TRUE(Hint().Visible());
        m.ClipboardNode = m.XMLDocument1.Root().ElementAt(0).CloneDeep();
        m.ClipboardNode->Child(L"Type").SetText(ui::IntToStr(c.type));
        m.ClipboardNode->Child(L"Caption").SetText(L"New item");
        m.PopupMenu1.Tag = c.level - 1;
        m.SelectedIndex[1] = 2;
        m.SelectedIndex[2] = 1;
        m.Paste1Click();
        EXPECT_EQ(Hint().Visible(), c.shown);
        core::DestroyForms();
    }
}

}  // namespace
