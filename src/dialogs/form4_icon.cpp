// TForm4's icon and target choices: the preview, the browse button, the icon
// buttons, the icon chooser and dropped files.
#include "dialogs/form4.h"

#include "core/menu_nodes.h"
#include "core/path_macros.h"
#include "core/startup.h"
#include "dialogs/choosers.h"
#include "render/item_icons.h"
#include "ui/controls.h"
#include "ui/files.h"
#include "ui/handles.h"
#include "ui/strings.h"

#include <cstring>

namespace dialogs {
namespace {

// Pixels of the button face, premultiplied and opaque.
std::uint32_t ButtonFace() {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    return 0xFF000000u | (static_cast<std::uint32_t>(GetRValue(face)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(face)) << 8) | GetBValue(face);
}

bool IsIconOrPng(std::wstring_view ext) { return ext == L".ico" || ext == L".png"; }

bool IconHandle(HICON icon) { return icon && icon != reinterpret_cast<HICON>(1); }

// Draws and destroys the icon; false for no icon.
bool DrawIcon(ui::Dib& into, HICON icon) {
    if (!IconHandle(icon)) return false;
    GdiFlush();
    Gdiplus::Graphics surface(&into.AsGdiplus());
    core::IconToBitmap(icon, 0, surface);
    return true;
}

const ChooserFunctions& Table() { return Choosers(); }

bool SelectFile(HWND owner, const std::wstring& folder, const FileFilter& filter, std::wstring& file,
                bool& relative) {
    if (Table().SelectFile) return Table().SelectFile(owner, folder, filter, file, relative);
    return RealSelectFile(owner, folder, filter, file, relative);
}

int AskIcon(HWND owner, std::wstring& file, int& index) {
    if (Table().PickIcon) return Table().PickIcon(owner, file, index);
    return RealPickIcon(owner, file, index);
}

std::wstring WindowsFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    UINT length = GetWindowsDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (length > folder.size()) {
        folder.resize(length);
        length = GetWindowsDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    }
    folder.resize(length < folder.size() ? length : 0);
    return folder;
}

const FileFilter kIconFilter = {{L"All files (*.exe, *.dll, *.icl, *.ico, *.png)", L"*.exe;*.dll;*.icl;*.ico;*.png"},
                                {L"Applications (*.exe)", L"*.exe"},
                                {L"Libraries (*.dll, *.icl)", L"*.dll;*.icl"},
                                {L"Icons (*.ico)", L"*.ico"},
                                {L"PNG files (*.png)", L"*.png"}};
const FileFilter kTargetFilter = {{L"Applications (*.EXE)", L"*.exe"}, {L"All files (*.*)", L"*.*"}};

constexpr size_t kIconChooserCapacity = 260;
constexpr int kBrowsePart = 17;

}  // namespace

bool TForm4::BrowseFolder(HWND owner, std::wstring& displayName, std::wstring& path) {
    if (Table().BrowseFolder) return Table().BrowseFolder(owner, displayName, path);
    return RealBrowseFolder(owner, displayName, path);
}

bool TForm4::DrawPicture(ui::Dib& into, const std::wstring& path, int index) const {
    const std::wstring file = core::ExpandPathMacros(path);
    const std::wstring_view ext = ExtensionOf(file);
    into.Fill(ButtonFace());
    if (ext == L".png") {
        std::unique_ptr<Gdiplus::Bitmap> image = ui::LoadImageFile(file);
        if (!image) return false;
        GdiFlush();
        Gdiplus::Graphics surface(&into.AsGdiplus());
        surface.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        surface.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
        // Without the flip the smoothing reads transparent pixels beyond the edges.
        Gdiplus::ImageAttributes edges;
        edges.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
        surface.DrawImage(image.get(), Gdiplus::Rect(0, 0, kPreviewSize, kPreviewSize), 0, 0,
                          static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()),
                          Gdiplus::UnitPixel, &edges);
        return true;
    }
    if (ext == L".ico") {
        auto icon = static_cast<HICON>(
            LoadImageW(nullptr, file.c_str(), IMAGE_ICON, kPreviewSize, kPreviewSize, LR_LOADFROMFILE));
        return DrawIcon(into, icon);
    }
    if (ui::TrimSpaces(file).empty() || (!ui::FileExists(file) && !ui::DirectoryExists(file))) return false;
    if (ext == L".exe" || ext == L".dll" || ext == L".icl") {
        // The shell would show a generic picture for a library without icons.
        const UINT count = ExtractIconExW(file.c_str(), -1, nullptr, nullptr, 0);
        if (count == 0 || index < 0 || static_cast<UINT>(index) >= count) return false;
    }
    return DrawIcon(into, core::GetItemIcon(file, index));
}

