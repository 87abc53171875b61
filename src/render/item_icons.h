// Item icons and the image cache: the 48-pixel icon of a file, icons turned into
// cells of an icon strip, and the PNG writer of the cache folder. The main menu
// build, the sub-menu windows and the properties dialog share them.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <string>

namespace core {

// Edge of one icon cell of a level's strip, whatever size the skin draws icons at.
constexpr int kIconCell = 48;

// The icon of `path` (path macros expanded): icon number `index` of the file at
// 48 pixels for index != 0, the shell's extra-large icon of the file for index 0,
// icon 23 of shell32.dll when the shell has none. Owned by the caller; may be null.
HICON GetItemIcon(const std::wstring& path, int index);

// Draws the icon into cell `u` of a strip (48 u, 0, 48, 48) and destroys it. A null
// icon, ExtractIcon's (HICON)1 for "no icons" and an icon without readable bitmaps
// draw nothing; a monochrome icon draws its black-and-white image.
void IconToBitmap(HICON icon, int u, Gdiplus::Graphics& surface);

// True when any pixel of the 32-bit pixels has a non-zero alpha byte.
bool IconHasAlpha(const std::uint32_t* pixels, int width, int height);

// Saves the image as CacheDir + name + ImageExt, replacing a file of that name;
// an empty name becomes a random number 0..99998 whose file does not exist yet.
// The file is written beside its place and moved over it, so a name is only
// returned for a complete file. Returns the base name used, or empty when nothing
// was saved (no encoder, a write error, or a name that is not a plain file name).
std::wstring SaveImagePng(const std::wstring& name, Gdiplus::Image& image);

}  // namespace core
