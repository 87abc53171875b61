// The sub-menu renderer over the real windows: rows, scrolling, sizes, panels, the
// icon strip and caption image, the image cache and the one-row scroll step.
#include "core/menu_input_fixture.h"

#include "core/hot_zones.h"
#include "render/item_icons.h"
#include "core/motion.h"
#include "core/startup.h"
#include "popups/form2.h"
#include "support/pixels.h"
#include "support/png_file.h"
#include "ui/files.h"
#include "ui/strings.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using menu_input::Row;
using testing_support::Band;
using testing_support::CountInk;
using testing_support::PixelAt;
using testing_support::PixelNear;

::testing::AssertionResult BandsNear(const std::vector<Gdiplus::ARGB>& actual,
                                     const std::vector<Gdiplus::ARGB>& expected) {
    if (actual.size() != expected.size()) return ::testing::AssertionFailure() << "sizes differ";
    for (size_t i = 0; i < actual.size(); ++i)
        if (auto close = PixelNear(actual[i], expected[i]); !close) return close << " at pixel " << i;
    return ::testing::AssertionSuccess();
}

// The centre of cell u of a strip.
Gdiplus::ARGB CellColor(Gdiplus::Bitmap& strip, int u) { return PixelAt(strip, 48 * u + 24, 24); }

// A distinct opaque colour per row.
Gdiplus::ARGB RowColor(int j) {
    return 0xFF000000u | (static_cast<Gdiplus::ARGB>(20 + 17 * j) << 16) | (static_cast<Gdiplus::ARGB>(200 - 13 * j) << 8) |
           static_cast<Gdiplus::ARGB>(60 + 5 * j);
}

class SubMenuRenderTest : public MenuInputTest {
protected:
    void TearDown() override {
        core::RedrawOnly = false;
        MenuInputTest::TearDown();
    }

    popups::TForm2& Form2() { return *core::Form2; }
    popups::TForm3& Form3() { return *core::Form3; }

    // Prepares level 2 for main row `row` (1-based) as the hover does: the caller's
    // scroll mode from the row's Type.
    void OpenLevel2(int row, bool useCache = true) {
        Main().SelectedIndex[1] = row;
        Main().ScrollMode[2] = Main().ItemLists[1][static_cast<size_t>(row - 1)].Type == 1 ? 1 : 0;
        Form2().RenderSubMenu(useCache, Form2());
    }

    std::wstring WritePng(const std::wstring& name, Gdiplus::ARGB color, int width = 16, int height = 16) {
        folder.WriteFile(name, testing_support::SolidPng(width, height, color));
        return folder.PathOf(name);
    }

    // The text of the first ID element after the item `caption` in the saved menu
    // file (the fixtures' rows below it have none).
    std::string SavedId(const std::string& caption) {
        const std::string xml = folder.ReadFile(L"1.xml");
        const size_t at = xml.find("<Caption>" + caption + "</Caption>");
        if (at == std::string::npos) return "(no item)";
        const size_t id = xml.find("<ID>", at);
        if (id == std::string::npos) return "";
        return xml.substr(id + 4, xml.find("</ID>", id) - id - 4);
    }

    std::wstring CacheFile(const std::string& prefix, const std::string& id) {
        return core::CacheDir + ui::Utf8ToWide(prefix + id) + L".png";
    }

    static FILETIME WriteTime(const std::wstring& path) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
        return data.ftLastWriteTime;
    }
    static bool SameTime(const FILETIME& a, const FILETIME& b) { return CompareFileTime(&a, &b) == 0; }

    std::vector<Row> Children(int count, int type = 55) {
        std::vector<Row> rows;
        for (int j = 0; j < count; ++j) rows.emplace_back(type, "Entry " + std::to_string(j));
        return rows;
    }
};

// --- the renderer

struct ScrollCase {
    const char* name;
    int parentType;
    const char* param1;
    int children;
    std::uint8_t callerMode;  // set after the hover's own choice, as another caller would
    bool scrolls;
};

