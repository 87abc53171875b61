#include "core/form1.h"

#include "render/item_icons.h"
#include "core/path_macros.h"
#include "render/row_geometry.h"
#include "core/startup.h"
#include "ui/application.h"
#include "ui/files.h"
#include "ui/handles.h"
#include "ui/images.h"
#include "ui/message_box.h"
#include "ui/strings.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace core {
namespace {

constexpr wchar_t kNotSavedText[] =
    L"The menu file could not be loaded, so changes to the menu are not saved.";

struct LoadFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};
struct DrawingFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The strip is filled with icons that are mostly drawn at their own size.
void SetStripQuality(Gdiplus::Graphics& strip) {
    strip.SetInterpolationMode(Gdiplus::InterpolationModeLowQuality);
    strip.SetPixelOffsetMode(Gdiplus::PixelOffsetModeDefault);
    strip.SetCompositingQuality(Gdiplus::CompositingQualityHighSpeed);
}

// One row's caption outline, relative to the row's top. The normal caption lies at
// `top` in the caption image, the selected one the window height lower.
struct RowCaption {
    int top = 0;
    std::unique_ptr<Gdiplus::GraphicsPath> path;
};

// The caption outlines of a build, one path per row. One path of all rows is no
// good: Wine's GDI+ flattens a widened outline in device coordinates, and at the
// coordinates of the lower rows of a long menu (some 20000 pixels down) float
// rounding keeps its subdivision from ending until the stack overflows.
struct CaptionPaths {
    std::vector<RowCaption> rows;
};

struct PassColors {
    Gdiplus::ARGB stroke, selectedStroke, fill, selectedFill;
};

// How a surface of a caption pass draws, set on each row's surface alike.
using SurfaceSetup = void (*)(Gdiplus::Graphics&);

// The outline drawn onto `image` with device = (local + (0, top)) x scale, through a
// copy of only the area it can touch, so the device coordinates stay small. The copy
// goes back in place whole: drawing into it is drawing onto the image.
template <class Draw>
void DrawThroughCopy(Gdiplus::Bitmap& image, const Gdiplus::GraphicsPath& path, float top, float scale,
                     float strokeSize, SurfaceSetup setup, Draw draw) {
    Gdiplus::RectF local;
    if (path.GetBounds(&local) != Gdiplus::Ok) throw DrawingFailed("a caption outline cannot be measured");
    // Room for miter joins (limit 10, so up to five stroke widths) and anti-aliasing.
    const double margin = 5.0 * std::abs(strokeSize) + 2.0;
    const double y0 = (static_cast<double>(local.Y) + top - margin) * scale;
    const double y1 = (static_cast<double>(local.GetBottom()) + top + margin) * scale;
    const double x0 = (static_cast<double>(local.X) - margin) * scale;
    const double x1 = (static_cast<double>(local.GetRight()) + margin) * scale;
    const double width = image.GetWidth();
    const double height = image.GetHeight();
    const int left = static_cast<int>(std::clamp(std::floor(std::min(x0, x1)) - 1.0, 0.0, width));
    const int right = static_cast<int>(std::clamp(std::ceil(std::max(x0, x1)) + 1.0, 0.0, width));
    const int upper = static_cast<int>(std::clamp(std::floor(std::min(y0, y1)) - 1.0, 0.0, height));
    const int lower = static_cast<int>(std::clamp(std::ceil(std::max(y0, y1)) + 1.0, 0.0, height));
    if (right <= left || lower <= upper) return;  // wholly outside the image

    const Gdiplus::Rect area(left, upper, right - left, lower - upper);
    std::unique_ptr<Gdiplus::Bitmap> copy(image.Clone(area, PixelFormat32bppARGB));
    if (!copy || copy->GetLastStatus() != Gdiplus::Ok) throw DrawingFailed("a caption area cannot be copied");
    {
        Gdiplus::Graphics surface(copy.get());
        setup(surface);
        const Gdiplus::Matrix place(scale, 0, 0, scale, static_cast<Gdiplus::REAL>(-left),
                                    static_cast<Gdiplus::REAL>(static_cast<double>(top) * scale - upper));
        surface.SetTransform(&place);
        if (draw(surface) != Gdiplus::Ok) throw DrawingFailed("a caption cannot be drawn");
    }
    Gdiplus::BitmapData from{}, to{};
    const Gdiplus::Rect all(0, 0, area.Width, area.Height);
    if (copy->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &from) != Gdiplus::Ok)
        throw DrawingFailed("a caption area cannot be read");
    ui::ScopeExit unlockFrom([&] { copy->UnlockBits(&from); });
    if (image.LockBits(&area, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &to) != Gdiplus::Ok)
        throw DrawingFailed("a caption area cannot be written");
    ui::ScopeExit unlockTo([&] { image.UnlockBits(&to); });
    for (int y = 0; y < area.Height; ++y)
        std::memcpy(static_cast<BYTE*>(to.Scan0) + static_cast<std::ptrdiff_t>(y) * to.Stride,
                    static_cast<const BYTE*>(from.Scan0) + static_cast<std::ptrdiff_t>(y) * from.Stride,
                    static_cast<size_t>(area.Width) * 4);
}

