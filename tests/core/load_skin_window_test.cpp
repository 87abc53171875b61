// Skins loaded into the real main window: fixture skins whose PNG parts the tests
// write, checked in the premultiplied DIBs the compositor draws from.
#include "main_window_fixture.h"

#include "support/pixels.h"
#include "support/png_file.h"

namespace {

using testing_support::PixelNear;
using testing_support::PngBytes;
using testing_support::SolidPng;

constexpr std::uint32_t kFallback = 0x96000000;  // black at alpha 150
constexpr COLORREF kColorize = RGB(0, 128, 255);

class LoadSkinTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        folder.WriteFile(L"1.xml", "<Items></Items>");
    }

    void WriteSkinFile(const std::wstring& skin, const std::wstring& file, const std::string& bytes) {
        folder.WriteFile(L"Themes\\" + skin + L"\\" + file, bytes);
    }
    void WriteSkinIni(const std::wstring& skin, const std::wstring& text) {
        folder.WriteUtf16(L"Themes\\" + skin + L"\\skin.ini", text);
    }

    core::SkinParts& Parts() { return Main().Parts; }
    core::SkinMetrics& Skin() { return Main().Skin; }
    core::Settings& Settings() { return Main().Settings; }
};

// Column bands of a 40 x 200 background: the first 10 columns differ from the rest.
Gdiplus::ARGB RedLeftBlueRest(int x, int) { return x < 10 ? 0xFFFF0000 : 0xFF0000FF; }

TEST_F(LoadSkinTest, EmptySkinFolderGivesANarrowHalfTransparentBlackSkin) {
    ASSERT_TRUE(testing_support::CreateFolders(folder.PathOf(L"Themes\\empty")));
    config += L"LastSkin=empty\r\n";
    Start();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Main().Width(), 36);
    EXPECT_EQ(Skin().SkinWidth, 36);
    EXPECT_EQ(Skin().BottomMargin, 180 - 4 * 36 - 16 - 8);
    ASSERT_EQ(Parts().Back.Width(), 36);
    ASSERT_EQ(Parts().Back.Height(), 180);
    EXPECT_EQ(Parts().Back.Pixel(0, 0), kFallback);
    EXPECT_EQ(Parts().Back.Pixel(35, 179), kFallback);
    // The box: back.png from its first row band over the same black.
    ASSERT_GE(Parts().Box.Width(), 36);
    ASSERT_GE(Parts().Box.Height(), 6 * 36);
    EXPECT_TRUE(PixelNear(Parts().Box.Pixel(0, 0), 0xD4000000));  // 150 over 150
    EXPECT_EQ(Parts().Box.Pixel(100, 0), kFallback);
    EXPECT_FALSE(Parts().TabEnabled || Parts().MainHeaderLoaded || Parts().AnimationLoaded || Parts().TopLoaded ||
                 Parts().BlurEnabled);
    EXPECT_EQ(Parts().AnimationKeys.frames, 1);
    EXPECT_EQ(Parts().AnimationKeys.delay, 0);
    ASSERT_TRUE(Parts().EditBoxBackground);
    EXPECT_EQ(Parts().EditBoxBackground->GetWidth(), 180u);
    EXPECT_EQ(Parts().EditBoxBackground->GetHeight(), 16u);
}

TEST_F(LoadSkinTest, OnlyBackPngGivesNoTabHeaderOrAnimationAndABoxFromTheBackground) {
    WriteSkinFile(L"only", L"back.png", SolidPng(50, 200, 0xFF4080C0));
    Start();
    Settings().DisableTab = 1;  // wanted, but the files are missing
    Settings().DisableAnimation = 1;
    Main().LoadSkin(L"only");
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Skin().SkinWidth, 50);
    EXPECT_EQ(Main().Width(), 50);
    EXPECT_EQ(Skin().BottomMargin, 200 - 4 * 36 - 16 - 8);
    EXPECT_EQ(Parts().Back.Pixel(49, 199), 0xFF4080C0u);
    EXPECT_FALSE(Parts().TabEnabled);
    EXPECT_EQ(Skin().TabWidth, 0);
    EXPECT_FALSE(Parts().MainHeaderLoaded);
    EXPECT_FALSE(Parts().AnimationLoaded);
    EXPECT_EQ(Parts().AnimationKeys.frames, 1);
    EXPECT_EQ(Parts().Box.Pixel(0, 0), 0xFF4080C0u);
    EXPECT_EQ(Parts().Box.Pixel(60, 0), kFallback);
}