TEST_F(SubMenuRenderTest, ScrollDecisionAndWindowHeight) {
    const ScrollCase cases[] = {
        {"ShowCount + 1 rows of a listing are shown whole", 1, "1", 9, 1, false},
        {"ShowCount + 2 rows of a listing scroll", 1, "1", 10, 0, true},
        {"a long user group does not scroll", 2, "", 12, 0, false},
        {"a long group keeps the scrolling its caller set", 2, "", 12, 1, true},
        {"an empty group", 2, "", 0, 0, false},
    };
    std::vector<Row> rows;
    for (const ScrollCase& c : cases) rows.emplace_back(c.parentType, c.name, "", "", c.param1, Children(c.children, 0));
    StartWith(rows);
    core::TForm1& m = Main();
    const core::SkinMetrics& skin = m.Skin;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const ScrollCase& c = cases[i];
        SCOPED_TRACE(c.name);
        m.ScrollTop = 3;
        m.SelectedIndex[1] = static_cast<int>(i) + 1;
        m.ScrollMode[2] = c.callerMode;
        Form2().SetTop(100);
        Form2().RenderSubMenu(true, Form2());
        EXPECT_EQ(m.ScrollMode[2] != 0, c.scrolls);
        EXPECT_EQ(Form2().RowCount, c.children);
        ASSERT_EQ(m.ItemLists[2].size(), static_cast<size_t>(c.children));
        if (c.scrolls) {
            EXPECT_EQ(m.ScrollTop, 0) << "a full preparation shows the first rows";
            EXPECT_EQ(Form2().Height(), skin.HeaderSize + 8 * skin.ItemSize + skin.BottomMargin + 2 * skin.ItemSize);
            ASSERT_TRUE(m.LevelImages[2]);
            EXPECT_EQ(m.LevelImages[2]->GetWidth(), 8u * 48u) << "a scrolling strip holds the rows shown";
        } else {
            EXPECT_EQ(Form2().Height(), skin.HeaderSize + c.children * skin.ItemSize + skin.BottomMargin);
            if (c.children == 0)
                EXPECT_FALSE(m.LevelImages[2]) << "an empty group has no strip";
            else
                EXPECT_EQ(m.LevelImages[2]->GetWidth(), static_cast<UINT>(c.children * 48));
        }
        EXPECT_EQ(Form2().Width(), skin.SkinWidth) << "without captions the window is SkinWidth wide";
        ASSERT_TRUE(m.Compositor.LevelBitmaps[2]);
        EXPECT_EQ(m.Compositor.LevelBitmaps[2]->Height(), Form2().Height());
        EXPECT_EQ(Form2().Top(), 100);
    }
}

TEST_F(SubMenuRenderTest, RowsWithSubItemsOpenTheThirdLevelOnlyFromTheSecond) {
    const std::vector<Row> inner{Row(0, "Deep", "", "", "", {Row(0, "Deeper")}), Row(0, "Plain")};
    StartWith({Row(2, "Group", "", "", "",
                   {Row(0, "Plain"), Row(0, "Nested", "", "", "", inner), Row(777, "Separator"),
                    Row(1, "Listing", "", "", "1", {Row(55, "Listed")})})});
    core::TForm1& m = Main();
    OpenLevel2(1);
    ASSERT_EQ(m.ItemLists[2].size(), 4u);
    EXPECT_EQ(m.ItemLists[2][0].Type, 0);
    EXPECT_EQ(m.ItemLists[2][1].Type, 2) << "a Type 0 row with sub-items is a group";
    EXPECT_EQ(m.ItemLists[2][2].Type, 777);
    EXPECT_EQ(m.ItemLists[2][3].Type, 1) << "a folder shown as its contents stays a folder";
    ASSERT_EQ(core::SubPanels.size(), 1u) << "no panel for a plain row, a separator or a listing";
    core::TMouseControl& panel = *core::SubPanels[0];
    EXPECT_EQ(panel.Tag, 1);
    EXPECT_EQ(panel.Top() - Form2().Top(), m.Skin.HeaderSize + m.Skin.ItemSize);
    EXPECT_EQ(panel.Left() - Form2().Left(), 0);
    EXPECT_EQ(panel.Width(), Form2().Width());
    EXPECT_EQ(panel.Height(), m.Skin.ItemSize);
    EXPECT_FALSE(panel.Visible());

    m.SelectedIndex[2] = 2;
    m.ScrollMode[3] = 0;
    Form2().RenderSubMenu(true, Form3());
    ASSERT_EQ(m.ItemLists[3].size(), 2u);
    EXPECT_EQ(m.ItemLists[3][0].Type, 0) << "the last level opens nothing";
    EXPECT_EQ(core::SubPanels.size(), 1u) << "the third level adds no panel";
    EXPECT_EQ(Form3().RowCount, 2);

    // Reopening from the cache raises and places the panels again.
    OpenLevel2(1);
    EXPECT_EQ(m.ItemLists[2][1].Type, 2);
    EXPECT_EQ(core::SubPanels.size(), 1u);
}

