// The sub-menu renderer: everything a sub-menu window needs before the compositor
// paints it, for both sub-menu windows, and the one-row step of a scrolling level.
#include "popups/form2.h"
#include "popups/form2_render.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/hot_zones.h"
#include "render/item_icons.h"
#include "core/menu_nodes.h"
#include "core/motion.h"
#include "render/row_geometry.h"
#include "core/startup.h"
#include "render/menu_images.h"
#include "ui/files.h"
#include "ui/images.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace popups {

std::uint8_t DecideScrollMode(int rows, int showCount, bool folderListing, std::uint8_t callerMode) {
    if (static_cast<long long>(rows) <= static_cast<long long>(showCount) + 1) return 0;
    return folderListing ? 1 : callerMode;
}

int SubMenuContentHeight(const core::TLNItemList& items, bool scrolls, int showCount,
                         const core::SkinMetrics& skin) {
    long long height = static_cast<long long>(skin.HeaderSize) + skin.BottomMargin;
    if (scrolls) {
        height += static_cast<long long>(std::max(showCount, 0)) * skin.ItemSize;
    } else {
        for (const core::TLNItem& item : items) height += core::RowHeight(item.Type, skin);
    }
    return core::BoundedWindowSize(height);
}

int SubMenuWindowHeight(int contentHeight, bool scrolls, const core::SkinMetrics& skin) {
    return core::BoundedWindowSize(static_cast<long long>(contentHeight) +
                                   (scrolls ? 2LL * skin.ItemSize : 0LL));
}

int ClampedTop(int top, int height, int screenHeight) {
    if (static_cast<long long>(top) + height > screenHeight) return core::ClampToInt(static_cast<long long>(screenHeight) - height);
    return top;
}

bool RowsAreFullHeight(const core::TLNItemList& items, int first, int count, const core::SkinMetrics& skin) {
    const long long begin = std::max(first, 0);
    const long long end = std::min<long long>(static_cast<long long>(first) + count, static_cast<long long>(items.size()));
    for (long long i = begin; i < end; ++i)
        if (core::RowHeight(items[static_cast<size_t>(i)].Type, skin) != skin.ItemSize ||
            items[static_cast<size_t>(i)].Type == 777)
            return false;
    return true;
}

namespace {

using core::TForm1;

// Moves the pixels of `from` by (dx, dy) within the image, through a snapshot so
// the source and the target may overlap. Parts that leave the image are dropped.
void MovePixels(Gdiplus::Bitmap& image, const Gdiplus::Rect& from, int dx, int dy) {
    const Gdiplus::Rect all(0, 0, static_cast<INT>(image.GetWidth()), static_cast<INT>(image.GetHeight()));
    Gdiplus::Rect source = from;
    if (!source.Intersect(all)) return;
    Gdiplus::BitmapData data{};
    if (image.LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB,
                       &data) != Gdiplus::Ok)
        throw core::DrawingFailed("a sub-menu image cannot be shifted");
    auto* bits = static_cast<BYTE*>(data.Scan0);
    const size_t rowBytes = static_cast<size_t>(source.Width) * 4;
    std::vector<BYTE> snapshot(rowBytes * static_cast<size_t>(source.Height));
    for (int y = 0; y < source.Height; ++y)
        std::memcpy(snapshot.data() + rowBytes * static_cast<size_t>(y),
                    bits + static_cast<std::ptrdiff_t>(source.Y + y) * data.Stride + source.X * 4, rowBytes);
    for (int y = 0; y < source.Height; ++y) {
        const int ty = source.Y + y + dy;
        if (ty < 0 || ty >= all.Height) continue;
        for (int x = 0; x < source.Width; ++x) {
            const int tx = source.X + x + dx;
            if (tx < 0 || tx >= all.Width) continue;
            std::memcpy(bits + static_cast<std::ptrdiff_t>(ty) * data.Stride + tx * 4,
                        snapshot.data() + rowBytes * static_cast<size_t>(y) + static_cast<size_t>(x) * 4, 4);
        }
    }
    image.UnlockBits(&data);
}

