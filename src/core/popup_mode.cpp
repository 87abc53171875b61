// Pop-up mode: the hook library, the notification-area icon and their messages.
#include "core/form1.h"

namespace core {

void TForm1::TrayIcon(int /*operation*/) {
    // TODO(pop-up mode): add, delete or modify the notification-area icon.
}

void TForm1::InstallHook() {
    // TODO(pop-up mode): load zvhook.dll and call Hook(1).
}

void TForm1::RemoveHook() {
    // TODO(pop-up mode): Hook(0) when the hook is installed.
}

}  // namespace core
