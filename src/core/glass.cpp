#include "core/glass.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/startup.h"
#include "render/compositor.h"

#include <dwmapi.h>

#include <algorithm>
#include <vector>

namespace core {

const ui::Dib* GlassMask = nullptr;

namespace {

std::optional<DwmSession> LoadDwm() {
    HMODULE library = LoadLibraryW(L"dwmapi.dll");
    if (!library) return std::nullopt;
    DwmSession session;
    session.unload = [library] { FreeLibrary(library); };
    using IsEnabledFn = HRESULT(WINAPI*)(BOOL*);
    using ExtendFn = HRESULT(WINAPI*)(HWND, const MARGINS*);
    using BlurFn = HRESULT(WINAPI*)(HWND, const DWM_BLURBEHIND*);
    if (auto isEnabled = reinterpret_cast<IsEnabledFn>(
            reinterpret_cast<void*>(GetProcAddress(library, "DwmIsCompositionEnabled"))))
        session.functions.IsCompositionEnabled = [isEnabled](BOOL* enabled) { return isEnabled(enabled); };
    if (auto extend = reinterpret_cast<ExtendFn>(
            reinterpret_cast<void*>(GetProcAddress(library, "DwmExtendFrameIntoClientArea"))))
        session.functions.ExtendFrameIntoClientArea = [extend](HWND hwnd, const Margins& m) {
            const MARGINS margins{m.Left, m.Right, m.Top, m.Bottom};
            return extend(hwnd, &margins);
        };
    if (auto blur = reinterpret_cast<BlurFn>(
            reinterpret_cast<void*>(GetProcAddress(library, "DwmEnableBlurBehindWindow"))))
        session.functions.EnableBlurBehindWindow = [blur](HWND hwnd, DWORD flags, BOOL enable, HRGN region,
                                                          BOOL transition) {
            DWM_BLURBEHIND record{};
            record.dwFlags = flags;
            record.fEnable = enable;
            record.hRgnBlur = region;
            record.fTransitionOnMaximized = transition;
            return blur(hwnd, &record);
        };
    return session;
}

DwmLoader& Loader() {
    static DwmLoader loader = &LoadDwm;
    return loader;
}

bool Within(int value, int low, int tolerance) { return value >= low && value <= std::min(low + tolerance, 255); }

// Region data in chunks: the header, then the rectangles.
class RegionBuilder {
public:
    RegionBuilder() { rects_.reserve(100); Reset(); }

    void Add(int x0, int y, int x1) {
        if (rects_.size() == rects_.capacity()) rects_.reserve(rects_.capacity() + 100);
        rects_.push_back(RECT{x0, y, x1, y + 1});
        bounds_.left = std::min<LONG>(bounds_.left, x0);
        bounds_.top = std::min<LONG>(bounds_.top, y);
        bounds_.right = std::max<LONG>(bounds_.right, x1);
        bounds_.bottom = std::max<LONG>(bounds_.bottom, y + 1);
        if (rects_.size() == kChunk) Flush();
    }

    // Merges what is buffered into the result and empties the buffer.
    void Flush() {
        if (rects_.empty()) return;
        std::vector<BYTE> data(sizeof(RGNDATAHEADER) + rects_.size() * sizeof(RECT));
        auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
        header->dwSize = sizeof(RGNDATAHEADER);
        header->iType = RDH_RECTANGLES;
        header->nCount = static_cast<DWORD>(rects_.size());
        header->nRgnSize = 0;
        header->rcBound = bounds_;
        std::copy(rects_.begin(), rects_.end(), reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER)));
        HRGN part = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                                    reinterpret_cast<const RGNDATA*>(data.data()));
        if (part) {
            if (!result_) {
                result_ = part;
            } else {
                CombineRgn(result_, result_, part, RGN_OR);
                DeleteObject(part);
            }
        }
        Reset();
    }

    HRGN Take() {
        Flush();
        return std::exchange(result_, nullptr);
    }

    ~RegionBuilder() {
        if (result_) DeleteObject(result_);
    }

private:
    static constexpr size_t kChunk = 2000;
    void Reset() {
        rects_.clear();
        bounds_ = RECT{2147483647, 2147483647, 0, 0};
    }
    std::vector<RECT> rects_;
    RECT bounds_{};
    HRGN result_ = nullptr;
};

}  // namespace