TEST_F(LoadSkinTest, TabSizesReplaceTheVisibleEdgeOfThePosition) {
    WriteSkinFile(L"tab", L"tab.png", SolidPng(12, 30, 0x80FF0000));
    WriteSkinFile(L"tab", L"vertical_tab.png", SolidPng(40, 9, 0xFF00FF00));
    WriteSkinIni(L"tab",
                 L"[Skin]\r\nTabX=3\r\nTabY=4\r\nLeftEdgeSize=7\r\nRightEdgeSize=7\r\nTopEdgeSize=7\r\n"
                 L"BottomEdgeSize=7\r\n");
    Start();
    struct Case {
        std::uint8_t position;
        int left, right, top, bottom;
    };
    const Case cases[] = {
        {0, 12, 7, 7, 7}, {1, 7, 12, 7, 7}, {2, 7, 7, 15, 7}, {3, 7, 7, 7, 15}, {5, 7, 7, 7, 7},
    };
    Settings().DisableTab = 1;
    for (const Case& c : cases) {
        Settings().Position = c.position;
        Main().LoadSkin(L"tab");
        SCOPED_TRACE(c.position);
        ASSERT_TRUE(Parts().TabEnabled);
        EXPECT_EQ(Skin().TabWidth, 12);
        EXPECT_EQ(Skin().TabHalfHeight, 15);
        EXPECT_EQ(Skin().VerticalTabWidth, 40);
        EXPECT_EQ(Skin().VerticalTabHalfHeight, 4);  // 4.5 rounds to even
        EXPECT_EQ(Skin().TabX, 3);
        EXPECT_EQ(Skin().TabY, 4);
        EXPECT_EQ(Skin().LeftEdgeSize, c.left);
        EXPECT_EQ(Skin().RightEdgeSize, c.right);
        EXPECT_EQ(Skin().TopEdgeSize, c.top);
        EXPECT_EQ(Skin().BottomEdgeSize, c.bottom);
    }
    EXPECT_TRUE(PixelNear(Parts().Tab.Pixel(11, 29), 0x80800000));
    EXPECT_EQ(Parts().VerticalTab.Width(), 40);

    Settings().DisableTab = 0;
    Settings().Position = 0;
    Main().LoadSkin(L"tab");
    EXPECT_FALSE(Parts().TabEnabled);
    EXPECT_EQ(Skin().TabWidth, 0);
    EXPECT_EQ(Skin().VerticalTabWidth, 0);
    EXPECT_EQ(Skin().TabX, 0);
    EXPECT_EQ(Skin().TabHalfHeight, 15) << "the half heights keep their values";
    EXPECT_EQ(Skin().LeftEdgeSize, 7);
}

// x < 10: white above row 100, grey below; 10..29 black; 30..39 grey. mask.png is
// only 20 wide, so the columns from 20 on are unmasked.
Gdiplus::ARGB ColourizeBack(int x, int y) {
    if (x < 10) return y < 100 ? 0xFFFFFFFF : 0xFF808080;
    return x < 30 ? 0xFF000000 : 0xFF808080;
}