// Clears the rectangle (clipped to the image) to transparent.
void ClearPixels(Gdiplus::Bitmap& image, const Gdiplus::Rect& area) {
    const Gdiplus::Rect all(0, 0, static_cast<INT>(image.GetWidth()), static_cast<INT>(image.GetHeight()));
    Gdiplus::Rect clipped = area;
    if (!clipped.Intersect(all)) return;
    Gdiplus::BitmapData data{};
    if (image.LockBits(&clipped, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        throw core::DrawingFailed("a sub-menu image cannot be cleared");
    for (int y = 0; y < clipped.Height; ++y)
        std::memset(static_cast<BYTE*>(data.Scan0) + static_cast<std::ptrdiff_t>(y) * data.Stride, 0,
                    static_cast<size_t>(clipped.Width) * 4);
    image.UnlockBits(&data);
}

bool HasSize(Gdiplus::Bitmap* image, long long width, long long height) {
    return image && image->GetWidth() == width && image->GetHeight() == height;
}

// A cached image that fits the level as it is now: a file from another skin or an
// older state of the group would show its cells and captions at the wrong rows.
std::unique_ptr<Gdiplus::Bitmap> LoadCached(const std::optional<std::wstring>& path, long long width,
                                            long long height) {
    if (!path || !ui::FileExists(*path)) return nullptr;
    auto image = ui::LoadImageFile(*path);
    if (!HasSize(image.get(), width, height)) return nullptr;
    return image;
}

// The width of a level's window before anything of the group is known.
int EmptyGroupWidth(const core::SkinMetrics& skin) {
    return core::BoundedWindowSize(skin.ShowCaption ? 100LL + skin.CaptionX + skin.RightMargin - skin.TextRightMargin
                                                    : skin.SkinWidth);
}

// One preparation of a level: the state of one call of RenderSubMenu.
class SubMenuRenderer {
public:
    SubMenuRenderer(TForm2& owner, ui::Form& form, TForm1& main)
        : owner_(owner), form_(form), main_(main), skin_(main.Skin), level_(form.Tag),
          sized_(dynamic_cast<TForm2*>(&form)) {}

    void Prepare(bool useCache);
    void ScrollStep();
    // After a failed preparation: the count and the height of the rows the list holds.
    void CoverListedRows();
    // A redraw of a level that does not scroll has no step to draw: its size stays.
    void KeepSize() { height_ = SubMenuContentHeight(list(), false, main_.ShowCount, skin_); }
    void Finish();

private:
    void FindGroup();
    void RaiseGroupRows(const std::vector<ui::XmlNode>& children);
    bool ReuseCache();
    void MakePanel(int shownRow);
    void DrawRows(int first, int count, bool icons, core::CaptionPaths* paths);
    void SaveCache(core::CaptionPaths* paths);
    bool CaptionsOn() const { return skin_.ShowCaption && main_.Parts.CaptionFont != nullptr; }
    void SetRowCount(int rows) {
        if (sized_) sized_->RowCount = rows;
    }

    TForm2& owner_;
    ui::Form& form_;
    TForm1& main_;
    const core::SkinMetrics& skin_;
    const int level_;
    TForm2* sized_;
    core::TLNItemList& list() { return main_.ItemLists[level_]; }

    std::optional<ui::XmlNode> groupItem_;
    std::optional<ui::XmlNode> container_;
    std::vector<bool> raised_;
    bool listing_ = false;
    bool scrolls_ = false;
    int height_ = 0;
    std::wstring oldId_;
};

void SubMenuRenderer::FindGroup() {
    ui::XmlNode root = main_.XMLDocument1.Root();
    auto above = core::LevelContainer(root, level_ - 1, main_.SelectedIndex, main_.ScrollMode, main_.ScrollTop);
    const int position =
        core::SelectedPosition(level_ - 1, main_.SelectedIndex, main_.ScrollMode, main_.ScrollTop);
    if (!above || position < 0 || position >= static_cast<int>(above->ElementCount()))
        throw core::DrawingFailed("the open group is not in the menu");
    groupItem_ = above->ElementAt(static_cast<size_t>(position));
    container_ = core::LevelContainer(root, level_, main_.SelectedIndex, main_.ScrollMode, main_.ScrollTop);
    if (!container_) throw core::DrawingFailed("the open group is not in the menu");
    // The parent row as the level above lists it: a folder shown as its contents.
    const core::TLNItemList& parent = main_.ItemLists[level_ - 1];
    if (static_cast<size_t>(position) < parent.size()) {
        const core::TLNItem& item = parent[static_cast<size_t>(position)];
        listing_ = item.Type == 1 && item.Param1 == L"1";
    }
}

// Rows with sub-items open the third level; the third level opens nothing, so its
// rows keep their Type (a group pasted there stays a clickable folder). Raised
// before the heights are summed: the raised row is drawn as a full row.
void SubMenuRenderer::RaiseGroupRows(const std::vector<ui::XmlNode>& children) {
    raised_.assign(list().size(), false);
    if (level_ != 2) return;
    for (size_t j = 0; j < list().size() && j < children.size(); ++j) {
        core::TLNItem& item = list()[j];
        if (!core::OpensSubMenu(item, children[j])) continue;
        item.Type = 2;
        raised_[j] = true;
    }
}

bool SubMenuRenderer::ReuseCache() {
    // A listing changes between openings: a reused strip would show the old files
    // over the new rows. A scrolling level writes no cache to reuse.
    if (listing_ || scrolls_ || !core::IsValidCacheId(oldId_) || list().empty()) return false;
    const long long width = skin_.ShowCaption ? main_.LevelWidths[level_] : 0;
    auto strip = LoadCached(core::CachedImagePath(core::CacheDir, oldId_, L"", core::ImageExt),
                            static_cast<long long>(list().size()) * core::kIconCell, core::kIconCell);
    if (!strip) return false;
    std::unique_ptr<Gdiplus::Bitmap> captions;
    if (CaptionsOn()) {
        captions = LoadCached(core::CachedImagePath(core::CacheDir, oldId_, L"s", core::ImageExt), width,
                              2LL * height_);
        if (!captions) return false;
    }
    main_.LevelImages[level_] = std::move(strip);
    main_.CaptionImages[level_] = std::move(captions);
    return true;
}

void SubMenuRenderer::MakePanel(int shownRow) {
    // Tag: the row as the level's selection counts it, from the first row shown.
    auto panel = std::make_unique<core::TMouseControl>(form_, shownRow, 0, main_.DrawnRowTop(level_, shownRow),
                                                       main_.LevelWidths[level_], skin_.ItemSize);
    TForm2* owner = &owner_;
    panel->OnMouseEnter = [owner](core::TMouseControl& sender) { owner->OpenThirdLevel(sender); };
    core::SubPanels.push_back(std::move(panel));
}

// Icons and caption outlines of the list rows first .. first + count - 1 into cells
// and rows 0 .. count - 1 of the images.
void SubMenuRenderer::DrawRows(int first, int count, bool icons, core::CaptionPaths* paths) {
    std::optional<Gdiplus::Graphics> strip;
    if (icons && main_.LevelImages[level_]) {
        strip.emplace(main_.LevelImages[level_].get());
        core::SetStripQuality(*strip);
    }
    for (int k = 0; k < count; ++k) {
        const size_t j = static_cast<size_t>(first) + static_cast<size_t>(k);
        if (j >= list().size()) break;
        const core::TLNItem& item = list()[j];
        if (strip) core::DrawItemIcon(item, k, *strip);
        if (paths) core::AddCaption(main_.Skin, main_.Parts, item, main_.ItemTop(level_, k), *paths);
    }
}

void SubMenuRenderer::SaveCache(core::CaptionPaths* paths) {
    const auto oldStrip = core::CachedImagePath(core::CacheDir, oldId_, L"", core::ImageExt);
    const auto oldCaptions = core::CachedImagePath(core::CacheDir, oldId_, L"s", core::ImageExt);
    std::wstring id;
    Gdiplus::Bitmap* strip = main_.LevelImages[level_].get();
    if (!listing_ && !scrolls_ && strip && groupItem_) {
        id = core::SaveImagePng(L"", *strip);
        if (!id.empty()) {
            ui::XmlNode idNode = groupItem_->Child(L"ID");
            const std::wstring previous = idNode.Text();
            idNode.SetText(id);
            // No message: the ID is the cache's business. When the file cannot take
            // it, the document keeps matching the file and the strip is dropped.
            if (main_.MenuFile.SaveMenu(main_.XMLDocument1, core::AppDir + core::MenuFileName) !=
                core::MenuStore::SaveResult::Saved) {
                idNode.SetText(previous);
                DeleteFileW((core::CacheDir + id + core::ImageExt).c_str());
                id.clear();
            }
        }
    }
    // The old files go after the new strip is written: while the old strip is still
    // there, the new ID cannot be the old one, whose caption image would then be
    // deleted from under it. A listing keeps no files and its ID; an invalid ID names
    // no file of ours.
    if (!listing_ && oldStrip && oldCaptions && id != oldId_) {
        if (ui::FileExists(*oldStrip)) DeleteFileW(oldStrip->c_str());
        if (ui::FileExists(*oldCaptions)) DeleteFileW(oldCaptions->c_str());
    }
    if (paths && main_.CaptionImages[level_]) {
        core::RenderCaptions(skin_, *main_.CaptionImages[level_], *paths, height_, 0.0f);
        if (!id.empty()) core::SaveImagePng(L"s" + id, *main_.CaptionImages[level_]);
    }
}

void SubMenuRenderer::Prepare(bool useCache) {
    core::TLNItemList& items = list();
    // Rows, images and panels of the group shown before must not outlive a failure
    // here: a click would reach a row of another group.
    items.clear();
    main_.LevelImages[level_].reset();
    main_.CaptionImages[level_].reset();
    if (level_ == 2) core::SubPanels.clear();
    SetRowCount(0);
    main_.LevelWidths[level_] = EmptyGroupWidth(skin_);
    height_ = SubMenuContentHeight(items, false, main_.ShowCount, skin_);
    scrolls_ = main_.ScrollMode[level_] != 0;

    FindGroup();
    const std::vector<ui::XmlNode> children = container_->ElementChildren();
    const int rows = static_cast<int>(children.size());
    SetRowCount(rows);
    main_.LevelWidths[level_] = core::BoundedWindowSize(
        skin_.ShowCaption ? static_cast<long long>(main_.MeasureCaptions(*container_)) + skin_.CaptionX +
                                skin_.RightMargin - skin_.TextRightMargin
                          : skin_.SkinWidth);
    core::LoadItemList(items, *container_);
    if (auto id = groupItem_->FindChild(L"ID")) oldId_ = id->Text();
    RaiseGroupRows(children);

    main_.ScrollMode[level_] = DecideScrollMode(rows, main_.ShowCount, listing_, main_.ScrollMode[level_]);
    scrolls_ = main_.ScrollMode[level_] != 0;
    // A full preparation shows rows 0 .. ShowCount - 1, as the row mappings assume.
    if (scrolls_) main_.ScrollTop = 0;
    height_ = SubMenuContentHeight(items, scrolls_, main_.ShowCount, skin_);

    const int drawn = scrolls_ ? std::min(rows, std::max(main_.ShowCount, 0)) : rows;
    const bool reused = useCache && ReuseCache();
    core::CaptionPaths paths;
    if (!reused) {
        if (drawn > 0) main_.LevelImages[level_] = core::NewImage(drawn * core::kIconCell, core::kIconCell);
        if (CaptionsOn())
            main_.CaptionImages[level_] = core::NewImage(main_.LevelWidths[level_], 2 * height_);
    }
    for (int j = 0; j < drawn; ++j)
        if (raised_[static_cast<size_t>(j)]) MakePanel(j);
    if (reused) return;
    DrawRows(0, drawn, true, CaptionsOn() ? &paths : nullptr);
    SaveCache(CaptionsOn() ? &paths : nullptr);
}

void SubMenuRenderer::ScrollStep() {
    const core::TLNItemList& items = list();
    const int shown = std::max(main_.ShowCount, 0);
    const int first = main_.ScrollTop;
    scrolls_ = true;
    height_ = SubMenuContentHeight(items, true, shown, skin_);

    if (level_ == 2) {
        core::SubPanels.clear();
        container_ = core::LevelContainer(main_.XMLDocument1.Root(), level_, main_.SelectedIndex, main_.ScrollMode,
                                          main_.ScrollTop);
        if (container_) {
            const int count = static_cast<int>(container_->ElementCount());
            for (int k = 0; k < shown && first + k < count && static_cast<size_t>(first + k) < items.size(); ++k) {
                const core::TLNItem& item = items[static_cast<size_t>(first + k)];
                if (item.Type == 2 && core::OpensSubMenu(item, container_->ElementAt(static_cast<size_t>(first + k))))
                    MakePanel(k);
            }
        }
    }

    const bool captions = CaptionsOn();
    auto& strip = main_.LevelImages[level_];
    auto& captionImage = main_.CaptionImages[level_];
    const long long stripWidth = static_cast<long long>(shown) * core::kIconCell;
    const bool down = core::ScrollState == 1;
    // The rows before and after the step, one band apart only when all are full rows.
    const int before = down ? first - 1 : first + 1;
    const bool shift = shown > 1 && RowsAreFullHeight(items, std::min(first, before), shown + 1, skin_) &&
                       HasSize(strip.get(), stripWidth, core::kIconCell) &&
                       (!captions || HasSize(captionImage.get(), main_.LevelWidths[level_], 2LL * height_));
    core::CaptionPaths paths;
    if (!shift) {
        // Rows of other heights move by other amounts: the rows shown are drawn anew.
        if (shown > 0) strip = core::NewImage(shown * core::kIconCell, core::kIconCell);
        if (captions) captionImage = core::NewImage(main_.LevelWidths[level_], 2 * height_);
        DrawRows(first, shown, true, captions ? &paths : nullptr);
        if (captions) core::RenderCaptions(skin_, *captionImage, paths, height_, 0.0f);
        return;
    }

    const int cell = core::kIconCell;
    const int width = static_cast<int>(stripWidth);
    const int newCell = down ? shown - 1 : 0;
    MovePixels(*strip, Gdiplus::Rect(down ? cell : 0, 0, width - cell, cell), down ? -cell : cell, 0);
    ClearPixels(*strip, Gdiplus::Rect(newCell * cell, 0, cell, cell));
    if (captions) {
        const int band = skin_.ItemSize;
        const int rest = core::ClampToInt(static_cast<long long>(band) * (shown - 1));
        const int imageWidth = static_cast<int>(captionImage->GetWidth());
        for (const int half : {0, height_}) {
            const int top = skin_.HeaderSize + half;
            MovePixels(*captionImage, Gdiplus::Rect(0, down ? top + band : top, imageWidth, rest), 0,
                       down ? -band : band);
            // The vacated band of both halves is cleared, so the new caption does not
            // land on the one that scrolled away.
            ClearPixels(*captionImage, Gdiplus::Rect(0, top + newCell * band, imageWidth, band));
        }
    }
    {
        Gdiplus::Graphics surface(strip.get());
        core::SetStripQuality(surface);
        const size_t row = static_cast<size_t>(first + newCell);
        if (row < items.size()) {
            core::DrawItemIcon(items[row], newCell, surface);
            if (captions) core::AddCaption(main_.Skin, main_.Parts, items[row], main_.ItemTop(level_, newCell), paths);
        }
    }
    if (captions) core::RenderCaptions(skin_, *captionImage, paths, height_, 0.0f);
}

void SubMenuRenderer::CoverListedRows() {
    const int rows = static_cast<int>(list().size());
    SetRowCount(rows);
    main_.ScrollMode[level_] = DecideScrollMode(rows, main_.ShowCount, listing_, main_.ScrollMode[level_]);
    scrolls_ = main_.ScrollMode[level_] != 0;
    if (scrolls_) main_.ScrollTop = 0;
    height_ = SubMenuContentHeight(list(), scrolls_, main_.ShowCount, skin_);
}

void SubMenuRenderer::Finish() {
    const int height = SubMenuWindowHeight(height_, scrolls_, skin_);
    form_.SetHeight(height);
    const int top = ClampedTop(form_.Top(), height, GetSystemMetrics(SM_CYSCREEN));
    if (top != form_.Top()) form_.SetTop(top);
    const int width = core::BoundedWindowSize(skin_.ShowCaption ? main_.LevelWidths[level_] : skin_.SkinWidth);
    form_.SetWidth(width);
    auto& bitmap = main_.Compositor.LevelBitmaps[level_];
    if (!bitmap) bitmap = std::make_unique<ui::Dib>();
    // The blur mask takes the window's size, which is final here.
    main_.ApplyBlurBehind(form_);
    bitmap->Resize(width, height);
}

}  // namespace

void TForm2::RenderSubMenu(bool UseCache, ui::Form& target) {
    core::TForm1* main = core::Form1;
    if (!main || (target.Tag != 2 && target.Tag != 3)) return;
    main->Compositor.LevelBitmaps[target.Tag] = std::make_unique<ui::Dib>();
    // A skin load that stopped part-way may have left the caption objects out.
    if (main->Skin.ShowCaption && !main->Parts.CaptionFont) core::CreateCaptionObjects(main->Parts, main->Skin);
    SubMenuRenderer renderer(*this, target, *main);
    const bool step = core::RedrawOnly && main->ScrollMode[target.Tag] != 0;
    try {
        if (step)
            renderer.ScrollStep();
        else if (!core::RedrawOnly)
            renderer.Prepare(UseCache);
        else
            renderer.KeepSize();
    } catch (const std::exception&) {
        // Silent: the window is sized for what was read, and the rows it shows are
        // the rows the list holds.
        if (!step) renderer.CoverListedRows();
    }
    renderer.Finish();
}

}  // namespace popups
