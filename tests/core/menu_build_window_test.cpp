// The main menu build over real windows: strip, captions, panels, window size and
// the cache files.
#include "main_window_fixture.h"

#include "render/item_icons.h"
#include "support/pixels.h"
#include "ui/files.h"
#include "ui/images.h"
#include "ui/strings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

using testing_support::Band;
using testing_support::CountInk;
using testing_support::PixelAt;

// A 4 x 4 PNG, opaque red.
constexpr char kRedPng[] =
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x04\x00\x00\x00\x04\x08\x06"
    "\x00\x00\x00\xa9\xf1\x9e\x7e\x00\x00\x00\x12\x49\x44\x41\x54\x78\xda\x63\xf8\xcf\xc0\xf0\x1f\x19\x33\x90"
    "\x2e\x00\x00\x3c\x40\x1f\xe1\x1a\xf3\xa5\x48\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82";

std::string Item(const std::string& type, const std::string& fields = "") {
    return "<item><Type>" + type + "</Type>" + fields + "</item>";
}

std::string Menu(const std::string& items) { return "<?xml version=\"1.0\"?>\r\n<Items>" + items + "</Items>\r\n"; }

std::uint8_t Alpha(Gdiplus::ARGB c) { return static_cast<std::uint8_t>(c >> 24); }
std::uint8_t Red(Gdiplus::ARGB c) { return static_cast<std::uint8_t>(c >> 16); }
std::uint8_t Green(Gdiplus::ARGB c) { return static_cast<std::uint8_t>(c >> 8); }
std::uint8_t Blue(Gdiplus::ARGB c) { return static_cast<std::uint8_t>(c); }

std::vector<Gdiplus::ARGB> Cell(Gdiplus::Bitmap& strip, int u) {
    std::vector<Gdiplus::ARGB> pixels;
    for (int y = 0; y < core::kIconCell; ++y)
        for (int x = 0; x < core::kIconCell; ++x) pixels.push_back(PixelAt(strip, core::kIconCell * u + x, y));
    return pixels;
}

class MenuBuildTest : public MainWindowTest {
protected:
    void StartWith(const std::string& menu) {
        folder.WriteFile(L"1.xml", menu);
        Start();
        ASSERT_TRUE(boxes.empty());
    }

};

TEST_F(MenuBuildTest, EmptyMenuIsHeaderAndBottomHighAndCaptionsMakeItAHundredWide) {
    StartWith(Menu(""));
    core::TForm1& m = Main();
    const int height = m.Skin.HeaderSize + m.Skin.BottomMargin;
    EXPECT_EQ(m.MainHeight, height);
    EXPECT_EQ(m.Height(), height);
    EXPECT_EQ(m.Width(), m.Skin.SkinWidth);
    EXPECT_FALSE(m.LevelImages[1]) << "no cells, no strip";
    EXPECT_TRUE(core::MainPanels.empty());

    UsePlainCaptions(Main().Skin);
    m.Skin.CaptionX = 7;
    m.Skin.RightMargin = 20;
    m.Skin.TextRightMargin = 5;
    m.BuildMainMenu();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(m.LevelWidths[1], 100 + 7 + 20 - 5);
    EXPECT_EQ(m.Width(), 122);
    EXPECT_EQ(m.Height(), height);
    ASSERT_TRUE(m.CaptionImages[1]);
    EXPECT_EQ(m.CaptionImages[1]->GetWidth(), 122u);
    EXPECT_EQ(m.CaptionImages[1]->GetHeight(), static_cast<UINT>(2 * height));
    ASSERT_TRUE(m.Compositor.LevelBitmaps[1]);
    EXPECT_EQ(m.Compositor.LevelBitmaps[1]->Width(), 122);
    EXPECT_EQ(m.Compositor.LevelBitmaps[1]->Height(), height);
}