// Outlines every normal caption, then every selected one (when the stroke has a
// width), then fills them in the same order: the order one path per half would give.
void StrokeAndFill(Gdiplus::Bitmap& image, const CaptionPaths& paths, int height, float scale, float strokeSize,
                   SurfaceSetup setup, const PassColors& colors) {
    const float halves[2] = {0.0f, static_cast<float>(height)};
    if (strokeSize > 0) {
        const Gdiplus::ARGB strokes[2] = {colors.stroke, colors.selectedStroke};
        for (int half = 0; half < 2; ++half) {
            Gdiplus::Pen pen(Gdiplus::Color(strokes[half]), strokeSize);
            for (const RowCaption& row : paths.rows)
                DrawThroughCopy(image, *row.path, static_cast<float>(row.top) + halves[half], scale, strokeSize,
                                setup, [&](Gdiplus::Graphics& g) { return g.DrawPath(&pen, row.path.get()); });
        }
    }
    const Gdiplus::ARGB fills[2] = {colors.fill, colors.selectedFill};
    for (int half = 0; half < 2; ++half) {
        Gdiplus::SolidBrush brush(Gdiplus::Color(fills[half]));
        for (const RowCaption& row : paths.rows)
            DrawThroughCopy(image, *row.path, static_cast<float>(row.top) + halves[half], scale, 0.0f, setup,
                            [&](Gdiplus::Graphics& g) { return g.FillPath(&brush, row.path.get()); });
    }
}

void SetShadowQuality(Gdiplus::Graphics& shadow) {
    shadow.SetCompositingQuality(Gdiplus::CompositingQualityAssumeLinear);
    shadow.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    shadow.SetInterpolationMode(Gdiplus::InterpolationModeHighQuality);
    shadow.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    shadow.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
}

void SetTextQuality(Gdiplus::Graphics& text) {
    text.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    text.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
}

// A transparent 32-bit ARGB image; a failed allocation fails the build.
std::unique_ptr<Gdiplus::Bitmap> NewImage(int width, int height) {
    auto image = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
    if (image->GetLastStatus() != Gdiplus::Ok) throw DrawingFailed("an image of the menu cannot be created");
    Gdiplus::Graphics(image.get()).Clear(Gdiplus::Color(0, 0, 0, 0));
    return image;
}

// A row opens a sub-menu when its subitem holds items, unless it is a folder
// shown as its contents. Looking subitem up adds it when missing.
bool OpensSubMenu(const TLNItem& item, ui::XmlNode node) {
    const size_t children = node.Child(L"subitem").ElementCount();
    return !(item.Type == 1 && item.Param1 == L"1") && children > 0;
}

