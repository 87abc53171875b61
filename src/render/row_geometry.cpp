#include "render/row_geometry.h"

#include <algorithm>
#include <climits>

namespace core {
namespace {

// The list index a walk starts at: never before the list, at most its end.
size_t FirstRow(const TLNItemList& items, int first) {
    return std::min(static_cast<size_t>(std::max(first, 0)), items.size());
}

}  // namespace

int RowHeight(int type, const SkinMetrics& skin) {
    if ((type >= 0 && type <= 7) || type == 11 || type == 55) return skin.ItemSize;
    if (type == 777) return skin.Separatorsize;
    return 0;
}

int ClampToInt(long long value) { return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX)); }

int SaturatedAdd(int a, int b) { return ClampToInt(static_cast<long long>(a) + b); }

int ItemTop(const TLNItemList& items, int first, int count, const SkinMetrics& skin) {
    const size_t begin = FirstRow(items, first);
    const size_t end = begin + std::min(static_cast<size_t>(std::max(count, 0)), items.size() - begin);
    // Summed wide: many rows of a huge height pass the int range long before 64 bits.
    long long top = skin.HeaderSize;
    for (size_t i = begin; i < end; ++i) top += RowHeight(items[i].Type, skin);
    return ClampToInt(top);
}

int ItemIndexAtY(const TLNItemList& items, int y, int first, bool scrolls, int showCount,
                 const SkinMetrics& skin) {
    const size_t begin = FirstRow(items, first);
    size_t rows = items.size() - begin;
    long long bottom = skin.HeaderSize;
    // A scrolling level draws its up arrow, one row high, above the first row shown:
    // the walk takes that band first, then the rows shown, so every k - 1 is the row
    // drawn under y whatever the heights of the rows.
    if (scrolls) {
        rows = std::min(rows, static_cast<size_t>(std::max(showCount, 0)));
        bottom += skin.ItemSize;
        if (bottom >= y) return -1;
        for (size_t k = 0; k < rows; ++k) {
            bottom += RowHeight(items[begin + k].Type, skin);
            if (bottom >= y) return static_cast<int>(k);
        }
        return -1;
    }
    for (size_t k = 0; k < rows; ++k) {
        bottom += RowHeight(items[begin + k].Type, skin);
        if (bottom >= y) return static_cast<int>(k) - 1;
    }
    return -1;
}

int RowAtY(const TLNItemList& items, int y, int first, int band, const SkinMetrics& skin) {
    const size_t begin = FirstRow(items, first);
    long long bottom = static_cast<long long>(skin.HeaderSize) + band;
    for (size_t i = begin; i < items.size(); ++i) {
        bottom += RowHeight(items[i].Type, skin);
        if (bottom > y) return static_cast<int>(i - begin) + 1;
    }
    return 0;
}

}  // namespace core
