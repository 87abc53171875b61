// Files as the shell hands them over: a drop of one path, and a shortcut written
// through IShellLinkW.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <cstring>
#include <string>

namespace testing_support {

// A drop of one path at a client point, as the shell hands it over. The receiver
// frees it with DragFinish.
inline HDROP MakeDrop(const std::wstring& path, POINT point) {
    const size_t bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->pt = point;
    files->fNC = FALSE;
    files->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

// Needs COM.
inline bool WriteShortcut(const std::wstring& link, const std::wstring& target, const std::wstring& description,
                          const std::wstring& arguments, const std::wstring& iconFile, int iconIndex) {
    Microsoft::WRL::ComPtr<IShellLinkW> shellLink;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&shellLink))))
        return false;
    shellLink->SetPath(target.c_str());
    shellLink->SetDescription(description.c_str());
    shellLink->SetArguments(arguments.c_str());
    if (!iconFile.empty()) shellLink->SetIconLocation(iconFile.c_str(), iconIndex);
    Microsoft::WRL::ComPtr<IPersistFile> file;
    if (FAILED(shellLink.As(&file))) return false;
    return SUCCEEDED(file->Save(link.c_str(), TRUE));
}

}  // namespace testing_support
