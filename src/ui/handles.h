// Move-only owners for Win32 handles, and scope guards for pairs that must match.
#pragma once

#include <windows.h>

#include <utility>

namespace ui {

template <class Traits> class Unique {
public:
    using Handle = typename Traits::Handle;
    explicit Unique(Handle h = Traits::Empty()) noexcept : h_(h) {}
    Unique(Unique&& other) noexcept : h_(other.Release()) {}
    Unique& operator=(Unique&& other) noexcept { Reset(other.Release()); return *this; }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { Reset(); }
    Handle Get() const noexcept { return h_; }
    [[nodiscard]] Handle Release() noexcept { return std::exchange(h_, Traits::Empty()); }
    void Reset(Handle h = Traits::Empty()) noexcept {
        if (h_ != Traits::Empty()) Traits::Close(h_);
        h_ = h;
    }
    explicit operator bool() const noexcept { return h_ != Traits::Empty(); }
private:
    Handle h_;
};

template <class T> struct GdiObjectTraits {
    using Handle = T;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { DeleteObject(h); }
};
struct DcTraits {
    using Handle = HDC;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { DeleteDC(h); }
};
struct IconTraits {
    using Handle = HICON;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { DestroyIcon(h); }
};
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { CloseHandle(h); }
};
// CreateFileW and FindFirstFileW report failure as INVALID_HANDLE_VALUE, not NULL.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) noexcept { CloseHandle(h); }
};
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) noexcept { FindClose(h); }
};
struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { FreeLibrary(h); }
};
struct WindowTraits {
    using Handle = HWND;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { DestroyWindow(h); }
};
struct MenuTraits {
    using Handle = HMENU;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { DestroyMenu(h); }
};

using UniqueBitmap = Unique<GdiObjectTraits<HBITMAP>>;
using UniqueRegion = Unique<GdiObjectTraits<HRGN>>;
using UniqueFont = Unique<GdiObjectTraits<HFONT>>;
using UniqueBrush = Unique<GdiObjectTraits<HBRUSH>>;
using UniqueDc = Unique<DcTraits>;
using UniqueIcon = Unique<IconTraits>;
using UniqueHandle = Unique<KernelHandleTraits>;
using UniqueFile = Unique<FileHandleTraits>;
using UniqueFind = Unique<FindHandleTraits>;
using UniqueModule = Unique<ModuleTraits>;
using UniqueWindow = Unique<WindowTraits>;
using UniqueMenu = Unique<MenuTraits>;

// Runs a callable when the scope ends, on every path.
template <class F> class ScopeExit {
public:
    explicit ScopeExit(F f) noexcept : f_(std::move(f)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() { if (active_) f_(); }
    void Dismiss() noexcept { active_ = false; }
private:
    F f_;
    bool active_ = true;
};

// GetDC / ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() { if (dc_) ReleaseDC(hwnd_, dc_); }
    HDC Get() const noexcept { return dc_; }
private:
    HWND hwnd_;
    HDC dc_;
};

// SelectObject with the previous object restored at scope end.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(SelectObject(dc, obj)) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() { if (old_) SelectObject(dc_, old_); }
private:
    HDC dc_;
    HGDIOBJ old_;
};

// Sets a flag for the life of the scope and clears it on every path.
class FlagScope {
public:
    explicit FlagScope(bool& flag) noexcept : flag_(flag) { flag_ = true; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;
    ~FlagScope() { flag_ = false; }
private:
    bool& flag_;
};

}  // namespace ui
