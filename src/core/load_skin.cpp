// TForm1::LoadSkin: one skin folder's parts tinted, mirrored and made transparent as
// GDI+ images, then handed to the compositor as premultiplied DIBs.
#include "core/form1.h"

#include "core/forms.h"
#include "core/glass.h"
#include "core/startup.h"
#include "popups/form2.h"
#include "render/skin.h"
#include "render/skin_color.h"
#include "render/skin_image.h"
#include "render/skin_tint.h"
#include "ui/files.h"
#include "ui/form.h"
#include "ui/message_box.h"
#include "ui/strings.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace core {
namespace {

// What a skin without back.png or box.png draws: black at alpha 150.
constexpr Gdiplus::ARGB kFallbackColor = 0x96000000;
constexpr int kFallbackBackWidth = 36;
constexpr int kFallbackBackHeight = 180;
constexpr int kBoxBands = 6;

using Image = std::unique_ptr<Gdiplus::Bitmap>;

// Runs one finishing step of a load that failed; its own failure leaves that part
// to the last resort.
template <class F> void Attempt(F step) noexcept {
    try {
        step();
    } catch (const std::exception&) {
    }
}

AnimationMetrics NoAnimation(const SkinMetrics& skin) {
    AnimationMetrics none;
    none.frames = 1;
    none.delay = 0;
    none.width = skin.SkinWidth;
    none.height = skin.ItemSize;
    return none;
}

int HalfHeight(Gdiplus::Bitmap& image) { return static_cast<int>(ui::RoundEven(HeightOf(image) / 2.0)); }

// One LoadSkin: the parts are GDI+ images while they are tinted, mirrored and made
// transparent, and become the DIBs of SkinParts at the end.
class SkinLoader {
public:
    SkinLoader(TForm1& form, std::wstring folder)
        : form_(form), skin_(form.Skin), parts_(form.Parts), settings_(form.Settings), folder_(std::move(folder)),
          ini_(folder_ + L"skin.ini") {}

    // Every step in order; throws at the first error, leaving what was done.
    void Run() {
        Release();
        ReadSkinMetrics(ini_, skin_);
        Glass();
        if (settings_.Colorize == 1 && Has(L"mask.png")) CaptionColors();
        Tab();
        BackBoxHeader();
        SizeWindow();
        Animation();
        if (skin_.ShowCaption) CreateCaptionObjects(parts_, skin_);
        SetBottomMargin();
        if (settings_.Colorize == 1) Colorize();
        Mirror();
        Transparency();
        Top();
        BuildEditBoxBackground();
    }

    // After Run, whether it ran to the end or not: what was not reached gets its
    // fallback, so no later drawing meets a missing part; then the DIBs are made.
    void Finish() noexcept {
        if (!back_) Attempt([this] { back_ = FilledSkinImage(kFallbackBackWidth, kFallbackBackHeight, kFallbackColor); });
        if (!sized_) Attempt([this] { SizeWindow(); });
        if (!bottomMarginSet_) SetBottomMargin();
        if (!box_ && back_) Attempt([this] { box_ = FallbackBox(); });
        if (!parts_.EditBoxBackground && box_) Attempt([this] { BuildEditBoxBackground(); });
        if (skin_.ShowCaption && !parts_.CaptionFont) Attempt([this] { CreateCaptionObjects(parts_, skin_); });
        if (!parts_.CaptionFont) skin_.ShowCaption = false;
        ToDibs();
    }

private:
    bool Has(const wchar_t* file) const { return ui::FileExists(folder_ + file); }

    // Null when the file is missing; a file that is there but no image is a broken skin.
    Image Load(const wchar_t* file) const {
        const std::wstring path = folder_ + file;
        if (!ui::FileExists(path)) return nullptr;
        Image image = ui::LoadImageFile(path);
        if (!image) throw SkinError("a skin part is not an image");
        return image;
    }

