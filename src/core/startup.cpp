#include "core/startup.h"
namespace core {
int ProgramEntry() { return 0; }
}