void SetDwmLoaderForTests(DwmLoader loader) { Loader() = loader ? std::move(loader) : DwmLoader(&LoadDwm); }

HRGN MaskToRegion(COLORREF key, COLORREF tolerance) {
    if (!GlassMask || !GlassMask->Bits()) return nullptr;
    const int width = GlassMask->Width();
    const int height = GlassMask->Height();
    const int lowR = GetRValue(key), lowG = GetGValue(key), lowB = GetBValue(key);
    const int tolR = GetRValue(tolerance), tolG = GetGValue(tolerance), tolB = GetBValue(tolerance);
    GdiFlush();
    RegionBuilder builder;
    for (int y = 0; y < height; ++y) {
        int runStart = -1;
        for (int x = 0; x <= width; ++x) {
            bool solid = false;
            if (x < width) {
                const std::uint32_t p = GlassMask->Pixel(x, y);  // BGRA, row 0 at the top
                const int b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
                solid = !(Within(r, lowR, tolR) && Within(g, lowG, tolG) && Within(b, lowB, tolB));
            }
            if (solid && runStart < 0) runStart = x;
            if (!solid && runStart >= 0) {
                builder.Add(runStart, y, x);
                runStart = -1;
            }
        }
    }
    return builder.Take();
}

void ExtendGlass(ui::Form& form, const Margins& margins, bool blur) {
    if (!VistaOrLater) return;
    std::optional<DwmSession> dwm = Loader()();
    if (!dwm) return;
    ui::ScopeExit unload([&dwm] {
        if (dwm->unload) dwm->unload();
    });
    const DwmFunctions& f = dwm->functions;
    if (!f.IsCompositionEnabled || !f.ExtendFrameIntoClientArea) return;
    BOOL enabled = FALSE;
    if (FAILED(f.IsCompositionEnabled(&enabled)) || !enabled) return;
    // Black client pixels show the glass.
    form.SetColor(RGB(0, 0, 0));
    if (!blur) {
        f.ExtendFrameIntoClientArea(form.Handle(), margins);
        return;
    }
    HRGN region = nullptr;
    BOOL enable = FALSE;
    if (margins.Left != GlassWholeWindow) {
        region = MaskToRegion(RGB(255, 255, 255), RGB(0x10, 0x10, 0x10));
        enable = region != nullptr;
    } else {
        enable = margins.Top == 1;
    }
    // The window manager copies the region; ours is freed once the call returned.
    ui::ScopeExit freeRegion([region] {
        if (region) DeleteObject(region);
    });
    if (f.EnableBlurBehindWindow)
        f.EnableBlurBehindWindow(form.Handle(), DWM_BB_ENABLE | DWM_BB_BLURREGION, enable, region, FALSE);
}

void TForm1::ApplyBlurBehind(ui::Form& form) {
    if (Parts.TabEnabled && MenuHidden) {
        ExtendGlass(*this, Margins{GlassWholeWindow, 0, 0, 0}, true);
        return;
    }
    if (!Parts.BlurEnabled) return;
    const int level = form.Tag;
    const int width = LevelWidths[level];
    const int height = form.Height();
    if (width <= 0 || height <= 0) {
        // Nothing built yet: no region, so the blur goes off.
        ExtendGlass(form, Margins{}, true);
        return;
    }
    ui::Dib mask(width, height);
    mask.Fill(0xFFFFFFFF);
    HDC source = Parts.BlurMask.Dc();
    HDC target = mask.Dc();
    const int bottomTop = height - Skin.BottomMargin;
    DrawThreeSlice(source, target, Skin, width, Skin.HeaderSize, Skin.HeaderSize, 0, 0, 0, Skin.LeftMargin,
                   Skin.RightMargin);
    DrawThreeSlice(source, target, Skin, width, Skin.ItemSize, bottomTop - Skin.HeaderSize, 0, Skin.HeaderSize,
                   Skin.HeaderSize, Skin.LeftMargin, Skin.RightMargin);
    DrawThreeSlice(source, target, Skin, width, Skin.BottomMargin, Skin.BottomMargin, 0, bottomTop,
                   4 * Skin.ItemSize + Skin.HeaderSize + Skin.Separatorsize, Skin.LeftMargin, Skin.RightMargin);
    GdiFlush();
    GlassMask = &mask;
    ui::ScopeExit clear([] { GlassMask = nullptr; });
    ExtendGlass(form, Margins{}, true);
}

}  // namespace core