TEST_F(LoadSkinTest, ColourizeTintsTheMaskedPixelsOnly) {
    WriteSkinFile(L"tint", L"back.png", PngBytes(40, 200, ColourizeBack));
    WriteSkinFile(L"tint", L"mask.png", SolidPng(20, 200, 0xFF000000));
    WriteSkinIni(L"tint",
                 L"[Skin]\r\nColorizeStroke=1\r\nStrokeColor=#000000\r\nColorizeShadow=1\r\n"
                 L"ShadowColor=#FFFFFF\r\nShadowTransparency=200\r\nSelectedStrokeColor=#000000\r\n");
    Start();
    Settings().Colorize = 1;
    Settings().ColorizeColor = static_cast<int>(kColorize);
    Main().LoadSkin(L"tint");
    EXPECT_TRUE(boxes.empty());
    const ui::Dib& back = Parts().Back;
    EXPECT_EQ(back.Pixel(5, 50), 0xFFFFFFFFu) << "white stays white";
    EXPECT_EQ(back.Pixel(15, 50), 0xFF0080FFu) << "black takes the colour";
    // The brightest masked grey is white, so grey lightens towards the colour.
    EXPECT_TRUE(PixelNear(back.Pixel(5, 120), 0xFF40A0FF));
    EXPECT_EQ(back.Pixel(25, 50), 0xFF000000u) << "outside the smaller mask";
    EXPECT_EQ(back.Pixel(35, 50), 0xFF808080u);
    // Rows 0 .. height - Separatorsize - 1 only.
    EXPECT_EQ(back.Pixel(15, 191), 0xFF0080FFu);
    EXPECT_EQ(back.Pixel(15, 192), 0xFF000000u);

    EXPECT_EQ(Skin().StrokeColor, 0xFF0080FFu);
    EXPECT_EQ(Skin().ShadowColor, 0xC8FFFFFFu);
    EXPECT_EQ(Skin().SelectedStrokeColor, 0xFF000000u) << "its flag is clear";
}

TEST_F(LoadSkinTest, ColourizeWithoutMaskPngLeavesTheBackgroundButTintsTheBoxFromBlack) {
    WriteSkinFile(L"boxonly", L"back.png", SolidPng(40, 200, 0xFF000000));
    WriteSkinFile(L"boxonly", L"box.png", SolidPng(40, 216, 0xFF808080));
    WriteSkinFile(L"boxonly", L"boxmask.png", SolidPng(40, 216, 0xFF000000));
    WriteSkinIni(L"boxonly", L"[Skin]\r\nColorizeStroke=1\r\n");
    Start();
    Settings().Colorize = 1;
    Settings().ColorizeColor = static_cast<int>(kColorize);
    Main().LoadSkin(L"boxonly");
    EXPECT_EQ(Parts().Back.Pixel(5, 5), 0xFF000000u);
    // With no masked background the darkened colour is black; the channels stop at
    // 0 instead of wrapping.
    EXPECT_TRUE(PixelNear(Parts().Box.Pixel(5, 5), 0xFF4080BF));
    EXPECT_EQ(Skin().StrokeColor, 0xFFCCCCCCu) << "caption colours follow mask.png";
}

// The alpha an opaque pixel keeps when drawn through the attributes.
int AlphaThrough(Gdiplus::ImageAttributes* attributes) {
    Gdiplus::Bitmap source(1, 1, PixelFormat32bppARGB);
    source.SetPixel(0, 0, Gdiplus::Color(255, 255, 255, 255));
    Gdiplus::Bitmap target(1, 1, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&target);
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        graphics.DrawImage(&source, Gdiplus::Rect(0, 0, 1, 1), 0, 0, 1, 1, Gdiplus::UnitPixel, attributes);
    }
    Gdiplus::Color color;
    target.GetPixel(0, 0, &color);
    return color.GetA();
}

TEST_F(LoadSkinTest, BackgroundTransparencyScalesTheAlphaOfBackAndBox) {
    WriteSkinFile(L"glassy", L"back.png",
                  PngBytes(40, 200, [](int x, int) { return x < 10 ? 0xC8204060 : 0xFF204060; }));
    WriteSkinFile(L"glassy", L"box.png", SolidPng(40, 216, 0xFFFFFFFF));
    Start();
    Settings().BackgroundTransparent = 50;
    Main().LoadSkin(L"glassy");
    EXPECT_TRUE(PixelNear(Parts().Back.Pixel(20, 20), 0x80102030));
    EXPECT_TRUE(PixelNear(Parts().Back.Pixel(5, 20), 0x640D1926));  // alpha 200 halved, premultiplied
    EXPECT_TRUE(PixelNear(Parts().Box.Pixel(5, 5), 0x80808080));
    EXPECT_NEAR(AlphaThrough(Main().Compositor.TransparencyAttributes.get()), 128, 1);

    Settings().BackgroundTransparent = 100;
    Main().LoadSkin(L"glassy");
    EXPECT_EQ(Parts().Back.Pixel(20, 20), 0xFF204060u);
    EXPECT_EQ(AlphaThrough(Main().Compositor.TransparencyAttributes.get()), 255)
        << "the previous skin's factor does not stay";
}

