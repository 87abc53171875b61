// Icon files in memory: our own writer for an icon handle, and the pick of one
// image out of an icon file's directory.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace core {

// The icon as an icon file with one entry: its colour image at 32 bits (24 when the
// colour bitmap has 24) and its mask. Empty when the icon has no colour bitmap or
// its bitmaps cannot be read. No Win32 call writes icon files, hence our own.
std::string WriteIconFile(HICON icon);

// A one-image icon file (header 0, 1, 1; the entry with its offset set to 22; its
// image bytes) of the last entry whose width byte is `width` and whose bit count's
// low byte is `bitCount`. Entries that point outside the bytes are skipped, so any
// bytes are safe; none when nothing matches.
std::optional<std::string> SelectIconEntry(std::string_view file, int width, int bitCount);

}  // namespace core
