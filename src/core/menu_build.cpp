#include "core/form1.h"

#include "core/item_icons.h"
#include "core/path_macros.h"
#include "core/row_geometry.h"
#include "core/startup.h"
#include "render/menu_images.h"
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
        if (paths) AddCaption(form, item, 1, u, *paths);
        if (strip) DrawItemIcon(item, u, *strip);
    }
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
            RenderCaptions(Skin, *CaptionImages[1], paths, static_cast<int>(height), Skin.ShadowSize / 2);
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
