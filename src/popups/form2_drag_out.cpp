// The drag of a listed file out of a sub-menu window: the entry pressed on travels
// as the shell's own data object, with this window as OLE's drop source.
#include "popups/form2_drag_out.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/menu_document.h"
#include "core/menu_nodes.h"
#include "core/mouse_input.h"
#include "popups/form2.h"
#include "render/compositor.h"
#include "render/row_geometry.h"
#include "ui/files.h"

#include <shlobj.h>

#include <memory>
#include <vector>

namespace popups {

using Microsoft::WRL::ComPtr;

ComPtr<IDataObject> DragDataObject;

namespace {

struct TaskMemFree {
    void operator()(void* p) const noexcept { CoTaskMemFree(p); }
};
// An item ID list from the shell, freed with the shell's allocator (the COM task
// allocator) on every path.
using UniqueIdList = std::unique_ptr<ITEMIDLIST_RELATIVE, TaskMemFree>;

// The parsed form of `name` in `folder`; empty when the shell refuses it. The shell
// takes the name as writable text.
UniqueIdList ParseName(IShellFolder& folder, const std::wstring& name) {
    std::vector<wchar_t> text(name.begin(), name.end());
    text.push_back(L'\0');
    PIDLIST_RELATIVE parsed = nullptr;
    const HRESULT hr = folder.ParseDisplayName(nullptr, nullptr, text.data(), nullptr, &parsed, nullptr);
    UniqueIdList list(parsed);
    if (FAILED(hr)) return nullptr;
    return list;
}

}  // namespace

ComPtr<IDataObject> GetShellDataObject(const std::wstring& Folder, const std::wstring& FileName) {
    const DWORD attributes = GetFileAttributesW(Folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return nullptr;
    ComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop) return nullptr;
    const UniqueIdList folderList = ParseName(*desktop.Get(), Folder);
    if (!folderList) return nullptr;
    ComPtr<IShellFolder> folder;
    if (FAILED(desktop->BindToObject(folderList.get(), nullptr, IID_PPV_ARGS(&folder))) || !folder) return nullptr;
    // ".." is parsed as an empty name, which the shell refuses; an entry that
    // vanished since the listing is refused as not found.
    const UniqueIdList itemList = ParseName(*folder.Get(), FileName);
    if (!itemList) return nullptr;
    PCUITEMID_CHILD items[] = {reinterpret_cast<PCUITEMID_CHILD>(itemList.get())};
    ComPtr<IDataObject> data;
    if (FAILED(folder->GetUIObjectOf(nullptr, 1, items, IID_IDataObject, nullptr,
                                     reinterpret_cast<void**>(data.GetAddressOf()))))
        return nullptr;
    return data;
}

HRESULT STDMETHODCALLTYPE SubMenuDropSource::QueryInterface(REFIID riid, void** object) noexcept {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDropSource) {
        *object = static_cast<IDropSource*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE SubMenuDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) noexcept {
    if (escapePressed || (keyState & MK_RBUTTON) != 0) return DRAGDROP_S_CANCEL;
    if ((keyState & MK_LBUTTON) != 0) return S_OK;
    return DRAGDROP_S_DROP;
}

HRESULT STDMETHODCALLTYPE SubMenuDropSource::GiveFeedback(DWORD /*effect*/) noexcept {
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

// --- the windows' side

void TForm2::RecordDragOutEntry() {
    dragOut_.reset();
    const core::TForm1* main = core::Form1;
    if (!main) return;
    const core::TForm1& f = *main;
    const int level = Tag;
    if (!core::IsFolderMenuItem(f.ItemLists, f.SelectedIndex, f.ScrollMode, f.ScrollTop, level)) return;
    const core::TLNItem* item =
        core::HoveredItem(f.ItemLists[level], f.SelectedIndex[level] - 1, f.ScrollMode[level], f.ScrollTop);
    if (!item) return;
    dragOut_ = DragOutEntry{core::SelectedPosition(level, f.SelectedIndex, f.ScrollMode, f.ScrollTop), item->Run};
}

bool TForm2::DragOutStarts(int x, int y) const {
    const core::TForm1* main = core::Form1;
    if (!main || !pressed_ || !dragOut_ || !core::IsLeftButtonDown()) return false;
    const core::TForm1& f = *main;
    const int level = Tag;
    RECT client{};
    GetClientRect(Handle(), &client);
    if (!PtInRect(&client, POINT{x, y})) return true;
    // The same row walk as the pointer tracking's: off the row area, or on a row
    // that shows another entry, the pointer has left the pressed one.
    const int band = f.ScrollMode[level] != 0 ? f.Skin.ItemSize : 0;
    const long long areaTop = static_cast<long long>(f.Skin.HeaderSize) + band;
    const long long areaBottom = static_cast<long long>(Height()) - f.Skin.BottomMargin - band;
    if (y < areaTop || y > areaBottom) return true;
    const int row = core::RowAtY(f.ItemLists[level], y, f.FirstShownRow(level), band, f.Skin);
    if (row == 0) return true;
    const long long position = static_cast<long long>(row) - 1 + static_cast<long long>(f.ScrollMode[level]) * f.ScrollTop;
    return position != dragOut_->position;
}

void TForm2::DragOut() {
    const DragOutEntry entry = *dragOut_;
    dragOut_.reset();
    // The press ends here, without a release: a made-up button-up would carry the
    // pointer's position, which may lie inside the window, and launch the entry.
    EndPressWithoutRelease();
    pressed_ = false;
    EndRelease();
    DragDataObject = GetShellDataObject(ui::ExtractFilePath(entry.Run), ui::ExtractFileName(entry.Run));
    if (!DragDataObject) return;
    // Another program takes the file by reference: a link is the only effect offered,
    // so nothing is moved or copied out of the user's folder.
    DWORD effect = DROPEFFECT_NONE;
    DoDragDrop(DragDataObject.Get(), &dropSource_, DROPEFFECT_LINK, &effect);
}

}  // namespace popups