TEST_F(LoadSkinTest, FlipBackgroundMirrorsBackAndTopPng) {
    // top.png is half the size of back.png: a green 5 x 5 corner becomes 10 x 10.
    const std::string top = PngBytes(20, 100, [](int x, int y) { return x < 5 && y < 5 ? 0xFF00FF00 : 0u; });
    for (const wchar_t* skin : {L"plain", L"flip"}) {
        WriteSkinFile(skin, L"back.png", PngBytes(40, 200, RedLeftBlueRest));
        WriteSkinFile(skin, L"top.png", top);
    }
    WriteSkinIni(L"flip", L"[Skin]\r\nFlipBackground=1\r\n");
    Start();

    Main().LoadSkin(L"plain");
    EXPECT_TRUE(Parts().TopLoaded);
    EXPECT_TRUE(PixelNear(Parts().Back.Pixel(3, 3), 0xFF00FF00));
    EXPECT_EQ(Parts().Back.Pixel(5, 50), 0xFFFF0000u);
    EXPECT_EQ(Parts().Back.Pixel(35, 50), 0xFF0000FFu);

    Main().LoadSkin(L"flip");
    EXPECT_TRUE(PixelNear(Parts().Back.Pixel(36, 3), 0xFF00FF00));
    EXPECT_EQ(Parts().Back.Pixel(39, 50), 0xFFFF0000u);
    EXPECT_EQ(Parts().Back.Pixel(30, 50), 0xFFFF0000u);
    EXPECT_EQ(Parts().Back.Pixel(29, 50), 0xFF0000FFu);
    EXPECT_EQ(Parts().Back.Pixel(0, 50), 0xFF0000FFu);
}

TEST_F(LoadSkinTest, BrokenSkinShowsOneMessageAndKeepsUsableParts) {
    WriteSkinFile(L"badcolor", L"back.png", SolidPng(50, 200, 0xFF101010));
    WriteSkinIni(L"badcolor", L"[Skin]\r\nIconSize=20\r\nStrokeColor=#12G456\r\nFontColor=#123456\r\n");
    WriteSkinFile(L"badbox", L"back.png", SolidPng(50, 200, 0xFF101010));
    WriteSkinFile(L"badbox", L"box.png", "this is not an image");
    Start();

    Main().LoadSkin(L"badcolor");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], L"Error in theme!");
    EXPECT_EQ(Skin().IconSize, 20) << "what was read stays";
    EXPECT_EQ(Skin().FontColor, 0xFFFFFFFFu) << "nothing after the error is read";
    // back.png was not reached: the fallback, and the window and metrics agree with it.
    EXPECT_EQ(Parts().Back.Width(), 36);
    EXPECT_EQ(Skin().SkinWidth, 36);
    EXPECT_EQ(Main().Width(), 36);
    EXPECT_EQ(Parts().Back.Pixel(0, 0), kFallback);
    EXPECT_GE(Parts().Box.Width(), 36);
    EXPECT_TRUE(Parts().EditBoxBackground);

    Main().LoadSkin(L"badbox");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(Parts().Back.Width(), 50);
    EXPECT_EQ(Skin().SkinWidth, 50);
    EXPECT_EQ(Main().Width(), 50);
    EXPECT_EQ(Skin().BottomMargin, 200 - 4 * 36 - 16 - 8);
    EXPECT_GE(Parts().Box.Width(), 50);
    EXPECT_GE(Parts().Box.Height(), 6 * 36);
    EXPECT_TRUE(Parts().EditBoxBackground);
}

