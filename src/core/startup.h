// The program's spine: the entry, the start-up globals and the version helpers.
#pragma once
namespace core {
int ProgramEntry();
}