TEST_F(MenuBuildTest, StripHasACellPerItemAndCaptionsWidenTheWindowToTheLongest) {
    StartWith(Menu(Item("0", "<Caption>Hi</Caption>") + Item("777") +
                   Item("0", "<Caption>A caption much wider than one hundred pixels</Caption>")));
    core::TForm1& m = Main();
    const core::SkinMetrics& skin = m.Skin;
    const int height = skin.HeaderSize + 2 * skin.ItemSize + skin.Separatorsize + skin.BottomMargin;
    ASSERT_TRUE(m.LevelImages[1]);
    EXPECT_EQ(m.LevelImages[1]->GetWidth(), 3u * 48u);
    EXPECT_EQ(m.LevelImages[1]->GetHeight(), 48u);
    EXPECT_EQ(m.Width(), skin.SkinWidth);
    EXPECT_EQ(m.Height(), height);
    EXPECT_FALSE(m.CaptionImages[1]);

    UsePlainCaptions(Main().Skin);
    m.Skin.CaptionX = 40;
    m.BuildMainMenu();
    const int width = m.LevelWidths[1];
    EXPECT_GT(width, 100 + 40 + m.Skin.RightMargin) << "measured, not the empty-menu fallback";
    EXPECT_EQ(m.Width(), width);
    EXPECT_EQ(m.Height(), height);
    ASSERT_TRUE(m.CaptionImages[1]);
    EXPECT_EQ(m.CaptionImages[1]->GetWidth(), static_cast<UINT>(width));
    EXPECT_EQ(m.CaptionImages[1]->GetHeight(), static_cast<UINT>(2 * height));
    EXPECT_EQ(m.LevelImages[1]->GetWidth(), 3u * 48u);
}

TEST_F(MenuBuildTest, OnlyRowsWithSubItemsGetHiddenPanelsAndBecomeGroups) {
    const std::string child = "<subitem>" + Item("0", "<Caption>child</Caption>") + "</subitem>";
    StartWith(Menu(Item("0", child) +                                       // 0: becomes a group
                   Item("1", "<Param1>1</Param1>" + child) +                // 1: folder menu
                   Item("2", "<subitem></subitem>") +                       // 2: empty group
                   Item("0", "<subitem><!-- nothing --></subitem>") +       // 3: a comment is no item
                   Item("777", child) +                                     // 4: separator with items
                   Item("0")));                                             // 5: no subitem at all
    core::TForm1& m = Main();
    const core::SkinMetrics& skin = m.Skin;
    const int types[] = {2, 1, 2, 0, 2, 0};
    for (int u = 0; u < 6; ++u) EXPECT_EQ(m.ItemLists[1][u].Type, types[u]) << "row " << u;
    EXPECT_EQ(m.Height(), skin.HeaderSize + 6 * skin.ItemSize + skin.BottomMargin)
        << "a separator that opens a sub-menu is a full row";
    EXPECT_EQ(m.XMLDocument1.Root().ElementAt(0).FindChild(L"Type")->Text(), L"0") << "the document keeps its Types";

    for (int pass = 0; pass < 2; ++pass) {  // a rebuild replaces the panels
        ASSERT_EQ(core::MainPanels.size(), 2u);
        const int rows[] = {0, 4};
        for (size_t i = 0; i < 2; ++i) {
            core::TMouseControl& panel = *core::MainPanels[i];
            EXPECT_EQ(panel.Tag, rows[i]);
            EXPECT_FALSE(panel.Visible());
            EXPECT_EQ(GetParent(panel.Handle()), m.Handle());
            EXPECT_EQ(panel.Left() - m.Left(), 0);
            EXPECT_EQ(panel.Top() - m.Top(), m.ItemTop(1, rows[i]));
            EXPECT_EQ(panel.Width(), m.LevelWidths[1]);
            EXPECT_EQ(panel.Height(), skin.ItemSize);
            EXPECT_TRUE(panel.OnMouseEnter);
        }
        m.BuildMainMenu();
    }
}

TEST_F(MenuBuildTest, MissingTargetsAndIconFilesShowShell32Icon23) {
    StartWith(Menu(Item("4", "<ImageFile>%SYSTEM%shell32.dll</ImageFile><Index>23</Index>") +
                   Item("0", "<Run>C:\\nowhere\\missing.exe</Run><ImageFile>C:\\nowhere\\missing.ico</ImageFile>") +
                   Item("3", "<Run>C:\\nowhere\\missing.exe</Run><ImageFile>C:\\nowhere\\gone.ico</ImageFile>")));
    core::TForm1& m = Main();
    ASSERT_TRUE(m.LevelImages[1]);
    const auto expected = Cell(*m.LevelImages[1], 0);
    ASSERT_GT(CountInk(expected), 100) << "icon 23 was drawn at all";
    EXPECT_EQ(Cell(*m.LevelImages[1], 1), expected) << "Type 0: the list's icon falls back";
    EXPECT_EQ(Cell(*m.LevelImages[1], 2), expected) << "Type 3: the shell has no icon for the target";

    EXPECT_EQ(m.ItemLists[1][1].ImageFile, core::SystemDir + L"shell32.dll");
    EXPECT_EQ(m.ItemLists[1][1].Index, 23);
    EXPECT_EQ(m.ItemLists[1][2].ImageFile, L"C:\\nowhere\\gone.ico") << "only Types 0 and 2 fall back";
    EXPECT_EQ(m.XMLDocument1.Root().ElementAt(1).FindChild(L"ImageFile")->Text(), L"C:\\nowhere\\missing.ico")
        << "the document is unchanged";
}