    int BackWidth() const { return back_ ? WidthOf(*back_) : kFallbackBackWidth; }
    int BackHeight() const { return back_ ? HeightOf(*back_) : kFallbackBackHeight; }
    // At least as large as the six bands the compositor reads.
    int FallbackBoxWidth() const { return std::max(skin_.EditBoxWidth, BackWidth()); }
    int FallbackBoxHeight() const { return std::max(skin_.EditBoxHeight, kBoxBands * skin_.ItemSize); }

    void Release() {
        for (ui::Dib* dib : {&parts_.Back, &parts_.Box, &parts_.Header, &parts_.BlurMask, &parts_.Animation,
                             &parts_.Tab, &parts_.VerticalTab})
            dib->Reset();
        parts_.TopImage.reset();
        parts_.EditBoxBackground.reset();
        parts_.TabEnabled = parts_.BlurEnabled = parts_.MainHeaderLoaded = false;
        parts_.AnimationLoaded = parts_.TopLoaded = false;
        parts_.CaptionColorsTinted = false;
        parts_.AnimationKeys = NoAnimation(skin_);
        ReleaseCaptionObjects(parts_);
    }

    void Glass() {
        if (settings_.VistaBlur && Has(L"blurmask.png")) {
            blurMask_ = Load(L"blurmask.png");
            parts_.BlurEnabled = true;
            return;
        }
        parts_.BlurEnabled = false;
        if (settings_.VistaBlur) {
            // Without a mask the region is empty, which switches the blur off.
            GlassMask = nullptr;
            ExtendGlass(form_, Margins{}, true);
            if (Form2) ExtendGlass(*Form2, Margins{}, true);
            if (Form3) ExtendGlass(*Form3, Margins{}, true);
        }
    }

    void CaptionColors() {
        const auto colorize = static_cast<COLORREF>(settings_.ColorizeColor);
        if (skin_.ColorizeStroke) skin_.StrokeColor = TintCaptionColor(skin_.StrokeColor, colorize);
        if (skin_.ColorizeSelectedStroke)
            skin_.SelectedStrokeColor = TintCaptionColor(skin_.SelectedStrokeColor, colorize);
        if (skin_.ColorizeShadow) skin_.ShadowColor = TintCaptionColor(skin_.ShadowColor, colorize);
        if (skin_.ColorizeSelectedShadow)
            skin_.SelectedShadowColor = TintCaptionColor(skin_.SelectedShadowColor, colorize);
        parts_.CaptionColorsTinted = true;
    }

    void Tab() {
        if (settings_.DisableTab != 1 || !Has(L"vertical_tab.png") || !Has(L"tab.png")) {
            skin_.TabX = skin_.TabY = skin_.TabWidth = skin_.VerticalTabWidth = 0;
            return;
        }
        tab_ = Load(L"tab.png");
        verticalTab_ = Load(L"vertical_tab.png");
        parts_.TabEnabled = true;
        skin_.TabX = ReadSkinInteger(ini_, kSkinSection, L"TabX", 0);
        skin_.TabY = ReadSkinInteger(ini_, kSkinSection, L"TabY", 0);
        skin_.TabWidth = WidthOf(*tab_);
        skin_.TabHalfHeight = HalfHeight(*tab_);
        skin_.VerticalTabWidth = WidthOf(*verticalTab_);
        skin_.VerticalTabHalfHeight = HalfHeight(*verticalTab_);
        switch (settings_.Position) {
        case 0: skin_.LeftEdgeSize = skin_.TabWidth; break;
        case 1: skin_.RightEdgeSize = skin_.TabWidth; break;
        case 2: skin_.TopEdgeSize = skin_.TabHalfHeight; break;
        case 3: skin_.BottomEdgeSize = skin_.TabHalfHeight; break;
        default: break;
        }
    }

    // box.png's stand-in: black at alpha 150 with back.png drawn over it from its
    // first row band on.
    Image FallbackBox() {
        Image box = FilledSkinImage(FallbackBoxWidth(), FallbackBoxHeight(), kFallbackColor);
        DrawOver(*box, *back_, Gdiplus::Rect(0, -skin_.HeaderSize, BackWidth(), BackHeight()), false);
        return box;
    }

