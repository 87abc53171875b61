// Process-wide sessions: GDI+ (started in the program entry, outliving every GDI+
// object), COM on an apartment thread, and OLE for drag and drop.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <ole2.h>
#include <gdiplus.h>

namespace ui {

class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ~GdiplusSession() { if (ok_) Gdiplus::GdiplusShutdown(token_); }
    bool Ok() const noexcept { return ok_; }
private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

class ComSession {
public:
    explicit ComSession(DWORD flags = COINIT_APARTMENTTHREADED) {
        hr_ = CoInitializeEx(nullptr, flags);
    }
    ComSession(const ComSession&) = delete;
    ComSession& operator=(const ComSession&) = delete;
    // S_FALSE (already initialised on this thread) also needs its matching uninitialise.
    ~ComSession() { if (SUCCEEDED(hr_)) CoUninitialize(); }
    bool Ok() const noexcept { return SUCCEEDED(hr_); }
private:
    HRESULT hr_;
};

// OLE on the calling thread (COM's apartment included), which DoDragDrop needs.
class OleSession {
public:
    OleSession() : hr_(OleInitialize(nullptr)) {}
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    ~OleSession() { if (SUCCEEDED(hr_)) OleUninitialize(); }
    bool Ok() const noexcept { return SUCCEEDED(hr_); }
private:
    HRESULT hr_;
};

}  // namespace ui
