// Marker program: an item's target in end-to-end tests. Records how it was started.
#include <windows.h>
int wmain() { return 0; }