TEST_F(MenuBuildTest, LowerCasePngIsDrawnAsAPictureAndCapitalPngIsAFileIcon) {
    folder.WriteFile(L"pic.png", std::string(kRedPng, sizeof kRedPng - 1));
    folder.WriteFile(L"ICON.PNG", std::string(kRedPng, sizeof kRedPng - 1));
    StartWith(Menu(Item("0", "<ImageFile>" + ui::WideToUtf8(folder.PathOf(L"pic.png")) + "</ImageFile>") +
                   Item("0", "<ImageFile>" + ui::WideToUtf8(folder.PathOf(L"ICON.PNG")) + "</ImageFile>")));
    Gdiplus::Bitmap& strip = *Main().LevelImages[1];
    for (int at : {12, 24, 36}) {
        const Gdiplus::ARGB picture = PixelAt(strip, at, at);
        EXPECT_GE(Alpha(picture), 254);
        EXPECT_GE(Red(picture), 254);
        EXPECT_LE(Green(picture), 1);
        EXPECT_LE(Blue(picture), 1);
    }
    int red = 0;
    for (auto p : Cell(strip, 1)) red += Alpha(p) > 250 && Red(p) > 250 && Green(p) < 5 && Blue(p) < 5;
    EXPECT_LT(red, 48 * 48 / 2) << "ICON.PNG must not be drawn as the red picture";
}

TEST_F(MenuBuildTest, CaptionsLieInTheirRowsInBothHalvesExactlyHApart) {
    StartWith(Menu(Item("777", "<Caption>Separator</Caption>") + Item("0", "<Caption>Alpha</Caption>")));
    core::TForm1& m = Main();
    UsePlainCaptions(Main().Skin);
    m.BuildMainMenu();
    ASSERT_TRUE(boxes.empty());
    ASSERT_TRUE(m.CaptionImages[1]);
    Gdiplus::Bitmap& captions = *m.CaptionImages[1];
    const int h = m.MainHeight;
    const int separatorTop = m.ItemTop(1, 0);
    const int rowTop = m.ItemTop(1, 1);

    EXPECT_EQ(CountInk(Band(captions, 0, rowTop)), 0) << "separators have no caption";
    EXPECT_EQ(CountInk(Band(captions, h + separatorTop, h + rowTop)), 0);
    const auto normal = Band(captions, rowTop, rowTop + m.Skin.ItemSize);
    const auto selected = Band(captions, h + rowTop, h + rowTop + m.Skin.ItemSize);
    ASSERT_GT(CountInk(normal), 20);
    ASSERT_EQ(normal.size(), selected.size());
    for (size_t i = 0; i < normal.size(); ++i) {
        ASSERT_NEAR(Alpha(normal[i]), Alpha(selected[i]), 1) << "pixel " << i;
        if (Alpha(normal[i]) < 128) continue;
        EXPECT_GT(Red(normal[i]), 200);
        EXPECT_LT(Blue(normal[i]), 50);
        EXPECT_GT(Blue(selected[i]), 200);
        EXPECT_LT(Red(selected[i]), 50);
    }
}

TEST_F(MenuBuildTest, ShadowSmoothZeroDrawsTheShadowUnscaled) {
    StartWith(Menu(Item("0", "<Caption>Shadowed</Caption>")));
    core::TForm1& m = Main();
    UsePlainCaptions(Main().Skin);
    m.Skin.FontColor = m.Skin.SelectedFontColor = 0;  // the shadow alone shows
    m.Skin.ShadowSize = 2;
    m.Skin.ShadowColor = m.Skin.SelectedShadowColor = 0xFF00FF00;
    m.BuildMainMenu();
    const auto unscaled = Band(*m.CaptionImages[1], 0, 2 * m.MainHeight);
    ASSERT_GT(CountInk(unscaled), 20);

    m.Skin.ShadowSmooth = 0;
    m.BuildMainMenu();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Band(*m.CaptionImages[1], 0, 2 * m.MainHeight), unscaled);
}