TEST_F(SubMenuRenderTest, IconsFillTheirCellsAndCaptionsTheirBandsInBothHalves) {
    const std::wstring red = WritePng(L"red.png", 0xFFFF0000);
    const std::wstring green = WritePng(L"green.png", 0xFF00FF00);
    Row first(0, "Wide caption here");
    Row second(0, "Two");
    StartWith({Row(2, "Group", "", "", "", {first, Row(777, "Separator"), second})});
    // Image files are written in after the start: the fixture's rows have none.
    ui::XmlNode group = Main().XMLDocument1.Root().ElementAt(0).Child(L"subitem");
    group.ElementAt(0).Child(L"ImageFile").SetText(red);
    group.ElementAt(2).Child(L"ImageFile").SetText(green);
    UsePlainCaptions(Main().Skin);
    core::TForm1& m = Main();
    const core::SkinMetrics& skin = m.Skin;
    OpenLevel2(1, false);

    const int height = skin.HeaderSize + 2 * skin.ItemSize + skin.Separatorsize + skin.BottomMargin;
    EXPECT_EQ(Form2().Height(), height);
    ASSERT_TRUE(m.LevelImages[2]);
    EXPECT_EQ(m.LevelImages[2]->GetWidth(), 3u * 48u) << "the separator takes a cell too";
    EXPECT_EQ(m.LevelImages[2]->GetHeight(), 48u);
    EXPECT_TRUE(PixelNear(CellColor(*m.LevelImages[2], 0), 0xFFFF0000));
    EXPECT_TRUE(PixelNear(CellColor(*m.LevelImages[2], 2), 0xFF00FF00));
    // Scaled to the whole cell (the bilinear filter softens only its outermost pixels).
    EXPECT_TRUE(PixelNear(PixelAt(*m.LevelImages[2], 3, 3), 0xFFFF0000));
    EXPECT_TRUE(PixelNear(PixelAt(*m.LevelImages[2], 44, 44), 0xFFFF0000));

    ASSERT_TRUE(m.CaptionImages[2]);
    Gdiplus::Bitmap& captions = *m.CaptionImages[2];
    EXPECT_EQ(static_cast<int>(captions.GetWidth()), m.LevelWidths[2]);
    EXPECT_EQ(Form2().Width(), m.LevelWidths[2]);
    EXPECT_EQ(static_cast<int>(captions.GetHeight()), 2 * height);
    EXPECT_EQ(m.LevelWidths[2], m.MeasureCaptions(group) + skin.CaptionX + skin.RightMargin - skin.TextRightMargin);
    struct BandCase {
        const char* name;
        int top, height;
        bool ink;
    } bands[] = {
        {"row 0", skin.HeaderSize, skin.ItemSize, true},
        {"the separator", skin.HeaderSize + skin.ItemSize, skin.Separatorsize, false},
        {"row 2", skin.HeaderSize + skin.ItemSize + skin.Separatorsize, skin.ItemSize, true},
    };
    for (const BandCase& b : bands) {
        SCOPED_TRACE(b.name);
        const auto normal = Band(captions, b.top, b.top + b.height);
        const auto selected = Band(captions, b.top + height, b.top + height + b.height);
        EXPECT_EQ(CountInk(normal) > 0, b.ink);
        EXPECT_EQ(CountInk(selected) > 0, b.ink);
        for (auto p : normal) {
            if (p >> 24 == 0xFF) {
                EXPECT_TRUE(PixelNear(p, 0xFFFF0000));
            }
        }
        for (auto p : selected) {
            if (p >> 24 == 0xFF) {
                EXPECT_TRUE(PixelNear(p, 0xFF0000FF));
            }
        }
    }
}