// Reads every root item's Type again (an empty one fails the build), turns rows
// with sub-items into groups and adds each row's height. The group rule applies
// before the heights: a separator or an unknown Type with sub-items is drawn as a
// full group row, and the window must have room for it.
std::vector<bool> ReadRowTypes(TForm1& form, ui::XmlNode root, long long& height) {
    auto children = root.ElementChildren();
    std::vector<bool> subMenuRows(children.size());
    for (size_t u = 0; u < children.size(); ++u) {
        const auto type = ParseItemNumber(children[u].Child(L"Type").Text());
        if (!type) throw ConversionError("bad Type");
        TLNItem& item = form.ItemLists[1][u];
        item.Type = *type;
        subMenuRows[u] = OpensSubMenu(item, children[u]);
        if (subMenuRows[u]) item.Type = 2;
        height += RowHeight(item.Type, form.Skin);
    }
    return subMenuRows;
}

// Missing targets and icon files show icon 23 of shell32.dll (list only).
void ApplyIconFallback(TLNItem& item) {
    const bool imageMissing = !ui::FileExists(ExpandPathMacros(item.ImageFile));
    const bool targetMissing = !ui::FileExists(ExpandPathMacros(item.Run));
    if ((item.Type == 0 && targetMissing && imageMissing) || (item.Type == 2 && imageMissing)) {
        item.ImageFile = SystemDir + L"shell32.dll";
        item.Index = 23;
    }
}

void AddCaption(const TForm1& form, const TLNItem& item, int u, CaptionPaths& paths) {
    const SkinMetrics& skin = form.Skin;
    // Separators have no caption, and a row that takes no height has no place for one.
    if (item.Type == 777 || RowHeight(item.Type, skin) == 0 || item.Caption.empty()) return;
    Gdiplus::StringFormat format(form.Parts.CaptionFormat.get());
    switch (skin.CaptionAlign) {
    case 1: format.SetAlignment(Gdiplus::StringAlignmentCenter); break;
    case 2: format.SetAlignment(Gdiplus::StringAlignmentFar); break;
    default: format.SetAlignment(Gdiplus::StringAlignmentNear); break;
    }
    const float x = static_cast<float>(skin.CaptionX + (skin.FlipBackground ? skin.FlipSpace : 0));
    const float y = static_cast<float>(skin.CaptionY) + skin.ShadowSize;
    const auto* family = form.Parts.CaptionFontFamily;
    const auto emSize = static_cast<Gdiplus::REAL>(skin.FontSize);
    const auto length = static_cast<INT>(item.Caption.size());
    RowCaption row{form.ItemTop(1, u), std::make_unique<Gdiplus::GraphicsPath>()};
    if (row.path->GetLastStatus() != Gdiplus::Ok) throw DrawingFailed("a caption path cannot be created");
    row.path->AddString(item.Caption.c_str(), length, family, skin.FontStyle, emSize, Gdiplus::PointF(x, y), &format);
    paths.rows.push_back(std::move(row));
}

void DrawItemIcon(const TLNItem& item, int u, Gdiplus::Graphics& strip) {
    const std::wstring imageFile = ExpandPathMacros(item.ImageFile);
    if (!ui::FileExists(imageFile)) {
        IconToBitmap(GetItemIcon(item.Run, 0), u, strip);
        return;
    }
    // Case-sensitive: "ICON.PNG" is read as an icon resource, as the menu format has it.
    if (ui::ExtractFileExt(imageFile) != L".png") {
        IconToBitmap(GetItemIcon(item.ImageFile, item.Index), u, strip);
        return;
    }
    auto picture = ui::LoadImageFile(imageFile);
    if (!picture) return;  // not a picture after all: the cell stays empty
    strip.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBilinear);
    strip.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    strip.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
    strip.DrawImage(picture.get(), Gdiplus::Rect(kIconCell * u, 0, kIconCell, kIconCell));
    SetStripQuality(strip);
}

// Panels, icon fallbacks, caption outlines and icons of every row, in order.
void BuildRows(TForm1& form, const std::vector<bool>& subMenuRows, CaptionPaths* paths) {
    std::optional<Gdiplus::Graphics> strip;
    if (form.LevelImages[1]) {
        strip.emplace(form.LevelImages[1].get());
        SetStripQuality(*strip);
    }
    for (int u = 0; u < form.MainItemCount; ++u) {
        TLNItem& item = form.ItemLists[1][static_cast<size_t>(u)];
        if (subMenuRows[static_cast<size_t>(u)]) {
            auto panel = std::make_unique<TMouseControl>(form, u, 0, form.ItemTop(1, u), form.LevelWidths[1],
                                                         form.Skin.ItemSize);
            panel->OnMouseEnter = [&form](TMouseControl& sender) { form.HotZoneEnter(sender); };
            MainPanels.push_back(std::move(panel));
        }
        ApplyIconFallback(item);
        if (paths) AddCaption(form, item, u, *paths);
        if (strip) DrawItemIcon(item, u, *strip);
    }
}

