// The drag of a listed file out of a sub-menu window to other programs: the shell's
// data object of the entry and the windows' OLE drop source.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <wrl/client.h>

#include <string>

namespace popups {

// The shell's data object of `FileName` in the folder `Folder`, the one Explorer
// hands out for a drag of that entry; none when Folder is no directory or any shell
// call fails (".." and a vanished entry among them).
Microsoft::WRL::ComPtr<IDataObject> GetShellDataObject(const std::wstring& Folder, const std::wstring& FileName);

// The data object of the entry last dragged out, kept until the next drag-out
// replaces it. Released when the sub-menu windows are destroyed, which is before
// OLE shuts down.
extern Microsoft::WRL::ComPtr<IDataObject> DragDataObject;

// The IDropSource of a sub-menu window. The window owns it and outlives every drag,
// so the reference count is nobody's business: releasing it never frees it.
class SubMenuDropSource final : public IDropSource {
public:
    SubMenuDropSource() = default;
    SubMenuDropSource(const SubMenuDropSource&) = delete;
    SubMenuDropSource& operator=(const SubMenuDropSource&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return 1; }
    ULONG STDMETHODCALLTYPE Release() noexcept override { return 1; }
    // Escape or the right button cancels, the left button held goes on, and its
    // release drops.
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) noexcept override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) noexcept override;
};

}  // namespace popups