// The leftmost column of the caption image that holds any ink; -1 for none.
int LeftmostInk(Gdiplus::Bitmap& image) {
    for (int x = 0; x < static_cast<int>(image.GetWidth()); ++x)
        for (int y = 0; y < static_cast<int>(image.GetHeight()); ++y)
            if (PixelAt(image, x, y) >> 24) return x;
    return -1;
}

TEST_F(SubMenuRenderTest, TheCaptionShadowFallsStraightBelowOnSubMenusAndHalfRightOnTheMainWindow) {
    StartWith({Row(2, "Main caption", "", "", "", {Row(0, "Sub caption")})});
    core::TForm1& m = Main();
    for (int level : {1, 2}) {
        SCOPED_TRACE(level);
        // Shadow only, then text only: the same captions, the shadow 4 pixels off.
        auto leftmost = [&](Gdiplus::ARGB shadow, Gdiplus::ARGB text) {
            UsePlainCaptions(m.Skin);
            m.Skin.ShadowSize = 4;
            m.Skin.ShadowColor = m.Skin.SelectedShadowColor = shadow;
            m.Skin.FontColor = m.Skin.SelectedFontColor = text;
            if (level == 1) m.BuildMainMenu(); else OpenLevel2(1, false);
            return m.CaptionImages[level] ? LeftmostInk(*m.CaptionImages[level]) : -1;
        };
        const int shadow = leftmost(0xFF000000, 0);
        const int text = leftmost(0, 0xFFFF0000);
        ASSERT_GE(text, 0);
        EXPECT_EQ(shadow - text, level == 1 ? 2 : 0);
    }
}

TEST_F(SubMenuRenderTest, AWindowPassingTheScreenBottomMovesUpAndNoOtherMoves) {
    StartWith({Row(2, "Group", "", "", "", Children(3, 0))});
    const int screen = GetSystemMetrics(SM_CYSCREEN);
    const int height = Main().Skin.HeaderSize + 3 * Main().Skin.ItemSize + Main().Skin.BottomMargin;
    const struct {
        int top, expected;
    } cases[] = {{screen - 10, screen - height}, {screen - height, screen - height}, {-50, -50}, {200, 200}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.top);
        Form2().SetBounds(300, c.top, 10, 10);
        OpenLevel2(1);
        EXPECT_EQ(Form2().Top(), c.expected);
        EXPECT_EQ(Form2().Left(), 300);
        EXPECT_EQ(Form2().Height(), height);
    }
}

TEST_F(SubMenuRenderTest, AGroupThatIsGoneLeavesNoRowsOfTheOneShownBefore) {
    StartWith({Row(2, "Group", "", "", "", Children(3, 0)), Row(0, "Plain")});
    core::TForm1& m = Main();
    OpenLevel2(1);
    ASSERT_EQ(m.ItemLists[2].size(), 3u);
    m.SelectedIndex[1] = 5;  // beyond the menu
    Form2().RenderSubMenu(true, Form2());
    EXPECT_TRUE(m.ItemLists[2].empty());
    EXPECT_EQ(Form2().RowCount, 0);
    EXPECT_EQ(Form2().Height(), m.Skin.HeaderSize + m.Skin.BottomMargin);
    EXPECT_FALSE(m.LevelImages[2]);
}

