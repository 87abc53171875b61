// The context menu of a sub-menu row.
#include "popups/form2.h"

namespace popups {

// TODO(sub-menus): the context menu of a sub-menu row.
void TForm2::ShowRowMenu() {}

}  // namespace popups
