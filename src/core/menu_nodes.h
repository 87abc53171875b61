// The document side of the menu edits, free of windows: the nodes the edit commands
// insert, the container of a level, the paste conversion for the last level and the
// caption and position rules of a dropped file.
#pragma once

#include "core/menu_document.h"
#include "render/skin.h"
#include "ui/xml_document.h"

#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace core {

// One child element of a new item: its name and text, in document order.
using ItemField = std::pair<std::wstring, std::wstring>;

// The children of a new shortcut (Type 0) or separator (Type 777).
std::vector<ItemField> NewShortcutFields(const std::wstring& caption, const std::wstring& systemDir, bool separator);

// Inserts a new "item" with these children before the element child at `position`
// of the container (position == its element count appends). Throws ui::XmlError for
// a position out of range.
ui::XmlNode InsertItemNode(ui::XmlNode container, size_t position, const std::vector<ItemField>& fields);

// Inserts a new sub-menu holding one new shortcut, in the orders the menu file uses.
ui::XmlNode InsertGroupNode(ui::XmlNode container, size_t position, const std::wstring& groupCaption,
                            const std::wstring& itemCaption, const std::wstring& systemDir);

// The document position of a level's selected row: the row rule of the windows
// (SelectedIndex - 1, plus ScrollTop on a level that scrolls).
int SelectedPosition(int level, const PerLevel<int>& selectedIndex, const PerLevel<std::uint8_t>& scrollMode,
                     int scrollTop);

// The element holding a level's items: the root for level 1, else the "subitem" of
// the selected item of the level above. Nothing when a selection on the way lies
// outside its container.
std::optional<ui::XmlNode> LevelContainer(ui::XmlNode root, int level, const PerLevel<int>& selectedIndex,
                                          const PerLevel<std::uint8_t>& scrollMode, int scrollTop);

// The last level opens no further window: a sub-menu becomes a folder and a folder
// shown as a sub-menu becomes a plain folder. Its "subitem" children stay.
void FitForLastLevel(ui::XmlNode item);

// A dropped file's caption from its name: without an extension of exactly ".exe" or
// ".lnk", with any other one.
std::wstring DroppedFileCaption(const std::wstring& path);

// The first path of a drop from Explorer (further paths are ignored) and the drop
// point in the target's client coordinates; nothing for an empty drop.
struct DroppedFile {
    std::wstring Path;
    POINT Point{};
};
std::optional<DroppedFile> FirstDroppedFile(HDROP drop);

// The item every menu window makes of a dropped file or folder, its fields in the
// menu file's order: a shortcut gives its existing target, icon, arguments and
// description. Nothing when the path is no longer an existing file or folder.
// Needs COM.
std::optional<std::vector<ItemField>> DroppedItemFields(const std::wstring& path);

// Where a file dropped at client y goes among a window's rows, counted from list row
// `first`, the first row shown: the row lookup's answer, and 0 over the first row of
// a level that does not scroll, which the lookup cannot tell from no row. -1 for none.
int DropPosition(const TLNItemList& items, int y, int first, bool scrolls, int showCount,
                 const SkinMetrics& skin);

}  // namespace core