TEST_F(SubMenuRenderTest, ABadNumberStopsThePreparationWithTheRowsReadSoFar) {
    std::string xml = menu_input::MenuXml({Row(2, "Group", "", "", "", Children(3, 0))});
    // The third child's Index is no number: the list takes the two before it.
    const size_t third = xml.find("<Caption>Entry 2</Caption>");
    xml.insert(third, "<Index>x</Index>");
    folder.WriteFile(L"1.xml", xml);
    Start();
    core::TForm1& m = Main();
    OpenLevel2(1);
    EXPECT_EQ(m.ItemLists[2].size(), 2u);
    EXPECT_EQ(Form2().RowCount, 2);
    EXPECT_EQ(Form2().Height(), m.Skin.HeaderSize + 2 * m.Skin.ItemSize + m.Skin.BottomMargin);
    EXPECT_TRUE(boxes.empty()) << "silent";
}

// --- the image cache

TEST_F(SubMenuRenderTest, TheFirstOpeningWritesTheImagesAndTheIdAndTheNextReusesThem) {
    StartWith({Row(2, "Group", "", "", "", Children(3, 0))});
    UsePlainCaptions(Main().Skin);
    core::TForm1& m = Main();
    OpenLevel2(1);
    const std::string id = SavedId("Group");
    ASSERT_TRUE(core::IsValidCacheId(ui::Utf8ToWide(id))) << id;
    ASSERT_TRUE(ui::FileExists(CacheFile("", id)));
    ASSERT_TRUE(ui::FileExists(CacheFile("s", id)));

    // A pixel painted into the cached strip shows on reopening.
    folder.WriteFile(L"cache\\" + ui::Utf8ToWide(id) + L".png", testing_support::SolidPng(3 * 48, 48, 0xFF123456));
    const FILETIME menuTime = WriteTime(folder.PathOf(L"1.xml"));
    const FILETIME stripTime = WriteTime(CacheFile("", id));
    const FILETIME captionTime = WriteTime(CacheFile("s", id));
    OpenLevel2(1);
    ASSERT_TRUE(m.LevelImages[2]);
    EXPECT_TRUE(PixelNear(CellColor(*m.LevelImages[2], 1), 0xFF123456));
    ASSERT_TRUE(m.CaptionImages[2]);
    EXPECT_EQ(SavedId("Group"), id);
    EXPECT_TRUE(SameTime(WriteTime(folder.PathOf(L"1.xml")), menuTime));
    EXPECT_TRUE(SameTime(WriteTime(CacheFile("", id)), stripTime));
    EXPECT_TRUE(SameTime(WriteTime(CacheFile("s", id)), captionTime));

    // A change of the menu prepares without the cache: a new ID, the old files gone.
    OpenLevel2(1, false);
    const std::string next = SavedId("Group");
    EXPECT_NE(next, id);
    EXPECT_FALSE(ui::FileExists(CacheFile("", id)));
    EXPECT_FALSE(ui::FileExists(CacheFile("s", id)));
    EXPECT_TRUE(ui::FileExists(CacheFile("", next)));
    EXPECT_TRUE(ui::FileExists(CacheFile("s", next)));
}

TEST_F(SubMenuRenderTest, DeletingEitherCachedFileRebuildsWithANewId) {
    StartWith({Row(2, "Group", "", "", "", Children(2, 0))});
    UsePlainCaptions(Main().Skin);
    OpenLevel2(1);
    for (const char* prefix : {"", "s"}) {
        SCOPED_TRACE(std::string("deleted: \"") + prefix + "\"");
        const std::string id = SavedId("Group");
        ASSERT_TRUE(ui::FileExists(CacheFile(prefix, id)));
        DeleteFileW(CacheFile(prefix, id).c_str());
        OpenLevel2(1);
        const std::string next = SavedId("Group");
        EXPECT_NE(next, id);
        EXPECT_TRUE(ui::FileExists(CacheFile("", next)));
        EXPECT_TRUE(ui::FileExists(CacheFile("s", next)));
        EXPECT_FALSE(ui::FileExists(CacheFile("", id)));
        EXPECT_FALSE(ui::FileExists(CacheFile("s", id)));
    }
}