void TForm4::DrawFallback(ui::Dib& into) const {
    into.Fill(ButtonFace());
    DrawIcon(into, core::GetItemIcon(core::SystemDir + L"shell32.dll", 23));
}

bool TForm4::LoadIconPreview(const std::wstring& path, int index) {
    ui::Dib picture(kPreviewSize, kPreviewSize);
    const bool drawn = DrawPicture(picture, path, index);
    if (!drawn) DrawFallback(picture);
    GdiFlush();
    std::memcpy(preview_.Bits(), picture.Bits(), sizeof(std::uint32_t) * kPreviewSize * kPreviewSize);
    InvalidateRect(Control(kImage1), nullptr, FALSE);
    return drawn;
}

bool TForm4::TryIconPreview(const std::wstring& path, int index) {
    ui::Dib picture(kPreviewSize, kPreviewSize);
    if (!DrawPicture(picture, path, index)) return false;
    GdiFlush();
    std::memcpy(preview_.Bits(), picture.Bits(), sizeof(std::uint32_t) * kPreviewSize * kPreviewSize);
    InvalidateRect(Control(kImage1), nullptr, FALSE);
    return true;
}

bool TForm4::TakeIconFile(const std::wstring& path, int index) {
    if (!TryIconPreview(path, index)) {
        ShowMessage(L"\"" + path + L"\" holds no icon or picture that can be shown, so the icon stays as it was.");
        return false;
    }
    IconFile = path;
    IconIndex = index;
    return true;
}

void TForm4::Button1MouseUp(ui::MouseButton button, int x, int /*y*/) {
    if (button != ui::MouseButton::Left) return;
    HWND button1 = Control(kButton1);
    if (x > kBrowsePart) {
        RECT rect{};
        GetWindowRect(button1, &rect);
        IconMenu.Popup(rect.left + kBrowsePart, rect.bottom);
        return;
    }
    Browse();
}

void TForm4::Browse() {
    const int typeIndex = TypeIndex();
    if (typeIndex == kLinkType) {
        std::wstring file;
        bool relative = false;
        const std::wstring target = core::ExpandPathMacros(ui::ControlText(Control(kEdit1)));
        if (!SelectFile(Handle(), ui::ExtractFilePath(target), kTargetFilter, file, relative)) return;
        const std::wstring shown = relative ? RelativeToProgramDrive(file, core::AppDir) : file;
        ui::SetControlText(Control(kEdit1), shown);
        ui::SetControlText(Control(kEdit2), CaptionForFile(shown));
        const std::wstring_view ext = ExtensionOf(file);
        if (ext == L".ico" || ext == L".icl" || ext == L".exe" || ext == L".dll") {
            TakeIconFile(shown, 0);
            return;
        }
        LoadIconPreview(shown, 0);
        IconFile.clear();
        IconIndex = 0;
        return;
    }
    if (typeIndex == kFolderType) {
        std::wstring displayName;
        std::wstring path;
        if (!BrowseFolder(Handle(), displayName, path) || path.empty()) return;
        ui::SetControlText(Control(kEdit1), path);
        ui::SetControlText(Control(kEdit2), displayName);
        LoadIconPreview(path, 0);
        IconFile.clear();
    }
}

void TForm4::PickIcon(const std::wstring& file) {
    if (file.size() >= kIconChooserCapacity) {
        ShowMessage(L"The path of the icon file is too long for the icon chooser.");
        return;
    }
    std::wstring chosen = file;
    int index = IconIndex;
    if (AskIcon(Handle(), chosen, index) <= 0) return;
    TakeIconFile(ExpandSystemRoot(chosen, WindowsFolder()), index);
}

