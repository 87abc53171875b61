// The plug-in host: the table of loaded libraries, the lookup by file name, the
// strings a plug-in hands back, and the click hand-over every menu window shares.
// The loading, unloading and hover calls are TForm1's (plugins.cpp).
#pragma once

#include "core/menu_document.h"
#include "core/plugin_abi.h"
#include "ui/form.h"

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace core {

class TForm1;

// One slot of the table.
struct TPlugin {
    bool Loaded = false;
    HMODULE Handle = nullptr;
    std::wstring Name;  // the library's file name as found in plugins\, without a path
};

inline constexpr int kPluginSlots = 30;
// Slots 1..30; slot 0 is never filled and stands for "no plug-in" in the lookups.
using PluginTable = std::array<TPlugin, kPluginSlots + 1>;
using PluginBufferBytes = std::array<std::uint8_t, kPluginBufferSize>;

// The highest loaded slot whose Name equals `name` exactly (case-sensitive), or 0.
int FindPluginSlot(const PluginTable& plugins, std::wstring_view name);

// The short string at `offset` of the buffer, which a plug-in wrote and nobody
// checked: exactly its L bytes (they always fit in its 256), cut at an embedded NUL,
// converted from the ANSI code page, and without the control characters XML 1.0
// cannot hold (all below U+0020 but tab, LF and CR), so the saved menu loads again.
std::wstring ReadPluginString(const PluginBufferBytes& buffer, std::size_t offset);

// The click on plug-in row `row` (visible, 0-based) of `window` (Tag the level),
// the row's item found by the one row rule: the hint hides, the window comes to the
// foreground, PluginBusy holds for the call, PluginItemRect := the row's screen
// rectangle, "_OnClick" gets a copy of it and the buffer, the returned caption and
// icon go into the row's node and the level is saved and rebuilt, and the window is
// repainted with the row lit. Nothing is called for a name no loaded plug-in has or
// a plug-in without "_OnClick", and nothing is written then. A click while another
// "_OnClick" runs (it may pump messages) does nothing.
void PluginRowClick(TForm1& form, ui::Form& window, int row, const TLNItem& item);

}  // namespace core
