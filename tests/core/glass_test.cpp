#include "core/glass.h"
#include "core/startup.h"
#include "ui/application.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Builds a mask from rows of characters: '#' solid black, '.' white, 'n' near-white.
std::unique_ptr<ui::Dib> MaskOf(const std::vector<std::string>& rows) {
    auto mask = std::make_unique<ui::Dib>(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x) {
            const char c = rows[y][x];
            mask->Bits()[y * rows[y].size() + x] = c == '#' ? 0xFF000000 : c == 'n' ? 0xFFFEFEFE : 0xFFFFFFFF;
        }
    return mask;
}

struct RegionOf {
    explicit RegionOf(const ui::Dib& mask) {
        core::GlassMask = &mask;
        region = core::MaskToRegion(RGB(255, 255, 255), RGB(0x10, 0x10, 0x10));
        core::GlassMask = nullptr;
    }
    ~RegionOf() {
        if (region) DeleteObject(region);
    }
    HRGN region = nullptr;
};

TEST(MaskToRegion, ExactlyTheNonWhitePixelsInTheirOwnRows) {
    const std::vector<std::string> rows = {".#..n", "#.#..", "....."};
    auto mask = MaskOf(rows);
    RegionOf r(*mask);
    ASSERT_NE(r.region, nullptr);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(PtInRegion(r.region, x, y) != 0, rows[y][x] != '.') << x << "," << y;
}

TEST(MaskToRegion, AllWhiteOrNoMaskGivesNoRegion) {
    auto white = MaskOf({"....", "...."});
    EXPECT_EQ(RegionOf(*white).region, nullptr);
    core::GlassMask = nullptr;
    EXPECT_EQ(core::MaskToRegion(RGB(255, 255, 255), RGB(0x10, 0x10, 0x10)), nullptr);
}

TEST(MaskToRegion, MoreThanOneChunkOfRunsMergesIntoOneRegion) {
    // A checkerboard of 120 x 60 has 3600 one-pixel runs.
    std::vector<std::string> rows(60, std::string(120, '.'));
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x)
            if ((x + y) % 2 == 0) rows[y][x] = '#';
    auto mask = MaskOf(rows);
    RegionOf r(*mask);
    ASSERT_NE(r.region, nullptr);
    int wrong = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x)
            if ((PtInRegion(r.region, x, y) != 0) != ((x + y) % 2 == 0)) ++wrong;
    EXPECT_EQ(wrong, 0);
}

class GlassHost : public ui::Form {
public:
    GlassHost() {
        ui::Application::Instance().Initialize(L"Zarvo");
        Create();
    }
    ~GlassHost() override { Destroy(); }

protected:
    void CreateParams(ui::CreateParams& params) override {
        params.className = L"ZarvoGlassHost";
        params.parent = nullptr;
    }
};

// Records what would reach the window manager.
struct FakeDwm {
    bool library = true;
    bool hasIsEnabled = true;
    bool hasExtend = true;
    bool hasBlur = true;
    BOOL composition = TRUE;
    int loads = 0;
    int unloads = 0;
    std::vector<std::string> calls;

    core::DwmLoader Loader() {
        return [this]() -> std::optional<core::DwmSession> {
            ++loads;
            if (!library) return std::nullopt;
            core::DwmSession session;
            session.unload = [this] { ++unloads; };
            if (hasIsEnabled)
                session.functions.IsCompositionEnabled = [this](BOOL* on) {
                    *on = composition;
                    return S_OK;
                };
            if (hasExtend)
                session.functions.ExtendFrameIntoClientArea = [this](HWND, const core::Margins& m) {
                    calls.push_back("extend " + std::to_string(m.Left) + "," + std::to_string(m.Top) + "," +
                                    std::to_string(m.Right) + "," + std::to_string(m.Bottom));
                    return S_OK;
                };
            if (hasBlur)
                session.functions.EnableBlurBehindWindow = [this](HWND, DWORD flags, BOOL enable, HRGN region, BOOL) {
                    calls.push_back("blur flags " + std::to_string(flags) + (enable ? " on" : " off") +
                                    (region ? " region" : " whole"));
                    return S_OK;
                };
            return session;
        };
    }
};

class ExtendGlassTest : public ::testing::Test {
protected:
    void SetUp() override {
        core::VistaOrLater = true;
        core::SetDwmLoaderForTests(dwm.Loader());
    }
    void TearDown() override {
        core::SetDwmLoaderForTests(nullptr);
        core::VistaOrLater = false;
        core::GlassMask = nullptr;
    }
    FakeDwm dwm;
    GlassHost host;
};

TEST_F(ExtendGlassTest, NothingReachesTheWindowManagerWithoutEverythingInPlace) {
    struct Case { const char* name; bool vista, library, isEnabled, extend; BOOL composition; int loads; };
    for (const Case c : {Case{"before Vista", false, true, true, true, TRUE, 0},
                         Case{"no library", true, false, true, true, TRUE, 1},
                         Case{"no composition test", true, true, false, true, TRUE, 1},
                         Case{"no frame extension", true, true, true, false, TRUE, 1},
                         Case{"composition off", true, true, true, true, FALSE, 1}}) {
        core::VistaOrLater = c.vista;
        dwm = FakeDwm{};
        dwm.library = c.library;
        dwm.hasIsEnabled = c.isEnabled;
        dwm.hasExtend = c.extend;
        dwm.composition = c.composition;
        core::ExtendGlass(host, core::Margins{0, 0, 0, 50}, false);
        core::ExtendGlass(host, core::Margins{core::GlassWholeWindow, 1, 0, 0}, true);
        EXPECT_TRUE(dwm.calls.empty()) << c.name;
        EXPECT_EQ(dwm.loads, 2 * c.loads) << c.name;
        EXPECT_EQ(dwm.unloads, c.library ? dwm.loads : 0) << c.name << ": the library is unloaded again";
    }
}

TEST_F(ExtendGlassTest, FrameMarginsWholeWindowSentinelAndMaskRegion) {
    core::ExtendGlass(host, core::Margins{0, 0, 0, 50}, false);
    core::ExtendGlass(host, core::Margins{core::GlassWholeWindow, 1, 0, 0}, true);
    core::ExtendGlass(host, core::Margins{core::GlassWholeWindow, 0, 0, 0}, true);
    core::ExtendGlass(host, core::Margins{}, true);  // no mask: off
    auto mask = MaskOf({"#."});
    core::GlassMask = mask.get();
    core::ExtendGlass(host, core::Margins{}, true);
    EXPECT_EQ(dwm.calls, (std::vector<std::string>{"extend 0,0,0,50", "blur flags 3 on whole", "blur flags 3 off whole",
                                                   "blur flags 3 off whole", "blur flags 3 on region"}));
}

TEST_F(ExtendGlassTest, MissingBlurExportStillExtendsFrames) {
    dwm.hasBlur = false;
    core::ExtendGlass(host, core::Margins{1, 2, 3, 4}, false);
    core::ExtendGlass(host, core::Margins{core::GlassWholeWindow, 1, 0, 0}, true);
    EXPECT_EQ(dwm.calls, (std::vector<std::string>{"extend 1,2,3,4"}));
}

}  // namespace
