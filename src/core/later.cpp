// Entry points of concerns that are not built yet. Each does the least that keeps
// the program running, and says what is missing.
#include "core/form1.h"

namespace core {

void TForm1::LoadPlugins() {
    // TODO(plug-ins): load the libraries of plugins\.
}

void TForm1::UnloadPlugins() {
    // TODO(plug-ins): call each plug-in's unload export and free it.
}

}  // namespace core
