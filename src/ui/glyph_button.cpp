#include "ui/glyph_button.h"

#include "ui/handles.h"
#include "ui/images.h"

#include <commctrl.h>
#include <gdiplus.h>

#include <memory>

namespace ui {
namespace {

constexpr UINT_PTR kSubclassId = 0x5A47;  // "ZG"
// mingw's comctl32 import library lacks GetWindowSubclass, so the state is found
// again through a window property that holds the subclass's reference data.
constexpr wchar_t kStateProperty[] = L"ZarvoGlyphButton";

// What a glyph button owns besides its window: the image list (a button never frees
// the list it was given), the caption while the face is empty, and the tooltip.
struct GlyphState {
    HIMAGELIST images = nullptr;
    HWND tooltip = nullptr;
    std::wstring caption;
    bool glyphOnly = false;
};

const wchar_t* ResourceName(Glyph glyph) { return glyph == Glyph::Ok ? L"GLYPH_OK" : L"GLYPH_CANCEL"; }

// The PNG resource decoded through GDI+ into an icon: an icon carries straight alpha,
// which a 32-bit image list takes as it stands on every comctl32 we know.
HICON LoadGlyphIcon(Glyph glyph) {
    std::unique_ptr<Gdiplus::Bitmap> bitmap = LoadImageResource(ResourceName(glyph));
    if (!bitmap) return nullptr;
    HICON icon = nullptr;
    if (bitmap->GetHICON(&icon) != Gdiplus::Ok) return nullptr;
    return icon;
}

HIMAGELIST MakeImageList(Glyph glyph) {
    UniqueIcon icon(LoadGlyphIcon(glyph));
    if (!icon) return nullptr;
    ICONINFO info{};
    if (!GetIconInfo(icon.Get(), &info)) return nullptr;
    BITMAP bits{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bits), &bits);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    HIMAGELIST list = ImageList_Create(bits.bmWidth, bits.bmHeight, ILC_COLOR32, 1, 0);
    if (!list) return nullptr;
    if (ImageList_ReplaceIcon(list, -1, icon.Get()) < 0) {
        ImageList_Destroy(list);
        return nullptr;
    }
    return list;
}

void PlaceGlyph(HWND button, const GlyphState& state) {
    if (!state.images) return;
    BUTTON_IMAGELIST list{};
    list.himl = state.images;
    list.margin = RECT{3, 0, 3, 0};
    list.uAlign = state.glyphOnly ? BUTTON_IMAGELIST_ALIGN_TOP : BUTTON_IMAGELIST_ALIGN_LEFT;
    SendMessageW(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list));
    InvalidateRect(button, nullptr, TRUE);
}

TTTOOLINFOW ToolOf(HWND button, const GlyphState& state) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetAncestor(button, GA_ROOT);
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = const_cast<wchar_t*>(state.caption.c_str());
    return tool;
}

void ShowTip(HWND button, GlyphState& state) {
    if (!state.tooltip) {
        state.tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                        GetAncestor(button, GA_ROOT), nullptr, GetModuleHandleW(nullptr),
                                        nullptr);
        if (!state.tooltip) return;
        TTTOOLINFOW tool = ToolOf(button, state);
        SendMessageW(state.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        return;
    }
    TTTOOLINFOW tool = ToolOf(button, state);
    SendMessageW(state.tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(state.tooltip, TTM_ACTIVATE, TRUE, 0);
}

LRESULT CALLBACK GlyphButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) noexcept {
    auto* state = reinterpret_cast<GlyphState*>(ref);
    switch (msg) {
    case WM_SETTEXT:
        // While the glyph stands alone, a new caption (the language loader's) goes to
        // the tooltip and the face stays empty.
        if (state->glyphOnly) {
            try {
                state->caption = lp ? reinterpret_cast<const wchar_t*>(lp) : L"";
            } catch (...) {
                return FALSE;
            }
            ShowTip(hwnd, *state);
            return TRUE;
        }
        break;
    case WM_NCDESTROY: {
        RemoveWindowSubclass(hwnd, &GlyphButtonProc, kSubclassId);
        RemovePropW(hwnd, kStateProperty);
        const LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
        if (state->tooltip && IsWindow(state->tooltip)) DestroyWindow(state->tooltip);
        if (state->images) ImageList_Destroy(state->images);
        delete state;
        return result;
    }
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

GlyphState* StateOf(HWND button) {
    return button ? static_cast<GlyphState*>(GetPropW(button, kStateProperty)) : nullptr;
}

}  // namespace

HWND CreateGlyphButton(HWND parent, const ControlLayout& layout, Glyph glyph) {
    ControlLayout button = layout;
    button.className = L"BUTTON";
    button.style |= WS_TABSTOP | BS_PUSHBUTTON;
    HWND hwnd = CreateControl(parent, button);
    auto state = std::make_unique<GlyphState>();
    // A missing or undecodable glyph leaves a plain captioned button.
    state->images = MakeImageList(glyph);
    if (!SetWindowSubclass(hwnd, &GlyphButtonProc, kSubclassId, reinterpret_cast<DWORD_PTR>(state.get()))) {
        if (state->images) ImageList_Destroy(state->images);
        return hwnd;
    }
    SetPropW(hwnd, kStateProperty, state.get());
    PlaceGlyph(hwnd, *state.release());
    return hwnd;
}

void SetGlyphOnly(HWND button, bool glyphOnly) {
    GlyphState* state = StateOf(button);
    if (!state || state->glyphOnly == glyphOnly) return;
    if (glyphOnly) {
        state->caption = ControlText(button);
        SetWindowTextW(button, L"");
        state->glyphOnly = true;
        ShowTip(button, *state);
    } else {
        state->glyphOnly = false;
        if (state->tooltip) SendMessageW(state->tooltip, TTM_ACTIVATE, FALSE, 0);
        SetWindowTextW(button, state->caption.c_str());
    }
    PlaceGlyph(button, *state);
}

bool GlyphOnly(HWND button) {
    const GlyphState* state = StateOf(button);
    return state && state->glyphOnly;
}

HWND GlyphButtonTooltip(HWND button) {
    const GlyphState* state = StateOf(button);
    return state ? state->tooltip : nullptr;
}

}  // namespace ui
