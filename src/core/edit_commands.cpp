// Menu edit commands of the main window.
#include "core/compositor.h"
#include "core/form1.h"
#include "core/launch.h"

#include <functional>

namespace core {
namespace {

std::function<void(int)>& PropertiesDialogForTests() {
    static std::function<void(int)> open;
    return open;
}

// The properties dialog for the selected item of a level.
void OpenPropertiesDialog(int level) {
    if (PropertiesDialogForTests()) {
        PropertiesDialogForTests()(level);
        return;
    }
    // TODO(properties dialog): EditItemProperties(level), the round trip of PropMIClick.
}

}  // namespace

void SetPropertiesDialogForTests(std::function<void(int level)> open) { PropertiesDialogForTests() = std::move(open); }

// The click path asks about the main window's row, so the dialog opens for level 1
// whatever window the context menu was last opened over.
bool TForm1::EditIfNoTarget() {
    const TLNItem* item = HoveredItem(ItemLists[1], SelectedIndex[1] - 1, ScrollMode[1], ScrollTop);
    if (!item || !item->Run.empty()) return false;
    if (item->Type != 0 && item->Type != 1) return false;
    OpenPropertiesDialog(1);
    return true;
}

}  // namespace core