// The soft shadow is drawn small and scaled back up, then the text goes over it.
void RenderCaptions(const SkinMetrics& skin, Gdiplus::Bitmap& captions, const CaptionPaths& paths, int height) {
    const float smooth = skin.ShadowSmooth == 0.0f ? 1.0f : skin.ShadowSmooth;
    const INT width = static_cast<INT>(captions.GetWidth());
    const INT imageHeight = static_cast<INT>(captions.GetHeight());
    Gdiplus::Bitmap work(width, imageHeight, PixelFormat32bppARGB);
    if (work.GetLastStatus() != Gdiplus::Ok) throw DrawingFailed("the caption shadow cannot be created");
    Gdiplus::Graphics(&work).Clear(Gdiplus::Color(0, 255, 255, 255));
    StrokeAndFill(work, paths, height, 1.0f / smooth, skin.StrokeSize, SetShadowQuality,
                  {skin.ShadowColor, skin.SelectedShadowColor, skin.ShadowColor, skin.SelectedShadowColor});
    {
        Gdiplus::Graphics target(&captions);
        SetTextQuality(target);
        const Gdiplus::RectF enlarged(skin.ShadowSize / 2, skin.ShadowSize, static_cast<float>(width) * smooth,
                                      static_cast<float>(imageHeight) * smooth);
        target.DrawImage(&work, enlarged);
    }
    StrokeAndFill(captions, paths, height, 1.0f, skin.StrokeSize, SetTextQuality,
                  {skin.StrokeColor, skin.SelectedStrokeColor, skin.FontColor, skin.SelectedFontColor});
}

}  // namespace

