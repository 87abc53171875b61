// Row geometry shared by the three menu windows: where a row starts and which row
// lies under a point. Unknown Types take no height anywhere. Rows of a scrolling
// level count from the first row shown.
#pragma once

#include "core/menu_document.h"
#include "render/skin.h"

namespace core {

// Height of a row of this Type: full rows for 0..7, 11 and 55, the separator's for
// 777, nothing for any other value.
int RowHeight(int type, const SkinMetrics& skin);
// Sums of skin values are held to the int range: the values are the user's, and a
// huge row or header must never wrap a row's place round to the other side.
int ClampToInt(long long value);
int SaturatedAdd(int a, int b);
// Top of the row `count` rows below list row `first`, relative to the window's top:
// the header and the heights of rows first .. first + count - 1. Held to the int
// range.
int ItemTop(const TLNItemList& items, int first, int count, const SkinMetrics& skin);
// Walks the rows from list row `first`: for the k-th row whose bottom edge is the
// first at or below y, k - 1; -1 when no row reaches y. A scrolling level walks
// its up-arrow band and then its first showCount rows, so k - 1 is the row shown
// under y.
int ItemIndexAtY(const TLNItemList& items, int y, int first, bool scrolls, int showCount,
                 const SkinMetrics& skin);

// The pointer tracking's row: the 1-based visible row whose bottom edge is the first
// below y, rows drawn from HeaderSize + band (the up-arrow band of a scrolling
// window, else 0) and counted from list row `first`; 0 for none. Summed wide.
int RowAtY(const TLNItemList& items, int y, int first, int band, const SkinMetrics& skin);

}  // namespace core
