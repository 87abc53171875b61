#include "core/shell_menu.h"

namespace core {

bool ContextMenuOpen = false;

}  // namespace core