    void BackBoxHeader() {
        back_ = Load(L"back.png");
        if (!back_) back_ = FilledSkinImage(kFallbackBackWidth, kFallbackBackHeight, kFallbackColor);
        box_ = Load(L"box.png");
        if (!box_) box_ = FallbackBox();
        header_ = Load(L"mainheader.png");
        parts_.MainHeaderLoaded = header_ != nullptr;
    }

    void SizeWindow() {
        const auto rows = static_cast<long long>(form_.ItemLists[1].size());
        // The bottom margin is still the previous skin's; the menu build sets the final height.
        form_.SetHeight(BoundedWindowSize(rows * skin_.ItemSize + skin_.HeaderSize + skin_.BottomMargin));
        skin_.SkinWidth = BackWidth();
        form_.SetWidth(skin_.SkinWidth);
        sized_ = true;
    }

    void Animation() {
        parts_.AnimationLoaded = false;
        parts_.AnimationKeys = NoAnimation(skin_);
        if (settings_.DisableAnimation != 1 || !Has(L"animation.png")) return;
        parts_.AnimationKeys = ReadAnimationMetrics(ini_, skin_);
        animation_ = Load(L"animation.png");
        parts_.AnimationLoaded = true;
    }

    // A back.png shorter than its bands has no bottom band: a negative margin would
    // take rows off every window.
    void SetBottomMargin() noexcept {
        const long long margin = static_cast<long long>(BackHeight()) - 4LL * skin_.ItemSize - skin_.HeaderSize -
                                 skin_.Separatorsize;
        skin_.BottomMargin = static_cast<int>(std::clamp<long long>(margin, 0, std::numeric_limits<int>::max()));
        bottomMarginSet_ = true;
    }

    // Tints the upper-left columns x rows of a part where its mask marks pixels.
    void TintPart(Gdiplus::Bitmap* part, const wchar_t* maskFile, int columns, int rows, int maxGray) {
        if (!part) return;
        Image mask = Load(maskFile);
        if (!mask) return;
        LockedPixels pixels(*part, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite);
        LockedPixels marks(*mask, Gdiplus::ImageLockModeRead);
        TintMasked(pixels.View(), marks.View(), columns, rows, static_cast<COLORREF>(settings_.ColorizeColor),
                   maxGray);
    }

    void Colorize() {
        constexpr int kAll = std::numeric_limits<int>::max();
        int maxGray = 0;  // without mask.png the other masks tint as if the background were black
        if (Image mask = Load(L"mask.png")) {
            LockedPixels pixels(*back_, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite);
            LockedPixels marks(*mask, Gdiplus::ImageLockModeRead);
            maxGray = MaskedMaxGray(pixels.View(), marks.View());
            // All rows but the last Separatorsize ones.
            TintMasked(pixels.View(), marks.View(), kAll, 4 * skin_.ItemSize + skin_.HeaderSize + skin_.BottomMargin,
                       static_cast<COLORREF>(settings_.ColorizeColor), maxGray);
        }
        if (parts_.AnimationLoaded) TintPart(animation_.get(), L"animationmask.png", skin_.SkinWidth, kAll, maxGray);
        if (parts_.MainHeaderLoaded) TintPart(header_.get(), L"mainheadermask.png", skin_.SkinWidth, kAll, maxGray);
        TintPart(box_.get(), L"boxmask.png", skin_.SkinWidth, kAll, maxGray);
        if (parts_.TabEnabled) {
            TintPart(tab_.get(), L"tabmask.png", skin_.TabWidth, skin_.TabHalfHeight, maxGray);
            TintPart(verticalTab_.get(), L"vertical_tabmask.png", skin_.VerticalTabWidth,
                     skin_.VerticalTabHalfHeight, maxGray);
        }
    }

