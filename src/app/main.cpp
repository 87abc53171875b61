// Zarvo.exe: the program entry; everything else lives in the zarvo library.
#include "core/startup.h"
#include "ui/sessions.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Once, on the GUI thread, before the forms: the sub-menu windows' drag-out runs
    // OLE's drag loop. It ends after them, so their shell objects are gone by then.
    ui::OleSession ole;
    return core::ProgramEntry();
}
