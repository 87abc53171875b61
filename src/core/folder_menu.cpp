// Folder menus: a folder item's sub-menu lists the folder's entries.
#include "core/form1.h"

namespace core {

bool TForm1::BuildFolderMenu(const std::wstring& /*folder*/, const std::wstring& /*filter*/, bool /*addParent*/,
                             ui::XmlNode /*subitem*/) {
    // TODO(search index): replace the children of subitem by the folder's entries and
    // save the menu. Until then a folder menu shows what its subitem already holds.
    return true;
}

}  // namespace core