TEST_F(LoadSkinTest, EditBoxBackgroundIsTheOpenBoxBandOverWhite) {
    WriteSkinFile(L"edit", L"back.png", SolidPng(60, 200, 0xFF000000));
    // Box band 1 starts at row 36; the edit box sits 8 rows into it.
    WriteSkinFile(L"edit", L"box.png", PngBytes(60, 216, [](int, int y) { return y < 44 ? 0xFF00FF00 : 0x80FF0000; }));
    WriteSkinIni(L"edit", L"[Skin]\r\nEditBoxWidth=100\r\nEditBoxHeight=20\r\n");
    Start();
    Main().LoadSkin(L"edit");
    Gdiplus::Bitmap* image = Parts().EditBoxBackground.get();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetWidth(), 100u);
    EXPECT_EQ(image->GetHeight(), 20u);
    Gdiplus::Color color;
    ASSERT_EQ(image->GetPixel(0, 0, &color), Gdiplus::Ok);
    EXPECT_TRUE(PixelNear(color.GetValue(), 0xFFFF7F7F));
    ASSERT_EQ(image->GetPixel(59, 19, &color), Gdiplus::Ok);
    EXPECT_TRUE(PixelNear(color.GetValue(), 0xFFFF7F7F));
    ASSERT_EQ(image->GetPixel(80, 5, &color), Gdiplus::Ok);
    EXPECT_EQ(color.GetValue(), 0xFFFFFFFFu);
}

TEST_F(LoadSkinTest, OptionalPartsFollowTheSettingsAndBecomePremultipliedDibs) {
    WriteSkinFile(L"full", L"back.png", SolidPng(40, 200, 0xFF808080));
    WriteSkinFile(L"full", L"mainheader.png", SolidPng(40, 16, 0x80C86432));
    WriteSkinFile(L"full", L"animation.png", SolidPng(40, 144, 0xFF00FF00));
    WriteSkinFile(L"full", L"blurmask.png", SolidPng(40, 200, 0xFFFFFFFF));
    WriteSkinIni(L"full", L"[Animation]\r\nframes=3\r\ndelay=300\r\nheight=20\r\n");
    Start();
    Settings().DisableAnimation = 1;
    Settings().VistaBlur = true;
    Main().LoadSkin(L"full");
    ASSERT_TRUE(Parts().MainHeaderLoaded);
    EXPECT_TRUE(PixelNear(Parts().Header.Pixel(0, 0), 0x80643219));
    ASSERT_TRUE(Parts().AnimationLoaded);
    EXPECT_EQ(Parts().Animation.Height(), 144);
    EXPECT_EQ(Parts().AnimationKeys.frames, 3);
    EXPECT_EQ(Parts().AnimationKeys.delay, 44);
    EXPECT_EQ(Parts().AnimationKeys.width, 40) << "the skin width";
    EXPECT_EQ(Parts().AnimationKeys.height, 20);
    EXPECT_TRUE(Parts().BlurEnabled);
    EXPECT_EQ(Parts().BlurMask.Height(), 200);

    Settings().DisableAnimation = 0;
    Settings().VistaBlur = false;
    Main().LoadSkin(L"full");
    EXPECT_FALSE(Parts().AnimationLoaded);
    EXPECT_EQ(Parts().Animation.Width(), 0);
    EXPECT_EQ(Parts().AnimationKeys.frames, 1);
    EXPECT_EQ(Parts().AnimationKeys.delay, 0);
    EXPECT_FALSE(Parts().BlurEnabled);
    EXPECT_TRUE(Parts().MainHeaderLoaded);
}


// Skin values no skin should hold: each must still give a window to draw in, start
// without a crash and ask no question.
struct UndrawableCase {
    const char* name;
    const wchar_t* skin;  // the [Skin] lines
    bool tinyBack;        // a 1 x 1 back.png
    void (*check)(const core::TForm1&);
};

void PrintTo(const UndrawableCase& c, std::ostream* out) { *out << c.name; }

class UndrawableSkinTest : public LoadSkinTest, public ::testing::WithParamInterface<UndrawableCase> {};

