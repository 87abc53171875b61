// Row geometry shared by the three menu windows: where a row starts and which row
// lies under a point. Unknown Types take no height anywhere.
#pragma once

#include "core/menu_document.h"
#include "core/skin.h"

namespace core {

// Height of a row of this Type: full rows for 0..7, 11 and 55, the separator's for
// 777, nothing for any other value.
int RowHeight(int type, const SkinMetrics& skin);
// Top of the row with 0-based index `count`, relative to the window's top.
int ItemTop(const TLNItemList& items, int count, const SkinMetrics& skin);
// For the first row k whose bottom edge is at or below y, k - 1; -1 when no row
// reaches y. A scrolling level walks its first showCount + 1 rows only.
int ItemIndexAtY(const TLNItemList& items, int y, bool scrolls, int showCount, const SkinMetrics& skin);

}  // namespace core