    void Mirror() {
        if (!skin_.FlipBackground) return;
        for (Gdiplus::Bitmap* part : {back_.get(), header_.get(), animation_.get()})
            if (part) MirrorBitmap(*part, true, nullptr);
    }

    void Transparency() {
        auto& attributes = form_.Compositor.TransparencyAttributes;
        if (!attributes) attributes = std::make_unique<Gdiplus::ImageAttributes>();
        // Set on every load, 100 included: a factor of the previous skin must not
        // stay in force for whatever else draws through these attributes.
        Gdiplus::ColorMatrix matrix{};
        for (int i = 0; i < 5; ++i) matrix.m[i][i] = 1.0f;
        matrix.m[3][3] = static_cast<Gdiplus::REAL>(settings_.BackgroundTransparent) / 100.0f;
        CheckSkinStatus(attributes->SetColorMatrix(&matrix), "cannot set the skin transparency");
        if (settings_.BackgroundTransparent == 100) return;
        for (Gdiplus::Bitmap* part : {back_.get(), box_.get(), animation_.get(), header_.get()})
            if (part) MirrorBitmap(*part, false, attributes.get());
    }

    // Drawn after the transparency step, so top.png stays as opaque as it is.
    void Top() {
        Image top = Load(L"top.png");
        if (!top) return;
        if (skin_.FlipBackground) {
            MirrorBitmap(*top, true, nullptr);
            MirrorBitmap(*box_, true, nullptr);
        }
        DrawOver(*back_, *top, Gdiplus::Rect(0, 0, BackWidth(), BackHeight()), true);
        parts_.TopImage = std::move(top);
        parts_.TopLoaded = true;
    }

    void BuildEditBoxBackground() {
        Image image = FilledSkinImage(skin_.EditBoxWidth, skin_.EditBoxHeight, 0xFFFFFFFF);
        DrawOver(*image, *box_,
                 Gdiplus::Rect(0, -skin_.EditBoxY - skin_.ItemSize, WidthOf(*box_), HeightOf(*box_)), false);
        parts_.EditBoxBackground = std::move(image);
    }

    void ToDibs() noexcept {
        if (!ToDib(back_.get(), parts_.Back)) FillFallback(parts_.Back, skin_.SkinWidth, BackHeight(), kFallbackColor);
        if (!ToDib(box_.get(), parts_.Box)) FillFallback(parts_.Box, FallbackBoxWidth(), FallbackBoxHeight(), kFallbackColor);
        parts_.MainHeaderLoaded = ToDib(header_.get(), parts_.Header);
        parts_.AnimationLoaded = ToDib(animation_.get(), parts_.Animation);
        if (!parts_.AnimationLoaded) parts_.AnimationKeys = NoAnimation(skin_);
        parts_.TabEnabled = ToDib(tab_.get(), parts_.Tab) && ToDib(verticalTab_.get(), parts_.VerticalTab);
        if (!parts_.TabEnabled) {
            parts_.Tab.Reset();
            parts_.VerticalTab.Reset();
        }
        parts_.BlurEnabled = ToDib(blurMask_.get(), parts_.BlurMask);
    }

    TForm1& form_;
    SkinMetrics& skin_;
    SkinParts& parts_;
    const Settings& settings_;
    const std::wstring folder_;
    const ui::Ini ini_;
    Image back_, box_, header_, animation_, tab_, verticalTab_, blurMask_;
    bool sized_ = false;
    bool bottomMarginSet_ = false;
};

}  // namespace

bool TForm1::LoadSkin(const std::wstring& name, bool reportError) {
    SkinLoader loader(*this, AppDir + L"Themes\\" + name + L"\\");
    bool failed = false;
    try {
        loader.Run();
    } catch (const std::exception&) {
        failed = true;
    }
    // Before the message box: its message loop may let a timer draw the menu.
    loader.Finish();
    if (failed && reportError) ui::ShowMessageBox(Handle(), L"Error in theme!", L"Error", MB_ICONERROR | MB_OK);
    return !failed;
}

}  // namespace core
