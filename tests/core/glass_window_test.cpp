#include "main_window_fixture.h"

#include "core/glass.h"
#include "popups/form2.h"

namespace {

// Records what would reach the window manager, with composition on.
class GlassWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        core::SetDwmLoaderForTests([this]() -> std::optional<core::DwmSession> {
            core::DwmSession session;
            session.functions.IsCompositionEnabled = [](BOOL* on) {
                *on = TRUE;
                return S_OK;
            };
            session.functions.ExtendFrameIntoClientArea = [](HWND, const core::Margins&) { return S_OK; };
            session.functions.EnableBlurBehindWindow = [this](HWND hwnd, DWORD, BOOL enable, HRGN region, BOOL) {
                blurs.emplace_back(hwnd, enable);
                if (region) {
                    // The caller frees its region after the call; keep a copy.
                    lastRegion = CreateRectRgn(0, 0, 0, 0);
                    CombineRgn(lastRegion, region, nullptr, RGN_COPY);
                }
                return S_OK;
            };
            return session;
        });
    }
    void TearDown() override {
        if (lastRegion) DeleteObject(lastRegion);
        core::SetDwmLoaderForTests(nullptr);
        core::VistaOrLater = false;
        MainWindowTest::TearDown();
    }
    std::vector<std::pair<HWND, BOOL>> blurs;
    HRGN lastRegion = nullptr;
};

TEST_F(GlassWindowTest, HiddenMenuWithTabSwitchesTheMainWindowsBlurOffWhateverWindowIsPassed) {
    Start();
    core::VistaOrLater = true;
    auto& main = Main();
    main.Parts.TabEnabled = true;
    main.MenuHidden = true;
    main.ApplyBlurBehind(*core::Form2);
    ASSERT_EQ(blurs.size(), 1u);
    EXPECT_EQ(blurs[0].first, main.Handle());
    EXPECT_FALSE(blurs[0].second);

    main.MenuHidden = false;
    main.Parts.BlurEnabled = false;
    main.ApplyBlurBehind(main);
    EXPECT_EQ(blurs.size(), 1u) << "no glass in the skin: nothing is sent";
}

TEST_F(GlassWindowTest, SkinWithoutBlurMaskSwitchesBlurOffForAllThreeMenuWindows) {
    Start();
    core::VistaOrLater = true;
    Main().Settings.VistaBlur = true;
    Main().LoadSkin(L"NoSuchSkin");
    const std::vector<std::pair<HWND, BOOL>> expected = {
        {Main().Handle(), FALSE}, {core::Form2->Handle(), FALSE}, {core::Form3->Handle(), FALSE}};
    EXPECT_EQ(blurs, expected);
    EXPECT_FALSE(Main().Parts.BlurEnabled);
}

TEST_F(GlassWindowTest, BlurFollowsTheMasksHeaderFirstRowAndBottomBands) {
    Start();
    core::VistaOrLater = true;
    auto& main = Main();
    core::SkinMetrics& skin = main.Skin;
    skin.SkinWidth = 10;
    skin.LeftMargin = skin.RightMargin = 2;
    skin.HeaderSize = 4;
    skin.ItemSize = 6;
    skin.Separatorsize = 2;
    skin.BottomMargin = 3;
    // The mask in the bands of back.png: a dot in the header, a column down the first
    // row band, a dot in the bottom band; the other bands are solid and unused.
    ui::Dib& mask = main.Parts.BlurMask;
    mask.Resize(10, 4 + 4 * 6 + 2 + 3);
    mask.Fill(0xFFFFFFFF);
    auto black = [&](int x, int y) { mask.Bits()[y * 10 + x] = 0xFF000000; };
    black(1, 1);
    for (int y = 4; y < 10; ++y) black(5, y);
    for (int y = 10; y < 30; ++y)
        for (int x = 0; x < 10; ++x) black(x, y);
    black(8, 31);
    main.Parts.BlurEnabled = true;
    main.MenuHidden = false;
    main.LevelWidths[1] = 10;
    main.SetBounds(0, 0, 10, 40);

    main.ApplyBlurBehind(main);
    ASSERT_EQ(blurs.size(), 1u);
    EXPECT_TRUE(blurs[0].second);
    ASSERT_NE(lastRegion, nullptr);
    EXPECT_TRUE(PtInRegion(lastRegion, 1, 1));
    EXPECT_FALSE(PtInRegion(lastRegion, 5, 1));
    for (int y = 4; y < 37; ++y) EXPECT_TRUE(PtInRegion(lastRegion, 5, y)) << "the row band stretched, y " << y;
    EXPECT_FALSE(PtInRegion(lastRegion, 1, 20));
    EXPECT_TRUE(PtInRegion(lastRegion, 8, 38)) << "the bottom band at the window's foot";
    EXPECT_FALSE(PtInRegion(lastRegion, 7, 38));
}

}  // namespace
