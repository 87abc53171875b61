// The end of an item drag on the sub-menu windows, reordering, and files dropped in.
#include "popups/form2.h"

namespace popups {

// TODO(sub-menu drag): the end of an item drag by target and level.
void TForm2::EndItemDrag() {}
// TODO(sub-menu drag): the reorder within a level.
void TForm2::MoveSubItem(int /*From*/, int /*To*/) {}
// TODO(sub-menu drag): files dropped from Explorer.
void TForm2::WMDropFiles(HDROP drop) { DragFinish(drop); }

}  // namespace popups
