#include "core/row_geometry.h"

#include <algorithm>

namespace core {

int RowHeight(int type, const SkinMetrics& skin) {
    if ((type >= 0 && type <= 7) || type == 11 || type == 55) return skin.ItemSize;
    if (type == 777) return skin.Separatorsize;
    return 0;
}

int ItemTop(const TLNItemList& items, int count, const SkinMetrics& skin) {
    int top = skin.HeaderSize;
    const int n = std::min<int>(std::max(count, 0), static_cast<int>(items.size()));
    for (int i = 0; i < n; ++i) top += RowHeight(items[i].Type, skin);
    return top;
}

int ItemIndexAtY(const TLNItemList& items, int y, bool scrolls, int showCount, const SkinMetrics& skin) {
    const int rows = scrolls ? std::min<int>(showCount + 1, static_cast<int>(items.size()))
                             : static_cast<int>(items.size());
    int bottom = skin.HeaderSize;
    for (int k = 0; k < rows; ++k) {
        bottom += RowHeight(items[k].Type, skin);
        if (bottom >= y) return k - 1;
    }
    return -1;
}

}  // namespace core
