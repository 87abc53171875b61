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
            session.functions.EnableBlurBehindWindow = [this](HWND hwnd, DWORD, BOOL enable, HRGN, BOOL) {
                blurs.emplace_back(hwnd, enable);
                return S_OK;
            };
            return session;
        });
    }
    void TearDown() override {
        core::SetDwmLoaderForTests(nullptr);
        core::VistaOrLater = false;
        MainWindowTest::TearDown();
    }
    std::vector<std::pair<HWND, BOOL>> blurs;
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

}  // namespace
