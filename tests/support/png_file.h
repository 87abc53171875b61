// PNG files for fixtures: the test describes the pixels, GDI+ encodes them. Needs a
// GDI+ session (the test programs start one).
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <functional>
#include <string>

namespace testing_support {

// The bytes of a width x height PNG whose pixel (x, y) is pixel(x, y), as
// straight (not premultiplied) ARGB. Throws when GDI+ cannot encode it.
std::string PngBytes(int width, int height, const std::function<Gdiplus::ARGB(int x, int y)>& pixel);
// One colour everywhere.
std::string SolidPng(int width, int height, Gdiplus::ARGB color);
// A blank width x height picture saved at `path` in the format of `mimeType`
// ("image/png", "image/jpeg"): a picture whose size is all that matters. Throws
// when GDI+ cannot write it.
void SaveBlankImage(const std::wstring& path, int width, int height, const wchar_t* mimeType);

}  // namespace testing_support