void TForm4::ChooseIconFile(const std::wstring& initialFolder, bool relativeAllowed) {
    std::wstring file;
    bool relative = false;
    if (!SelectFile(Handle(), initialFolder, kIconFilter, file, relative)) return;
    if (!IsIconOrPng(ExtensionOf(file))) {
        PickIcon(file);
        return;
    }
    TakeIconFile(relative && relativeAllowed ? RelativeToProgramDrive(file, core::AppDir) : file, 0);
}

void TForm4::Button4Click() {
    const std::wstring oldFile = IconFile;
    const int oldIndex = IconIndex;
    const std::wstring current = core::ExpandPathMacros(IconFile);
    if (!ui::TrimSpaces(current).empty() && ui::FileExists(current)) {
        // The "%DISK%" form replaces a picture file only by another one.
        ChooseIconFile(ui::ExtractFilePath(current), IsIconOrPng(ExtensionOf(current)));
    } else {
        if (TypeIndex() == 4) {
            RECT rect = ui::ChildRect(Control(kButton4));
            POINT corner{rect.right, rect.top};
            ClientToScreen(Handle(), &corner);
            IconMenu.Popup(corner.x, corner.y);
        }
        HWND edit1 = Control(kEdit1);
        const std::wstring target = ui::ControlText(edit1);
        const bool exe = ui::ControlEnabled(edit1) && target.size() >= 4 && target.ends_with(L".exe");
        ChooseIconFile(exe ? ui::ExtractFilePath(core::ExpandPathMacros(target)) : std::wstring(), false);
    }
    if (IconFile != oldFile || IconIndex != oldIndex) Edit1Change();
}

void TForm4::Button5Click() {
    const int typeIndex = TypeIndex();
    if (typeIndex == kLinkType) {
        if (IconFile.empty()) return;
        LoadIconPreview(ui::ControlText(Control(kEdit1)), 0);
        IconFile.clear();
        IconIndex = 0;
        Edit1Change();
        return;
    }
    if (typeIndex == kFolderType) {
        const std::wstring target = ui::ControlText(Control(kEdit1));
        if (ui::DirectoryExists(core::ExpandPathMacros(target))) {
            if (IconFile.empty()) return;
            IconFile.clear();
            IconIndex = 0;
            LoadIconPreview(target, 0);
        } else {
            IconFile = core::SystemDir + L"shell32.dll";
            IconIndex = 3;
            LoadIconPreview(IconFile, IconIndex);
        }
        Edit1Change();
        return;
    }
    const std::wstring caption = ui::ControlText(Control(kEdit2));
    // The type change it re-runs is no choice of a kind: a stored kind the list lacks
    // stays what OK writes.
    const bool keepStoredKind = keepStoredKind_;
    if (typeIndex != kSystemType) ComboBox1Change();
    keepStoredKind_ = keepStoredKind;
    ui::SetControlText(Control(kEdit2), caption);
    Edit1Change();
}

void TForm4::WMDropFiles(HDROP drop) {
    ui::ScopeExit finish([drop] { DragFinish(drop); });
    const std::optional<core::DroppedFile> dropped = core::FirstDroppedFile(drop);
    if (!dropped) return;
    const RECT image = ui::ChildRect(Control(kImage1));
    HWND edit1 = Control(kEdit1);
    const RECT target = ui::ChildRect(edit1);
    if (PtInRect(&image, dropped->Point)) {
        if (!IsIconOrPng(ExtensionOf(dropped->Path))) return;
        if (TakeIconFile(dropped->Path, 0)) Edit1Change();
        return;
    }
    // A hidden or disabled target edit is no target the item would keep.
    if (!PtInRect(&target, dropped->Point) || !ui::ControlVisible(edit1) || !ui::ControlEnabled(edit1)) return;
    ui::SetControlText(edit1, dropped->Path);
    TakeIconFile(dropped->Path, 0);
    Edit1Change();
}

}  // namespace dialogs