TEST_P(UndrawableSkinTest, StartsWithAWindowOfAtLeastOnePixelAndNoQuestion) {
    const UndrawableCase& c = GetParam();
    folder.WriteFile(L"1.xml",
                     "<Items><item><Type>0</Type><Caption>Alpha</Caption></item><item><Type>777</Type></item>"
                     "<item><Type>0</Type><Caption>Beta</Caption></item></Items>");
    WriteSkinIni(L"odd", std::wstring(L"[Skin]\r\n") + c.skin + L"\r\n");
    if (c.tinyBack) WriteSkinFile(L"odd", L"back.png", SolidPng(1, 1, 0xFF808080));
    config += L"LastSkin=odd\r\n";
    Start();
    EXPECT_TRUE(boxes.empty()) << (boxes.empty() ? std::wstring() : boxes[0]);
    RECT r{};
    ASSERT_TRUE(GetWindowRect(Main().Handle(), &r));
    EXPECT_GE(r.right - r.left, 1);
    EXPECT_GE(r.bottom - r.top, 1);
    ASSERT_TRUE(Main().Compositor.LevelBitmaps[1]);
    EXPECT_EQ(Main().Compositor.LevelBitmaps[1]->Width(), r.right - r.left);
    EXPECT_EQ(Main().Compositor.LevelBitmaps[1]->Height(), r.bottom - r.top);
    if (c.check) c.check(Main());
}

const UndrawableCase kUndrawable[] = {
    {"HugeItemSize", L"ShowCaption=1\r\nItemSize=2147483647", false,
     [](const core::TForm1& m) { EXPECT_EQ(m.Skin.ItemSize, 36) << "the default"; }},
    {"TallestItemSize", L"ItemSize=32767", false,
     [](const core::TForm1& m) { EXPECT_EQ(m.Height(), 32767) << "two rows would be taller"; }},
    {"NegativeItemSize", L"ShowCaption=1\r\nItemSize=-36", false, nullptr},
    {"NegativeSizes", L"ShowCaption=1\r\nItemSize=-32768\r\nHeaderSize=-32768\r\nSeparatorsize=-32768", false,
     nullptr},
    {"HugeHeaderSize", L"ShowCaption=1\r\nHeaderSize=2147483647", false,
     [](const core::TForm1& m) { EXPECT_EQ(m.Skin.HeaderSize, 16); }},
    {"TinyBackPng", L"ShowCaption=1", true,
     [](const core::TForm1& m) {
         EXPECT_EQ(m.Skin.BottomMargin, 0) << "a negative margin counts as none";
         EXPECT_EQ(m.Height(), 16 + 2 * 36 + 8);
     }},
    {"HugeCaptionX", L"ShowCaption=1\r\nCaptionX=2147483647", false,
     [](const core::TForm1& m) { EXPECT_EQ(m.Skin.CaptionX, 0); }},
    {"NegativeCaptionX", L"ShowCaption=1\r\nCaptionX=-32768", false, nullptr},
    {"HugeFontSize", L"ShowCaption=1\r\nFontSize=100000", false,
     [](const core::TForm1& m) { EXPECT_EQ(m.Skin.FontSize, 14); }},
    {"ZeroFontSize", L"ShowCaption=1\r\nFontSize=0", false,
     [](const core::TForm1& m) { EXPECT_EQ(m.Skin.FontSize, 14); }},
    {"LargestFontSize", L"ShowCaption=1\r\nFontSize=1000", false, nullptr},
    {"HugeStrokeSize", L"ShowCaption=1\r\nStrokeSize=1e30", false,
     [](const core::TForm1& m) { EXPECT_EQ(m.Skin.StrokeSize, 0.0f) << "the value before the load"; }},
    {"WidestStrokeSize", L"ShowCaption=1\r\nStrokeSize=32767", false, nullptr},
    {"ExtremeShadow", L"ShowCaption=1\r\nShadowSmooth=32767\r\nShadowSize=-32768", false, nullptr},
    {"TinyShadowSmooth", L"ShowCaption=1\r\nShadowSmooth=0.0001", false, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Values, UndrawableSkinTest, ::testing::ValuesIn(kUndrawable),
                         [](const ::testing::TestParamInfo<UndrawableCase>& param) { return param.param.name; });

}  // namespace
