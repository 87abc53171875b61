// The context menu of a sub-menu row: its set-up apart from its showing, so that the
// entries it prepares can be read without a menu loop.
#pragma once

#include <string>

namespace core {
class TForm1;
}

namespace popups {

// The menu a right click on a sub-menu row brings up.
enum class RowMenuKind {
    None,   // no row under the pointer: nothing is prepared
    Own,    // PopupMenu1
    Shell,  // the Explorer menu of `path` (a listed folder's entry)
};

struct RowMenuChoice {
    RowMenuKind kind = RowMenuKind::None;
    std::wstring path;
};

// Prepares the main window's PopupMenu1 for the selected row of `level` (2 or 3):
// the entries enabled for the row's Type, the menu-end hook, the Tag, the entries of
// a user group or of a listing, the preview line. Shows nothing.
RowMenuChoice SetUpRowMenu(core::TForm1& main, int level);

}  // namespace popups