TEST_F(SubMenuRenderTest, AListingIsNeverCached) {
    StartWith({Row(1, "Folder", "", "123", "1", Children(3))});
    // Files of the listing's ID from some earlier state: neither read nor deleted.
    folder.WriteFile(L"cache\\123.png", testing_support::SolidPng(3 * 48, 48, 0xFF123456));
    folder.WriteFile(L"cache\\s123.png", testing_support::SolidPng(10, 10, 0xFF123456));
    const std::string menu = folder.ReadFile(L"1.xml");
    core::TForm1& m = Main();
    OpenLevel2(1);
    ASSERT_TRUE(m.LevelImages[2]);
    EXPECT_FALSE(PixelNear(CellColor(*m.LevelImages[2], 0), 0xFF123456)) << "the old strip shows over new rows";
    EXPECT_EQ(folder.ReadFile(L"1.xml"), menu);
    EXPECT_EQ(m.XMLDocument1.Root().ElementAt(0).Child(L"ID").Text(), L"123");
    EXPECT_TRUE(ui::FileExists(CacheFile("", "123")));
    EXPECT_TRUE(ui::FileExists(CacheFile("s", "123")));
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((core::CacheDir + L"*.png").c_str(), &found);
    std::vector<std::wstring> files;
    if (search != INVALID_HANDLE_VALUE) {
        do files.emplace_back(found.cFileName);
        while (FindNextFileW(search, &found));
        FindClose(search);
    }
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::wstring>{L"123.png", L"main.png", L"s123.png"})) << "a listing writes no files";
}

TEST_F(SubMenuRenderTest, AnIdThatIsNoCacheNameTouchesNoFile) {
    StartWith({Row(2, "Group", "", "..\\x", "", Children(3, 0))});
    // What the ID would name: AppDir + "x.png" beside the cache folder.
    folder.WriteFile(L"x.png", testing_support::SolidPng(3 * 48, 48, 0xFF123456));
    core::TForm1& m = Main();
    OpenLevel2(1);
    EXPECT_TRUE(ui::FileExists(folder.PathOf(L"x.png")));
    ASSERT_TRUE(m.LevelImages[2]);
    EXPECT_FALSE(PixelNear(CellColor(*m.LevelImages[2], 0), 0xFF123456));
    EXPECT_TRUE(core::IsValidCacheId(ui::Utf8ToWide(SavedId("Group")))) << "the group gets an ID of the cache";
}

// --- the scroll step

TEST_F(SubMenuRenderTest, AScrollStepShiftsCellsAndCaptionsByOneRowWithoutADoubledCaption) {
    // Entry 8 comes in at the bottom on the first step down, where entry 7's wide
    // caption was: it shares its caption with entry 0, so its band must come out
    // as entry 0's came out in the first row.
    std::vector<Row> entries;
    for (int j = 0; j < 12; ++j) {
        const std::string caption = j == 8 || j == 0 ? "Ab" : j == 7 ? "WWWWWWWWWW" : "Entry " + std::to_string(j);
        entries.emplace_back(55, caption);
    }
    StartWith({Row(1, "Folder", "", "", "1", entries)});
    ui::XmlNode listing = Main().XMLDocument1.Root().ElementAt(0).Child(L"subitem");
    for (int j = 0; j < 12; ++j)
        listing.ElementAt(static_cast<size_t>(j))
            .Child(L"ImageFile")
            .SetText(WritePng(L"c" + std::to_wstring(j) + L".png", RowColor(j)));
    UsePlainCaptions(Main().Skin);
    core::TForm1& m = Main();
    const core::SkinMetrics& skin = m.Skin;
    OpenLevel2(1);
    ASSERT_EQ(m.ScrollMode[2], 1);
    Form2().SetBounds(400, 100, Form2().Width(), Form2().Height());
    const int shown = m.ShowCount;
    const int height = skin.HeaderSize + shown * skin.ItemSize + skin.BottomMargin;
    auto bands = [&] {
        std::vector<std::vector<Gdiplus::ARGB>> all;
        for (int half : {0, height})
            for (int k = 0; k < shown; ++k)
                all.push_back(Band(*m.CaptionImages[2], half + skin.HeaderSize + k * skin.ItemSize,
                                      half + skin.HeaderSize + (k + 1) * skin.ItemSize));
        return all;
    };
    const auto before = bands();
    // A mark in cell 1 moves with the cells: the step shifts, it does not redraw.
    m.LevelImages[2]->SetPixel(48 + 2, 2, Gdiplus::Color(0xFF010203));

    core::ScrollMenu(Form2(), false);
    ASSERT_EQ(m.ScrollTop, 1);
    ASSERT_TRUE(m.LevelImages[2]);
    EXPECT_TRUE(PixelNear(PixelAt(*m.LevelImages[2], 2, 2), 0xFF010203));
    for (int k = 0; k < shown; ++k)
        EXPECT_TRUE(PixelNear(CellColor(*m.LevelImages[2], k), RowColor(k + 1))) << "cell " << k;
    const auto down = bands();
    for (int half = 0; half < 2; ++half) {
        for (int k = 0; k + 1 < shown; ++k)
            EXPECT_TRUE(BandsNear(down[half * shown + k], before[half * shown + k + 1])) << "band " << k;
        EXPECT_TRUE(BandsNear(down[half * shown + shown - 1], before[half * shown])) << "the new row, half " << half;
    }

    core::ScrollMenu(Form2(), true);
    ASSERT_EQ(m.ScrollTop, 0);
    for (int k = 0; k < shown; ++k)
        EXPECT_TRUE(PixelNear(CellColor(*m.LevelImages[2], k), RowColor(k))) << "cell " << k;
    const auto up = bands();
    for (size_t b = 0; b < up.size(); ++b) EXPECT_TRUE(BandsNear(up[b], before[b])) << "band " << b;
    EXPECT_FALSE(core::RedrawOnly);
    m.StopTimer(core::TForm1::kScrolltimer);
}

