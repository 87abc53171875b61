// The sub-menu renderer's decisions, free of windows: whether a level scrolls, how
// high its content and its window are, where the window's top goes, and whether a
// scroll step may shift the images instead of redrawing them.
#pragma once

#include "core/menu_document.h"
#include "core/skin.h"

#include <cstdint>

namespace popups {

// A level of at most showCount + 1 rows is shown whole; a longer folder listing
// scrolls; any other long group keeps the mode its caller set.
std::uint8_t DecideScrollMode(int rows, int showCount, bool folderListing, std::uint8_t callerMode);

// The content height H: the header, the rows (showCount full rows while the level
// scrolls) and the bottom band, bounded to a window size.
int SubMenuContentHeight(const core::TLNItemList& items, bool scrolls, int showCount,
                         const core::SkinMetrics& skin);

// The window's height: H, plus the two arrow bands while the level scrolls.
int SubMenuWindowHeight(int contentHeight, bool scrolls, const core::SkinMetrics& skin);

// A window whose bottom would pass the screen's is moved up to end there; nothing
// moves it down.
int ClampedTop(int top, int height, int screenHeight);

// True when every list row first .. first + count - 1 that exists is an item row of
// ItemSize: only then does one scroll step move every row by exactly one band.
bool RowsAreFullHeight(const core::TLNItemList& items, int first, int count, const core::SkinMetrics& skin);

}  // namespace popups
