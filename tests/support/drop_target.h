// What another program sees of a drag: the files a data object carries, and an OLE
// drop target that records every call it gets.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace drop_target {

// The paths of the object's CF_HDROP, as Explorer's drop targets read them; empty
// when it carries none.
inline std::vector<std::wstring> DroppedPaths(IDataObject* data) {
    std::vector<std::wstring> paths;
    if (!data) return paths;
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&format, &medium))) return paths;
    if (auto* drop = static_cast<HDROP>(GlobalLock(medium.hGlobal))) {
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring path(DragQueryFileW(drop, i, nullptr, 0), L'\0');
            DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
            paths.push_back(path);
        }
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    return paths;
}

// Registered on a window of the test's own; it lives on the stack of the test, so
// its reference count is not kept. It accepts a link, the effect the menu offers.
class RecordingDropTarget final : public IDropTarget {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) noexcept override {
        if (!object) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDropTarget) {
            *object = static_cast<IDropTarget*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return 1; }
    ULONG STDMETHODCALLTYPE Release() noexcept override { return 1; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) noexcept override {
        ++enters;
        enterOffered = *effect;
        enterPaths = DroppedPaths(data);
        *effect &= DROPEFFECT_LINK;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) noexcept override {
        *effect &= DROPEFFECT_LINK;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() noexcept override {
        ++leaves;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) noexcept override {
        ++drops;
        dropOffered = *effect;
        dropPaths = DroppedPaths(data);
        *effect &= DROPEFFECT_LINK;
        return S_OK;
    }

    int enters = 0;
    int leaves = 0;
    int drops = 0;
    DWORD enterOffered = 0;
    DWORD dropOffered = 0;
    std::vector<std::wstring> enterPaths;
    std::vector<std::wstring> dropPaths;
};

}  // namespace drop_target