TEST_F(MenuBuildTest, MissingCaptionObjectsAreMadeForTheBuild) {
    StartWith(Menu(Item("0", "<Caption>Alpha</Caption>")));
    core::TForm1& m = Main();
    UsePlainCaptions(Main().Skin);
    m.Skin.FontName = L"No Such Font Family";
    core::ReleaseCaptionObjects(m.Parts);
    m.BuildMainMenu();
    EXPECT_TRUE(boxes.empty());
    ASSERT_TRUE(m.CaptionImages[1]);
    EXPECT_GT(CountInk(Band(*m.CaptionImages[1], 0, m.MainHeight)), 20) << "drawn in the generic family";
}

// Fill pixels of the row's band in one half: opaque enough to be text, and of the
// half's fill colour rather than the stroke's or the shadow's.
int CountFill(Gdiplus::Bitmap& captions, int top, int rows, bool red) {
    int count = 0;
    for (auto p : Band(captions, top, top + rows)) {
        if (Alpha(p) < 200) continue;
        const bool isRed = Red(p) > 200 && Blue(p) < 60;
        const bool isBlue = Blue(p) > 200 && Red(p) < 60;
        count += red ? isRed : isBlue;
    }
    return count;
}

TEST_F(MenuBuildTest, FourHundredCaptionedRowsStartAndDrawBothHalvesToTheLastRow) {
    std::string items;
    for (int i = 0; i < 400; ++i) items += Item("0", "<Caption>Row " + std::to_string(i) + "</Caption>");
    folder.WriteFile(L"1.xml", Menu(items));
    // Stroke and shadow as a real captioned skin has them. Whether one outline of all
    // rows overflowed the stack depended on where the glyphs fell: these metrics ended
    // the program. The window stays narrow: this X server refuses a layered window
    // update of much more than 6 MB.
    folder.WriteUtf16(L"Themes\\long\\skin.ini",
                      L"[Skin]\r\nShowCaption=1\r\nItemSize=40\r\nCaptionX=48\r\nRightMargin=0\r\nCaptionY=10\r\nFontSize=13\r\n"
                      L"StrokeSize=2.0\r\nShadowSize=1.5\r\nFontColor=#FF0000\r\nSelectedFontColor=#0000FF\r\n"
                      L"StrokeColor=#FFFFFF\r\nSelectedStrokeColor=#FFFFFF\r\n");
    config += L"LastSkin=long\r\n";
    Start();
    core::TForm1& m = Main();
    EXPECT_TRUE(boxes.empty());
    ASSERT_TRUE(m.CaptionImages[1]);
    const int h = m.MainHeight;
    EXPECT_EQ(h, m.Skin.HeaderSize + 400 * m.Skin.ItemSize + m.Skin.BottomMargin);
    ASSERT_EQ(m.CaptionImages[1]->GetHeight(), static_cast<UINT>(2 * h));
    for (int row : {0, 1, 200, 398, 399}) {
        SCOPED_TRACE(row);
        const int top = m.ItemTop(1, row);
        EXPECT_GT(CountFill(*m.CaptionImages[1], top, m.Skin.ItemSize, true), 10) << "normal half";
        EXPECT_GT(CountFill(*m.CaptionImages[1], h + top, m.Skin.ItemSize, false), 10) << "highlighted half";
    }
}

TEST_F(MenuBuildTest, BuildWritesTheStripOrTheCaptionImageToTheCache) {
    StartWith(Menu(Item("4", "<ImageFile>%SYSTEM%shell32.dll</ImageFile><Index>23</Index>") + Item("0")));
    core::TForm1& m = Main();
    auto strip = ui::LoadImageFile(core::CacheDir + L"main.png");
    ASSERT_TRUE(strip);
    EXPECT_EQ(strip->GetWidth(), 96u);
    EXPECT_EQ(strip->GetHeight(), 48u);
    EXPECT_EQ(Cell(*strip, 0), Cell(*m.LevelImages[1], 0));
    EXPECT_FALSE(ui::FileExists(core::CacheDir + L"smain.png"));

    UsePlainCaptions(Main().Skin);
    m.BuildMainMenu();
    auto captions = ui::LoadImageFile(core::CacheDir + L"smain.png");
    ASSERT_TRUE(captions);
    EXPECT_EQ(captions->GetWidth(), static_cast<UINT>(m.LevelWidths[1]));
    EXPECT_EQ(captions->GetHeight(), static_cast<UINT>(2 * m.MainHeight));
    EXPECT_FALSE(ui::FileExists(core::CacheDir + L"smain.png.tmp"));
}

}  // namespace