TEST_F(SubMenuRenderTest, AScrollStepOverRowsOfOtherHeightsRedrawsTheRowsShown) {
    // A long folder that is not a listing scrolls when its caller asks, and may hold
    // a separator: its rows do not move by one band.
    std::vector<Row> entries = Children(12, 0);
    entries[4] = Row(777, "Separator");
    StartWith({Row(1, "Folder", "", "", "", entries)});
    ASSERT_EQ(Main().ItemLists[1][0].Type, 2) << "a folder with sub-items is a group of the main window";
    ui::XmlNode group = Main().XMLDocument1.Root().ElementAt(0).Child(L"subitem");
    for (int j = 0; j < 12; ++j)
        group.ElementAt(static_cast<size_t>(j))
            .Child(L"ImageFile")
            .SetText(WritePng(L"c" + std::to_wstring(j) + L".png", RowColor(j)));
    UsePlainCaptions(Main().Skin);
    core::TForm1& m = Main();
    m.SelectedIndex[1] = 1;
    m.ScrollMode[2] = 1;
    Form2().RenderSubMenu(true, Form2());
    ASSERT_EQ(m.ScrollMode[2], 1);
    // A mark in cell 1 would move into cell 0 with a shift; a redraw paints row 1's
    // picture there.
    m.LevelImages[2]->SetPixel(48 + 2, 2, Gdiplus::Color(0xFF010203));
    core::ScrollMenu(Form2(), false);
    EXPECT_TRUE(PixelNear(PixelAt(*m.LevelImages[2], 2, 2), RowColor(1))) << "the rows shown were redrawn";
    core::ScrollMenu(Form2(), false);
    ASSERT_EQ(m.ScrollTop, 2);
    for (int k = 0; k < m.ShowCount; ++k)
        EXPECT_TRUE(PixelNear(CellColor(*m.LevelImages[2], k), RowColor(k + 2))) << "cell " << k;
    // The separator is now the third row shown: no caption in its band, the next
    // row's caption right below it.
    const int separatorTop = m.Skin.HeaderSize + 2 * m.Skin.ItemSize;
    EXPECT_EQ(CountInk(Band(*m.CaptionImages[2], separatorTop, separatorTop + m.Skin.Separatorsize)), 0);
    EXPECT_GT(CountInk(Band(*m.CaptionImages[2], separatorTop + m.Skin.Separatorsize,
                       separatorTop + m.Skin.Separatorsize + m.Skin.ItemSize)), 0);
    m.StopTimer(core::TForm1::kScrolltimer);
}

}  // namespace
