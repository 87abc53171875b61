// Zarvo.exe: the program entry; everything else lives in the zarvo library.
#include "core/startup.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return core::ProgramEntry();
}