void TForm1::BuildMainMenu() {
    Compositor.LevelBitmaps[1] = std::make_unique<ui::Dib>();
    // A skin load that stopped part-way may have left the caption objects out.
    if (Skin.ShowCaption && !Parts.CaptionFont) CreateCaptionObjects(Parts, Skin);
    long long height = Skin.HeaderSize;  // summed wide: a long menu of tall rows must not wrap
    bool built = false;
    bool listReplaced = false;
    try {
        std::wstring error;
        if (!XMLDocument1.Load(MenuPath(), &error)) {
            MenuFile.SetLoadState(MenuStore::LoadState::ParseFailed);
            throw LoadFailed("the menu file did not load");
        }
        MenuFile.SetLoadState(MenuStore::LoadState::BuildFailed);  // until the build completes
        ui::XmlNode root = XMLDocument1.Root();
        CaptionPaths paths;
        MainItemCount = static_cast<int>(root.ElementCount());
        LevelWidths[1] = BoundedWindowSize(Skin.ShowCaption ? static_cast<long long>(MeasureCaptions(root)) +
                                                                  Skin.CaptionX + Skin.RightMargin - Skin.TextRightMargin
                                                            : Skin.SkinWidth);
        listReplaced = true;
        ItemLists[1].clear();
        LoadItemList(ItemLists[1], root);
        CaptionImages[1].reset();
        LevelImages[1].reset();
        const std::vector<bool> subMenuRows = ReadRowTypes(*this, root, height);
        height = BoundedWindowSize(height + Skin.BottomMargin);
        if (MainItemCount > 0) LevelImages[1] = NewImage(MainItemCount * kIconCell, kIconCell);
        const bool captions = Skin.ShowCaption && Parts.CaptionFont;
        if (captions) CaptionImages[1] = NewImage(LevelWidths[1], 2 * static_cast<int>(height));
        MainPanels.clear();
        BuildRows(*this, subMenuRows, captions ? &paths : nullptr);
        if (captions) {
            DeleteFileW((CacheDir + L"smain" + ImageExt).c_str());
            RenderCaptions(Skin, *CaptionImages[1], paths, static_cast<int>(height));
            // Nothing reads these files back: a failed write costs the file, not the menu.
            SaveImagePng(L"smain", *CaptionImages[1]);
        } else if (!Skin.ShowCaption) {
            DeleteFileW((CacheDir + L"main" + ImageExt).c_str());
            if (LevelImages[1]) SaveImagePng(L"main", *LevelImages[1]);
        }
        built = true;
        MenuFile.SetLoadState(MenuStore::LoadState::Good);
    } catch (const std::exception&) {
        // Rows the list never got must not be reachable by clicks and drags.
        MainItemCount = std::min<int>(MainItemCount, static_cast<int>(ItemLists[1].size()));
        // Panels of the old list would open sub-menus of rows that changed.
        if (listReplaced) MainPanels.clear();
        // Offer the backup; the restored file loads at the next start.
        // The reload after a failed write has told the user already; the file is
        // the one they had.
        const int answer = offerRestore_ ? ui::ShowMessageBox(Handle(), Messages.LoadProblem, L"Error",
                                                              MB_ICONERROR | MB_YESNO)
                                         : IDNO;
        const std::wstring backup = ui::ChangeFileExt(MenuPath(), L".bak");
        // One atomic replace instead of delete-then-rename: the menu file is never
        // missing, whatever happens in between; a failed replace claims nothing.
        if (answer == IDYES && ui::FileExists(backup) && ui::ReplaceFileWith(backup, MenuPath())) {
            ui::ShowMessageBox(Handle(), Messages.RestartProgram, L"Zarvo", MB_OK);
            ui::Application::Instance().Terminate();
        }
    }
    // After a failed build the window still covers exactly the rows the list
    // holds, so every row it shows can be hit and none beyond it.
    if (!built) height = BoundedWindowSize(static_cast<long long>(ItemTop(1, MainItemCount)) + Skin.BottomMargin);
    MainHeight = BoundedWindowSize(height);
    SetHeight(MainHeight);
    const int width = BoundedWindowSize(Skin.ShowCaption ? LevelWidths[1] : Skin.SkinWidth);
    SetWidth(width);
    // The blur mask takes the window's size, which is final here.
    ApplyBlurBehind(*this);
    Compositor.LevelBitmaps[1]->Resize(width, MainHeight);
}

bool TForm1::MenuEditable() {
    if (MenuFile.CheckMenuWritable(XMLDocument1)) return true;
    if (MenuFile.TakeRefusalWarning())
        ui::ShowMessageBox(Handle(), kNotSavedText, L"Zarvo", MB_ICONWARNING | MB_OK);
    return false;
}

void TForm1::MoveItem(int from, int to) {
    ui::ScopeExit endDrag([this] { Dragging = false; });
    if (!MenuEditable()) return;
    if (!MoveItemInDocument(XMLDocument1.Root(), from, to)) return;
    SaveMenuAndRebuild(0);
}

}  // namespace core

namespace core {

int TForm1::MeasureCaptions(ui::XmlNode element) {
    if (!Skin.ShowCaption) return Skin.SkinWidth;
    float widest = 0;
    if (Parts.CaptionFont) {
        ui::WindowDc dc(Handle());
        Gdiplus::Graphics surface(dc.Get());
        for (auto& child : element.ElementChildren()) {
            // Found, not created: the item list's reading adds missing fields in its own order.
            auto caption = child.FindChild(L"Caption");
            if (!caption) continue;
            const std::wstring text = caption->Text();
            if (text.empty()) continue;
            Gdiplus::RectF bounds;
            if (surface.MeasureString(text.c_str(), static_cast<INT>(text.size()), Parts.CaptionFont.get(),
                                      Gdiplus::PointF(0, 0), Parts.CaptionFormat.get(), &bounds) == Gdiplus::Ok)
                widest = std::max(widest, bounds.Width);
        }
    }
    // Bounded before the conversion: the window takes no more than kMaxWindowSize anyway.
    const int width = static_cast<int>(ui::RoundEven(std::min<float>(widest, kMaxWindowSize)));
    return width == 0 ? 100 : width;
}

}  // namespace core
