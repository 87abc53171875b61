// Row geometry of the three menu windows and the pointer tests built on it.
#include "core/form1.h"
#include "core/row_geometry.h"

namespace core {

int TForm1::ItemTop(int level, int count) const { return core::ItemTop(ItemLists[level], count, Skin); }

int TForm1::ItemIndexAtY(int level, int y) const {
    return core::ItemIndexAtY(ItemLists[level], y, ScrollMode[level] != 0, ShowCount, Skin);
}

bool TForm1::CursorInForm(const ui::Form& form) {
    if (!form.Visible()) return false;
    POINT p{};
    if (!GetCursorPos(&p)) return false;
    const int left = form.Left();
    const int top = form.Top();
    return p.x >= left && p.x < left + form.Width() && p.y >= top && p.y < top + form.Height();
}

}  // namespace core
